#include "mal/mistrc.h"

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

struct Compiled {
    std::uint32_t word;
    std::int32_t nextAddr;
    bool operator==(const Compiled&) const = default;
    friend void PrintTo(const Compiled& c, std::ostream* os) {
        *os << "word " << c.word << " (0x" << std::hex << c.word << std::dec << "), next "
            << c.nextAddr;
    }
};

Compiled compiled(const std::string& text) {
    MIstrC mic(text);
    mic.compile();
    return {mic.word, mic.nextAddr};
}

std::uint32_t wordOf(const std::string& text) {
    return compiled(text).word;
}

TEST(MIstrCForms, WorkedExample) {
    EXPECT_EQ(compiled("MAR = SP = SP - 1; RD; GOTO 7;"), (Compiled{3605667, 7}));
}

TEST(MIstrCForms, AssignmentsSetEveryCBusDestination) {
    EXPECT_EQ(wordOf("MAR = MDR = PC = SP = LV = CPP = TOS = OPC = H = H;"),
              kC_MAR | kC_MDR | kC_PC | kC_SP | kC_LV | kC_CPP | kC_TOS | kC_OPC | kC_H | alu(24));
    // Z and N are no destinations: the result only reaches the flags.
    EXPECT_EQ(wordOf("Z = TOS;"), alu(20) | kB_TOS);
    EXPECT_EQ(wordOf("N = H;"), alu(24));
}

TEST(MIstrCForms, LoneSourcesAndConstants) {
    EXPECT_EQ(wordOf("MDR = H;"), kC_MDR | alu(24));
    const std::pair<const char*, std::uint32_t> sources[] = {
        {"MDR", kB_MDR}, {"PC", kB_PC},   {"SP", kB_SP},     {"LV", kB_LV},  {"CPP", kB_CPP},
        {"TOS", kB_TOS}, {"OPC", kB_OPC}, {"MBRU", kB_MBRU}, {"MBR", kB_MBR}};
    for (const auto& [name, code] : sources) {
        EXPECT_EQ(wordOf(std::string("H = ") + name + ";"), kC_H | alu(20) | code) << name;
    }
    EXPECT_EQ(wordOf("H = 0;"), kC_H | alu(16));
    EXPECT_EQ(wordOf("H = 1;"), kC_H | alu(17));
    EXPECT_EQ(wordOf("H = 7;"), kC_H | alu(17));
    EXPECT_EQ(wordOf("TOS = -1;"), kC_TOS | alu(18));
    EXPECT_EQ(wordOf("TOS = -H;"), kC_TOS | alu(59));
    EXPECT_EQ(wordOf("TOS = -5;"), kC_TOS | alu(59));
    // Without the ";" after it a name is no lone source.
    EXPECT_EQ(wordOf("H = TOS"), kC_H);
}

TEST(MIstrCForms, ArithmeticAndLogic) {
    EXPECT_EQ(wordOf("SP = SP - 1;"), kC_SP | kB_SP | alu(55));
    EXPECT_EQ(wordOf("TOS = MDR - H;"), kC_TOS | kB_MDR | alu(63));
    EXPECT_EQ(wordOf("H = H + 1;"), kC_H | alu(57));
    EXPECT_EQ(wordOf("PC = PC + 1;"), kC_PC | kB_PC | alu(53));
    EXPECT_EQ(wordOf("TOS = H + MDR;"), kC_TOS | kB_MDR | alu(60));
    EXPECT_EQ(wordOf("TOS = MDR + H;"), kC_TOS | kB_MDR | alu(60));
    EXPECT_EQ(wordOf("TOS = H + MDR + 1;"), kC_TOS | kB_MDR | alu(61));
    EXPECT_EQ(wordOf("TOS = MDR + H + 1;"), kC_TOS | kB_MDR | alu(61));
    EXPECT_EQ(wordOf("TOS = H AND TOS;"), kC_TOS | kB_TOS | alu(12));
    EXPECT_EQ(wordOf("TOS = TOS AND H;"), kC_TOS | kB_TOS | alu(12));
    EXPECT_EQ(wordOf("MDR = H OR LV;"), kC_MDR | kB_LV | alu(28));
    EXPECT_EQ(wordOf("MDR = LV OR H;"), kC_MDR | kB_LV | alu(28));
    EXPECT_EQ(wordOf("H = NOT H;"), kC_H | alu(26));
    // NOT of a B source keeps NOT A and only adds the B field.
    EXPECT_EQ(wordOf("H = NOT TOS;"), kC_H | alu(26) | kB_TOS);
}

