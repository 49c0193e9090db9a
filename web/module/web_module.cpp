// The core as a WebAssembly module: the three batch calls, the examples and the microprogram
// shipped with this build, and the interactive session (web_session.h).

#include "check/microprogram_check.h"
#include "core/language.h"
#include "data/bundled.h"
#include "presentation/datapath_geometry_json.h"
#include "web/module/microprogram_text.h"
#include "web/module/program_run.h"
#include "web/module/web_session.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdio>

namespace tessaro::web {

namespace {

using emscripten::val;

val problemsValue(const std::vector<MalProblem>& problems) {
    val list = val::array();
    for (const MalProblem& problem : problems) {
        val item = val::object();
        item.set("line", problem.line);
        item.set("message", problem.message);
        list.call<void>("push", item);
    }
    return list;
}

val runProgramValue(const std::string& source, const std::string& input, double maxSteps) {
    const ProgramRun run = runProgram(source, input, static_cast<std::int64_t>(maxSteps));
    val result = val::object();
    result.set("output", bytesAsText(run.output));
    result.set("outcome", std::string(runEndName(run.end)));
    result.set("microInstructions", static_cast<double>(run.microInstructions));
    result.set("message", run.message);
    if (!run.errors.empty()) {
        result.set("errors", errorsValue(run.errors));
    }
    return result;
}

val translateMicroprogramValue(const std::string& text) {
    const AssembledMicroprogram translation = useMicroprogram(text);
    val result = val::object();
    result.set("ok", translation.ok());
    result.set("problems", problemsValue(translation.problems));
    return result;
}

val checkMicroprogramValue(const std::string& text, double seed, int programs) {
    val result = val::object();
    val lines = val::array();
    const AssembledMicroprogram translation = MicroAssembler::assemble(text);
    result.set("problems", problemsValue(translation.problems));
    if (!translation.ok()) {
        result.set("passed", false);
        result.set("lines", lines);
        return result;
    }
    CheckOptions options;
    options.seed = static_cast<std::uint32_t>(seed);
    options.programs = programs;
    MicroprogramCheck check(translation.records);
    const std::vector<InstructionCheck> results = check.run(options);
    for (const InstructionCheck& instruction : results) {
        lines.call<void>("push", verdictLine(instruction));
        for (const std::string& line : failureDetails(instruction)) {
            lines.call<void>("push", "    " + line);
        }
    }
    result.set("passed", !results.empty() && allPassed(results));
    result.set("error", results.empty() ? check.error() : std::string());
    result.set("lines", lines);
    return result;
}

val examplesValue() {
    val list = val::array();
    for (const BundledFile& file : bundledExamples()) {
        val item = val::object();
        item.set("name", std::string(file.name));
        item.set("text", std::string(file.text));
        list.call<void>("push", item);
    }
    return list;
}

std::string bundledMicroprogramText() {
    return std::string(bundledMicroprogram());
}

// "it" or "en": the language of the assemblers' messages from now on.
bool setLanguageNamed(const std::string& name) {
    const std::optional<Language> chosen = languageNamed(name);
    if (chosen) {
        setLanguage(*chosen);
    }
    return chosen.has_value();
}

} // namespace

} // namespace tessaro::web

EMSCRIPTEN_BINDINGS(tessaro_core) {
    using namespace tessaro::web;
    emscripten::function("runProgram", &runProgramValue);
    emscripten::function("translateMicroprogram", &translateMicroprogramValue);
    emscripten::function("checkMicroprogram", &checkMicroprogramValue);
    emscripten::function("examples", &examplesValue);
    emscripten::function("bundledMicroprogram", &bundledMicroprogramText);
    emscripten::function("setLanguage", &setLanguageNamed);
    emscripten::function("datapathGeometry", &tessaro::datapathGeometryJson);
    bindSession();
}
