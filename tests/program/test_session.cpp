// The machine session: what each command reports and the state it leaves, breakpoints, the
// execution counts, going back, and replacing the control store under a loaded program.

#include "check/program_generator.h"
#include "ijvm/instruction_set.h"
#include "machine/execution_report.h"
#include "tests/program/program_support.h"
#include "tests/support/machine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace tessaro::testing {
namespace {

// Counts down from 3: its IINC runs three times.
const char* const kCountdown = ".main\n.var\ni\n.end-var\nBIPUSH 3\nISTORE i\n"
                               "loop: IINC i -1\nILOAD i\nIFEQ done\nGOTO loop\n"
                               "done: HALT\n.end-main\n";
// Prints fib(6) = 8 through 25 calls.
const char* const kFibonacci = ".main\nBIPUSH 0\nBIPUSH 6\nINVOKEVIRTUAL fib\nOUT\nHALT\n"
                               ".end-main\n.method fib(n)\nILOAD n\nBIPUSH 2\nISUB\nIFLT small\n"
                               "BIPUSH 0\nILOAD n\nBIPUSH 1\nISUB\nINVOKEVIRTUAL fib\nBIPUSH 0\n"
                               "ILOAD n\nBIPUSH 2\nISUB\nINVOKEVIRTUAL fib\nIADD\nIRETURN\n"
                               "small: ILOAD n\nIRETURN\n.end-method\n";
const char* const kEcho = ".main\nIN\nDUP\nOUT\nOUT\nHALT\n.end-main\n";
const char* const kSum = ".main\nBIPUSH 7\nBIPUSH 3\nIADD\nHALT\n.end-main\n";
const char* const kForever = ".main\nl: GOTO l\n.end-main\n";

class Session : public ::testing::Test {
protected:
    std::unique_ptr<MachineSession> session = makeSession();