TEST(MIstrCForms, Shifts) {
    EXPECT_EQ(wordOf("H = MBRU << 8;"), kC_H | kB_MBRU | alu(20) | kSll8);
    EXPECT_EQ(wordOf("H = H << 8;"), kC_H | alu(24) | kSll8);
    EXPECT_EQ(wordOf("OPC = TOS >> 1;"), kC_OPC | kB_TOS | alu(20) | kSra1);
    EXPECT_EQ(wordOf("H = H >> 1;"), kC_H | alu(24) | kSra1);
    EXPECT_EQ(wordOf("SHL;"), kSll8);
    EXPECT_EQ(wordOf("SHR;"), kSra1);
}

TEST(MIstrCForms, MemoryAndJumps) {
    EXPECT_EQ(wordOf("RD;"), kRd);
    EXPECT_EQ(wordOf("WR;"), kWr);
    EXPECT_EQ(wordOf("FETCH;"), kFetch);
    EXPECT_EQ(compiled("GOTO 300;"), (Compiled{0, 300}));
    EXPECT_EQ(compiled("PC = PC + 1; FETCH; GOTO (MBR);"),
              (Compiled{kC_PC | kB_PC | alu(53) | kFetch | kJmpC, 0}));
    // The tokens after OR are skipped: no OR function and no MBR in the B field.
    EXPECT_EQ(compiled("GOTO (MBR OR 0X100);"), (Compiled{kJmpC, 256}));
    EXPECT_EQ(compiled(" Z = TOS ; IF ( Z ) GOTO T ; ELSE GOTO 30 ;"),
              (Compiled{kJamZ | alu(20) | kB_TOS, 30}));
    EXPECT_EQ(compiled("N = H; IF (N) GOTO 5; ELSE GOTO 9;"), (Compiled{kJamN | alu(24), 9}));
    // Trampoline text as the translator writes it.
    EXPECT_EQ(compiled(" GOTO 20;"), (Compiled{0, 20}));
}

TEST(MIstrCCursor, IfWithoutZOrNFallsBackToOrdinaryGotos) {
    // The first GOTO meets a name (JMPC, next 0), the second the else address.
    EXPECT_EQ(compiled("IF (X) GOTO A; ELSE GOTO 30;"), (Compiled{kJmpC, 30}));
}

TEST(MIstrCCursor, MissingTokensReadAsEmptyAndKeepTheCursor) {
    EXPECT_EQ(compiled(""), (Compiled{0, 0}));
    EXPECT_EQ(compiled("IF"), (Compiled{0, 0}));
    EXPECT_EQ(compiled("IF (Z"), (Compiled{kJamZ, 0}));
    EXPECT_EQ(compiled("GOTO"), (Compiled{kJmpC, 0}));
    EXPECT_EQ(compiled("="), (Compiled{0, 0}));
    EXPECT_EQ(compiled("-"), (Compiled{alu(63), 0}));
    EXPECT_EQ(compiled("+"), (Compiled{alu(60), 0}));
    EXPECT_EQ(compiled("AND"), (Compiled{alu(12), 0}));
    // A "<" with nothing before it does not skip ahead: "H =" after it still counts.
    EXPECT_EQ(wordOf("< H = H + 1;"), kSll8 | alu(20) | kC_H | alu(57));
    // Two ALU forms in one line OR their codes.
    EXPECT_EQ(wordOf("H = H + 1; TOS = -1;"), kC_H | kC_TOS | alu(57 | 18));
}

TEST(MIstrCCursor, GarbageNeverSetsBitsAbove26) {
    const char* texts[] = {"= = = ;",
                           "( ( ) ) ;",
                           "1 + + + 1",
                           "H < < < < 8",
                           "- - - 1",
                           "IF ( N ) ",
                           "GOTO ( MBR OR",
                           "NOT",
                           "OR 1",
                           "TOS = 99999999999999;",
                           "GOTO 99999999999999999999;",
                           "; ; ; RD ; ;"};
    for (const char* text : texts) {
        const Compiled c = compiled(text);
        EXPECT_EQ(c.word >> 27, 0u) << text;
        EXPECT_GE(c.nextAddr, 0) << text;
    }
    EXPECT_EQ(compiled("GOTO 99999999999999999999;").nextAddr, INT32_MAX);
}

TEST(MIstrCText, KeepsTheFirst49Bytes) {
    const std::string text = "H = H + 1;" + std::string(60, ' ') + "RD;";
    MIstrC mic(text);
    EXPECT_EQ(mic.text, text.substr(0, 49));
    mic.compile();
    // The whole text is compiled, not only the kept copy.
    EXPECT_EQ(mic.word, kC_H | alu(57) | kRd);
}

} // namespace
} // namespace tessaro
