#include "machine/datapath.h"
#include "tests/machine/control_word.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <map>

using tessaro::Datapath;
using namespace tessaro::testing_support;

namespace {

// Runs one micro-instruction on dp with H = a and TOS = b on the B bus, result into OPC.
std::int32_t aluResult(Datapath& dp, std::uint32_t aluByte, std::int32_t a, std::int32_t b) {
    dp.H() = a;
    dp.TOS() = b;
    dp.MIR = controlWord(bus::TOS, mem::none, to::OPC, aluByte);
    dp.cycle();
    return dp.OPC();
}

} // namespace

TEST(DatapathAlu, ExactlyTheSixteenCodesComputeEverythingElseGivesZero) {
    const std::int32_t a = 3;
    const std::int32_t b = 10;
    const std::map<std::uint32_t, std::int32_t> table = {
        {24, 3}, {20, 10}, {26, ~3}, {44, ~10}, {60, 13}, {61, 14}, {57, 4}, {53, 11},
        {63, 7}, {55, 9},  {59, -3}, {12, 2},   {28, 11}, {16, 0},  {17, 1}, {18, -1}};
    Datapath dp;
    for (std::uint32_t code = 0; code < 64; ++code) {
        const auto it = table.find(code);
        const std::int32_t expected = it != table.end() ? it->second : 0;
        EXPECT_EQ(aluResult(dp, code, a, b), expected) << "code " << code;
        EXPECT_EQ(dp.C, expected);
        EXPECT_EQ(dp.Z, expected == 0 ? 1 : 0) << "code " << code;
        EXPECT_EQ(dp.N, expected < 0 ? 1 : 0) << "code " << code;
        EXPECT_EQ(dp.aluFunction, code);
        EXPECT_EQ(dp.A, a);
        EXPECT_EQ(dp.B, b);
    }
}

TEST(DatapathAlu, ArithmeticWrapsAndTheShifterActsAfterTheAlu) {
    struct Case {
        std::uint32_t aluByte;
        std::int32_t a, b, result;
        std::uint8_t shiftCode;
    };
    const Case cases[] = {
        {alu::minusA, INT_MIN, 0, INT_MIN, 0},
        {alu::AplusB, INT_MAX, 1, INT_MIN, 0},
        {alu::AplusBplus1, INT_MAX, INT_MAX, -1, 0},
        {alu::Aplus1, INT_MAX, 0, INT_MIN, 0},
        {alu::Bplus1, 0, INT_MAX, INT_MIN, 0},
        {alu::BminusA, 1, INT_MIN, INT_MAX, 0},
        {alu::Bminus1, 0, INT_MIN, INT_MAX, 0},
        {alu::AplusB, -1, 1, 0, 0},
        {alu::B | alu::SRA1, 0, -2, -1, 1},
        {alu::B | alu::SRA1, 0, INT_MIN, static_cast<std::int32_t>(0xC0000000u), 1},
        {alu::B | alu::SRA1, 0, 7, 3, 1},
        {alu::B | alu::SLL8, 0, (1 << 24) + 1, 256, 2},
        {alu::B | alu::SLL8, 0, 0x00800000, INT_MIN, 2},
        {alu::B | alu::SRA1 | alu::SLL8, 0, 0x12345, 0x12345, 3},
        {alu::AplusB | alu::SRA1, 1, 0, 0, 1}, // the flags describe the shifted value
    };
    Datapath dp;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "ALU byte " << c.aluByte << ", A " << c.a << ", B " << c.b);
        EXPECT_EQ(aluResult(dp, c.aluByte, c.a, c.b), c.result);
        EXPECT_EQ(dp.N, c.result < 0 ? 1 : 0);
        EXPECT_EQ(dp.Z, c.result == 0 ? 1 : 0);
        EXPECT_EQ(dp.shiftCode, c.shiftCode);
    }
    // Bits 16-23 only: a JAM bit above the ALU byte does not leak into the shift code.
    dp.MIR = controlWord(bus::TOS, mem::none, to::OPC, alu::B, jam::MBR);
    dp.TOS() = 40;
    dp.cycle();
    EXPECT_EQ(dp.OPC(), 40);
    EXPECT_EQ(dp.shiftCode, 0);
}

