// The session's input/output port: IN takes its words from a supplier and OUT hands its
// characters to a sink, in every way of executing, and a run that touches them still goes in
// one slice.

#include "ijvm/instruction_set.h"
#include "tests/program/program_support.h"
#include "tests/support/machine.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>

namespace tessaro::testing {
namespace {

// Echoes numbers as characters until it reads 0; then prints '.'.
const char* const kEchoUntilZero = ".main\ntop: IN\nDUP\nIFEQ done\nOUT\nGOTO top\n"
                                   "done: BIPUSH 46\nOUT\nHALT\n.end-main\n";

class SessionPort : public ::testing::Test {
protected:
    std::unique_ptr<MachineSession> session = makeSession();
    std::deque<InputAnswer> answers; // what the supplier answers, in order; then none available
    int asked = 0;
    std::string printed;
    bool sinkFails = false;

    void SetUp() override {
        session->setInputSupplier([this] {
            ++asked;
            if (answers.empty()) {
                return InputAnswer{};
            }
            const InputAnswer next = answers.front();
            answers.pop_front();
            return next;
        });
        session->setOutputSink([this](std::uint8_t ch) {
            printed.push_back(static_cast<char>(ch));
            return !sinkFails;
        });
    }
    void load(const std::string& source) {
        ASSERT_TRUE(session->compileAndLoadText(source).loaded);
    }
    void supply(std::initializer_list<std::int32_t> words) {
        for (const std::int32_t word : words) {
            answers.push_back({InputAnswer::Kind::Word, word});
        }
    }
    // One slice as large as the whole run: the port must not need stepping in between.
    Outcome runInOneSlice() {
        const Outcome started = session->startRun(RunKind::Run);
        return started == Outcome::SliceDone ? session->runSlice(10'000'000) : started;
    }
};

TEST_F(SessionPort, InTakesTheSuppliedWordsInOrderAndOutGivesEachCharacter) {
    load(kEchoUntilZero);
    for (const bool stepping : {false, true}) {
        SCOPED_TRACE(stepping ? "IJVM steps" : "one run");
        session->reset();
        asked = 0;
        printed.clear();
        supply({'H', 'i', '!', 0, 'X'});
        Outcome outcome = Outcome::Done;
        if (stepping) {
            while (outcome == Outcome::Done) {
                outcome = session->ijvmStep();
            }
        } else {
            outcome = runInOneSlice();
        }
        EXPECT_EQ(outcome, Outcome::Halted);
        EXPECT_EQ(printed, "Hi!.");
        EXPECT_EQ(asked, 4); // once per IN
        EXPECT_EQ(session->printed(), "Hi!.");
        answers.clear();
    }
    // Micro steps ask once per IN as well.
    session->reset();
    asked = 0;
    printed.clear();
    supply({'a', 0});
    while (session->microStep() == Outcome::Done) {
    }
    EXPECT_EQ(printed, "a.");
    EXPECT_EQ(asked, 2);
}

TEST_F(SessionPort, NoWordAvailableReadsZeroAsAnInputThatHasEnded) {
    load(kEchoUntilZero);
    session->setInput(77); // a word left there is not what an ended input gives
    EXPECT_EQ(runInOneSlice(), Outcome::Halted);
    EXPECT_EQ(printed, ".");
    EXPECT_EQ(asked, 1);
    // With only the sink connected, IN reads the input word as it was set.
    session->setInputSupplier({});
    session->reset();
    printed.clear();
    session->setInput('R');
    ASSERT_EQ(session->ijvmStep(), Outcome::Done); // IN
    EXPECT_EQ(session->machine().TOS(), 'R');
    for (int i = 0; i < 3; ++i) { // DUP, IFEQ, OUT
        ASSERT_EQ(session->ijvmStep(), Outcome::Done);
    }
    EXPECT_EQ(printed, "R");
    // Disconnected, IN reads the input word as it was set.
    session->setInputSupplier({});
    session->setOutputSink({});
    session->reset();
    session->setInput('Q');
    ASSERT_EQ(session->ijvmStep(), Outcome::Done); // IN
    EXPECT_EQ(session->machine().TOS(), 'Q');
    EXPECT_EQ(printed, "R");
}

TEST_F(SessionPort, AFailedPortStopsTheRunAtOnce) {
    // The supplier fails at the second IN: nothing after it runs, nothing more is printed.
    load(kEchoUntilZero);
    supply({'A'});
    answers.push_back({InputAnswer::Kind::Failed, 0});
    EXPECT_EQ(runInOneSlice(), Outcome::PortFailed);
    EXPECT_EQ(printed, "A");
    EXPECT_EQ(session->state(), SessionState::Stopped);
    EXPECT_FALSE(session->atInstructionBoundary());
    // A sink that cannot take a character ends the run where that OUT ends.
    session->reset();
    printed.clear();
    sinkFails = true;
    supply({'B', 'C', 0});
    EXPECT_EQ(runInOneSlice(), Outcome::PortFailed);
    EXPECT_EQ(printed, "B");
    sinkFails = false;
    EXPECT_EQ(session->nextOpcode(), opcode::GOTO);
    EXPECT_EQ(session->ijvmStep(), Outcome::Done); // GOTO
    EXPECT_EQ(session->ijvmStep(), Outcome::Done); // IN
    EXPECT_EQ(session->machine().TOS(), 'C');
}

TEST_F(SessionPort, AnOutCutShortByTheBoundGivesItsCharacterOnlyWhenItEnds) {
    load(".main\nBIPUSH 72\nOUT\nHALT\n.end-main\n");
    // BIPUSH takes 4 micro-instructions; the 13th of OUT writes the character, the 16th ends it.
    ASSERT_EQ(session->startRun(RunKind::Run), Outcome::SliceDone);
    ASSERT_EQ(session->runSlice(4 + 13), Outcome::SliceDone);
    EXPECT_EQ(session->newestOutput(), 'H');
    EXPECT_EQ(printed, "");
    ASSERT_EQ(session->runSlice(2), Outcome::SliceDone);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(session->runSlice(100), Outcome::Halted);
    EXPECT_EQ(printed, "H");
}

TEST_F(SessionPort, GoingBackReplaysTheWordsWithoutAskingAgain) {
    load(kEchoUntilZero);
    // Taken one micro-instruction at a time, every state is seen again on the way back: the
    // words come back at the micro-instructions that read them.
    supply({'x', 'y', 0});
    std::map<std::int64_t, MachineState> seen;
    do {
        seen.emplace(session->microInstructions(), MachineState(session->machine()));
    } while (session->microStep() == Outcome::Done);
    ASSERT_EQ(asked, 3);
    int backs = 0;
    for (; session->stepBackMicro() == Outcome::Done; ++backs) {
        const std::int64_t at = session->microInstructions();
        ASSERT_TRUE(seen.contains(at)) << at;
        ASSERT_EQ(firstDifference(seen.at(at), MachineState(session->machine())), "") << at;
    }
    EXPECT_GT(backs, 20);
    EXPECT_EQ(asked, 3);

    session->reset();
    asked = 0;
    supply({'x', 'y', 0});
    ASSERT_EQ(runInOneSlice(), Outcome::Halted);
    // Back to the second IN: the first word stays read, the second is undone.
    while (session->printed() != "x" || session->nextOpcode() != opcode::IN) {
        ASSERT_EQ(session->stepBackIjvm(), Outcome::Done);
    }
    EXPECT_EQ(asked, 3);
    // Forward again, that IN asks the supplier for what it has now.
    supply({'z', 0});
    EXPECT_EQ(runInOneSlice(), Outcome::Halted);
    EXPECT_EQ(session->printed(), "xz.");
    EXPECT_EQ(asked, 5);
}

TEST_F(SessionPort, ARunCanStopWherePcLeavesTheProgramsCode) {
    load(".main\nBIPUSH 65\nOUT\n.end-main\n");
    const std::int32_t codeEnd = session->machine().methodAreaSize;
    session->setStopOutsideProgram(true);
    EXPECT_EQ(runInOneSlice(), Outcome::OutsideProgram);
    EXPECT_EQ(session->machine().PC(), codeEnd);
    EXPECT_TRUE(session->atInstructionBoundary());
    EXPECT_EQ(session->nextOpcode(), 0); // no byte there
    EXPECT_EQ(printed, "A");
    // Asked again, it stops at once; without the stop the zero bytes beyond run on.
    EXPECT_EQ(runInOneSlice(), Outcome::OutsideProgram);
    EXPECT_EQ(session->machine().PC(), codeEnd);
    session->setStopOutsideProgram(false);
    ASSERT_EQ(session->startRun(RunKind::Run), Outcome::SliceDone);
    EXPECT_EQ(session->runSlice(1000), Outcome::SliceDone);
    EXPECT_GT(session->machine().PC(), codeEnd);
    // Each zero byte out there is an instruction of its own (opcode 0): going back by one
    // instruction goes back to the last of them, not to where the history begins.
    session->requestStop();
    ASSERT_EQ(session->runSlice(1), Outcome::Stopped);
    const std::int64_t count = session->microInstructions();
    ASSERT_EQ(session->stepBackIjvm(), Outcome::Done);
    EXPECT_GT(session->microInstructions(), count - 10);
    EXPECT_LT(session->microInstructions(), count);
}

TEST_F(SessionPort, ANewProgramMayRunAfterOneThatFilledTheMemory) {
    load(".main\ntop: BIPUSH 1\nGOTO top\n.end-main\n");
    session->setMemoryLimit(3000);
    ASSERT_EQ(runInOneSlice(), Outcome::MemoryFull);
    load(kEchoUntilZero);
    EXPECT_EQ(session->ijvmStep(), Outcome::Done);
}

} // namespace
} // namespace tessaro::testing
