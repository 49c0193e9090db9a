#include "cli/microprogram_file.h"

#include "cli/program_file.h"
#include "core/language.h"
#include "data/bundled.h"
#include "mal/micro_assembler.h"

#include <cstdio>

namespace tessaro::cli {

bool translateMicroprogram(const char* command, const std::string& path,
                           ControlStoreRecords& store) {
    std::string text;
    std::string shownName = path;
    if (path.empty()) {
        text = bundledMicroprogram();
        shownName = localized(MessageId::CliBuiltInMicroprogram);
    } else if (!readInputFile(command, path, text)) {
        return false;
    }
    AssembledMicroprogram translated = MicroAssembler::assemble(text);
    for (const MalProblem& problem : translated.problems) {
        if (problem.line > 0) {
            std::fprintf(stderr, "%s:%d: %s\n", shownName.c_str(), problem.line,
                         problem.message.c_str());
        } else {
            std::fprintf(stderr, "%s: %s\n", command, problem.message.c_str());
        }
    }
    store = std::move(translated.records);
    return translated.problems.empty();
}

} // namespace tessaro::cli
