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

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>

namespace tessaro::cli {

namespace {

constexpr int kExitHalted = 0;
constexpr int kExitBadInput = 1;
constexpr int kExitStepLimit = 2;
constexpr int kExitErr = 3;
constexpr int kExitMemoryLimit = 4;

constexpr const char* kCommand = "tessaro-cli run";
constexpr const char* kStoppedByErr = "tessaro-cli run: il programma si è fermato con ERR\n";

// Translates the microprogram and fills the control store; problems are bad input.
bool loadMicroprogram(const RunOptions& options, MachineSession& session) {
    ControlStoreRecords store;
    if (!translateMicroprogram(kCommand, options.microprogram, store)) {
        return false;
    }
    session.loadControlStore(store);
    for (const std::string& warning : missingRoutineWarnings(*session.machine().instructionSet,
                                                             session.machine().controlStore)) {
        std::fprintf(stderr, localized("%s: avviso: %s\n").c_str(), kCommand, warning.c_str());
    }
    return true;
}

void printTrace(const ControlPath& machine, std::int32_t address, const std::string& text) {
    const std::int32_t* top = machine.wordMemory.peek(static_cast<std::uint32_t>(machine.SP()));
    if (top != nullptr) {
        std::fprintf(stderr, localized("%6d  %-28s cima della pila %d\n").c_str(), address,
                     text.c_str(), *top);
    } else {
        std::fprintf(stderr, localized("%6d  %-28s cima della pila (mai scritta)\n").c_str(),
                     address, text.c_str());
    }
}

void reportOutside(const ControlPath& machine) {
    std::fprintf(stderr,
                 localized("tessaro-cli run: il programma è andato oltre la fine del suo codice "
                           "(PC = %d) senza HALT\n")
                     .c_str(),
                 machine.PC());
}

void reportMemoryLimit(const MachineSession& session) {
    std::fprintf(stderr,
                 localized("tessaro-cli run: il programma richiede più di %lld parole di memoria, "
                           "il limite (--memory-limit N ne fissa un altro); fermato a PC = %d\n")
                     .c_str(),
                 static_cast<long long>(session.memoryLimit()), session.machine().PC());
}

void reportStepLimit(const RunOptions& options) {
    std::fprintf(stderr,
                 localized("tessaro-cli run: nessun HALT entro %lld micro-istruzioni\n").c_str(),
                 static_cast<long long>(options.maxSteps));
}

// Runs to HALT (or the step limit) without stopping between instructions.
int runInSlices(MachineSession& session, const RunOptions& options) {
    constexpr std::int64_t kSlice = 10'000'000;
    Outcome outcome = session.atHalt() ? Outcome::Halted : session.startRun(RunKind::Run);
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
        if (outcome == Outcome::SliceDone && session.outsideProgram()) {
            reportOutside(session.machine());
            return kExitBadInput;
        }
    }
    if (outcome == Outcome::MemoryFull) {
        reportMemoryLimit(session);
        return kExitMemoryLimit;
    }
    if (outcome == Outcome::SliceDone) {
        reportStepLimit(options);
        return kExitStepLimit;
    }
    if (session.haltedByErr()) {
        std::fputs(localized(kStoppedByErr).c_str(), stderr);
        return kExitErr;
    }
    return kExitHalted;
}

// Runs one IJVM instruction at a time, giving IN its numbers and writing what OUT writes.
int runByInstruction(MachineSession& session, const RunOptions& options) {
    InputNumbers input;
    const ControlPath& machine = session.machine();
    const std::int64_t unlimited = std::numeric_limits<std::int64_t>::max();
    const std::int64_t startCount = session.microInstructions();
    std::int64_t instructions = 0;
    int status = kExitHalted;
    const auto started = std::chrono::steady_clock::now();
    while (!session.atHalt()) {
        const std::int64_t used = session.microInstructions() - startCount;
        if (options.maxSteps >= 0 && used >= options.maxSteps) {
            status = kExitStepLimit;
            break;
        }
        if (session.atInstructionBoundary() && session.outsideProgram()) {
            reportOutside(machine);
            return kExitBadInput;
        }
        const std::int32_t address = machine.PC();
        const std::uint8_t code = session.nextOpcode();
        if (code == opcode::IN) {
            std::int32_t value = 0;
            if (!input.next(value)) {
                return kExitBadInput;
            }
            session.setInput(value);
        }
        const std::int64_t budget = options.maxSteps >= 0 ? options.maxSteps - used : unlimited;
        const Outcome outcome = session.ijvmStep(budget);
        if (outcome == Outcome::BoundReached) {
            status = kExitStepLimit;
            break;
        }
        if (outcome == Outcome::MemoryFull) {
            status = kExitMemoryLimit;
            break;
        }
        ++instructions;
        if (outcome == Outcome::Err) {
            status = kExitErr;
        }
        if (code == opcode::OUT && session.atInstructionBoundary()) {
            std::putchar(session.newestOutput());
            // Output that cannot be written ends the run; the caller says why.
            if (std::fflush(stdout) != 0) {
                return kExitBadInput;
            }
        }
        if (options.trace) {
            printTrace(machine, address,
                       describeInstruction(machine.methodArea, machine.methodAreaSize, address,
                                           machine.methods, machine.constants.size(),
                                           *machine.instructionSet));
        }
    }
    const auto stopped = std::chrono::steady_clock::now();
    std::fflush(stdout);

    if (status == kExitStepLimit) {
        reportStepLimit(options);
    } else if (status == kExitErr) {
        std::fputs(localized(kStoppedByErr).c_str(), stderr);
    } else if (status == kExitMemoryLimit) {
        reportMemoryLimit(session);
    }
    if (options.stats) {
        const std::int64_t micro = session.microInstructions() - startCount;
        const double seconds = std::chrono::duration<double>(stopped - started).count();
        std::fprintf(stderr, localized("micro-istruzioni: %lld\n").c_str(),
                     static_cast<long long>(micro));
        std::fprintf(stderr, localized("istruzioni IJVM: %lld\n").c_str(),
                     static_cast<long long>(instructions));
        std::fprintf(stderr, localized("secondi: %.6f\n").c_str(), seconds);
        std::fprintf(stderr, localized("micro-istruzioni/s: %.0f\n").c_str(),
                     seconds > 0 ? static_cast<double>(micro) / seconds : 0.0);
        std::fputs(
            opcodeTable(session.counts(), session.microInstructions(), *machine.instructionSet)
                .c_str(),
            stderr);
    }
    return status;
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
    // It is driven one IJVM instruction at a time, because IN and OUT are recognised by the
    // opcode about to run: that works with any microprogram, not only the built-in one.
    // Stepping costs about half of the speed, so a program that can never execute IN or
    // OUT (no such byte anywhere in its method area, where PC always points) runs in large
    // slices instead, unless a trace or the instruction count is wanted.
    if (!options.trace && !options.stats && !session->mayUseInOrOut()) {
        return runInSlices(*session, options);
    }
    return runByInstruction(*session, options);
}

} // namespace tessaro::cli
