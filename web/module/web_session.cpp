#include "web/module/web_session.h"

#include "machine/execution_report.h"
#include "presentation/machine_picture.h"
#include "web/module/microprogram_text.h"
#include "web/module/program_run.h"

#include <emscripten/bind.h>

#include <algorithm>

namespace tessaro::web {

namespace {

using emscripten::val;

const char* outcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Done:
        return "done";
    case Outcome::Halted:
        return "halted";
    case Outcome::Err:
        return "err";
    case Outcome::Stopped:
        return "stopped";
    case Outcome::BoundReached:
        return "bound";
    case Outcome::SliceDone:
        return "slice";
    case Outcome::NotLoaded:
        return "notLoaded";
    case Outcome::Busy:
        return "busy";
    case Outcome::BreakpointHit:
        return "breakpoint";
    case Outcome::AtHistoryStart:
        return "atHistoryStart";
    case Outcome::MemoryFull:
        return "memoryFull";
    case Outcome::PortFailed:
        return "portFailed";
    case Outcome::OutsideProgram:
        return "outsideProgram";
    }
    return "done";
}

const char* stateName(SessionState state) {
    switch (state) {
    case SessionState::NothingLoaded:
        return "nothingLoaded";
    case SessionState::Loaded:
        return "loaded";
    case SessionState::Running:
        return "running";
    case SessionState::Halted:
        return "halted";
    case SessionState::Stopped:
        return "stopped";
    }
    return "nothingLoaded";
}

val stringList(const std::vector<std::string>& lines) {
    val list = val::array();
    for (const std::string& line : lines) {
        list.call<void>("push", line);
    }
    return list;
}

template <typename T> T option(const val& options, const char* name, T fallback) {
    const val value = options[name];
    return value.isUndefined() ? fallback : value.as<T>();
}

val pictureValue(const MachinePicture& p) {
    val v = val::object();
    v.set("phase", p.phase);
    v.set("mirBits", p.mirBits);
    v.set("bCode", p.bCode);
    v.set("bSource", p.bSource);
    v.set("cBits", p.cBits);
    v.set("read", p.read);
    v.set("write", p.write);
    v.set("fetch", p.fetch);
    v.set("jmpc", p.jmpc);
    v.set("jamn", p.jamn);
    v.set("jamz", p.jamz);
    v.set("sll8", p.sll8);
    v.set("sra1", p.sra1);
    v.set("n", p.n);
    v.set("z", p.z);
    v.set("aBus", p.aBus);
    v.set("bBus", p.bBus);
    v.set("cBus", p.cBus);
    v.set("aluText", p.aluText);
    return v;
}

} // namespace

val errorsValue(const std::vector<ListedError>& errors) {
    val list = val::array();
    for (const ListedError& error : errors) {
        val item = val::object();
        item.set("message", error.message);
        item.set("line", error.line);
        item.set("start", error.selected.start);
        item.set("length", error.selected.length);
        list.call<void>("push", item);
    }
    return list;
}

WebSession::WebSession() {
    m_session.loadControlStore(currentControlStore());
}

val WebSession::compile(const std::string& text) {
    m_source = text;
    m_texts = MachineTexts{};
    m_shown = SubCyclePhase::CBus;
    val result = val::object();
    const bool loaded = m_session.compileAndLoadText(text).loaded;
    result.set("loaded", loaded);
    result.set("errors", errorsValue(placeErrors(text, m_session.machine().errors)));
    return result;
}

int WebSession::lineOf(std::uint32_t offset) const {
    const auto end =
        m_source.begin() + static_cast<long>(std::min<std::size_t>(offset, m_source.size()));
    return 1 + static_cast<int>(std::count(m_source.begin(), end, '\n'));
}

val WebSession::loadMicroprogram(const std::string& text) {
    const AssembledMicroprogram translation = useMicroprogram(text);
    if (translation.ok()) {
        m_session.replaceControlStore(translation.records);
        m_shown = SubCyclePhase::CBus;
    }
    val result = val::object();
    result.set("ok", translation.ok());
    val problems = val::array();
    for (const MalProblem& problem : translation.problems) {
        val item = val::object();
        item.set("line", problem.line);
        item.set("message", problem.message);
        problems.call<void>("push", item);
    }
    result.set("problems", problems);
    return result;
}

std::string WebSession::finish(Outcome outcome) {
    return outcomeName(outcome);
}

std::string WebSession::microStep() {
    m_shown = SubCyclePhase::CBus;
    return finish(m_session.microStep());
}

std::string WebSession::subCycle() {
    SubCyclePhase shown = SubCyclePhase::Execute;
    const Outcome outcome = m_session.subCycle(shown);
    if (outcome == Outcome::Done) {
        m_shown = shown;
    }
    return finish(outcome);
}

std::string WebSession::ijvmStep() {
    m_shown = SubCyclePhase::CBus;
    return finish(m_session.ijvmStep());
}

std::string WebSession::startRun() {
    m_shown = SubCyclePhase::CBus;
    return finish(m_session.startRun(RunKind::Run));
}

std::string WebSession::runSlice(double budget) {
    return finish(m_session.runSlice(static_cast<std::int64_t>(budget)));
}

