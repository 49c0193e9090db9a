// The asm subcommand of the command-line tool: its output formats and exit statuses.

#include "ijvm_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <sys/wait.h>

namespace tessaro::test {
namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

CliRun runCli(const std::string& arguments) {
    const std::string out = tempPath(".out");
    const std::string err = tempPath(".err");
    const std::string command =
        std::string("'") + TESSARO_CLI + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
    CliRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = readAll(out);
    run.err = readAll(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return run;
}

std::string programFile(const std::string& source) {
    const std::string path = tempPath();
    writeFile(path, source);
    return path;
}

TEST(AsmCommand, CorrectProgramExitsZeroSilently) {
    const std::string path = programFile(".main\nBIPUSH 1\nOUT\nHALT\n.end-main\n");
    const CliRun run = runCli("asm '" + path + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
}

TEST(AsmCommand, DumpShowsMethodAreaAndConstantPool) {
    const std::string path =
        programFile(".constant\nk 5\n.end-constant\n.main\nBIPUSH 1\nLDCW k\nHALT\n.end-main\n");
    const CliRun run = runCli("asm '" + path + "' --dump");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "Method area (13 bytes)\n"
                       "     0  52  INVOKEVIRTUAL\n"
                       "     1  00\n"
                       "     2  01\n"
                       "     3  00  ; method main\n"
                       "     4  01\n"
                       "     5  00\n"
                       "     6  00\n"
                       "     7  19  BIPUSH 1\n"
                       "     8  01\n"
                       "     9  30  LDCW k\n"
                       "    10  00\n"
                       "    11  00\n"
                       "    12  70  HALT\n"
                       "Constant pool (2 words)\n"
                       "     0  k                     5\n"
                       "     1  main                  3\n");
}

TEST(AsmCommand, ErrorsArePrintedWithLineAndColumnAndExitOne) {
    const std::string path =
        programFile(".main\r\nBIPUSH 1\r\nILAOD x\r\nHALT\r\nGOTO nowhere\r\n");
    const CliRun run = runCli("asm --dump '" + path + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    const std::string m = "Errore nel metodo main";
    EXPECT_EQ(run.err, path + ":3:1: " + m +
                           " in prossimità dell'istruzione 1: ILAOD non esiste.\n" + path +
                           ":3:7: " + m + " in prossimità dell'istruzione 1: X non esiste.\n" +
                           path + ":1:1: Errore: Il metodo main deve terminare con .end-method\n" +
                           path + ":5:6: " + m + ". L'etichetta nowhere non esiste.\n");
}

TEST(AsmCommand, LangEnglishPrintsTheAssemblerErrorsInEnglish) {
    const std::string path = programFile(".main\nBIPUSH 1\nGOTO nowhere\nHALT\n.end-main\n");
    const std::string italian =
        path + ":3:6: Errore nel metodo main. L'etichetta nowhere non esiste.\n";
    const std::string english =
        path + ":3:6: Error in method main. The label nowhere does not exist.\n";
    EXPECT_EQ(runCli("asm '" + path + "'").err, italian);
    EXPECT_EQ(runCli("--lang it asm '" + path + "'").err, italian);
    // Before or after the command, spelt either way.
    for (const std::string& arguments :
         {"--lang en asm '" + path + "'", "asm '" + path + "' --lang en",
          "asm --lang=en '" + path + "'"}) {
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.status, 1) << arguments;
        EXPECT_EQ(run.err, english) << arguments;
    }
}

TEST(AsmCommand, AnUnknownLanguageIsAUsageError) {
    const std::string path = programFile(".main\nHALT\n.end-main\n");
    const CliRun run = runCli("--lang de asm '" + path + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("'de'"), std::string::npos) << run.err;
    EXPECT_EQ(runCli("asm '" + path + "' --lang").status, 1);
}

TEST(AsmCommand, UnreadableInputIsAClearErrorBeforeAssembling) {
    const CliRun missing = runCli("asm '" + tempPath() + "'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, ""); // not the assembler's own fatal line
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;

    const CliRun directory = runCli("asm '" + ::testing::TempDir() + "'");
    EXPECT_EQ(directory.status, 1);
    EXPECT_NE(directory.err.find("directory"), std::string::npos) << directory.err;
}

TEST(AsmCommand, BadArgumentsAreUsageErrors) {
    EXPECT_EQ(runCli("asm").status, 1);
    const std::string path = programFile(".main\nHALT\n.end-main\n");
    const CliRun unknown = runCli("asm '" + path + "' --bogus");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("--bogus"), std::string::npos);
    EXPECT_EQ(runCli("asm '" + path + "' '" + path + "'").status, 1);
}

} // namespace
} // namespace tessaro::test