TEST(DatapathFields, EachFieldIsCutFromItsBits) {
    Datapath dp;
    dp.MIR = controlWord(0xA, 0x5, 0x1A5, 0xC3, 0x6);
    namespace cw = tessaro::control_word;
    EXPECT_EQ(dp.field(cw::kB), 0xAu);
    EXPECT_EQ(dp.field(cw::kMem), 0x5u);
    EXPECT_EQ(dp.field(cw::kC), 0x1A5u);
    EXPECT_EQ(dp.field(cw::kAlu), 0xC3u);
    EXPECT_EQ(dp.field(cw::kJam), 0x6u);
    dp.MIR = 0xFFFFFFFFu;
    EXPECT_EQ(dp.field(cw::kJam), 7u);
    dp.decodeALU(0xFF);
    EXPECT_EQ(dp.aluFunction, 0x3F);
    EXPECT_EQ(dp.shiftCode, 3);
}

TEST(DatapathBuses, BCodesSelectRegistersAndBothMbrReadings) {
    Datapath dp;
    for (int i = 0; i < 10; ++i) {
        dp.registers[i] = 100 + i;
    }
    dp.MBR() = 0xFF;
    for (std::uint32_t code = 0; code < 16; ++code) {
        dp.MIR = controlWord(code, mem::none, 0, alu::B);
        dp.cycle();
        std::int32_t expected = 0;
        if (code <= 8) {
            expected = 100 + static_cast<std::int32_t>(code);
        } else if (code == 9) {
            expected = 255;
        } else if (code == 10) {
            expected = -1;
        }
        EXPECT_EQ(dp.B, expected) << "code " << code;
        EXPECT_EQ(dp.C, expected) << "code " << code;
    }
    dp.MBR() = 0x7F;
    dp.MIR = controlWord(bus::MBR, mem::none, 0, alu::B);
    dp.cycle();
    EXPECT_EQ(dp.B, 127);
    dp.MBR() = 0x80;
    dp.cycle();
    EXPECT_EQ(dp.B, -128);
}

TEST(DatapathBuses, CFieldWritesEveryNamedRegisterButNeverMbr) {
    Datapath dp;
    dp.MBR() = 9;
    dp.H() = 41;
    dp.MIR = controlWord(bus::MAR, mem::none, 0x1FF, alu::Aplus1);
    dp.cycle();
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(dp.registers[i], 42) << "register " << i;
    }
    EXPECT_EQ(dp.MBR(), 9);
    dp.MIR = controlWord(bus::MAR, mem::none, to::SP | to::TOS, alu::one);
    dp.cycle();
    EXPECT_EQ(dp.SP(), 1);
    EXPECT_EQ(dp.TOS(), 1);
    EXPECT_EQ(dp.LV(), 42);
}

TEST(DatapathMemory, ReadArrivesInMdrDuringTheNextMicroInstruction) {
    Datapath dp;
    dp.wordMemory[5] = 42;
    dp.MDR() = 7;
    dp.H() = 5;
    // k: MAR = H; rd (the read uses MAR as written by k itself).
    dp.MIR = controlWord(bus::MAR, mem::read, to::MAR, alu::A);
    dp.cycle();
    EXPECT_EQ(dp.MDR(), 7);
    EXPECT_EQ(dp.readLatch, 42);
    EXPECT_EQ(dp.pendingMem, mem::read);
    // k+1: OPC = MDR sees the old MDR on the B bus; the word is in MDR afterwards.
    dp.MIR = controlWord(bus::MDR, mem::none, to::OPC, alu::B);
    dp.cycle();
    EXPECT_EQ(dp.OPC(), 7);
    EXPECT_EQ(dp.MDR(), 42);
    EXPECT_EQ(dp.pendingMem, 0);
    // k+2 sees the word.
    dp.cycle();
    EXPECT_EQ(dp.OPC(), 42);
}

TEST(DatapathMemory, TheMicroInstructionAfterAReadMeetsTheArrivingWord) {
    // Its own MDR write wins over the word; a write stores the word that arrived.
    for (const std::uint32_t memBits : {mem::none, mem::write}) {
        Datapath dp;
        dp.wordMemory[5] = 42;
        dp.MAR() = 5;
        dp.MIR = controlWord(bus::MAR, mem::read, 0, alu::zero);
        dp.cycle();
        dp.H() = 6;
        dp.MIR = controlWord(bus::MAR, memBits, memBits == mem::none ? to::MDR : to::MAR, alu::A);
        dp.cycle();
        EXPECT_EQ(memBits == mem::none ? dp.MDR() : dp.wordMemory[6], memBits ? 42 : 6);
    }
}

