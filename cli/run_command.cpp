#include "cli/commands.h"
#include "cli/diagnostics.h"
#include "cli/input_numbers.h"
#include "cli/instructions_option.h"
#include "cli/microprogram_file.h"
#include "cli/program_file.h"
#include "cli/run_options.h"
#include "core/language.h"

#include "ijvm/disassembler.h"
#include "ijvm/ijvm_assembler.h"
#include "machine/execution_report.h"
#include "machine/machine_session.h"
#include "machine/routine_lines.h"
#include "presentation/outcome_message.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <string>

namespace tessaro::cli {

namespace {

constexpr int kExitHalted = 0;
constexpr int kExitBadInput = 1;
constexpr int kExitStepLimit = 2;
constexpr int kExitErr = 3;
constexpr int kExitMemoryLimit = 4;

constexpr const char* kCommand = "tessaro-cli run";

// Translates the microprogram and fills the control store; problems are bad input.
bool loadMicroprogram(const RunOptions& options, MachineSession& session) {
    ControlStoreRecords store;
    if (!translateMicroprogram(kCommand, options.microprogram, store)) {
        return false;
    }
    session.loadControlStore(store);
    for (const std::string& warning : missingRoutineWarnings(*session.machine().instructionSet,
                                                             session.machine().controlStore)) {
        std::fprintf(stderr, localized(MessageId::CliWarning).c_str(), kCommand, warning.c_str());
    }
    return true;
}

void printTrace(const ControlPath& machine, std::int32_t address, const std::string& text) {
    const std::int32_t* top = machine.wordMemory.peek(static_cast<std::uint32_t>(machine.SP()));
    if (top != nullptr) {
        std::fprintf(stderr, localized(MessageId::CliTraceLine).c_str(), address, text.c_str(),
                     *top);
    } else {
        std::fprintf(stderr, localized(MessageId::CliTraceLineUnwritten).c_str(), address,
                     text.c_str());
    }
}

// Says on standard error how the run ended, when there is something to say.
void reportEnd(const MachineSession& session, const RunOptions& options, Outcome outcome) {
    OutcomeFacts facts;
    facts.bound = options.maxSteps;
    facts.memoryLimit = session.memoryLimit();
    facts.pc = session.machine().PC();
    if (const std::optional<Message> message =
            outcomeMessage(outcome, facts, OutcomeAudience::CommandLine)) {
        std::fprintf(stderr, "%s: %s\n", kCommand, messageText(*message, language()).c_str());
    }
}

// Says why the run ended, when it did not halt, and gives the exit status.
int finishRun(const MachineSession& session, const RunOptions& options, Outcome outcome) {
    reportEnd(session, options, outcome);
    switch (outcome) {
    case Outcome::MemoryFull:
        return kExitMemoryLimit;
    case Outcome::BoundReached:
    case Outcome::SliceDone:
        return kExitStepLimit;
    case Outcome::Err:
        return kExitErr;
    default:
        return kExitHalted;
    }
}

void printStats(const MachineSession& session, std::int64_t micro, std::int64_t instructions,
                double seconds) {
    std::fprintf(stderr, localized(MessageId::StatsMicroInstructions).c_str(),
                 static_cast<long long>(micro));
    std::fprintf(stderr, localized(MessageId::StatsIjvmInstructions).c_str(),
                 static_cast<long long>(instructions));
    std::fprintf(stderr, localized(MessageId::StatsSeconds).c_str(), seconds);
    std::fprintf(stderr, localized(MessageId::StatsRate).c_str(),
                 seconds > 0 ? static_cast<double>(micro) / seconds : 0.0);
    std::fputs(opcodeTable(session.counts(), session.microInstructions(),
                           *session.machine().instructionSet)
                   .c_str(),
               stderr);
}

// The IJVM instructions a run carried out to their end: those the main loop dispatched, less
// the one a bound or the memory limit cut short.
std::int64_t finishedInstructions(const MachineSession& session, Outcome outcome) {
    const ExecutionCounts& counts = session.counts();
    const bool cut =
        outcome == Outcome::MemoryFull || (!session.atInstructionBoundary() && !session.atHalt());
    return counts.instructions() - (cut && counts.currentOpcode >= 0 ? 1 : 0);
}

// Reports how the run ended and, with --stats, its figures; the exit status.
int finishWithStats(const MachineSession& session, const RunOptions& options, Outcome outcome,
                    std::int64_t startCount, double seconds) {
    const int status = finishRun(session, options, outcome);
    if (options.stats) {
        printStats(session, session.microInstructions() - startCount,
                   finishedInstructions(session, outcome), seconds);
    }
    return status;
}

// Runs to HALT (or the step limit) in the session's run loop, which hands IN and OUT to the
// port without stopping between instructions.
int runInSlices(MachineSession& session, const RunOptions& options) {
    constexpr std::int64_t kSlice = 10'000'000;
    const std::int64_t startCount = session.microInstructions();
    const auto started = std::chrono::steady_clock::now();
    Outcome outcome = session.atHalt() ? (session.haltedByErr() ? Outcome::Err : Outcome::Halted)
                                       : session.startRun(RunKind::Run);
    while (outcome == Outcome::SliceDone) {
        std::int64_t slice = kSlice;
        if (options.maxSteps >= 0) {
            const std::int64_t left = options.maxSteps - session.runMicroInstructions();
            if (left <= 0) {
                break;
            }
            slice = std::min(slice, left);
        }
        outcome = session.runSlice(slice);
    }
    const auto stopped = std::chrono::steady_clock::now();
    if (outcome == Outcome::OutsideProgram) {
        reportEnd(session, options, outcome);
        return kExitBadInput;
    }
    // The port has said why (or main will: output that cannot be written).
    if (outcome == Outcome::PortFailed) {
        return kExitBadInput;
    }
    return finishWithStats(session, options, outcome, startCount,
                           std::chrono::duration<double>(stopped - started).count());
}

// Runs one IJVM instruction at a time, for a trace line after each.
int runTraced(MachineSession& session, const RunOptions& options) {
    const ControlPath& machine = session.machine();
    const std::int64_t unlimited = std::numeric_limits<std::int64_t>::max();
    const std::int64_t startCount = session.microInstructions();
    Outcome outcome = Outcome::Halted;
    const auto started = std::chrono::steady_clock::now();
    while (!session.atHalt()) {
        const std::int64_t used = session.microInstructions() - startCount;
        if (options.maxSteps >= 0 && used >= options.maxSteps) {
            outcome = Outcome::BoundReached;
            break;
        }
        if (session.atInstructionBoundary() && session.outsideProgram()) {
            reportEnd(session, options, Outcome::OutsideProgram);
            return kExitBadInput;
        }
        const std::int32_t address = machine.PC();
        const std::int64_t budget = options.maxSteps >= 0 ? options.maxSteps - used : unlimited;
        outcome = session.ijvmStep(budget);
        if (outcome == Outcome::PortFailed) {
            return kExitBadInput;
        }
        if (outcome == Outcome::BoundReached || outcome == Outcome::MemoryFull) {
            break;
        }
        printTrace(machine, address,
                   describeInstruction(machine.methodArea, machine.methodAreaSize, address,
                                       machine.methods, machine.constants.size(),
                                       *machine.instructionSet));
    }
    const auto stopped = std::chrono::steady_clock::now();
    return finishWithStats(session, options, outcome, startCount,
                           std::chrono::duration<double>(stopped - started).count());
}

// Connects IN to standard input and OUT to standard output.
void connectStandardStreams(MachineSession& session, InputNumbers& input) {
    session.setInputSupplier([&input] { return input.next(); });
    // Each character is shown at once, before IN waits for a number; output that cannot be
    // written ends the run.
    session.setOutputSink([](std::uint8_t ch) {
        std::putchar(ch);
        return std::fflush(stdout) == 0;
    });
}

} // namespace

int runCommand(int argc, char** argv) {
    RunOptions options;
    if (!parseRunOptions(argc, argv, options)) {
        return kExitBadInput;
    }
    std::string source;
    if (!readInputFile(kCommand, options.program, source)) {
        return kExitBadInput;
    }

    std::shared_ptr<const InstructionSet> instructions =
        loadInstructionSet(kCommand, options.instructions);
    if (!instructions) {
        return kExitBadInput;
    }
    auto session = std::make_unique<MachineSession>();
    session->setInstructionSet(instructions);
    // A batch run never goes back.
    session->setKeepHistory(false);
    if (options.memoryLimit > 0) {
        session->setMemoryLimit(options.memoryLimit);
    }
    if (!loadMicroprogram(options, *session)) {
        return kExitBadInput;
    }

    if (!session->compileAndLoadText(source).loaded) {
        printAssemblerErrors(options.program, source, session->machine().errors);
        return kExitBadInput;
    }

    // The machine stands at the first instruction of main (loading ran the start-up call).
    InputNumbers input;
    connectStandardStreams(*session, input);
    session->setStopOutsideProgram(true);
    const int status =
        options.trace ? runTraced(*session, options) : runInSlices(*session, options);
    std::fflush(stdout);
    return status;
}

} // namespace tessaro::cli
