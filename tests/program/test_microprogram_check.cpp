// The microprogram check: the bundled microprogram passes it, and wrong versions of it, each
// made by a small edit of data/velkora.mal, are reported at the instruction whose routine is
// wrong, and only there.

#include "tests/support/machine.h"

#include "ijvm/instruction_set.h"
#include "machine/microprogram_check.h"
#include "mal/translate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

namespace tessaro::testing {
namespace {

constexpr int kPrograms = 12;

std::string bundledSource() {
    std::ifstream in(std::string(TESSARO_SOURCE_DIR) + "/data/velkora.mal", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The text with its one occurrence of from replaced by to.
std::string edited(const std::string& from, const std::string& to) {
    std::string text = bundledSource();
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << "the microprogram no longer holds: " << from;
    EXPECT_EQ(text.find(from, at + 1), std::string::npos) << "not unique: " << from;
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::vector<InstructionCheck> check(const std::string& microprogram, std::uint32_t seed = 1) {
    const std::string mal = scratchPath("check.mal");
    const std::string bin = scratchPath("check.bin");
    {
        std::ofstream out(mal, std::ios::binary | std::ios::trunc);
        out << microprogram;
    }
    Translate translate(mal, bin);
    EXPECT_TRUE(translate.tryRun());
    EXPECT_TRUE(translate.problems.empty()) << translate.problems.front().message;
    MicroprogramCheck checker(bin, scratchPath("check.jvm"));
    CheckOptions options;
    options.programs = kPrograms;
    options.seed = seed;
    std::vector<InstructionCheck> results = checker.run(options);
    EXPECT_FALSE(results.empty()) << checker.error();
    return results;
}

std::set<std::string> failed(const std::vector<InstructionCheck>& results) {
    std::set<std::string> names;
    for (const InstructionCheck& result : results) {
        if (!result.passed()) {
            names.insert(result.name);
        }
    }
    return names;
}

const InstructionCheck& find(const std::vector<InstructionCheck>& results,
                             const std::string& name) {
    const auto it = std::find_if(results.begin(), results.end(),
                                 [&](const InstructionCheck& r) { return r.name == name; });
    EXPECT_NE(it, results.end()) << name;
    return *it;
}

TEST(MicroprogramCheck, TheBundledMicroprogramPassesWithItsCountsShown) {
    const std::vector<InstructionCheck> results = check(bundledSource());
    ASSERT_EQ(results.size(), kInstructionSet.size());
    EXPECT_TRUE(allPassed(results));
    EXPECT_EQ(failed(results), std::set<std::string>{});
    // Fixed routines show one count, routines with two ways out show the range.
    EXPECT_EQ(verdictLine(find(results, "IADD")), "IADD ok 4");
    EXPECT_EQ(verdictLine(find(results, "IFLT")), "IFLT ok 7-11");
    for (const InstructionCheck& result : results) {
        EXPECT_GE(result.executions, kPrograms) << result.name;
        EXPECT_TRUE(failureDetails(result).empty()) << result.name;
    }
}

struct WrongVersion {
    const char* what;
    const char* from;
    const char* to;
    std::set<std::string> failing;
};

// Each edit breaks one routine; an edit of code that several routines share is charged to
// all of them (the taken branches of IFLT, IFEQ and IFICMPEQ continue in GOTO's routine).
const WrongVersion kWrongVersions[] = {
    {"ISUB with its operands swapped",
     "isub2    H = TOS\nisub3    MDR = TOS = MDR - H",
     "isub2    H = MDR\nisub3    MDR = TOS = TOS - H",
     {"ISUB"}},
    {"IADD without its wr",
     "iadd3    MDR = TOS = MDR + H; wr;",
     "iadd3    MDR = TOS = MDR + H;",
     {"IADD"}},
    {"IFLT testing Z",
     "iflt2    N = TOS; if (N) goto TT",
     "iflt2    Z = TOS; if (Z) goto TT",
     {"IFLT"}},
    {"IINC losing the sign of its constant",
     "iinc6    MDR = MBR + H",
     "iinc6    MDR = MBRU + H",
     {"IINC"}},
    {"IRETURN restoring LV from MAR", "ireturn7 LV = MDR", "ireturn7 LV = MAR", {"IRETURN"}},
    {"BIPUSH without sign extension",
     "bipush3  MDR = TOS = MBR;",
     "bipush3  MDR = TOS = MBRU;",
     {"BIPUSH"}},
    {"ILOAD with a signed index", "iload2   MAR = MBRU + H", "iload2   MAR = MBR + H", {"ILOAD"}},
    {"DUP without its wr", "dup2     MDR = TOS; wr;", "dup2     MDR = TOS;", {"DUP"}},
    {"WIDE ISTORE without its wr", "wistore5 MDR = TOS; wr", "wistore5 MDR = TOS", {"WIDE ISTORE"}},
    {"LDCW ignoring the high byte", "ldcw2    H = MBRU << 8", "ldcw2    H = MBRU", {"LDCW"}},
    {"INVOKEVIRTUAL saving the wrong return address",
     "invoke18 MDR = OPC + 1; wr",
     "invoke18 MDR = OPC; wr",
     {"INVOKEVIRTUAL"}},
    {"POP not waiting for the read",
     "pop2     goto pop3",
     "pop2     TOS = MDR; goto Main1",
     {"POP"}},
    {"SWAP leaving TOS alone", "swap6    TOS = H; goto Main1", "swap6    goto Main1", {"SWAP"}},
    {"IN reading word -4", "in3      OPC = H = OPC + H + 1", "in3      OPC = H = OPC + H", {"IN"}},
    {"OUT without its wr", "out12    MDR = TOS; wr", "out12    MDR = TOS", {"OUT"}},
    {"INVOKEVIRTUAL not writing the caller's LV, also in the start-up call",
     "invoke20 MDR = TOS; wr",
     "invoke20 MDR = TOS",
     {"INVOKEVIRTUAL"}},
    {"GOTO with an unsigned offset",
     "goto3    H = MBR << 8",
     "goto3    H = MBRU << 8",
     {"GOTO", "IFLT", "IFEQ", "IFICMPEQ"}},
};

class WrongMicroprogram : public ::testing::TestWithParam<WrongVersion> {};

TEST_P(WrongMicroprogram, IsReportedAtTheWrongInstructionOnly) {
    const WrongVersion& version = GetParam();
    const std::vector<InstructionCheck> results = check(edited(version.from, version.to));
    EXPECT_FALSE(allPassed(results));
    EXPECT_EQ(failed(results), version.failing) << version.what;
    // Each wrong execution is traced from the main loop into the instruction's own routine.
    for (const InstructionCheck& result : results) {
        if (!result.passed()) {
            ASSERT_GE(result.microAddresses.size(), 2u) << result.name;
            EXPECT_EQ(result.microAddresses[0], 0) << result.name;
            EXPECT_EQ(result.microAddresses[1], result.opcode) << result.name;
            EXPECT_GT(result.line, 0) << result.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Edits, WrongMicroprogram, ::testing::ValuesIn(kWrongVersions));

TEST(MicroprogramCheck, AFailureShowsAShortProgramWhatDiffersAndTheMicroAddresses) {
    const std::vector<InstructionCheck> results =
        check(edited("isub2    H = TOS\nisub3    MDR = TOS = MDR - H",
                     "isub2    H = MDR\nisub3    MDR = TOS = TOS - H"));
    const InstructionCheck& isub = find(results, "ISUB");
    EXPECT_EQ(verdictLine(isub), "ISUB FAIL");
    // The smallest programs come first: two pushes and the subtraction.
    EXPECT_LE(std::count(isub.program.begin(), isub.program.end(), '\n'), 12) << isub.program;
    ASSERT_GT(isub.line, 0);
    const std::vector<std::string> details = failureDetails(isub);
    const auto marked = std::find_if(details.begin(), details.end(), [](const std::string& l) {
        return l.find(" > ") != std::string::npos;
    });
    ASSERT_NE(marked, details.end());
    EXPECT_NE(marked->find("ISUB"), std::string::npos) << *marked;
    EXPECT_NE(std::find_if(details.begin(), details.end(),
                           [](const std::string& l) {
                               return l.find("TOS") != std::string::npos &&
                                      l.find("expected") != std::string::npos;
                           }),
              details.end());
    // The routine ran from the main loop into ISUB's first line.
    ASSERT_GE(isub.microAddresses.size(), 2u);
    EXPECT_EQ(isub.microAddresses[0], 0);
    EXPECT_EQ(isub.microAddresses[1], opcode::ISUB);
    EXPECT_EQ(details.back().rfind("micro-addresses executed: 0 5", 0), 0u) << details.back();
}

TEST(MicroprogramCheck, ARoutineThatNeverReturnsIsReportedAndTheCheckEnds) {
    const std::vector<InstructionCheck> results =
        check(edited("swap6    TOS = H; goto Main1", "swap6    TOS = H; goto swap6"));
    EXPECT_EQ(failed(results), std::set<std::string>{"SWAP"});
    const InstructionCheck& swap = find(results, "SWAP");
    ASSERT_FALSE(swap.differences.empty());
    EXPECT_NE(swap.differences.front().find("never returned"), std::string::npos);
}

TEST(MicroprogramCheck, AMainLoopThatNeverDispatchesFailsEveryInstructionAndTheCheckEnds) {
    std::string text = edited("nop1     goto Main1", "nop1     goto nop1");
    text.replace(text.find("fetch; goto (MBR)"), 17, "fetch; goto nop1");
    const std::vector<InstructionCheck> results = check(text);
    ASSERT_EQ(results.size(), kInstructionSet.size());
    for (const InstructionCheck& result : results) {
        EXPECT_FALSE(result.passed()) << result.name;
    }
    // The endless loop is shown once, with its count.
    const InstructionCheck& nop = find(results, "NOP");
    EXPECT_EQ(nop.microAddresses.size(), MicroprogramCheck::kInstructionBound);
    EXPECT_EQ(failureDetails(nop).back(), "micro-addresses executed: 0 1 (9999 times)");
}

TEST(MicroprogramCheck, TheSameSeedGivesTheSameReport) {
    const std::string wrong = edited("ireturn7 LV = MDR", "ireturn7 LV = MAR");
    const std::vector<InstructionCheck> first = check(wrong, 7);
    const std::vector<InstructionCheck> again = check(wrong, 7);
    ASSERT_EQ(first.size(), again.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].program, again[i].program);
        EXPECT_EQ(first[i].executions, again[i].executions);
        EXPECT_EQ(first[i].microAddresses, again[i].microAddresses);
    }
}

} // namespace
} // namespace tessaro::testing
