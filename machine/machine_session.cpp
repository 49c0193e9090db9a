#include "machine/machine_session.h"

#include "ijvm/ijvm_assembler.h"

#include <algorithm>
#include <set>

namespace tessaro {

using memory_map::wordKey;

// Opcodes are the micro-addresses where the routines begin: HALT's routine is where the
// machine stops.
static_assert(opcode::HALT == memory_map::kHaltAddress);

void MachineSession::loadControlStore(const ControlStoreRecords& records) {
    m_machine.loadControlStore(records);
    restartHistory();
}

void MachineSession::replaceControlStore(const ControlStoreRecords& records) {
    abandonRun();
    leaveSubCycle();
    m_stopped = false;
    // Loading adds to the store, and the decoded copy points into its entries: both go
    // before the new records come in, or an old entry could still be executed.
    m_machine.controlStore.clear();
    m_machine.invalidateControlStoreCache();
    // The history would go back by re-executing with the new store: it starts again.
    loadControlStore(records);
    if (m_loaded) {
        reset();
    }
}

MachineSession::LoadResult MachineSession::compileAndLoadText(const std::string& text) {
    assembleText(text);
    return LoadResult{acceptProgram()};
}

bool MachineSession::acceptProgram() {
    m_loaded = m_machine.errors.empty();
    return m_loaded;
}

void MachineSession::assembleText(const std::string& text) {
    // A mark stays on every line that still holds an instruction.
    const std::set<int> marked = m_debugger.markedLines();
    forgetExecution();
    m_machine.loadProgramText(text);
    m_debugger.programReplaced(marked);
    restartHistory();
}

void MachineSession::forgetExecution() {
    abandonRun();
    m_loaded = false;
    m_stopped = false;
    m_memoryFull = false;
    m_inputAskedBy = -1;
    leaveSubCycle();
}

void MachineSession::unload() {
    forgetExecution();
}

SessionState MachineSession::state() const {
    if (isRunning()) {
        return SessionState::Running;
    }
    if (!m_loaded) {
        return SessionState::NothingLoaded;
    }
    if (atHalt()) {
        return SessionState::Halted;
    }
    return m_stopped ? SessionState::Stopped : SessionState::Loaded;
}

Outcome MachineSession::beginCommand() {
    if (isRunning()) {
        return Outcome::Busy;
    }
    leaveSubCycle();
    return m_loaded ? Outcome::Done : Outcome::NotLoaded;
}

Outcome MachineSession::beginExecution() {
    const Outcome begun = beginCommand();
    return begun == Outcome::Done && m_memoryFull ? Outcome::MemoryFull : begun;
}

bool MachineSession::noteMemoryLimit() {
    if (m_machine.wordLimitReached()) {
        m_memoryFull = true;
        m_stopped = true;
    }
    return m_memoryFull;
}

bool MachineSession::endedEarly(Outcome& outcome) {
    if (noteMemoryLimit()) {
        outcome = Outcome::MemoryFull;
        return true;
    }
    if (m_machine.ioRefused()) {
        m_stopped = true;
        outcome = Outcome::PortFailed;
        return true;
    }
    return false;
}

Outcome MachineSession::microStep() {
    if (const Outcome refused = beginExecution(); refused != Outcome::Done) {
        return refused;
    }
    m_stopped = false;
    m_machine.microStep();
    m_debugger.noteExecuted();
    if (Outcome early = Outcome::Done; endedEarly(early)) {
        return early;
    }
    return atHalt() ? Outcome::Halted : Outcome::Done;
}

Outcome MachineSession::subCycle(SubCyclePhase& shown) {
    if (isRunning()) {
        return Outcome::Busy;
    }
    if (m_subCyclePhase == SubCyclePhase::Execute) {
        if (!m_loaded) {
            return Outcome::NotLoaded;
        }
        if (m_memoryFull) {
            return Outcome::MemoryFull;
        }
        m_stopped = false;
        m_machine.microStep();
        m_debugger.noteExecuted();
        noteMemoryLimit();
    }
    shown = m_subCyclePhase;
    m_subCyclePhase = static_cast<SubCyclePhase>((static_cast<int>(m_subCyclePhase) + 1) % 4);
    return Outcome::Done;
}

Outcome MachineSession::ijvmStep() {
    return ijvmStep(ijvmStepBound);
}

Outcome MachineSession::ijvmStep(std::int64_t bound) {
    if (const Outcome refused = beginExecution(); refused != Outcome::Done) {
        return refused;
    }
    m_stopped = false;
    const std::uint8_t opcode = nextOpcode();
    const bool done = ijvmStepChunked(bound);
    if (Outcome early = Outcome::Done; endedEarly(early)) {
        return early;
    }
    if (!done) {
        return Outcome::BoundReached;
    }
    if (!atHalt()) {
        return Outcome::Done;
    }
    return opcode == opcode::ERR ? Outcome::Err : Outcome::Halted;
}

Outcome MachineSession::startRun(RunKind kind) {
    if (const Outcome refused = beginExecution(); refused != Outcome::Done) {
        return refused;
    }
    m_runKind = kind;
    m_stopRequested = false;
    m_stopped = false;
    m_runExecuted = 0;
    m_skipBreakOnce = true;
    m_lastBreak = {};
    m_runStart = std::chrono::steady_clock::now();
    m_runEnd = m_runStart;
    return Outcome::SliceDone;
}

Outcome MachineSession::runSlice(std::int64_t budget) {
    if (!isRunning()) {
        return Outcome::NotLoaded;
    }
    const std::int64_t before = m_machine.microCount;
    bool done = false;
    if (m_runKind == RunKind::IjvmStep) {
        done = ijvmStepChunked(std::min(budget, ijvmStepBound - m_runExecuted));
    } else {
        done = runChunked(budget);
    }
    m_runExecuted += m_machine.microCount - before;
    m_runEnd = std::chrono::steady_clock::now();
    if (Outcome early = Outcome::Done; endedEarly(early)) {
        return finishRun(early);
    }
    if (done) {
        if (!atHalt()) {
            return finishRun(Outcome::Done);
        }
        return finishRun(haltedByErr() ? Outcome::Err : Outcome::Halted);
    }
    if (m_lastBreak.kind != BreakpointStop::Kind::None) {
        m_stopped = true;
        return finishRun(Outcome::BreakpointHit);
    }
    if (m_machine.leftCode()) {
        m_stopped = true;
        return finishRun(Outcome::OutsideProgram);
    }
    if (m_runKind == RunKind::IjvmStep && m_runExecuted >= ijvmStepBound) {
        return finishRun(Outcome::BoundReached);
    }
    if (m_stopRequested) {
        m_stopped = true;
        return finishRun(Outcome::Stopped);
    }
    return Outcome::SliceDone;
}

Outcome MachineSession::runSlice() {
    const auto started = std::chrono::steady_clock::now();
    const Outcome outcome = runSlice(m_sliceSize);
    // Aim the next slice at the target time, whatever the speed of this machine.
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    m_sliceSize = nextSliceSize(m_sliceSize, took.count());
    return outcome;
}

std::int64_t MachineSession::nextSliceSize(std::int64_t size, std::int64_t tookMs) {
    // Less than a millisecond counts as one: the clock cannot tell how much faster it was.
    const std::int64_t ms = std::max<std::int64_t>(1, tookMs);
    return std::clamp<std::int64_t>(size * kSliceTarget.count() / ms, 10'000, 5'000'000);
}

Outcome MachineSession::finishRun(Outcome outcome) {
    m_runKind = RunKind::None;
    m_stopRequested = false;
    return outcome;
}

void MachineSession::abandonRun() {
    m_runKind = RunKind::None;
    m_stopRequested = false;
}

Outcome MachineSession::reset() {
    if (const Outcome refused = beginCommand(); refused != Outcome::Done) {
        return refused;
    }
    m_stopped = false;
    setInput(0);
    m_memoryFull = false;
    m_inputAskedBy = -1;
    m_machine.reset();
    restartHistory();
    return atHalt() ? Outcome::Halted : Outcome::Done;
}

void MachineSession::setInputSupplier(InputSupplier supplier) {
    m_inputSupplier = std::move(supplier);
    connectPort();
}

void MachineSession::setOutputSink(OutputSink sink) {
    m_outputSink = std::move(sink);
    connectPort();
}

void MachineSession::connectPort() {
    // Without either end the memory interface need not stop at the I/O words at all.
    m_machine.ioListener = m_inputSupplier || m_outputSink ? this : nullptr;
}

bool MachineSession::beforeInputRead(std::int32_t& word) {
    const std::int64_t instruction = m_machine.counts.currentStart;
    if (!m_inputSupplier || instruction == m_inputAskedBy) {
        return true;
    }
    const InputAnswer answer = m_inputSupplier();
    if (answer.kind == InputAnswer::Kind::Failed) {
        return false;
    }
    m_inputAskedBy = instruction;
    const std::int32_t value = answer.kind == InputAnswer::Kind::Word ? answer.word : 0;
    // Going back replays the word from here, without asking the supplier again. The step
    // loops add up the count only when they end: the machine tells the count before the
    // micro-instruction that reads.
    m_debugger.recordInputRead(m_machine.ioAccessCount(), value);
    word = value;
    return true;
}

bool MachineSession::afterOutputWrite(std::int32_t value) {
    return !m_outputSink || m_outputSink(static_cast<std::uint8_t>(value & 0xFF));
}

void MachineSession::setInput(std::int32_t value) {
    m_debugger.recordInput(value);
    m_machine.wordMemory[wordKey(memory_map::kInputWord)] = value;
}

std::int32_t MachineSession::input() const {
    const std::int32_t* word = m_machine.wordMemory.peek(wordKey(memory_map::kInputWord));
    return word != nullptr ? *word : 0;
}

std::string MachineSession::output() const {
    std::string out;
    for (std::int32_t a = memory_map::kFirstOutputWord; a <= memory_map::kLastOutputWord; ++a) {
        const std::int32_t* word = m_machine.wordMemory.peek(wordKey(a));
        const auto code = static_cast<char>(word != nullptr ? (*word & 0xFF) : 0);
        if (code == 0) {
            break;
        }
        out.push_back(code);
    }
    return out;
}

std::string MachineSession::printed() const {
    // The OUT that has just finished is handed to the log only at the next dispatch.
    if (m_machine.counts.currentOpcode == opcode::OUT && (atInstructionBoundary() || atHalt())) {
        return m_printed.text() + static_cast<char>(newestOutput());
    }
    return m_printed.text();
}

std::uint8_t MachineSession::newestOutput() const {
    const std::int32_t* word = m_machine.wordMemory.peek(wordKey(memory_map::kLastOutputWord));
    return static_cast<std::uint8_t>(word != nullptr ? (*word & 0xFF) : 0);
}

double MachineSession::runSeconds() const {
    return std::chrono::duration<double>(m_runEnd - m_runStart).count();
}

std::uint8_t MachineSession::byteAt(std::int64_t address) const {
    if (address < 0 || address >= m_machine.methodAreaSize ||
        static_cast<std::size_t>(address) >= m_machine.methodArea.size()) {
        return 0;
    }
    return m_machine.methodArea[static_cast<std::size_t>(address)];
}

std::uint8_t MachineSession::nextOpcode() const {
    return atInstructionBoundary() ? byteAt(m_machine.PC()) : 0;
}

bool MachineSession::outsideProgram() const {
    return m_machine.PC() < 0 || m_machine.PC() >= m_machine.methodAreaSize;
}

bool MachineSession::haltedByErr() const {
    // The main loop steps PC past the opcode before it dispatches: the instruction that
    // stopped the machine is the byte before PC.
    return atHalt() && byteAt(std::int64_t{m_machine.PC()} - 1) == opcode::ERR;
}

bool MachineSession::mayUseInOrOut() const {
    for (std::int32_t a = 0; a < m_machine.methodAreaSize; ++a) {
        const std::uint8_t code = byteAt(a);
        if (code == opcode::IN || code == opcode::OUT) {
            return true;
        }
    }
    return false;
}

} // namespace tessaro
