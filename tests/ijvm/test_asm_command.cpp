// The asm subcommand of the command-line tool: its output formats and exit statuses.

#include "tests/support/cli.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

namespace tessaro::testing {
namespace {

TEST(AsmCommand, OutputsAndExitStatuses) {
    const std::string good = quoted(writeScratch(".main\nBIPUSH 1\nOUT\nHALT\n.end-main\n"));
    const std::string pool = quoted(
        writeScratch(".constant\nk 5\n.end-constant\n.main\nBIPUSH 1\nLDCW k\nHALT\n.end-main\n"));
    const std::string dump = "Area dei metodi (13 byte)\n"
                             "     0  52  INVOKEVIRTUAL\n     1  00\n     2  01\n"
                             "     3  00  ; metodo main\n     4  01\n     5  00\n     6  00\n"
                             "     7  19  BIPUSH 1\n     8  01\n"
                             "     9  30  LDCW k\n    10  00\n    11  00\n"
                             "    12  70  HALT\n"
                             "Area delle costanti (2 parole)\n"
                             "     0  k                     5\n"
                             "     1  main                  3\n";
    // Errors come with line and column, counted over CR LF line ends.
    const std::string crlf =
        writeScratch(".main\r\nBIPUSH 1\r\nILAOD x\r\nHALT\r\nGOTO nowhere\r\n");
    const std::string m = ": Errore nel metodo main";
    const std::string errors =
        crlf + ":3:1" + m + " in prossimità dell'istruzione 1: ILAOD non esiste.\n" + crlf +
        ":3:7" + m + " in prossimità dell'istruzione 1: X non esiste.\n" + crlf +
        ":1:1: Errore: Il metodo main deve terminare con .end-method\n" + crlf + ":5:6" + m +
        ". L'etichetta nowhere non esiste.\n";
    const std::string path = writeScratch(".main\nBIPUSH 1\nGOTO nowhere\nHALT\n.end-main\n");
    const std::string file = quoted(path);
    const std::string italian =
        path + ":3:6: Errore nel metodo main. L'etichetta nowhere non esiste.\n";
    const std::string english =
        path + ":3:6: Error in method main. The label nowhere does not exist.\n";
    const struct {
        std::string arguments;
        int status;
        std::string out;
        std::string err;
        bool whole; // err is the whole standard error, else a piece of it
    } rows[] = {
        {"asm " + good, 0, "", "", true},
        {"asm " + pool + " --dump", 0, dump, "", true},
        {"asm --dump " + quoted(crlf), 1, "", errors, true},
        {"asm " + file, 1, "", italian, true},
        // --lang before or after the command, spelt either way.
        {"--lang it asm " + file, 1, "", italian, true},
        {"--lang en asm " + file, 1, "", english, true},
        {"asm " + file + " --lang en", 1, "", english, true},
        {"asm --lang=en " + file, 1, "", english, true},
        {"--lang de asm " + file, 1, "", "'de'", false},
        {"asm " + file + " --lang", 1, "", "", false},
        {"asm", 1, "", "", false},
        {"asm " + file + " --bogus", 1, "", "--bogus", false},
        {"asm " + file + " " + file, 1, "", "", false},
        // Unreadable input is a clear error before assembling, not the assembler's fatal line.
        {"asm " + quoted(scratchPath("missing.jvm")), 1, "", "impossibile leggere", false},
        {"asm " + quoted(scratchPath("")), 1, "", "cartella", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        const CliResult run = runCli(row.arguments);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.out, row.out);
        if (row.whole) {
            EXPECT_EQ(run.err, row.err);
        } else {
            EXPECT_NE(run.err.find(row.err), std::string::npos) << run.err;
        }
    }
}

} // namespace
} // namespace tessaro::testing
