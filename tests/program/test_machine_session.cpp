// The machine session: what each command reports, the state it leaves, and that it alone
// reaches the input word.

#include "ijvm/ijvmc.h"
#include "tests/support/machine.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaro {
namespace {

using testing::makeSession;
using testing::scratchPath;

const char* const kEcho = ".main\nIN\nDUP\nOUT\nOUT\nHALT\n.end-main\n";
const char* const kCountdown = ".main\n.var\ni\n.end-var\nBIPUSH 3\nISTORE i\n"
                               "loop: IINC i -1\nILOAD i\nIFEQ done\nGOTO loop\n"
                               "done: HALT\n.end-main\n";
const char* const kErr = ".main\nBIPUSH 1\nERR\nHALT\n.end-main\n";
const char* const kForever = ".main\nl: GOTO l\n.end-main\n";

class SessionTest : public ::testing::Test {
protected:
    std::unique_ptr<MachineSession> session = makeSession();

    void load(const char* source) {
        const MachineSession::LoadResult result =
            session->compileAndLoadText(source, scratchPath("session.jvm"));
        ASSERT_TRUE(result.loaded);
    }
    // Runs in slices of budget until the run ends; the outcome that ended it.
    Outcome runToEnd(RunKind kind, std::int64_t budget) {
        EXPECT_EQ(session->startRun(kind), Outcome::SliceDone);
        Outcome outcome = Outcome::SliceDone;
        for (int slices = 0; outcome == Outcome::SliceDone && slices < 100'000; ++slices) {
            outcome = session->runSlice(budget);
        }
        return outcome;
    }
};

TEST_F(SessionTest, NothingExecutesBeforeAProgramIsLoaded) {
    EXPECT_EQ(session->state(), SessionState::NothingLoaded);
    SubCyclePhase shown = SubCyclePhase::CBus;
    EXPECT_EQ(session->microStep(), Outcome::NotLoaded);
    EXPECT_EQ(session->ijvmStep(), Outcome::NotLoaded);
    EXPECT_EQ(session->subCycle(shown), Outcome::NotLoaded);
    EXPECT_EQ(session->startRun(RunKind::Run), Outcome::NotLoaded);
    EXPECT_EQ(session->reset(), Outcome::NotLoaded);
    EXPECT_EQ(session->microInstructions(), 0);
}

TEST_F(SessionTest, AProgramWithErrorsIsAssembledButNotLoaded) {
    const auto result =
        session->compileAndLoadText(".main\nBIPUSH\n.end-main\n", scratchPath("bad.jvm"));
    EXPECT_FALSE(result.loaded);
    EXPECT_FALSE(session->machine().errors.empty());
    EXPECT_EQ(session->state(), SessionState::NothingLoaded);
    EXPECT_EQ(session->ijvmStep(), Outcome::NotLoaded);
}

TEST_F(SessionTest, AnAssembledProgramCountsOnlyOnceAccepted) {
    load(kCountdown);
    session->assemble(scratchPath("session.jvm"));
    EXPECT_FALSE(session->isLoaded());
    EXPECT_EQ(session->microStep(), Outcome::NotLoaded);
    EXPECT_TRUE(session->acceptProgram());
    EXPECT_EQ(session->state(), SessionState::Loaded);
}

TEST_F(SessionTest, StepsReportEachInstructionThenTheHalt) {
    load(kCountdown);
    int steps = 0;
    Outcome outcome = Outcome::Done;
    while (outcome == Outcome::Done && steps < 100) {
        outcome = session->ijvmStep();
        ++steps;
        if (outcome == Outcome::Done) {
            EXPECT_TRUE(session->atInstructionBoundary());
        }
    }
    EXPECT_EQ(outcome, Outcome::Halted);
    // BIPUSH, ISTORE, then three rounds of IINC ILOAD IFEQ (GOTO in two of them), HALT.
    EXPECT_EQ(steps, 2 + 3 * 3 + 2 + 1);
    EXPECT_EQ(session->state(), SessionState::Halted);
}

TEST_F(SessionTest, ErrIsToldApartFromHaltInStepsAndRuns) {
    load(kErr);
    EXPECT_EQ(session->ijvmStep(), Outcome::Done);
    EXPECT_EQ(session->ijvmStep(), Outcome::Err);
    EXPECT_TRUE(session->haltedByErr());
    ASSERT_EQ(session->reset(), Outcome::Done);
    EXPECT_FALSE(session->haltedByErr());
    EXPECT_EQ(runToEnd(RunKind::Run, 5), Outcome::Err);
    load(kCountdown);
    EXPECT_EQ(runToEnd(RunKind::Run, 5), Outcome::Halted);
    EXPECT_FALSE(session->haltedByErr());
}

TEST_F(SessionTest, ARunInSmallSlicesEndsWhereOneLargeRunEnds) {
    load(kCountdown);
    ASSERT_EQ(runToEnd(RunKind::Run, 1'000'000), Outcome::Halted);
    const std::int64_t total = session->microInstructions();
    const std::int64_t runCount = session->runMicroInstructions();
    ASSERT_EQ(session->reset(), Outcome::Done);
    ASSERT_EQ(runToEnd(RunKind::Run, 3), Outcome::Halted);
    EXPECT_EQ(session->microInstructions(), total);
    EXPECT_EQ(session->runMicroInstructions(), runCount);
    EXPECT_FALSE(session->isRunning());
}

TEST_F(SessionTest, AStopRequestEndsTheRunAfterItsSlice) {
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
}

TEST_F(SessionTest, ASlicedIjvmStepEndsAtTheNextBoundaryOrAtItsBound) {
    load(kCountdown);
    const std::int32_t pc = session->machine().PC();
    EXPECT_EQ(runToEnd(RunKind::IjvmStep, 1), Outcome::Done);
    EXPECT_EQ(session->machine().PC(), pc + 2); // past BIPUSH 3
    load(kForever);
    session->ijvmStepBound = 50;
    EXPECT_EQ(session->ijvmStep(), Outcome::Done); // GOTO returns to the main loop
    EXPECT_EQ(session->ijvmStep(3), Outcome::BoundReached);
    EXPECT_EQ(session->microInstructions(), 24 + 7 + 3);
}

TEST_F(SessionTest, TheSubCycleExecutesOnceInFourPresses) {
    load(kCountdown);
    const std::int64_t before = session->microInstructions();
    const SubCyclePhase expected[] = {SubCyclePhase::Execute, SubCyclePhase::BBus,
                                      SubCyclePhase::Alu, SubCyclePhase::CBus,
                                      SubCyclePhase::Execute};
    for (const SubCyclePhase phase : expected) {
        SubCyclePhase shown = SubCyclePhase::CBus;
        ASSERT_EQ(session->subCycle(shown), Outcome::Done);
        EXPECT_EQ(shown, phase);
    }
    EXPECT_EQ(session->microInstructions(), before + 2);
    // Any other command leaves the sub-cycle.
    EXPECT_EQ(session->microStep(), Outcome::Done);
    EXPECT_EQ(session->subCyclePhase(), SubCyclePhase::Execute);
}

TEST_F(SessionTest, InputReachesInAndOutputIsTheWindowOfCharacters) {
    load(kEcho);
    EXPECT_EQ(session->output(), "     ");
    session->setInput('A');
    EXPECT_EQ(session->input(), 'A');
    EXPECT_EQ(session->nextOpcode(), opcode::IN);
    ASSERT_EQ(session->ijvmStep(), Outcome::Done);
    ASSERT_EQ(session->ijvmStep(), Outcome::Done); // DUP
    ASSERT_EQ(session->ijvmStep(), Outcome::Done); // OUT
    EXPECT_EQ(session->newestOutput(), 'A');
    ASSERT_EQ(session->ijvmStep(), Outcome::Done);
    EXPECT_EQ(session->output(), "   AA");
    // Reset clears the input word; the output window keeps its characters.
    ASSERT_EQ(session->reset(), Outcome::Done);
    EXPECT_EQ(session->input(), 0);
    EXPECT_EQ(session->output(), "   AA");
}

TEST_F(SessionTest, UnloadAbandonsARunAndForgetsTheProgram) {
    load(kForever);
    ASSERT_EQ(session->startRun(RunKind::Run), Outcome::SliceDone);
    session->unload();
    EXPECT_FALSE(session->isRunning());
    EXPECT_EQ(session->state(), SessionState::NothingLoaded);
    EXPECT_EQ(session->runSlice(10), Outcome::NotLoaded);
}

TEST_F(SessionTest, AProgramWithoutHaltIsSeenLeavingItsCode) {
    load(".main\nBIPUSH 1\nPOP\n.end-main\n");
    EXPECT_FALSE(session->outsideProgram());
    EXPECT_FALSE(session->mayUseInOrOut());
    ASSERT_EQ(session->ijvmStep(), Outcome::Done);
    ASSERT_EQ(session->ijvmStep(), Outcome::Done);
    EXPECT_TRUE(session->outsideProgram());
    load(kEcho);
    EXPECT_TRUE(session->mayUseInOrOut());
}

} // namespace
} // namespace tessaro
