// Going back: random programs driven by random forward and back commands, each back checked
// against a second machine that only ever steps forward, one micro-instruction at a time.

#include "check/program_generator.h"
#include "tests/program/program_support.h"
#include "tests/support/machine.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace tessaro::testing {
namespace {

// The forward-only machine: it follows the session's count and input changes and remembers
// the state at every count since the load, so that any back can be checked.
class ForwardOracle {
public:
    explicit ForwardOracle(std::string source) : m_source(std::move(source)) {
        replay();
        m_first = m_machine->microCount;
        m_states.emplace_back(*m_machine);
    }
    void setInput(std::int64_t count, std::int32_t value) {
        replay();
        m_inputs.push_back({count, value});
        apply(value);
        m_states.back() = MachineState(*m_machine);
    }
    void advanceTo(std::int64_t count) {
        replay();
        while (m_machine->microCount < count) {
            m_machine->microStep();
            m_states.emplace_back(*m_machine);
        }
    }
    // Where a back to target leaves the machine; forgets what came after it. The machine
    // itself is brought there again only when it has to go on.
    const MachineState& rewindTo(std::int64_t target) {
        std::erase_if(m_inputs, [target](const Input& in) { return in.count > target; });
        m_states.resize(static_cast<std::size_t>(target - m_first + 1));
        m_machine.reset();
        return m_states.back();
    }
    // The count where the latest IJVM instruction before count began (the first count when
    // none did).
    std::int64_t lastBoundaryBefore(std::int64_t count) const {
        for (std::int64_t c = count - 1; c > m_first; --c) {
            if (m_states[static_cast<std::size_t>(c - m_first)].scalars[kMpcScalar] == 0) {
                return c;
            }
        }
        return m_first;
    }
    std::int64_t first() const { return m_first; }

private:
    struct Input {
        std::int64_t count;
        std::int32_t value;
    };
    void apply(std::int32_t value) {
        m_machine->wordMemory[memory_map::wordKey(memory_map::kInputWord)] = value;
    }
    // After a back: a fresh machine from the load, forward to the last state recorded, with
    // the inputs at their counts.
    void replay() {
        if (m_machine != nullptr) {
            return;
        }
        m_machine = makeMachine();
        loadSource(*m_machine, m_source);
        for (std::size_t next = 0;; m_machine->microStep()) {
            while (next < m_inputs.size() && m_inputs[next].count == m_machine->microCount) {
                apply(m_inputs[next++].value);
            }
            if (m_machine->microCount + 1 >= m_first + std::int64_t(m_states.size())) {
                break;
            }
        }
    }

    std::string m_source;
    std::unique_ptr<ControlPath> m_machine;
    std::vector<MachineState> m_states; // by count, from m_first
    std::vector<Input> m_inputs;
    std::int64_t m_first = 0;
};

class StepBackProperty : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(StepBackProperty, EveryBackRestoresTheStateRecordedAtThatStep) {
    std::mt19937 random(GetParam());
    ProgramGenerator generator(GetParam());
    const std::string source = generator.next();
    auto session = makeSession();
    // Checkpoints every few dozen steps, so that backs cross and restore many of them.
    session->debugger().historyLimits().minInterval = 40;
    session->debugger().historyLimits().maxCheckpoints = 6;
    ASSERT_TRUE(session->compileAndLoadText(source).loaded);
    ForwardOracle oracle(source);
    const auto pick = [&random](int n) { return static_cast<int>(random() % n); };

