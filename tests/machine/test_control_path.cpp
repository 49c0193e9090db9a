#include "machine/control_path.h"
#include "tests/machine/control_word.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using tessaro::ControlPath;
using tessaro::Mic;
using namespace tessaro::testing_support;

namespace {

// A small microprogram in the house conventions: the main loop at 0, BIPUSH at 0x10, IADD at
// 0x60, a counting loop at 0x20 that never returns, HALT at 0x70.
std::string miniMicroprogram() {
    std::string text;
    text += record(0, 0, controlWord(bus::PC, mem::fetch, to::PC, alu::Bplus1, jam::MBR),
                   "Main1: PC = PC + 1; fetch; goto (MBR);");
    text += record(0x10, 0x11, controlWord(bus::SP, mem::none, to::SP | to::MAR, alu::Bplus1),
                   "bipush1: SP = MAR = SP + 1;");
    text += record(0x11, 0x12, controlWord(bus::PC, mem::fetch, to::PC, alu::Bplus1),
                   "bipush2: PC = PC + 1; fetch;");
    text += record(0x12, 0, controlWord(bus::MBR, mem::write, to::MDR | to::TOS, alu::B),
                   "bipush3: MDR = TOS = MBR; wr; goto Main1;");
    text += record(0x60, 0x61, controlWord(bus::SP, mem::read, to::SP | to::MAR, alu::Bminus1),
                   "iadd1: MAR = SP = SP - 1; rd;");
    text += record(0x61, 0x62, controlWord(bus::TOS, mem::none, to::H, alu::B), "iadd2: H = TOS;");
    text += record(0x62, 0, controlWord(bus::MDR, mem::write, to::MDR | to::TOS, alu::AplusB),
                   "iadd3: MDR = TOS = MDR + H; wr; goto Main1;");
    // loop: MAR = OPC = OPC + 1; rd; then MDR = TOS = MDR + 1; wr; goto loop
    text += record(0x20, 0x21, controlWord(bus::OPC, mem::read, to::OPC | to::MAR, alu::Bplus1),
                   "loop1: MAR = OPC = OPC + 1; rd;");
    text += record(0x21, 0x20, controlWord(bus::MDR, mem::write, to::MDR | to::TOS, alu::Bplus1),
                   "loop2: MDR = TOS = MDR + 1; wr; goto loop1;");
    text += record(0x70, 0x70, 0, "halt: goto halt;");
    return text;
}

// A machine with the mini microprogram and the given method area.
ControlPath machineWith(std::vector<std::uint8_t> bytes) {
    ControlPath machine;
    machine.loadControlStore(tessaro::testing::writeScratch(miniMicroprogram()));
    machine.methodAreaSize = static_cast<std::int32_t>(bytes.size());
    machine.methodArea = std::move(bytes);
    return machine;
}

// One entry placed by hand.
void put(ControlPath& machine, std::uint32_t address, std::int32_t nextAddr, std::uint32_t word) {
    Mic& mic = machine.controlStore[address];
    mic.NextAddr = nextAddr;
    mic.word = static_cast<std::int32_t>(word);
}

} // namespace

TEST(ControlPathProgram, ResetEntersTheFirstInstructionAndRunHalts) {
    // BIPUSH 5, BIPUSH -2, IADD, HALT
    ControlPath machine = machineWith({0x10, 5, 0x10, 0xFE, 0x60, 0x70});
    machine.reset();
    // Step 3 (the main loop with MBR 0), then the main loop again and BIPUSH's three.
    EXPECT_EQ(machine.microCount, 5);
    EXPECT_EQ(machine.MPC, 0);
    EXPECT_EQ(machine.lastMPC, 0x12);
    EXPECT_EQ(machine.TOS(), 5);
    EXPECT_EQ(machine.SP(), 2001);
    EXPECT_EQ(machine.PC(), 2);
    EXPECT_EQ(machine.currentMic.text, "bipush3: MDR = TOS = MBR; wr; goto Main1;");
    EXPECT_TRUE(machine.runFor(1000));
    EXPECT_EQ(machine.MPC, 0x70);
    EXPECT_EQ(machine.TOS(), 3);
    EXPECT_EQ(machine.SP(), 2001);
    EXPECT_EQ(machine.wordMemory[2001], 3);
    EXPECT_EQ(machine.wordMemory[2002], -2);
    EXPECT_EQ(machine.lastMPC, 0);
    EXPECT_EQ(machine.currentMic.text, "Main1: PC = PC + 1; fetch; goto (MBR);");
    EXPECT_EQ(machine.microCount, 5 + 4 + 4 + 1);
}

