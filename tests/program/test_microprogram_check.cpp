// The microprogram check: the bundled microprogram passes it, and wrong versions of it, each
// made by a small edit of data/velkora.mal, are reported at the instruction whose routine is
// wrong, and only there.

#include "check/check_programs.h"
#include "check/microprogram_check.h"
#include "ijvm/instruction_set.h"
#include "tests/program/program_support.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>

namespace tessaro::testing {
namespace {

constexpr int kPrograms = 12;

std::vector<InstructionCheck> check(const std::string& microprogram, std::uint32_t seed = 1) {
    MicroprogramCheck checker(translatedStore(microprogram));
    CheckOptions options;
    options.programs = kPrograms;
    options.seed = seed;
    // Progress is told once per program, counting up to the total.
    std::int64_t told = 0;
    std::int64_t total = 0;
    options.progress = [&](std::int64_t done, std::int64_t all) {
        EXPECT_EQ(done, told++);
        total = all;
    };
    std::vector<InstructionCheck> results = checker.run(options);
    EXPECT_EQ(results.size(), builtinInstructionSet().instructions().size()) << checker.error();
    EXPECT_GE(told, kPrograms);
    EXPECT_LE(told, total);
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

TEST(MicroprogramCheck, TheBundledMicroprogramPassesWithItsCountsShown) {
    const std::vector<InstructionCheck> results = check(readFile(bundledMicroprogramPath()));
    EXPECT_TRUE(allPassed(results));
    // Fixed routines show one count, routines with two ways out show the range.
    std::set<std::string> verdicts;
    for (const InstructionCheck& result : results) {
        verdicts.insert(verdictLine(result));
        EXPECT_TRUE(result.passed()) << result.name;
        EXPECT_GE(result.executions, kPrograms) << result.name;
        EXPECT_TRUE(failureDetails(result).empty()) << result.name;
    }
    EXPECT_EQ(verdicts.count("IADD ok 4"), 1u);
    EXPECT_EQ(verdicts.count("IFLT ok 7-11"), 1u);
}

struct WrongVersion {
    const char* from;
    const char* to;
    std::set<std::string> failing;
    const char* detail = "";     // in the details of every failing instruction
    std::ptrdiff_t lines = 1000; // at most, in the shortest failing program
};

// Names a case in test listings by the routines it breaks.
void PrintTo(const WrongVersion& version, std::ostream* out) {
    for (const std::string& name : version.failing) {
        *out << name << ' ';
    }
}

// Each edit breaks one routine; an edit of code that several routines share is charged to
// all of them (the taken branches of IFLT, IFEQ and IFICMPEQ continue in GOTO's routine).
// That the check catches wrong microprograms at all is the microcode_mutants test's; these
// cases are about where and how a failure is reported.
const WrongVersion kWrongVersions[] = {
    // Operands swapped.
    {"isub2    H = TOS\nisub3    MDR = TOS = MDR - H",
     "isub2    H = MDR\nisub3    MDR = TOS = TOS - H",
     {"ISUB"},
     "TOS (copia della cima della pila): atteso",
     12},
    {"iflt2    N = TOS; if (N) goto TT", "iflt2    Z = TOS; if (Z) goto TT", {"IFLT"}},
    {"ireturn7 LV = MDR", "ireturn7 LV = TOS", {"IRETURN"}},
    {"iload2   MAR = MBRU + H", "iload2   MAR = MBR + H", {"ILOAD"}},
    {"wistore5 MDR = TOS; wr", "wistore5 MDR = TOS", {"WIDE ISTORE"}},
    // The link pointer, at LV itself.
    {"invoke16 MDR = SP + H + 1; wr",
     "invoke16 MDR = SP + H; wr",
     {"INVOKEVIRTUAL"},
     "(frame a LV + 0)"},
    // A register the next instructions do not use is compared too.
    {"dup1     MAR = SP = SP + 1", "dup1     MAR = SP = CPP = SP + 1", {"DUP"}, "CPP: atteso"},
    // Not waiting for the read.
    {"pop2     goto pop3", "pop2     TOS = MDR; goto Main1", {"POP"}},
    {"swap6    TOS = H; goto Main1", "swap6    goto Main1", {"SWAP"}},
    {"swap6    TOS = H; goto Main1", "swap6    TOS = H; goto swap6", {"SWAP"}, "non è mai tornato"},
    // Reading word -4.
    {"in3      OPC = H = OPC + H + 1", "in3      OPC = H = OPC + H", {"IN"}},
    // The caller's LV not written, also in the start-up call.
    {"invoke20 MDR = TOS; wr", "invoke20 MDR = TOS", {"INVOKEVIRTUAL"}},
    {"goto3    H = MBR << 8", "goto3    H = MBRU << 8", {"GOTO", "IFLT", "IFEQ", "IFICMPEQ"}},
    // Stopping where the meaning does not, and the other way round.
    {"err1     goto halt1", "err1     goto Main1", {"ERR"}, "non ha fermato la macchina"},
    {"nop1     goto Main1",
     "nop1     goto halt1",
     {"NOP"},
     "ha fermato la macchina all'indirizzo di HALT"},
};

class WrongMicroprogram : public ::testing::TestWithParam<WrongVersion> {};

TEST_P(WrongMicroprogram, IsReportedAtTheWrongInstructionOnly) {
    const WrongVersion& version = GetParam();
    SCOPED_TRACE(version.to);
    const std::vector<InstructionCheck> results =
        check(editedMicroprogram(version.from, version.to));
    EXPECT_FALSE(allPassed(results));
    EXPECT_EQ(failed(results), version.failing);
    // Each failure shows a short program with the wrong instruction marked, what differs, and
    // the wrong execution traced from the main loop into the instruction's own routine.
    for (const InstructionCheck& result : results) {
        if (result.passed()) {
            continue;
        }
        std::string details;
        for (const std::string& line : failureDetails(result)) {
            details += line + "\n";
        }
        EXPECT_GT(result.line, 0) << result.name;
        const auto lines = std::count(result.program.begin(), result.program.end(), '\n');
        EXPECT_LE(lines, version.lines) << details;
        // One numbered line per program line, and the explanation right after the last.
        EXPECT_EQ(failureDetails(result)
                      .at(static_cast<std::size_t>(lines) + 1)
                      .rfind(result.name + " alla riga", 0),
                  0u)
            << details;
        const std::size_t mark = details.find(" > ");
        ASSERT_NE(mark, std::string::npos) << details;
        EXPECT_NE(details.substr(mark, details.find('\n', mark) - mark).find(result.name),
                  std::string::npos)
            << details;
        EXPECT_NE(details.find(version.detail), std::string::npos) << details;
        EXPECT_NE(details.find("micro-indirizzi eseguiti: 0 " + std::to_string(result.opcode)),
                  std::string::npos)
            << details;
    }
}

INSTANTIATE_TEST_SUITE_P(Edits, WrongMicroprogram, ::testing::ValuesIn(kWrongVersions),
                         [](const auto& info) { return "Edit" + std::to_string(info.index); });

// Other programs run an instruction too, but only its own show a fault of it in the smallest
// program, and only they reach the operands it is exercised with.
TEST(CheckProgramWriter, TheProgramsOfAnInstructionRunIt) {
    CheckProgramWriter writer(1);
    for (const Instruction& instruction : builtinInstructionSet().instructions()) {
        for (int serial = 0; serial < 4; ++serial) {
            const std::string program = writer.write(instruction.opcode, serial);
            const std::string line = "\n    " + instruction.display;
            EXPECT_TRUE(program.find(line + "\n") != std::string::npos ||
                        program.find(line + " ") != std::string::npos)
                << program;
        }
    }
}

TEST(MicroprogramCheck, AMainLoopThatNeverDispatchesFailsEveryInstructionAndTheCheckEnds) {
    std::string text = editedMicroprogram("nop1     goto Main1", "nop1     goto nop1");
    text.replace(text.find("fetch; goto (MBR)"), 17, "fetch; goto nop1");
    const std::vector<InstructionCheck> results = check(text);
    EXPECT_EQ(failed(results).size(), builtinInstructionSet().instructions().size());
    // The endless loop is shown once, with its count, at the first instruction tried.
    const InstructionCheck& nop = results.at(0);
    EXPECT_EQ(nop.name, "NOP");
    EXPECT_EQ(nop.microAddresses.size(), MicroprogramCheck::kInstructionBound);
    EXPECT_EQ(failureDetails(nop).back(), "micro-indirizzi eseguiti: 0 1 (9999 volte)");
}

TEST(MicroprogramCheck, AVerdictLineFailsOnOneWrongExecutionOrNoneAtAll) {
    struct Case {
        int executions, failures;
        std::int64_t fewest, most;
        const char* line;
    };
    for (const Case& c : {Case{3, 1, 4, 4, "X FAIL"}, Case{0, 0, 0, 0, "X FAIL (mai eseguita)"},
                          Case{1, 0, 4, 4, "X ok 4"}, Case{2, 0, 7, 11, "X ok 7-11"}}) {
        InstructionCheck result;
        result.name = "X";
        result.executions = c.executions;
        result.failures = c.failures;
        result.fewestMicro = c.fewest;
        result.mostMicro = c.most;
        EXPECT_EQ(verdictLine(result), c.line);
        EXPECT_EQ(allPassed({result}), c.failures == 0 && c.executions > 0) << c.line;
    }
}

TEST(MicroprogramCheck, TheSameSeedGivesTheSameReport) {
    const std::string wrong = editedMicroprogram("ireturn7 LV = MDR", "ireturn7 LV = TOS");
    const auto report = [&wrong] {
        std::vector<std::string> lines;
        for (const InstructionCheck& result : check(wrong, 7)) {
            const std::vector<std::string> details = failureDetails(result);
            lines.push_back(verdictLine(result) + std::to_string(result.executions));
            lines.insert(lines.end(), details.begin(), details.end());
        }
        return lines;
    };
    EXPECT_EQ(report(), report());
}

} // namespace
} // namespace tessaro::testing
