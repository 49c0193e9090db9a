// Breakpoints and the execution counts, through the machine session.

#include "ijvm/instruction_set.h"
#include "machine/execution_report.h"
#include "machine/program_generator.h"
#include "tests/support/machine.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tessaro {
namespace {

using testing::makeSession;
using testing::scratchPath;

// Counts down from 3: its IINC runs three times.
const char* const kCountdown = ".main\n.var\ni\n.end-var\nBIPUSH 3\nISTORE i\n"
                               "loop: IINC i -1\nILOAD i\nIFEQ done\nGOTO loop\n"
                               "done: HALT\n.end-main\n";

const char* const kFibonacci = ".main\nBIPUSH 0\nBIPUSH 6\nINVOKEVIRTUAL fib\nOUT\nHALT\n"
                               ".end-main\n.method fib(n)\nILOAD n\nBIPUSH 2\nISUB\nIFLT small\n"
                               "BIPUSH 0\nILOAD n\nBIPUSH 1\nISUB\nINVOKEVIRTUAL fib\nBIPUSH 0\n"
                               "ILOAD n\nBIPUSH 2\nISUB\nINVOKEVIRTUAL fib\nIADD\nIRETURN\n"
                               "small: ILOAD n\nIRETURN\n.end-method\n";

std::unique_ptr<MachineSession> loaded(const std::string& source) {
    auto session = makeSession();
    EXPECT_TRUE(session->compileAndLoadText(source, scratchPath("debug.jvm")).loaded);
    return session;
}

// Where the first instruction with code is reached, found by stepping; the session is reset
// afterwards.
std::int32_t addressOf(MachineSession& session, std::uint8_t code) {
    while (session.nextOpcode() != code && session.ijvmStep() == Outcome::Done) {
    }
    const std::int32_t pc = session.machine().PC();
    session.reset();
    return pc;
}

// Runs in slices of budget; the outcome that ended the run.
Outcome runUntilItEnds(MachineSession& session, std::int64_t budget) {
    Outcome outcome = session.startRun(RunKind::Run);
    while (outcome == Outcome::SliceDone) {
        outcome = session.runSlice(budget);
    }
    return outcome;
}

// How many runs stop at a breakpoint before the program halts, whatever the slice size: a
// breakpoint is neither skipped at a slice's edge nor hit twice in a row.
TEST(Breakpoints, ARunStopsBeforeEachVisitOfAMarkedInstruction) {
    for (const std::int64_t budget : {1, 2, 7, 1'000'000}) {
        auto session = loaded(kCountdown);
        const std::int32_t iinc = addressOf(*session, opcode::IINC);
        session->setPcBreakpoint(iinc, true);
        int hits = 0;
        while (runUntilItEnds(*session, budget) == Outcome::BreakpointHit) {
            ++hits;
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
}

TEST(Breakpoints, AMarkedMicroAddressStopsBeforeItsMicroInstruction) {
    auto session = loaded(kFibonacci);
    const std::uint32_t invoke = opcode::INVOKEVIRTUAL;
    session->setMicroBreakpoint(invoke, true);
    int calls = 0;
    while (runUntilItEnds(*session, 1'000'000) == Outcome::BreakpointHit) {
        EXPECT_EQ(session->machine().MPC, static_cast<std::int32_t>(invoke));
        EXPECT_EQ(session->lastBreakpoint().kind, BreakpointStop::Kind::Micro);
        // Stopped before it: the routine's first line has run once per earlier call only.
        EXPECT_EQ(session->counts().perAddress[invoke], calls);
        ++calls;
        ASSERT_LT(calls, 100);
    }
    EXPECT_EQ(calls, 25); // fib(6) makes 24 recursive calls, main one
    EXPECT_EQ(session->newestOutput(), 8);
}

TEST(Breakpoints, StepsIgnoreThemAndUnmarkedOnesNoLongerStop) {
    auto session = loaded(kCountdown);
    const std::int32_t iinc = addressOf(*session, opcode::IINC);
    session->setPcBreakpoint(iinc, true);
    session->setMicroBreakpoint(opcode::GOTO, true);
    for (int i = 0; i < 40 && !session->atHalt(); ++i) {
        EXPECT_NE(session->ijvmStep(), Outcome::BreakpointHit);
    }
    EXPECT_TRUE(session->atHalt());
    session->reset();
    session->setPcBreakpoint(iinc, false);
    session->setMicroBreakpoint(opcode::GOTO, false);
    EXPECT_EQ(runUntilItEnds(*session, 5), Outcome::Halted);
    session->reset();
    session->setPcBreakpoint(iinc, true);
    session->clearBreakpoints();
    EXPECT_EQ(runUntilItEnds(*session, 1'000'000), Outcome::Halted);
}

// The counts as an independent observer finds them: stepping one IJVM instruction at a time
// on a plain machine and charging each step's micro-instructions to the opcode at PC.
struct Observed {
    std::map<std::uint8_t, std::int64_t> runs, micro;
    std::int64_t total = 0;
};

Observed observeByStepping(const std::string& source) {
    auto machine = testing::makeMachine();
    testing::loadSource(*machine, source);
    Observed seen;
    const std::int64_t start = machine->microCount;
    for (int i = 0; i < 1'000'000 && machine->MPC != ControlPath::kHaltAddress; ++i) {
        const std::uint8_t code = machine->methodArea[static_cast<std::size_t>(machine->PC())];
        const std::int64_t before = machine->microCount;
        machine->ijvmStepBounded(10'000);
        ++seen.runs[code];
        seen.micro[code] += machine->microCount - before;
    }
    seen.total = machine->microCount - start;
    return seen;
}

TEST(ExecutionCounts, ARunCountsWhatSteppingObservesForEveryOpcode) {
    ProgramGenerator generator(7);
    std::vector<std::string> programs = {kCountdown, kFibonacci};
    for (int i = 0; i < 20; ++i) {
        programs.push_back(generator.next());
    }
    for (const std::string& source : programs) {
        const Observed expected = observeByStepping(source);
        auto session = loaded(source);
        // Through the fast loop in uneven slices, and a few micro steps on the way.
        session->microStep();
        session->microStep();
        ASSERT_EQ(runUntilItEnds(*session, 13), Outcome::Halted);
        const ExecutionCounts& counts = session->counts();
        const std::vector<OpcodeFigures> figures =
            opcodeFigures(counts, session->microInstructions());
        ASSERT_EQ(figures.size(), expected.runs.size()) << source;
        for (const OpcodeFigures& f : figures) {
            EXPECT_EQ(f.runs, expected.runs.at(f.opcode)) << f.name << " in\n" << source;
            EXPECT_EQ(f.micro, expected.micro.at(f.opcode)) << f.name << " in\n" << source;
        }
        EXPECT_EQ(counts.microInstructions(), expected.total);
        EXPECT_EQ(counts.instructions(), static_cast<std::int64_t>([&] {
                      std::int64_t n = 0;
                      for (const auto& [code, runs] : expected.runs) {
                          n += runs;
                      }
                      return n;
                  }()));
    }
}

TEST(ExecutionCounts, TheTableListsTheCostliestFirstWithDocumentedFigures) {
    auto session = loaded(".main\nBIPUSH 5\nBIPUSH 7\nIADD\nOUT\nHALT\n.end-main\n");
    ASSERT_EQ(runUntilItEnds(*session, 1000), Outcome::Halted);
    const std::vector<OpcodeFigures> figures =
        opcodeFigures(session->counts(), session->microInstructions());
    ASSERT_EQ(figures.size(), 4u);
    const std::vector<std::tuple<std::string, std::int64_t, std::int64_t>> expected = {
        {"OUT", 1, 16}, {"BIPUSH", 2, 8}, {"IADD", 1, 4}, {"HALT", 1, 1}};
    for (std::size_t i = 0; i < figures.size(); ++i) {
        EXPECT_EQ(figures[i].name, std::get<0>(expected[i]));
        EXPECT_EQ(figures[i].runs, std::get<1>(expected[i]));
        EXPECT_EQ(figures[i].micro, std::get<2>(expected[i]));
    }
    const std::vector<AddressFigures> busiest = busiestAddresses(session->counts(), 2);
    ASSERT_EQ(busiest.size(), 2u);
    EXPECT_EQ(busiest[0].address, 0u); // the main loop runs once per instruction
    EXPECT_EQ(busiest[0].runs, 5);
    // A reset starts the counts again.
    session->reset();
    EXPECT_EQ(session->counts().microInstructions(), 0);
    EXPECT_EQ(session->counts().instructions(), 0);
}

TEST(History, ResetAndLoadForgetIt) {
    auto session = loaded(kCountdown);
    EXPECT_FALSE(session->canStepBack());
    EXPECT_EQ(session->stepBackMicro(), Outcome::AtHistoryStart);
    session->ijvmStep();
    EXPECT_TRUE(session->canStepBack());
    session->reset();
    EXPECT_FALSE(session->canStepBack());
    session->ijvmStep();
    ASSERT_TRUE(session->compileAndLoadText(kCountdown, scratchPath("debug.jvm")).loaded);
    EXPECT_FALSE(session->canStepBack());
    EXPECT_EQ(session->stepBackIjvm(), Outcome::AtHistoryStart);
}

TEST(History, GoingBackAfterALongRunIsQuickAndExact) {
    auto session = loaded(kFibonacci);
    ASSERT_EQ(runUntilItEnds(*session, 100'000), Outcome::Halted);
    const std::int64_t end = session->microInstructions();
    // Back over OUT to the boundary before it, then forward again to the same end.
    EXPECT_EQ(session->stepBackIjvm(), Outcome::Done);
    EXPECT_EQ(session->stepBackIjvm(), Outcome::Done);
    EXPECT_EQ(session->nextOpcode(), opcode::OUT);
    EXPECT_EQ(session->ijvmStep(), Outcome::Done);
    EXPECT_EQ(session->ijvmStep(), Outcome::Halted);
    EXPECT_EQ(session->microInstructions(), end);
    EXPECT_EQ(session->newestOutput(), 8);
}

} // namespace
} // namespace tessaro