TEST(ControlPathProgram, IjvmStepStopsAtInstructionBoundaries) {
    ControlPath machine = machineWith({0x10, 5, 0x10, 6, 0x60, 0x70});
    machine.reset();
    const std::int64_t before = machine.microCount;
    machine.ijvmStep();
    EXPECT_EQ(machine.microCount - before, 4);
    EXPECT_EQ(machine.TOS(), 6);
    EXPECT_EQ(machine.MPC, 0);
    machine.ijvmStep();
    EXPECT_EQ(machine.TOS(), 11);
    machine.ijvmStep();
    EXPECT_EQ(machine.MPC, 0x70);
    // At HALT an IJVM step still executes the micro-instruction there.
    const std::int64_t atHalt = machine.microCount;
    machine.ijvmStep();
    EXPECT_EQ(machine.microCount, atHalt + 1);
    EXPECT_EQ(machine.MPC, 0x70);
    EXPECT_EQ(machine.lastMPC, 0x70);
}

TEST(ControlPathProgram, RunAtHaltExecutesNothing) {
    ControlPath machine = machineWith({0x70});
    machine.reset();
    ASSERT_EQ(machine.MPC, 0x70);
    const std::int64_t count = machine.microCount;
    const Mic before = machine.currentMic;
    machine.run();
    EXPECT_EQ(machine.microCount, count);
    EXPECT_TRUE(machine.runFor(100));
    EXPECT_EQ(machine.microCount, count);
    EXPECT_EQ(machine.currentMic.text, before.text);
    machine.microStep();
    EXPECT_EQ(machine.microCount, count + 1);
    EXPECT_EQ(machine.currentMic.text, "halt: goto halt;");
}

TEST(ControlPathProgram, EndlessProgramsAreBounded) {
    ControlPath machine = machineWith({0x70});
    machine.MPC = 0x20;
    EXPECT_FALSE(machine.runFor(1001));
    EXPECT_EQ(machine.microCount, 1001);
    EXPECT_EQ(machine.MPC, 0x21);
    EXPECT_FALSE(machine.ijvmStepBounded(10));
    EXPECT_EQ(machine.microCount, 1011);
    EXPECT_FALSE(machine.ijvmStepBounded(0));
    EXPECT_EQ(machine.microCount, 1011);
    // loop1 read words 1..506; loop2 saw the old MDR on the B bus (the word read arrives in
    // the same micro-instruction but after the B bus) and its C-bus write of MDR won over
    // the arriving word: it counts, and wrote n into word n.
    EXPECT_EQ(machine.OPC(), 506);
    EXPECT_EQ(machine.wordMemory[1], 1);
    EXPECT_EQ(machine.wordMemory[505], 505);
    EXPECT_EQ(machine.wordMemory.elementCount(), 506);
    EXPECT_EQ(machine.currentMic.text, "loop1: MAR = OPC = OPC + 1; rd;");
}

TEST(ControlPathProgram, ResetOnAMicroprogramThatNeverReturnsIsBounded) {
    ControlPath machine;
    put(machine, 0, 1, controlWord(bus::MAR, mem::none, 0, alu::zero));
    put(machine, 1, 2, controlWord(bus::OPC, mem::none, to::OPC, alu::Bplus1));
    put(machine, 2, 1, controlWord(bus::OPC, mem::none, to::OPC, alu::Bplus1));
    machine.reset();
    EXPECT_EQ(machine.microCount, 1 + tessaro::memory_map::kIjvmStepBound);
    EXPECT_EQ(machine.OPC(), tessaro::memory_map::kIjvmStepBound);
    const std::int64_t count = machine.microCount;
    machine.ijvmStep();
    EXPECT_EQ(machine.microCount, count + tessaro::memory_map::kIjvmStepBound);
}

TEST(ControlPathNextAddress, JmpcOrsMbrIntoNextAddr) {
    ControlPath machine;
    put(machine, 5, 0, controlWord(bus::MAR, mem::none, 0, alu::zero, jam::MBR));
    put(machine, 6, 256, controlWord(bus::MAR, mem::none, 0, alu::zero, jam::MBR));
    machine.MBR() = 0x10;
    machine.MPC = 5;
    machine.microStep();
    EXPECT_EQ(machine.MPC, 0x10);
    EXPECT_EQ(machine.lastMPC, 5);
    machine.MPC = 6;
    machine.microStep();
    EXPECT_EQ(machine.MPC, 0x110);
    // Only MBR's eight bits take part, whatever was stored in it.
    machine.MBR() = 0x3FF;
    machine.MPC = 6;
    machine.microStep();
    EXPECT_EQ(machine.MPC, 0x1FF);
}

TEST(ControlPathNextAddress, JamzAndJamnSetTheHighBitOnTheirFlag) {
    ControlPath machine;
    put(machine, 1, 0x20, controlWord(bus::TOS, mem::none, 0, alu::B, jam::Z));
    put(machine, 2, 0x20, controlWord(bus::TOS, mem::none, 0, alu::B, jam::N));
    put(machine, 3, 0x120, controlWord(bus::TOS, mem::none, 0, alu::B, jam::Z | jam::N));
    const struct {
        std::uint32_t address;
        std::int32_t tos;
        std::int32_t expected;
    } cases[] = {{1, 0, 0x120}, {1, 1, 0x20}, {1, -1, 0x20}, {2, -1, 0x120},
                 {2, 0, 0x20},  {2, 5, 0x20}, {3, 0, 0x120}, {3, 7, 0x120}};
    for (const auto& c : cases) {
        machine.TOS() = c.tos;
        machine.MPC = static_cast<std::int32_t>(c.address);
        machine.microStep();
        EXPECT_EQ(machine.MPC, c.expected) << "address " << c.address << " TOS " << c.tos;
    }
}