    int backs = 0;
    for (int command = 0; command < 300; ++command) {
        const std::int64_t before = session->microInstructions();
        const int kind = pick(10);
        if (kind >= 6) {
            // Back one micro-instruction (three times in ten) or one IJVM instruction.
            const bool micro = kind < 9;
            const std::int64_t expected =
                micro ? std::max(oracle.first(), before - 1) : oracle.lastBoundaryBefore(before);
            const Outcome outcome = micro ? session->stepBackMicro() : session->stepBackIjvm();
            EXPECT_EQ(outcome, before > oracle.first() ? Outcome::Done : Outcome::AtHistoryStart);
            ASSERT_EQ(session->microInstructions(), expected) << "back from " << before;
            ASSERT_EQ(firstDifference(oracle.rewindTo(expected), MachineState(session->machine())),
                      "")
                << (micro ? "micro" : "IJVM") << " back to " << expected << " in\n"
                << source;
            EXPECT_EQ(session->subCyclePhase(), SubCyclePhase::Execute);
            ++backs;
            continue;
        }
        if (kind <= 1) {
            session->microStep();
        } else if (kind == 2) {
            SubCyclePhase shown{};
            session->subCycle(shown);
        } else if (kind == 3) {
            session->ijvmStep();
        } else if (kind == 4) {
            // A short run in small slices, stopping at whatever is marked.
            session->debugger().setPcBreakpoint(pick(40), pick(2) == 0);
            session->debugger().setMicroBreakpoint(static_cast<std::uint32_t>(pick(512)),
                                                   pick(3) == 0);
            Outcome outcome = session->startRun(RunKind::Run);
            for (int slice = 0; slice < 20 && outcome == Outcome::SliceDone; ++slice) {
                outcome = session->runSlice(1 + pick(60));
            }
            if (outcome == Outcome::SliceDone) {
                session->requestStop();
                session->runSlice(1);
            }
        } else {
            const std::int32_t value = pick(200) - 100;
            session->setInput(value);
            oracle.setInput(before, value);
        }
        oracle.advanceTo(session->microInstructions());
    }
    EXPECT_GT(backs, 0);
    EXPECT_LE(session->debugger().history().checkpointCount(), 6u);
}

INSTANTIATE_TEST_SUITE_P(RandomPrograms, StepBackProperty, ::testing::Range(1u, 25u));

// A stack grown by a hundred thousand words and gone back across, far and near, with the
// whole history kept and with a budget that forgets its oldest part: every state reached must
// be the one a forward-only machine had at that count, the words the pushes created gone.
TEST(StepBackAcrossStackGrowth, RestoresEveryRegisterAndWord) {
    const std::string source =
        ".constant\nbig 100000\n.end-constant\n.main\n.var\ni\n.end-var\nLDCW big\n"
        "ISTORE i\npush: BIPUSH 7\nIINC i -1\nILOAD i\nIFEQ done\nGOTO push\ndone: HALT\n"
        ".end-main\n";
    struct Case {
        std::size_t maxBytes;
        bool forgetsOldest;
    };
    for (const Case& c : {Case{std::size_t{64} << 20, false}, Case{std::size_t{1} << 20, true}}) {
        SCOPED_TRACE(c.maxBytes);
        auto session = makeSession();
        session->debugger().historyLimits().maxBytes = c.maxBytes;
        session->debugger().historyLimits().minInterval = 20'000;
        ASSERT_TRUE(session->compileAndLoadText(source).loaded);
        const std::int64_t loaded = session->microInstructions();
        ASSERT_EQ(session->startRun(RunKind::Run), Outcome::SliceDone);
        Outcome outcome = Outcome::SliceDone;
        while (outcome == Outcome::SliceDone) {
            outcome = session->runSlice(1'000'000);
        }
        ASSERT_EQ(outcome, Outcome::Halted);
        const std::int64_t end = session->microInstructions();
        const std::int64_t first = session->debugger().history().firstCount();
        EXPECT_EQ(first > loaded, c.forgetsOldest);
        EXPECT_LE(session->debugger().history().bytes(), c.maxBytes + (std::size_t{64} << 10));

        // Descending targets, from one step back to where the history begins.
        const std::vector<std::int64_t> targets = {end - 1,    end - 250'001, (first + end) / 2,
                                                   first + 37, first + 1,     first};
        std::vector<MachineState> expected;
        auto forward = makeMachine();
        loadSource(*forward, source);
        for (auto it = targets.rbegin(); it != targets.rend(); ++it) {
            forward->replay(*it - forward->microCount);
            expected.insert(expected.begin(), MachineState(*forward));
        }
        for (std::size_t i = 0; i < targets.size(); ++i) {
            ASSERT_EQ(session->stepBackTo(targets[i]), Outcome::Done);
            ASSERT_EQ(firstDifference(expected[i], MachineState(session->machine())), "")
                << "back to " << targets[i];
        }
        EXPECT_EQ(session->stepBackTo(first - 1), Outcome::AtHistoryStart);
        // One step on, a target before the history or after the present changes nothing.
        ASSERT_EQ(session->microStep(), Outcome::Done);
        const MachineState now(session->machine());
        for (const std::int64_t target : {first - 1, first + 2}) {
            EXPECT_EQ(session->stepBackTo(target), Outcome::AtHistoryStart) << target;
            EXPECT_EQ(firstDifference(now, MachineState(session->machine())), "") << target;
        }
        EXPECT_EQ(session->stepBackTo(first), Outcome::Done);
    }
}

} // namespace
} // namespace tessaro::testing