TEST(DatapathMemory, ReadAndWriteTogetherOnlyReadAndAWriteIsSeenAtOnce) {
    Datapath dp;
    dp.wordMemory[8] = 1234;
    dp.MAR() = 8;
    dp.MDR() = -5;
    dp.MIR = controlWord(bus::MAR, mem::read | mem::write, 0, alu::zero);
    dp.cycle();
    EXPECT_EQ(dp.wordMemory[8], 1234);
    EXPECT_EQ(dp.readLatch, 1234);
    // MDR = H; wr: the write stores the MDR just written, and the next read sees it.
    dp.H() = 77;
    dp.MIR = controlWord(bus::MAR, mem::write, to::MDR, alu::A);
    dp.cycle();
    EXPECT_EQ(dp.wordMemory[8], 77);
    dp.MIR = controlWord(bus::MAR, mem::read, to::MDR, alu::zero);
    dp.cycle();
    dp.MIR = controlWord(bus::MAR, mem::none, 0, alu::zero);
    dp.cycle();
    EXPECT_EQ(dp.MDR(), 77);
}

TEST(DatapathMemory, ReadingAnUnwrittenWordCreatesItWithZero) {
    Datapath dp;
    for (std::int32_t address : {12345, -6, -1, INT_MIN, 0x7FFFFFFF, (1 << 20) + 3}) {
        ASSERT_EQ(dp.wordMemory.peek(static_cast<std::uint32_t>(address)), nullptr);
        dp.readLatch = 99;
        dp.MAR() = address;
        dp.MIR = controlWord(bus::MAR, mem::read, 0, alu::zero);
        dp.cycle();
        EXPECT_EQ(dp.readLatch, 0) << address;
        const std::int32_t* created = dp.wordMemory.peek(static_cast<std::uint32_t>(address));
        ASSERT_NE(created, nullptr) << address;
        EXPECT_EQ(*created, 0);
    }
    EXPECT_EQ(dp.wordMemory.elementCount(), 6);
}

TEST(DatapathMemory, WordsAtNegativeAndFarAddressesAreDistinct) {
    Datapath dp;
    const std::int32_t addresses[] = {-6,      -5,         -1,   0,   1, 4095, 4096, (1 << 20) - 1,
                                      1 << 20, 0x40000000, -257, -256};
    for (std::int32_t address : addresses) {
        dp.MAR() = address;
        dp.MDR() = address ^ 0x5A5A;
        dp.MIR = controlWord(bus::MAR, mem::write, 0, alu::zero);
        dp.cycle();
    }
    for (std::int32_t address : addresses) {
        EXPECT_EQ(dp.wordMemory[static_cast<std::uint32_t>(address)], address ^ 0x5A5A);
        dp.MAR() = address;
        dp.MIR = controlWord(bus::MAR, mem::read, 0, alu::zero);
        dp.cycle();
        EXPECT_EQ(dp.readLatch, address ^ 0x5A5A);
    }
}

TEST(DatapathFetch, ByteArrivesInMbrOneMicroInstructionLater) {
    Datapath dp;
    dp.methodArea = {0x10, 0xFE, 0x30};
    dp.methodAreaSize = 3;
    dp.PC() = 0;
    // k: PC = PC + 1; fetch: fetches byte 1 with the new PC.
    dp.MIR = controlWord(bus::PC, mem::fetch, to::PC, alu::Bplus1);
    dp.cycle();
    EXPECT_EQ(dp.PC(), 1);
    EXPECT_EQ(dp.fetchLatch, 0xFE);
    EXPECT_EQ(dp.MBR(), 0);
    // k+1: B = MBR still sees the old byte; MBR holds 0xFE afterwards.
    dp.MIR = controlWord(bus::MBR, mem::none, to::OPC, alu::B);
    dp.cycle();
    EXPECT_EQ(dp.OPC(), 0);
    EXPECT_EQ(dp.MBR(), 0xFE);
    dp.cycle();
    EXPECT_EQ(dp.OPC(), -2);
}

