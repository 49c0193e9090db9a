#include "mal/micro_instruction_encoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tessaro {
namespace {

// Field encodings written out independently of the compiler.
constexpr std::uint32_t alu(std::uint32_t f) {
    return f << 16;
}
constexpr std::uint32_t kB_MDR = 1, kB_PC = 2, kB_SP = 3, kB_LV = 4, kB_CPP = 5, kB_TOS = 6,
                        kB_OPC = 7, kB_MBRU = 9, kB_MBR = 10;
constexpr std::uint32_t kC_MAR = 0x80, kC_MDR = 0x100, kC_PC = 0x200, kC_SP = 0x400, kC_LV = 0x800,
                        kC_CPP = 0x1000, kC_TOS = 0x2000, kC_OPC = 0x4000, kC_H = 0x8000;
constexpr std::uint32_t kFetch = 0x10, kRd = 0x20, kWr = 0x40;
constexpr std::uint32_t kSra1 = 1u << 22, kSll8 = 1u << 23;
constexpr std::uint32_t kJamZ = 1u << 24, kJamN = 1u << 25, kJmpC = 1u << 26;

TEST(MicroInstructionEncoder, Encodings) {
    const struct {
        const char* text;
        std::uint32_t word;
        std::int32_t next = 0;
    } rows[] = {
        // clang-format off
        {"MAR = SP = SP - 1; RD; GOTO 7;", 3605667, 7},
        {"MAR = MDR = PC = SP = LV = CPP = TOS = OPC = H = H;",
         kC_MAR | kC_MDR | kC_PC | kC_SP | kC_LV | kC_CPP | kC_TOS | kC_OPC | kC_H | alu(24)},
        // Z and N are no destinations: the result only reaches the flags.
        {"Z = TOS;", alu(20) | kB_TOS}, {"N = H;", alu(24)},
        // Lone sources and constants; without the ";" after it a name is no lone source.
        {"MDR = H;", kC_MDR | alu(24)}, {"H = MDR;", kC_H | alu(20) | kB_MDR},
        {"H = PC;", kC_H | alu(20) | kB_PC}, {"H = SP;", kC_H | alu(20) | kB_SP},
        {"H = LV;", kC_H | alu(20) | kB_LV}, {"H = CPP;", kC_H | alu(20) | kB_CPP},
        {"H = TOS;", kC_H | alu(20) | kB_TOS}, {"H = OPC;", kC_H | alu(20) | kB_OPC},
        {"H = MBRU;", kC_H | alu(20) | kB_MBRU}, {"H = MBR;", kC_H | alu(20) | kB_MBR},
        {"H = 0;", kC_H | alu(16)}, {"H = 1;", kC_H | alu(17)}, {"H = 7;", kC_H | alu(17)},
        {"TOS = -1;", kC_TOS | alu(18)}, {"TOS = -H;", kC_TOS | alu(59)},
        {"TOS = -5;", kC_TOS | alu(59)}, {"H = TOS", kC_H},
        // With no destination the source still passes, to the flags only.
        {"= TOS;", alu(20) | kB_TOS}, {"= H;", alu(24)},
        // Arithmetic and logic; NOT of a B source keeps NOT A and only adds the B field.
        {"SP = SP - 1;", kC_SP | kB_SP | alu(55)}, {"TOS = MDR - H;", kC_TOS | kB_MDR | alu(63)},
        {"H = H + 1;", kC_H | alu(57)}, {"PC = PC + 1;", kC_PC | kB_PC | alu(53)},
        {"TOS = H + MDR;", kC_TOS | kB_MDR | alu(60)},
        {"TOS = MDR + H;", kC_TOS | kB_MDR | alu(60)},
        {"TOS = H + MDR + 1;", kC_TOS | kB_MDR | alu(61)},
        {"TOS = MDR + H + 1;", kC_TOS | kB_MDR | alu(61)},
        {"TOS = H AND TOS;", kC_TOS | kB_TOS | alu(12)},
        {"TOS = TOS AND H;", kC_TOS | kB_TOS | alu(12)},
        {"MDR = H OR LV;", kC_MDR | kB_LV | alu(28)}, {"MDR = LV OR H;", kC_MDR | kB_LV | alu(28)},
        {"H = NOT H;", kC_H | alu(26)}, {"H = NOT TOS;", kC_H | alu(26) | kB_TOS},
        // Shifts, memory and jumps.
        {"H = MBRU << 8;", kC_H | kB_MBRU | alu(20) | kSll8},
        {"H = H << 8;", kC_H | alu(24) | kSll8},
        {"OPC = TOS >> 1;", kC_OPC | kB_TOS | alu(20) | kSra1},
        {"H = H >> 1;", kC_H | alu(24) | kSra1},
        {"SHL;", kSll8}, {"SHR;", kSra1}, {"RD;", kRd}, {"WR;", kWr}, {"FETCH;", kFetch},
        {"GOTO 300;", 0, 300}, {" GOTO 20;", 0, 20}, {"GOTO 99999999999999999999;", 0, INT32_MAX},
        {"PC = PC + 1; FETCH; GOTO (MBR);", kC_PC | kB_PC | alu(53) | kFetch | kJmpC},
        // The tokens after OR are skipped: no OR function and no MBR in the B field.
        {"GOTO (MBR OR 0X100);", kJmpC, 256},
        {" Z = TOS ; IF ( Z ) GOTO T ; ELSE GOTO 30 ;", kJamZ | alu(20) | kB_TOS, 30},
        {"N = H; IF (N) GOTO 5; ELSE GOTO 9;", kJamN | alu(24), 9},
        // Without Z or N the first GOTO meets a name (JMPC), the second the else address.
        {"IF (X) GOTO A; ELSE GOTO 30;", kJmpC, 30},
        // Missing tokens read as empty and keep the cursor.
        {"", 0}, {"IF", 0}, {"IF (Z", kJamZ}, {"GOTO", kJmpC}, {"=", 0}, {"-", alu(63)},
        {"+", alu(60)}, {"AND", alu(12)},
        // A "<" with nothing before it does not skip ahead: "H =" after it still counts.
        {"< H = H + 1;", kSll8 | alu(20) | kC_H | alu(57)},
        // Two ALU forms in one line OR their codes.
        {"H = H + 1; TOS = -1;", kC_H | kC_TOS | alu(57 | 18)},
        // clang-format on
    };
    for (const auto& row : rows) {
        MicroInstructionEncoder mic(row.text);
        mic.compile();
        EXPECT_EQ(mic.word, row.word) << row.text << " (0x" << std::hex << mic.word << ")";
        EXPECT_EQ(mic.nextAddr, row.next) << row.text;
    }
}

TEST(MicroInstructionEncoder, GarbageNeverSetsBitsAbove26) {
    for (const char* text :
         {"= = = ;", "( ( ) ) ;", "1 + + + 1", "H < < < < 8", "- - - 1", "IF ( N ) ",
          "GOTO ( MBR OR", "NOT", "OR 1", "TOS = 99999999999999;", "; ; ; RD ; ;"}) {
        MicroInstructionEncoder mic(text);
        mic.compile();
        EXPECT_EQ(mic.word >> 27, 0u) << text;
        EXPECT_GE(mic.nextAddr, 0) << text;
    }
}

TEST(MicroInstructionEncoder, CompilesTheWholeTextHoweverLong) {
    const std::string text = "H = H + 1;" + std::string(60, ' ') + "RD;";
    MicroInstructionEncoder mic(text);
    mic.compile();
    EXPECT_EQ(mic.word, kC_H | alu(57) | kRd);
}

} // namespace
} // namespace tessaro
