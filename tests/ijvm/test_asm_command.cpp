// The asm subcommand of the command-line tool: its output formats and exit statuses.

#include "tests/support/cli.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

namespace tessaro::testing {
namespace {

TEST(AsmCommand, CorrectProgramIsSilentAndDumpShowsAreaAndPool) {
    const std::string path =
        quoted(writeScratch(".main\nBIPUSH 1\nOUT\nHALT\n.end-main\n", ".jvm"));
    const CliResult quiet = runCli("asm " + path);
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out + quiet.err, "");

    const CliResult dump =
        runCli("asm " +
               quoted(writeScratch(".constant\nk 5\n.end-constant\n.main\nBIPUSH 1\nLDCW k\n"
                                   "HALT\n.end-main\n",
                                   ".jvm")) +
               " --dump");
    EXPECT_EQ(dump.status, 0);
    EXPECT_EQ(dump.err, "");
    EXPECT_EQ(dump.out, "Method area (13 bytes)\n"
                        "     0  52  INVOKEVIRTUAL\n     1  00\n     2  01\n"
                        "     3  00  ; method main\n     4  01\n     5  00\n     6  00\n"
                        "     7  19  BIPUSH 1\n     8  01\n"
                        "     9  30  LDCW k\n    10  00\n    11  00\n"
                        "    12  70  HALT\n"
                        "Constant pool (2 words)\n"
                        "     0  k                     5\n"
                        "     1  main                  3\n");
}

TEST(AsmCommand, ErrorsArePrintedWithLineAndColumnAndExitOne) {
    const std::string path =
        writeScratch(".main\r\nBIPUSH 1\r\nILAOD x\r\nHALT\r\nGOTO nowhere\r\n");
    const CliResult run = runCli("asm --dump " + quoted(path));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    const std::string m = "Errore nel metodo main";
    EXPECT_EQ(run.err, path + ":3:1: " + m +
                           " in prossimità dell'istruzione 1: ILAOD non esiste.\n" + path +
                           ":3:7: " + m + " in prossimità dell'istruzione 1: X non esiste.\n" +
                           path + ":1:1: Errore: Il metodo main deve terminare con .end-method\n" +
                           path + ":5:6: " + m + ". L'etichetta nowhere non esiste.\n");
}

TEST(AsmCommand, LanguageAndUsage) {
    const std::string path = writeScratch(".main\nBIPUSH 1\nGOTO nowhere\nHALT\n.end-main\n");
    const std::string file = quoted(path);
    const std::string italian =
        path + ":3:6: Errore nel metodo main. L'etichetta nowhere non esiste.\n";
    const std::string english =
        path + ":3:6: Error in method main. The label nowhere does not exist.\n";
    // arguments, exit status, the standard error or a piece of it
    const struct {
        std::string arguments;
        int status;
        std::string err;
        bool whole;
    } rows[] = {
        {"asm " + file, 1, italian, true},
        {"--lang it asm " + file, 1, italian, true},
        {"--lang en asm " + file, 1, english, true},
        {"asm " + file + " --lang en", 1, english, true},
        {"asm --lang=en " + file, 1, english, true},
        {"--lang de asm " + file, 1, "'de'", false},
        {"asm " + file + " --lang", 1, "", false},
        {"asm", 1, "", false},
        {"asm " + file + " --bogus", 1, "--bogus", false},
        {"asm " + file + " " + file, 1, "", false},
        // Unreadable input is a clear error before assembling.
        {"asm " + quoted(scratchPath("missing.jvm")), 1, "cannot read", false},
        {"asm " + quoted(scratchPath("")), 1, "directory", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        const CliResult run = runCli(row.arguments);
        EXPECT_EQ(run.status, row.status);
        if (row.whole) {
            EXPECT_EQ(run.err, row.err);
        } else {
            EXPECT_NE(run.err.find(row.err), std::string::npos) << run.err;
            EXPECT_EQ(run.out, ""); // not the assembler's own fatal line
        }
    }
}

} // namespace
} // namespace tessaro::testing