TEST(DatapathFetch, FetchOutsideTheMethodAreaDeliversZero) {
    Datapath dp;
    dp.methodArea = {0x11, 0x22};
    dp.methodAreaSize = 2;
    for (std::int32_t pc : {-1, 2, 3, INT_MAX, INT_MIN}) {
        dp.fetchLatch = 0x55;
        dp.PC() = pc;
        dp.MIR = controlWord(bus::MAR, mem::fetch, 0, alu::zero);
        dp.cycle();
        EXPECT_EQ(dp.fetchLatch, 0) << pc;
    }
    // A size that claims more than the bytes present must not read past them.
    dp.methodAreaSize = 1000;
    dp.PC() = 500;
    dp.cycle();
    EXPECT_EQ(dp.fetchLatch, 0);
    dp.PC() = 1;
    dp.cycle();
    EXPECT_EQ(dp.fetchLatch, 0x22);
    // Fetch and read together.
    dp.wordMemory[4] = 44;
    dp.MAR() = 4;
    dp.PC() = 0;
    dp.MIR = controlWord(bus::MAR, mem::fetch | mem::read, 0, alu::zero);
    dp.cycle();
    EXPECT_EQ(dp.fetchLatch, 0x11);
    EXPECT_EQ(dp.readLatch, 44);
    dp.MIR = 0;
    dp.cycle();
    EXPECT_EQ(dp.MBR(), 0x11);
    EXPECT_EQ(dp.MDR(), 44);
}

TEST(DatapathMemoryIndex, EntriesChangedOrReplacedOutsideAreSeen) {
    Datapath dp;
    dp.MAR() = 10;
    dp.MIR = controlWord(bus::MAR, mem::read, 0, alu::zero);
    dp.cycle();
    // Through operator[]: the same node, seen at once.
    dp.wordMemory[10] = 5;
    dp.cycle();
    EXPECT_EQ(dp.readLatch, 5);
    // Cleared and refilled with a different count: noticed without help.
    dp.wordMemory.clear();
    dp.wordMemory[10] = 6;
    dp.wordMemory[11] = 7;
    dp.cycle();
    EXPECT_EQ(dp.readLatch, 6);
    // Replaced with the same count: the documented call drops the index.
    tessaro::Memory<std::uint32_t, std::int32_t> other;
    other[10] = 8;
    other[11] = 9;
    dp.wordMemory = other;
    dp.invalidateMemoryCache();
    dp.cycle();
    EXPECT_EQ(dp.readLatch, 8);
    // A copy of the datapath has its own memory.
    Datapath copy = dp;
    copy.wordMemory[10] = 100;
    copy.cycle();
    dp.cycle();
    EXPECT_EQ(copy.readLatch, 100);
    EXPECT_EQ(dp.readLatch, 8);
}

// The one layout every encoder, decoder and view reads, against words written out by hand.
TEST(ControlWordLayout, FieldsStoreAndRegistersMatchHandWrittenWords) {
    namespace cw = tessaro::control_word;
    namespace rf = tessaro::register_file;
    EXPECT_EQ(cw::kB.place(0xF) | cw::kMem.place(0x7) | cw::kC.place(0x1FF) | cw::kAlu.place(0xFF) |
                  cw::kJam.place(0x7),
              0x7FFFFFFu);
    EXPECT_EQ(cw::kC.place(0x1FF), 0xFF80u);
    EXPECT_EQ(cw::kAlu.place(0xFF), 0xFF0000u);
    EXPECT_EQ(cw::kAluFunction.place(0x3C) | cw::kShift.place(cw::kShiftSll8),
              0x800000u | 0x3C0000u);
    EXPECT_EQ(cw::kJam.place(cw::kJmpC), 0x4000000u);
    EXPECT_EQ(cw::kStoreSize, 512u);
    EXPECT_EQ(cw::kAddressMask, 0x1FFu);
    EXPECT_EQ(cw::kShownFieldStart, (std::array<int, 7>{0, 9, 12, 20, 29, 32, 36}));
    // "MAR = SP = SP + 1; RD" as this machine numbers its registers: C bits of MAR and SP,
    // B code 3, read, B + 1.
    const std::uint32_t word =
        cw::kC.place((1u << rf::cBitOf(tessaro::kMAR)) | (1u << rf::cBitOf(tessaro::kSP))) |
        cw::kB.place(rf::bSourceOf(3)->code) | cw::kMem.place(cw::kMemRead) |
        cw::kAluFunction.place(53);
    EXPECT_EQ(word, 0x3504A3u);
    EXPECT_EQ(rf::bSourceOf(9)->name, "MBRU");
    EXPECT_EQ(rf::bSourceOf(10)->name, "MBR");
    EXPECT_EQ(rf::bSourceOf(8), nullptr);
    EXPECT_EQ(rf::registerOfCBit(8), tessaro::kH);
    EXPECT_EQ(rf::registerOfCBit(9), -1);
}
