// The exercise of adding an instruction, end to end through the command-line tool: an
// instruction-set file with INEG at 0x46, a microprogram with its routine at line 70, a
// program using it; and the shipped set, which changes nothing.

#include "tests/support/cli.h"
#include "tests/support/files.h"

#include "data/bundled.h"

#include <gtest/gtest.h>

namespace tessaro::testing {
namespace {

const std::string kExercise = std::string(TESSARO_SOURCE_DIR) + "/examples/exercise/";
const std::string kSet = "--instructions " + quoted(kExercise + "instructions.txt");

// The exercise's microprogram with its one occurrence of from replaced by to.
std::string inegRoutine(const std::string& from, const std::string& to) {
    std::string text = readFile(kExercise + "ineg.mal");
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return quoted(writeScratch(text.replace(at, from.size(), to), ".mal"));
}

TEST(InstructionSets, ANewInstructionAssemblesRunsAndIsChecked) {
    const std::string program = quoted(kExercise + "negate.jvm");
    const std::string microprogram = "--microprogram " + quoted(kExercise + "ineg.mal");

    const CliResult dump = runCli("asm " + program + " " + kSet + " --dump");
    EXPECT_EQ(dump.status, 0) << dump.err;
    EXPECT_NE(dump.out.find("     9  46  INEG\n"), std::string::npos) << dump.out;
    EXPECT_NE(runCli("asm " + program).err.find("INEG non esiste"), std::string::npos);

    const CliResult run =
        runCli("run " + program + " " + kSet + " " + microprogram + " --trace --stats");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "73");
    EXPECT_NE(run.err.find("     9  INEG                         cima della pila 7\n"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("INEG                       2                   8\n"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("avviso"), std::string::npos);

    // Without the routine the machine runs the filler line, and is warned about it, in the
    // language of the command line.
    const CliResult unrouted = runCli("run " + program + " " + kSet);
    EXPECT_NE(unrouted.err.find("avviso: INEG (opcode 0x46): la riga 70 del control store è "
                                "una riga di riempimento"),
              std::string::npos)
        << unrouted.err;
    const CliResult unroutedEnglish = runCli("--lang en run " + program + " " + kSet);
    EXPECT_NE(unroutedEnglish.err.find("warning: INEG (opcode 0x46): line 70 of the control "
                                       "store is a filler line"),
              std::string::npos)
        << unroutedEnglish.err;
    // An opcode beyond the microprogram's last line is told apart from a filler line.
    const std::string farSet =
        writeScratch(readFile(kExercise + "instructions.txt") + "0xF8 IFOO\n");
    const CliResult far = runCli("--lang en run " + program + " --instructions " + quoted(farSet));
    EXPECT_NE(far.err.find("warning: IFOO (opcode 0xF8): line 248 of the control store lies past "
                           "the last line, not a routine"),
              std::string::npos)
        << far.err;

    const std::string check = "check --programs 12 " + kSet + " ";
    const CliResult right = runCli(check + quoted(kExercise + "ineg.mal"));
    EXPECT_EQ(right.status, 0) << right.out << right.err;
    EXPECT_NE(right.out.find("\nINEG ok 4\n"), std::string::npos) << right.out;

    for (const auto& [from, to] : {std::pair<std::string, std::string>{"TOS = -H", "TOS = H"},
                                   {"ineg2    MAR = SP ", "ineg2    MAR = SP = SP + 1"}}) {
        const CliResult wrong = runCli(check + inegRoutine(from, to));
        EXPECT_EQ(wrong.status, 1) << to;
        EXPECT_NE(wrong.out.find("\nINEG FAIL\n"), std::string::npos) << wrong.out;
        EXPECT_EQ(wrong.out.find("IADD FAIL"), std::string::npos) << wrong.out;
    }

    const std::string unchecked =
        writeScratch(readFile(kExercise + "instructions.txt") + "0x51 ISHRB byte:n\n");
    const CliResult noEffect = runCli(check + "--instructions " + quoted(unchecked) + " " +
                                      quoted(kExercise + "ineg.mal"));
    EXPECT_EQ(noEffect.status, 0) << noEffect.out;
    EXPECT_NE(noEffect.out.find("\nISHRB non verificata (nessun effetto sulla pila)\n"),
              std::string::npos);
}

TEST(InstructionSets, AWrongFileIsRefusedByEveryCommand) {
    const std::string bad = writeScratch("0x01 NOP\n0x01 NOP2\n");
    const std::string program = quoted(writeScratch(".main\nHALT\n.end-main\n", ".jvm"));
    for (const std::string& command : {"asm " + program, "run " + program, std::string("check")}) {
        const CliResult result = runCli(command + " --instructions " + quoted(bad));
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_NE(result.err.find(bad + ":2: l'opcode 0x01 è già usato alla riga 1\n"),
                  std::string::npos)
            << result.err;
    }
}

TEST(InstructionSets, TheShippedFileChangesNoOutput) {
    const std::string shipped =
        "--instructions " + quoted(std::string(TESSARO_SOURCE_DIR) + "/data/instructions.txt");
    for (const BundledFile& example : bundledExamples()) {
        SCOPED_TRACE(example.name);
        const std::string path =
            std::string(TESSARO_SOURCE_DIR) + "/examples/" + std::string(example.name);
        const std::string input = "12\n7\n";
        for (const std::string command : {"asm --dump ", "run --trace --max-steps 300000 "}) {
            const CliResult plain = runCli(command + quoted(path), input);
            const CliResult explicitSet = runCli(command + quoted(path) + " " + shipped, input);
            EXPECT_EQ(plain.status, explicitSet.status);
            EXPECT_EQ(plain.out, explicitSet.out);
            EXPECT_EQ(plain.err, explicitSet.err);
        }
    }
}

} // namespace
} // namespace tessaro::testing