std::string WebSession::reset() {
    m_shown = SubCyclePhase::CBus;
    m_texts = MachineTexts{};
    return finish(m_session.reset());
}

std::string WebSession::stepBackMicro() {
    m_shown = SubCyclePhase::CBus;
    return finish(m_session.stepBackMicro());
}

std::string WebSession::stepBackIjvm() {
    m_shown = SubCyclePhase::CBus;
    return finish(m_session.stepBackIjvm());
}

val WebSession::toggleLineBreakpoint(int line) {
    const std::optional<LineToggle> toggled = m_session.debugger().toggleLineBreakpoint(line);
    val result = val::object();
    result.set("line", toggled ? toggled->line : 0);
    result.set("on", toggled && toggled->on);
    return result;
}

bool WebSession::toggleMicroBreakpoint(int address) {
    return address >= 0 &&
           m_session.debugger().toggleMicroBreakpoint(static_cast<std::uint32_t>(address));
}

val WebSession::view(const val& options) {
    const ControlPath& m = m_session.machine();
    ViewFormat format;
    format.addressRadix = option<int>(options, "addressRadix", 10);
    format.valueRadix = option<int>(options, "valueRadix", 10);
    format.rawMethodArea = option<bool>(options, "rawMethodArea", false);
    FrameLabels labels;
    labels.linkPointer = option<std::string>(options, "linkPointer", labels.linkPointer);
    labels.previousPc = option<std::string>(options, "previousPc", labels.previousPc);
    labels.previousLv = option<std::string>(options, "previousLv", labels.previousLv);

    val v = val::object();
    v.set("state", std::string(stateName(m_session.state())));
    v.set("loaded", m_session.isLoaded());
    v.set("canStepBack", m_session.canStepBack());
    v.set("nextPhase", static_cast<int>(m_session.subCyclePhase()));
    val registers = val::array();
    for (std::size_t r = 0; r < registerNames().size(); ++r) {
        val item = val::object();
        item.set("name", std::string(registerNames()[r]));
        item.set("value", m.registers[r]);
        registers.call<void>("push", item);
    }
    v.set("registers", registers);
    v.set("mpc", m.MPC);
    v.set("lastMpc", m.lastMPC);
    v.set("microInstructions", static_cast<double>(m_session.microInstructions()));
    v.set("picture", pictureValue(machinePicture(m, m_shown)));
    v.set("methodArea", stringList(m_texts.methodArea(m, format)));
    v.set("constantPool", stringList(m_texts.constantPool(m, format)));
    v.set("stack", stringList(m_texts.stack(m, format)));
    v.set("frame", stringList(m_texts.frame(m, format, labels)));
    v.set("output", bytesAsText(MachineTexts::output(m)));
    v.set("input", MachineTexts::input(m));
    // The line of the instruction at PC, for the editor: the mnemonic's offset, as a line.
    const std::uint32_t* offset = m.sourceMap.peek(static_cast<std::uint32_t>(m.PC()));
    v.set("currentLine", offset != nullptr ? lineOf(*offset) : 0);
    const BreakpointStop stop = m_session.lastBreakpoint();
    v.set("breakpointKind", static_cast<int>(stop.kind));
    v.set("breakpointAddress", stop.address);
    val lines = val::array();
    for (const int line : m_session.debugger().markedLines()) {
        lines.call<void>("push", line);
    }
    v.set("breakpointLines", lines);
    val micro = val::array();
    for (const std::uint32_t address : m_session.debugger().microBreakpoints()) {
        micro.call<void>("push", address);
    }
    v.set("microBreakpoints", micro);
    return v;
}

val WebSession::listing() const {
    val list = val::array();
    const ControlPath& m = m_session.machine();
    for (std::uint32_t address = 0; address < DecodedStore::kSize; ++address) {
        const Mic* mic = m.controlStore.peek(address);
        list.call<void>("push", mic != nullptr ? mic->text : std::string());
    }
    return list;
}

std::string WebSession::statistics() const {
    return opcodeTable(m_session.counts(), m_session.microInstructions());
}

void bindSession() {
    emscripten::class_<WebSession>("Session")
        .constructor<>()
        .function("compile", &WebSession::compile)
        .function("loadMicroprogram", &WebSession::loadMicroprogram)
        .function("microStep", &WebSession::microStep)
        .function("subCycle", &WebSession::subCycle)
        .function("ijvmStep", &WebSession::ijvmStep)
        .function("startRun", &WebSession::startRun)
        .function("runSlice", &WebSession::runSlice)
        .function("requestStop", &WebSession::requestStop)
        .function("reset", &WebSession::reset)
        .function("stepBackMicro", &WebSession::stepBackMicro)
        .function("stepBackIjvm", &WebSession::stepBackIjvm)
        .function("setInput", &WebSession::setInput)
        .function("toggleLineBreakpoint", &WebSession::toggleLineBreakpoint)
        .function("toggleMicroBreakpoint", &WebSession::toggleMicroBreakpoint)
        .function("clearLineBreakpoints", &WebSession::clearLineBreakpoints)
        .function("microInstructions", &WebSession::microInstructions)
        .function("view", &WebSession::view)
        .function("listing", &WebSession::listing)
        .function("statistics", &WebSession::statistics);
}

} // namespace tessaro::web
