#include "machine/control_path.h"
#include "tests/machine/control_word.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

using tessaro::ControlPath;
using tessaro::Mic;
using namespace tessaro::testing_support;

namespace {

// Every member a view can read, compared between a machine stepped the plain way (microStep)
// and one driven by the step loops.
std::vector<std::int64_t> scalarsOf(const ControlPath& m) {
    // clang-format off
    std::vector<std::int64_t> out{m.A, m.B, m.C, m.N, m.Z, m.aluFunction, m.shiftCode, m.readLatch,
        m.fetchLatch, m.MIR, m.pendingMem, m.MPC, m.lastMPC, m.microCount, m.currentMic.word,
        m.currentMic.NextAddr, m.controlStore.elementCount()};
    // clang-format on
    out.insert(out.end(), std::begin(m.registers), std::end(m.registers));
    return out;
}

std::map<std::uint32_t, std::int32_t> wordsOf(const ControlPath& m) {
    std::map<std::uint32_t, std::int32_t> out;
    for (const auto& bucket : m.wordMemory.buckets) {
        for (const auto& elem : bucket) {
            out[elem.key] = elem.value;
        }
    }
    return out;
}

void expectSameState(const ControlPath& plain, const ControlPath& fast, const std::string& where) {
    SCOPED_TRACE(where);
    EXPECT_EQ(scalarsOf(plain), scalarsOf(fast));
    EXPECT_EQ(plain.currentMic.text, fast.currentMic.text);
    EXPECT_EQ(wordsOf(plain), wordsOf(fast));
}

// A random control store over most of the 512 addresses (some left empty), a random method
// area and random registers; memory addresses are kept to a few thousand words, with some
// negative ones, so that reads meet earlier writes.
ControlPath randomMachine(std::mt19937& random) {
    std::string text;
    for (int address = 0; address < 512; ++address) {
        if (random() % 8 == 0) {
            continue;
        }
        std::uint32_t word = random() & 0x7FFFFFFu;
        // Keep MAR small now and then: make H or MAR-writing words with small values common.
        text += record(address, static_cast<int>(random() % 512), word,
                       "m" + std::to_string(address) + ": random;");
    }
    ControlPath machine;
    machine.loadControlStore(tessaro::testing::writeScratch(text));
    machine.methodArea.resize(300);
    for (std::uint8_t& byte : machine.methodArea) {
        byte = static_cast<std::uint8_t>(random());
    }
    // Fewer than the bytes held: beyond the size, both paths must fetch 0.
    machine.methodAreaSize = 280;
    return machine;
}

void randomRegisters(ControlPath& machine, std::mt19937& random) {
    for (int i = 0; i < 9; ++i) {
        machine.registers[i] = static_cast<std::int32_t>(random() % 4000) - 8;
    }
    machine.MBR() = static_cast<std::int32_t>(random() % 256);
    machine.MPC = static_cast<std::int32_t>(random() % 512);
}

} // namespace

TEST(FastPath, SingleStepsAgreeWithThePlainStepOnRandomMicroprograms) {
    std::mt19937 random(2024);
    for (int round = 0; round < 20; ++round) {
        ControlPath plain = randomMachine(random);
        randomRegisters(plain, random);
        ControlPath fast = plain;
        for (int step = 0; step < 400; ++step) {
            // Random programs wander to huge addresses; pull MAR back now and then, and PC to
            // around the end of the method area.
            if (step % 7 == 0) {
                plain.MAR() = fast.MAR() = static_cast<std::int32_t>(random() % 3000) - 6;
                plain.PC() = fast.PC() = static_cast<std::int32_t>(random() % 320);
            }
            plain.microStep();
            EXPECT_TRUE(fast.ijvmStepBounded(1) || (fast.MPC != 0 && fast.MPC != 0x70));
            if (HasFailure()) {
                return;
            }
            expectSameState(plain, fast,
                            "round " + std::to_string(round) + " step " + std::to_string(step));
        }
    }
}

TEST(FastPath, LongRunsAgreeWithThePlainStep) {
    std::mt19937 random(77);
    for (int round = 0; round < 10; ++round) {
        ControlPath plain = randomMachine(random);
        randomRegisters(plain, random);
        ControlPath fast = plain;
        const std::int64_t steps = 5000;
        for (std::int64_t i = 0; i < steps; ++i) {
            plain.microStep();
        }
        // IJVM steps (which stop at 0 and 0x70) until the same number has run.
        while (fast.microCount < steps) {
            fast.ijvmStepBounded(steps - fast.microCount);
        }
        expectSameState(plain, fast, "round " + std::to_string(round));
    }
}

TEST(FastPath, RunsAgreeWithThePlainStepUpToHalt) {
    std::mt19937 random(5);
    for (int round = 0; round < 10; ++round) {
        ControlPath plain = randomMachine(random);
        randomRegisters(plain, random);
        if (plain.MPC == 0x70) {
            plain.MPC = 0;
        }
        ControlPath fast = plain;
        const bool halted = fast.runFor(3000);
        std::int64_t done = 0;
        while (done < 3000 && plain.MPC != 0x70) {
            plain.microStep();
            ++done;
        }
        EXPECT_EQ(halted, plain.MPC == 0x70);
        expectSameState(plain, fast, "round " + std::to_string(round));
    }
}