    void load(const std::string& source) {
        ASSERT_TRUE(session->compileAndLoadText(source).loaded);
    }
    // Runs in slices of budget until the run ends; the outcome that ended it.
    Outcome runToEnd(std::int64_t budget, RunKind kind = RunKind::Run) {
        Outcome outcome = session->startRun(kind);
        for (int slices = 0; outcome == Outcome::SliceDone && slices < 100'000; ++slices) {
            outcome = session->runSlice(budget);
        }
        return outcome;
    }
    // Where the first instruction with code is reached, found by stepping; then a reset.
    std::int32_t addressOf(std::uint8_t code) {
        while (session->nextOpcode() != code && session->ijvmStep() == Outcome::Done) {
        }
        const std::int32_t pc = session->machine().PC();
        session->reset();
        return pc;
    }
    // Every command refuses to execute.
    void expectNothingRuns() {
        SubCyclePhase shown = SubCyclePhase::CBus;
        EXPECT_EQ(session->state(), SessionState::NothingLoaded);
        EXPECT_EQ(session->microStep(), Outcome::NotLoaded);
        EXPECT_EQ(session->ijvmStep(), Outcome::NotLoaded);
        EXPECT_EQ(session->subCycle(shown), Outcome::NotLoaded);
        EXPECT_EQ(session->startRun(RunKind::Run), Outcome::NotLoaded);
        EXPECT_EQ(session->runSlice(10), Outcome::NotLoaded);
        EXPECT_EQ(session->reset(), Outcome::NotLoaded);
    }
};

TEST_F(Session, NothingExecutesWithoutALoadedProgram) {
    // A new session: nothing loaded, marked, pending or refused, and history kept.
    EXPECT_EQ(session->state(), SessionState::NothingLoaded);
    EXPECT_FALSE(session->canStepBack());
    EXPECT_FALSE(session->atMemoryLimit());
    EXPECT_TRUE(session->debugger().keepsHistory());
    const ControlPath& machine = session->machine();
    EXPECT_FALSE(machine.hasBreakpoints());
    EXPECT_FALSE(machine.leftCode());
    EXPECT_FALSE(machine.wordLimitReached());
    EXPECT_FALSE(machine.ioRefused());
    EXPECT_FALSE(machine.outputPending());
    EXPECT_EQ(session->printed(), "");
    expectNothingRuns();
    EXPECT_EQ(session->microInstructions(), 0);
    // A program with errors is assembled but not loaded.
    EXPECT_FALSE(session->compileAndLoadText(".main\nBIPUSH\n.end-main\n").loaded);
    EXPECT_FALSE(session->machine().errors.empty());
    expectNothingRuns();
    // Unloading abandons a run.
    load(kForever);
    ASSERT_EQ(session->startRun(RunKind::Run), Outcome::SliceDone);
    session->unload();
    EXPECT_FALSE(session->isRunning());
    expectNothingRuns();
    // A new control store loads nothing either; the next program runs on it.
    session->replaceControlStore(translatedStore(
        editedMicroprogram("iadd3    MDR = TOS = MDR + H", "iadd3    MDR = TOS = MDR - H")));
    expectNothingRuns();
    load(kSum);
    EXPECT_EQ(runToEnd(1000), Outcome::Halted);
    EXPECT_EQ(session->machine().TOS(), 4);
    // An assembled program counts only once accepted.
    session->assembleText(kSum);
    EXPECT_FALSE(session->isLoaded());
    EXPECT_EQ(session->microStep(), Outcome::NotLoaded);
    EXPECT_TRUE(session->acceptProgram());
    EXPECT_EQ(session->state(), SessionState::Loaded);
}

TEST_F(Session, StepsAndRunsInSlicesOfAnySizeEndAlike) {
    load(kCountdown);
    const std::int64_t start = session->microInstructions();
    int steps = 0;
    Outcome outcome = Outcome::Done;
    for (; outcome == Outcome::Done && steps < 100; ++steps) {
        outcome = session->ijvmStep();
        EXPECT_TRUE(outcome != Outcome::Done || session->atInstructionBoundary());
    }
    EXPECT_EQ(outcome, Outcome::Halted);
    // BIPUSH, ISTORE, then three rounds of IINC ILOAD IFEQ (GOTO in two of them), HALT.
    EXPECT_EQ(steps, 2 + 3 * 3 + 2 + 1);
    EXPECT_EQ(session->state(), SessionState::Halted);
    const std::int64_t total = session->microInstructions();
    for (const std::int64_t budget : {1'000'000, 3}) {
        ASSERT_EQ(session->reset(), Outcome::Done);
        ASSERT_EQ(runToEnd(budget), Outcome::Halted);
        EXPECT_EQ(session->microInstructions(), total);
        EXPECT_EQ(session->runMicroInstructions(), total - start);
        EXPECT_FALSE(session->isRunning());
    }
}

TEST_F(Session, ErrIsToldApartFromHaltInStepsAndRuns) {
    load(".main\nBIPUSH 1\nERR\nHALT\n.end-main\n");
    EXPECT_EQ(session->ijvmStep(), Outcome::Done);
    EXPECT_EQ(session->ijvmStep(), Outcome::Err);
    EXPECT_TRUE(session->haltedByErr());
    ASSERT_EQ(session->reset(), Outcome::Done);
    EXPECT_FALSE(session->haltedByErr());
    EXPECT_EQ(runToEnd(5), Outcome::Err);
    load(kCountdown);
    EXPECT_EQ(runToEnd(5), Outcome::Halted);
    EXPECT_FALSE(session->haltedByErr());
}

TEST_F(Session, AStopRequestEndsTheRunAfterItsSlice) {
    load(kForever);
    ASSERT_EQ(session->startRun(RunKind::Run), Outcome::SliceDone);
    EXPECT_EQ(session->runSlice(100), Outcome::SliceDone);
    EXPECT_EQ(session->state(), SessionState::Running);
    // Nothing else runs while the run goes on.
    EXPECT_EQ(session->microStep(), Outcome::Busy);
    EXPECT_EQ(session->reset(), Outcome::Busy);
    session->requestStop();
    EXPECT_EQ(session->runSlice(100), Outcome::Stopped);
    EXPECT_EQ(session->runMicroInstructions(), 200);
    EXPECT_EQ(session->state(), SessionState::Stopped);
    EXPECT_EQ(session->microStep(), Outcome::Done);
    EXPECT_EQ(session->state(), SessionState::Loaded);
    // Going back leaves a stop behind as well.
    ASSERT_EQ(session->startRun(RunKind::Run), Outcome::SliceDone);
    session->requestStop();
    EXPECT_EQ(session->runSlice(100), Outcome::Stopped);
    EXPECT_EQ(session->stepBackMicro(), Outcome::Done);
    EXPECT_EQ(session->state(), SessionState::Loaded);
}

// A window's runs go by the clock: slices grow on a fast machine and shrink on a slow one.
TEST(SessionSlices, AimAtTheTargetTimeWithinTheirBounds) {
    const std::int64_t target = MachineSession::kSliceTarget.count();
    const struct {
        std::int64_t size, tookMs, next;
    } rows[] = {
        {200'000, target, 200'000},         {200'000, 2 * target, 100'000},
        {200'000, target / 2, 400'000},     {200'000, 0, 5'000'000},
        {200'000, -5, 5'000'000},           {100'000, 1, 4'000'000},
        {20'000, 4 * target, 10'000},       {10'000, 1000 * target, 10'000},
        {4'000'000, target - 1, 4'102'564}, {4'900'000, target / 2, 5'000'000},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(MachineSession::nextSliceSize(row.size, row.tookMs), row.next)
            << row.size << " in " << row.tookMs << " ms";
    }
}

TEST_F(Session, ARunByTheClockEndsLikeAnyOtherAndIsTimed) {
    load(kCountdown);
    ASSERT_EQ(session->startRun(RunKind::Run), Outcome::SliceDone);
    Outcome outcome = Outcome::SliceDone;
    for (int slices = 0; outcome == Outcome::SliceDone && slices < 1000; ++slices) {
        outcome = session->runSlice();
    }
    EXPECT_EQ(outcome, Outcome::Halted);
    EXPECT_GE(session->runSeconds(), 0.0);
    EXPECT_LT(session->runSeconds(), 60.0);
}

TEST_F(Session, ASlicedIjvmStepEndsAtTheNextBoundaryOrAtItsBound) {
    load(kCountdown);
    const std::int32_t pc = session->machine().PC();
    EXPECT_EQ(runToEnd(1, RunKind::IjvmStep), Outcome::Done);
    EXPECT_EQ(session->machine().PC(), pc + 2); // past BIPUSH 3
    load(kForever);
    session->ijvmStepBound = 50;
    EXPECT_EQ(session->ijvmStep(), Outcome::Done); // GOTO returns to the main loop
    EXPECT_EQ(session->ijvmStep(3), Outcome::BoundReached);
    EXPECT_EQ(session->microInstructions(), 24 + 7 + 3);
}

TEST_F(Session, TheSubCycleExecutesOnceInFourPresses) {
    load(kCountdown);
    const std::int64_t before = session->microInstructions();
    for (const SubCyclePhase phase :
         {SubCyclePhase::Execute, SubCyclePhase::BBus, SubCyclePhase::Alu, SubCyclePhase::CBus,
          SubCyclePhase::Execute}) {
        SubCyclePhase shown = SubCyclePhase::CBus;
        ASSERT_EQ(session->subCycle(shown), Outcome::Done);
        EXPECT_EQ(shown, phase);
    }
    EXPECT_EQ(session->microInstructions(), before + 2);
    // Any other command leaves the sub-cycle.
    EXPECT_EQ(session->microStep(), Outcome::Done);
    EXPECT_EQ(session->subCyclePhase(), SubCyclePhase::Execute);
}

TEST_F(Session, InputReachesInAndOutputIsTheWindowOfCharacters) {
    load(kEcho);
    EXPECT_TRUE(session->mayUseInOrOut());
    EXPECT_EQ(session->output(), "     ");
    session->setInput('A');
    EXPECT_EQ(session->input(), 'A');
    EXPECT_EQ(session->nextOpcode(), opcode::IN);
    for (int i = 0; i < 3; ++i) { // IN DUP OUT
        ASSERT_EQ(session->ijvmStep(), Outcome::Done);
    }
    EXPECT_EQ(session->newestOutput(), 'A');
    ASSERT_EQ(session->ijvmStep(), Outcome::Done);
    EXPECT_EQ(session->output(), "   AA");
    // Reset clears the input word; the output window keeps its characters.
    ASSERT_EQ(session->reset(), Outcome::Done);
    EXPECT_EQ(session->input(), 0);
    EXPECT_EQ(session->output(), "   AA");
}

TEST_F(Session, AProgramWithoutHaltIsSeenLeavingItsCode) {
    load(".main\nBIPUSH 1\nPOP\n.end-main\n");
    EXPECT_FALSE(session->outsideProgram());
    EXPECT_FALSE(session->mayUseInOrOut());
    ASSERT_EQ(session->ijvmStep(), Outcome::Done);
    ASSERT_EQ(session->ijvmStep(), Outcome::Done);
    EXPECT_TRUE(session->outsideProgram());
}

// How many runs stop at a breakpoint before the program halts, whatever the slice size: a
// breakpoint is neither skipped at a slice's edge nor hit twice in a row.
TEST_F(Session, ARunStopsBeforeEachVisitOfAMarkedInstructionAndAStepDoesNot) {
    load(kCountdown);
    const std::int32_t iinc = addressOf(opcode::IINC);
    for (const std::int64_t budget : {1, 2, 7, 1'000'000}) {
        load(kCountdown);
        session->debugger().setPcBreakpoint(iinc, true);
        int hits = 0;
        for (; runToEnd(budget) == Outcome::BreakpointHit; ++hits) {
            EXPECT_EQ(session->lastBreakpoint().kind, BreakpointStop::Kind::Pc);
            EXPECT_EQ(session->lastBreakpoint().address, iinc);
            EXPECT_TRUE(session->atInstructionBoundary());
            EXPECT_EQ(session->machine().PC(), iinc);
            EXPECT_EQ(session->state(), SessionState::Stopped);
            ASSERT_LT(hits, 10);
        }
        EXPECT_EQ(hits, 3) << "slices of " << budget;
        EXPECT_TRUE(session->atHalt());
    }
    // Steps ignore breakpoints; unmarked or cleared ones no longer stop a run.
    session->reset();
    session->debugger().setMicroBreakpoint(opcode::GOTO, true);
    for (int i = 0; i < 40 && !session->atHalt(); ++i) {
        EXPECT_NE(session->ijvmStep(), Outcome::BreakpointHit);
    }
    EXPECT_TRUE(session->atHalt());
    session->reset();
    session->debugger().setPcBreakpoint(iinc, false);
    session->debugger().setMicroBreakpoint(opcode::GOTO, false);
    EXPECT_EQ(runToEnd(5), Outcome::Halted);
    // Marked again, it stops a run again.
    session->reset();
    session->debugger().setPcBreakpoint(iinc, true);
    EXPECT_EQ(runToEnd(5), Outcome::BreakpointHit);
}

TEST_F(Session, AMarkedMicroAddressStopsBeforeItsMicroInstruction) {
    load(kFibonacci);
    const std::uint32_t invoke = opcode::INVOKEVIRTUAL;
    session->debugger().setMicroBreakpoint(invoke, true);
    int calls = 0;
    for (; runToEnd(1'000'000) == Outcome::BreakpointHit; ++calls) {
        EXPECT_EQ(session->machine().MPC, static_cast<std::int32_t>(invoke));
        EXPECT_EQ(session->lastBreakpoint().kind, BreakpointStop::Kind::Micro);
        // Stopped before it: the routine's first line has run once per earlier call only.
        EXPECT_EQ(session->counts().perAddress[invoke], calls);
        ASSERT_LT(calls, 100);
    }
    EXPECT_EQ(calls, 25);
    EXPECT_EQ(session->newestOutput(), 8);
}

// The fast loop's counts against an independent observer: stepping one IJVM instruction at a
// time on a plain machine and charging each step's micro-instructions to the opcode at PC.
TEST_F(Session, ARunCountsWhatSteppingObservesForEveryOpcode) {
    ProgramGenerator generator(7);
    std::vector<std::string> programs = {kCountdown, kFibonacci};
    for (int i = 0; i < 20; ++i) {
        programs.push_back(generator.next());
    }
    for (const std::string& source : programs) {
        SCOPED_TRACE(source);
        auto machine = makeMachine();
        loadSource(*machine, source);
        std::map<std::uint8_t, std::pair<std::int64_t, std::int64_t>> expected; // runs, micro
        std::int64_t instructions = 0;
        const std::int64_t start = machine->microCount;
        for (; instructions < 1'000'000 && machine->MPC != ControlPath::kHaltAddress;
             ++instructions) {
            auto& [runs, micro] = expected[machine->methodArea[std::size_t(machine->PC())]];
            const std::int64_t before = machine->microCount;
            machine->ijvmStepBounded(10'000);
            ++runs;
            micro += machine->microCount - before;
        }
        // Through the fast loop in uneven slices, and a few micro steps on the way.
        load(source);
        session->microStep();
        session->microStep();
        ASSERT_EQ(runToEnd(13), Outcome::Halted);
        std::map<std::uint8_t, std::pair<std::int64_t, std::int64_t>> counted;
        for (const OpcodeFigures& f :
             opcodeFigures(session->counts(), session->microInstructions())) {
            counted[f.opcode] = {f.runs, f.micro};
        }
        EXPECT_EQ(counted, expected);
        EXPECT_EQ(session->counts().microInstructions(), machine->microCount - start);
        EXPECT_EQ(session->counts().instructions(), instructions);
        // The main loop runs once per instruction, more than any other line.
        const std::vector<AddressFigures> busiest = busiestAddresses(session->counts(), 2);
        ASSERT_EQ(busiest.size(), 2u);
        EXPECT_EQ(busiest[0].address, 0u);
        EXPECT_EQ(busiest[0].runs, instructions);
    }
    // A reset starts the counts again.
    session->reset();
    EXPECT_EQ(session->counts().microInstructions(), 0);
    EXPECT_EQ(session->counts().instructions(), 0);
}

// Ties go by address or opcode, lowest first, whatever order they were counted in. Opcode 0,
// which no instruction has, is counted like any other and named by its number.
TEST(ExecutionReport, TheBusiestComeFirstAndTiesKeepTheirOrder) {
    ExecutionCounts counts;
    for (const auto& [address, runs] : {std::pair{9, 7}, {5, 3}, {2, 3}, {1, 1}}) {
        counts.perAddress[static_cast<std::size_t>(address)] = runs;
    }
    std::vector<std::pair<std::uint32_t, std::int64_t>> top;
    for (const AddressFigures& f : busiestAddresses(counts, 3)) {
        top.emplace_back(f.address, f.runs);
    }
    EXPECT_EQ(top, (std::vector<std::pair<std::uint32_t, std::int64_t>>{{9, 7}, {2, 3}, {5, 3}}));
    EXPECT_EQ(busiestAddresses(counts, 9).size(), 4u);

    counts.dispatch(0x00, 0);
    counts.dispatch(opcode::IADD, 4);
    counts.dispatch(opcode::ISUB, 7);
    counts.dispatch(0x00, 10);
    std::vector<std::tuple<std::string, std::int64_t, std::int64_t>> figures;
    for (const OpcodeFigures& f : opcodeFigures(counts, 12)) {
        figures.emplace_back(f.name, f.runs, f.micro);
    }
    EXPECT_EQ(figures, (std::vector<std::tuple<std::string, std::int64_t, std::int64_t>>{
                           {"0x00", 2, 6}, {"IADD", 1, 3}, {"ISUB", 1, 3}}));
}

TEST_F(Session, ResetAndLoadForgetTheHistoryAndGoingBackIsExact) {
    load(kCountdown);
    EXPECT_FALSE(session->canStepBack());
    EXPECT_EQ(session->stepBackMicro(), Outcome::AtHistoryStart);
    session->ijvmStep();
    EXPECT_TRUE(session->canStepBack());
    session->reset();
    EXPECT_FALSE(session->canStepBack());
    session->ijvmStep();
    load(kFibonacci);
    EXPECT_FALSE(session->canStepBack());
    EXPECT_EQ(session->stepBackIjvm(), Outcome::AtHistoryStart);
    // Going back after a long run: over OUT to the boundary before it, then forward again to
    // the same end.
    ASSERT_EQ(runToEnd(100'000), Outcome::Halted);
    const std::int64_t end = session->microInstructions();
    EXPECT_EQ(session->stepBackIjvm(), Outcome::Done);
    EXPECT_EQ(session->stepBackIjvm(), Outcome::Done);
    EXPECT_EQ(session->nextOpcode(), opcode::OUT);
    EXPECT_EQ(session->ijvmStep(), Outcome::Done);
    EXPECT_EQ(session->ijvmStep(), Outcome::Halted);
    EXPECT_EQ(session->microInstructions(), end);
    EXPECT_EQ(session->newestOutput(), 8);
}

// A new control store is executed from then on, even where an address keeps its place and
// only its contents change (IADD's last line subtracts); the program starts again.
TEST_F(Session, AReplacedControlStoreIsExecutedFromTheProgramsStart) {
    const ControlStoreRecords subtracting = translatedStore(
        editedMicroprogram("iadd3    MDR = TOS = MDR + H", "iadd3    MDR = TOS = MDR - H"));
    load(kSum);
    const std::int32_t startPc = session->machine().PC();
    const std::int64_t startCount = session->microInstructions();
    const int entries = session->machine().controlStore.elementCount();
    ASSERT_EQ(runToEnd(1000), Outcome::Halted);
    ASSERT_EQ(session->machine().TOS(), 10);
    session->replaceControlStore(subtracting);
    EXPECT_EQ(session->machine().controlStore.elementCount(), entries);
    EXPECT_EQ(session->state(), SessionState::Loaded);
    EXPECT_EQ(session->machine().PC(), startPc);
    EXPECT_EQ(session->microInstructions(), startCount);
    EXPECT_EQ(runToEnd(1000), Outcome::Halted);
    EXPECT_EQ(session->machine().TOS(), 4);
    // Also through the step commands.
    ASSERT_EQ(session->reset(), Outcome::Done);
    Outcome outcome = Outcome::Done;
    while (outcome == Outcome::Done) {
        outcome = session->ijvmStep();
    }
    EXPECT_EQ(outcome, Outcome::Halted);
    EXPECT_EQ(session->machine().TOS(), 4);
    // A run in progress is stopped first.
    load(kForever);
    ASSERT_EQ(session->startRun(RunKind::Run), Outcome::SliceDone);
    ASSERT_EQ(session->runSlice(1000), Outcome::SliceDone);
    session->replaceControlStore(subtracting);
    EXPECT_FALSE(session->isRunning());
    EXPECT_EQ(session->state(), SessionState::Loaded);
}

// Two windows on one data folder each write the shared scratch file and assemble at nearly the
// same moment: each must still run its own program, whatever the file holds by then.
TEST(SessionsOnOneDataFolder, EachRunsItsOwnTextWhateverTheSharedScratchFileHolds) {
    const std::string scratch = scratchPath("tmp.swp");
    auto work = [&scratch](MachineSession* session, char letter, std::string* ran) {
        const std::string source =
            ".main\nBIPUSH " + std::to_string(letter) + "\nOUT\nHALT\n.end-main\n";
        for (int i = 0; i < 40; ++i) {
            std::ofstream(scratch, std::ios::binary | std::ios::trunc) << source;
            if (!session->compileAndLoadText(source).loaded) {
                ran->push_back('?');
                continue;
            }
            Outcome outcome = session->startRun(RunKind::Run);
            while (outcome == Outcome::SliceDone) {
                outcome = session->runSlice(1000);
            }
            ran->push_back(static_cast<char>(session->newestOutput()));
        }
    };
    std::unique_ptr<MachineSession> first = makeSession();
    std::unique_ptr<MachineSession> second = makeSession();
    std::string firstRan;
    std::string secondRan;
    std::thread other(work, second.get(), 'B', &secondRan);
    work(first.get(), 'A', &firstRan);
    other.join();
    EXPECT_EQ(firstRan, std::string(40, 'A'));
    EXPECT_EQ(secondRan, std::string(40, 'B'));
}

TEST_F(Session, ARunawayStackStopsAtTheMemoryLimitUntilResetOrStepBack) {
    // Pushes for ever: every push touches a word never touched before.
    load(".main\ntop: BIPUSH 1\nGOTO top\n.end-main\n");
    constexpr std::int64_t kLimit = 5000;
    session->setMemoryLimit(kLimit);
    for (const RunKind kind : {RunKind::Run, RunKind::IjvmStep}) {
        SCOPED_TRACE(static_cast<int>(kind));
        session->reset();
        Outcome outcome = Outcome::Done;
        for (int i = 0; i < 100'000 && outcome != Outcome::MemoryFull; ++i) {
            outcome = kind == RunKind::Run ? runToEnd(1'000'000) : session->ijvmStep();
        }
        ASSERT_EQ(outcome, Outcome::MemoryFull);
        EXPECT_EQ(session->machine().wordMemory.elementCount(), kLimit);
        EXPECT_EQ(session->state(), SessionState::Stopped);
        // It stays where it stopped: nothing executes past the limit...
        const std::int64_t count = session->microInstructions();
        SubCyclePhase shown = SubCyclePhase::Execute;
        EXPECT_EQ(session->microStep(), Outcome::MemoryFull);
        EXPECT_EQ(session->subCycle(shown), Outcome::MemoryFull);
        EXPECT_EQ(session->startRun(RunKind::Run), Outcome::MemoryFull);
        EXPECT_EQ(session->microInstructions(), count);
    }
    // ...until it goes back, which lets it step again.
    EXPECT_EQ(session->stepBackIjvm(), Outcome::Done);
    EXPECT_FALSE(session->atMemoryLimit());
    EXPECT_EQ(session->microStep(), Outcome::Done);
}

} // namespace
} // namespace tessaro::testing