TEST(ControlPathNextAddress, NextAddrAndMpcStayWithinNineBits) {
    ControlPath machine;
    put(machine, 1, 600, controlWord(bus::MAR, mem::none, 0, alu::zero));
    put(machine, 2, -1, controlWord(bus::MAR, mem::none, 0, alu::zero));
    machine.MPC = 1;
    machine.microStep();
    EXPECT_EQ(machine.MPC, 600 - 512);
    machine.MPC = 2;
    machine.microStep();
    EXPECT_EQ(machine.MPC, 0x1FF);
    // An MPC set by hand beyond the store still executes through the store itself.
    put(machine, 700, 9, controlWord(bus::MAR, mem::none, to::H, alu::one));
    machine.MPC = 700;
    machine.microStep();
    EXPECT_EQ(machine.H(), 1);
    EXPECT_EQ(machine.MPC, 9);
}

TEST(ControlPathNextAddress, AnEmptyAddressGetsAZeroEntryAndLeadsToZero) {
    ControlPath machine;
    machine.loadControlStore(tessaro::testing::writeScratch(miniMicroprogram()));
    const int entries = machine.controlStore.elementCount();
    machine.MPC = 0x55;
    machine.H() = 3;
    machine.microStep();
    EXPECT_EQ(machine.MPC, 0);
    EXPECT_EQ(machine.controlStore.elementCount(), entries + 1);
    const Mic* created = machine.controlStore.peek(0x55);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->word, 0);
    EXPECT_EQ(created->NextAddr, 0);
    EXPECT_EQ(machine.currentMic.word, 0);
    EXPECT_EQ(machine.currentMic.text, "");
    // B code 0 with ALU code 0 wrote nothing and the flags describe the zero.
    EXPECT_EQ(machine.H(), 3);
    EXPECT_EQ(machine.Z, 1);
}

TEST(ControlPathIndex, EntriesChangedOrReplacedOutsideAreSeen) {
    ControlPath machine;
    put(machine, 0, 0, controlWord(bus::MAR, mem::none, to::H, alu::one));
    machine.runFor(1);
    EXPECT_EQ(machine.H(), 1);
    machine.controlStore[0].word =
        static_cast<std::int32_t>(controlWord(bus::MAR, mem::none, to::H, alu::minusOne));
    machine.controlStore[0].text = "changed";
    machine.runFor(1);
    EXPECT_EQ(machine.H(), -1);
    EXPECT_EQ(machine.currentMic.text, "changed");
    machine.controlStore[0].NextAddr = 5;
    machine.runFor(1);
    EXPECT_EQ(machine.MPC, 5);
    machine.MPC = 0;
    // And back to 0, the value an entry has before it is first decoded.
    machine.controlStore[0].NextAddr = 0;
    machine.runFor(1);
    EXPECT_EQ(machine.MPC, 0);
    // Replaced wholesale: the documented call.
    tessaro::Memory<std::uint32_t, Mic> other;
    other[0].word = static_cast<std::int32_t>(controlWord(bus::MAR, mem::none, to::H, alu::zero));
    machine.controlStore = other;
    machine.invalidateControlStoreCache();
    machine.H() = 8;
    machine.runFor(1);
    EXPECT_EQ(machine.H(), 0);
    // Cleared: the count tells.
    machine.controlStore.clear();
    machine.H() = 8;
    machine.runFor(1);
    EXPECT_EQ(machine.H(), 8);
    EXPECT_EQ(machine.controlStore.elementCount(), 1);
}

TEST(ControlPathSourceLine, ReadsTheLineAtTheMappedOffsetCutOnACharacterBoundary) {
    ControlPath machine;
    machine.programSource =
        "main:\r\n    BIPUSH 5 // push\r\n    HALT\n" + std::string(48, 'y') + "\xC3\xA8z\n";
    machine.methodArea = {0x10, 5, 0x70, 0};
    machine.methodAreaSize = 4;
    machine.sourceMap.addRange(0, 2, 11);
    machine.sourceMap.addRange(2, 1, 33);
    machine.sourceMap.addRange(3, 1, 38);
    EXPECT_EQ(machine.sourceLine(0), "BIPUSH 5 // push");
    EXPECT_EQ(machine.sourceLine(2), "HALT");
    EXPECT_EQ(machine.sourceLine(3), std::string(48, 'y')); // 49 bytes at most
    EXPECT_EQ(machine.sourceLine(4), "");
    EXPECT_EQ(machine.sourceLine(0xFFFFFFFFu), "");
    machine.programSource.clear();
    EXPECT_EQ(machine.sourceLine(0), "");
}
