// The command-line tool as a user meets it: the run command's exit statuses, input, output and
// diagnostics, and the check command's verdicts.

#include "tests/program/program_support.h"
#include "tests/support/cli.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <sstream>

namespace tessaro::testing {
namespace {

// Runs "tessaro-cli run" on the program text with the given options and standard input.
CliResult run(const std::string& program, const std::string& options = "",
              const std::string& input = "") {
    return runCli("run " + quoted(writeScratch(program, ".jvm")) + " " + options, input);
}

// The lines of text, each with its runs of blanks made one space.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string joined;
        for (std::string word; words >> word;) {
            joined += (joined.empty() ? "" : " ") + word;
        }
        all.push_back(joined);
    }
    return all;
}

const char* const kHalt = ".main\n HALT\n.end-main\n";
// Reads a number and prints '-' when it is negative.
const char* const kSign = ".main\n IN\n IFLT neg\n HALT\nneg: BIPUSH 45\n OUT\n HALT\n.end-main\n";
// Reads three numbers and prints them back as characters, the last first.
const char* const kReverse = ".main\n IN\n IN\n IN\n OUT\n OUT\n OUT\n HALT\n.end-main\n";
const char* const kMisspelt = ".main\n BIPUSH 1\n  ILAOD x\n HALT\n.end-main\n";

struct RunCase {
    std::string program, options, input;
    int status;
    std::string out;
    std::string inErr; // a part of what standard error must say
};

TEST(RunCommand, ExitStatusOutputAndDiagnostics) {
    const std::string broken =
        writeScratch("Main1 PC = PC + 1; fetch; goto (MBR)\n\n  goto Nowhere\n", ".mal");
    std::vector<RunCase> cases = {
        // Halted 0, stopped at the step limit 2, ERR 3; what was printed before is kept.
        {".main\n BIPUSH 72\n OUT\n HALT\n.end-main\n", "", "", 0, "H", ""},
        {".main\n BIPUSH 76\n OUT\nl: GOTO l\n.end-main\n", "--max-steps 5000", "", 2, "L", "5000"},
        {".main\n BIPUSH 69\n OUT\n ERR\n BIPUSH 70\n OUT\n HALT\n.end-main\n", "", "", 3, "E", ""},
        // The same without IN or OUT.
        {".main\nl: GOTO l\n.end-main\n", "--max-steps 5000", "", 2, "", ""},
        {".main\n BIPUSH 1\n ERR\n.end-main\n", "", "", 3, "", ""},
        {".main\n BIPUSH 1\n HALT\n ERR\n.end-main\n", "", "", 0, "", ""},
        {".main\n BIPUSH 1\n HALT\n ERR\n.end-main\n", "--stats", "", 0, "", ""},
        {kHalt, "--max-steps 100", "", 0, "", ""},
        // A main without HALT runs past its code: reported where it leaves the code, not an
        // endless loop.
        {".main\n BIPUSH 65\n OUT\n.end-main\n", "", "", 1, "A", "oltre la fine"},
        {".main\n BIPUSH 65\n POP\n.end-main\n", "--max-steps 1000", "", 1, "",
         "oltre la fine del suo codice (PC = 10)"},
        {".main\n BIPUSH 65\n POP\n.end-main\n", "--lang en", "", 1, "", "ran past the end"},
        // IN reads numbers in any radix from standard input, and 0 once it is exhausted.
        {kReverse, "", "65\n0x42   \t0o103\n", 0, "CBA", ""},
        {kReverse, "", "  68 ", 0, std::string("\0\0D", 3), ""},
        {kSign, "", "-7", 0, "-", ""},
        {kSign, "", "+0X00000000F0", 0, "", ""},
        // A bad number is an error, and nothing runs on with it.
        {".main\n BIPUSH 33\n OUT\n IN\n OUT\n HALT\n.end-main\n", "", "12abc", 1, "!", "12abc"},
        // Assembly errors with file, line and column, in the chosen language.
        {kMisspelt, "", "", 1, "",
         ".jvm:3:3: Errore nel metodo main in prossimità dell'istruzione 1: ILAOD non esiste."},
        {kMisspelt, "--lang en", "", 1, "",
         ".jvm:3:3: Error in method main near instruction 1: ILAOD does not exist."},
        // Another microprogram, translated from its file.
        {".main\n BIPUSH 79\n OUT\n BIPUSH 75\n OUT\n HALT\n.end-main\n",
         "--microprogram " + quoted(bundledMicroprogramPath()), "", 0, "OK", ""},
        {kHalt, "--microprogram " + quoted(broken), "", 1, "", ".mal:3:"},
        {kHalt, "--microprogram /nonexistent.mal", "", 1, "", "/nonexistent.mal"},
        {kHalt, "--max-steps", "", 1, "", "--max-steps richiede un valore"},
        {kHalt, "--frobnicate", "", 1, "", "--frobnicate"},
    };
    // The extremes that fit a word are read; numbers that do not fit, or digits foreign to
    // their radix, are refused and named.
    for (const char* text : {"-2147483648", "0xFFFFFFFF", "0o37777777777", "-0n1"}) {
        cases.push_back({kSign, "", text, 0, "-", ""});
    }
    for (const char* text :
         {"2147483648", "-2147483649", "0x1FFFFFFFF", "0o9", "0n102", "0x", "x12", "--3", "1.5"}) {
        cases.push_back({kSign, "", text, 1, "", text});
    }
    for (const char* steps : {"0", "-4", "12x"}) {
        cases.push_back({kHalt, std::string("--max-steps ") + steps, "", 1, "",
                         "--max-steps richiede un numero intero di almeno 1, non '" +
                             std::string(steps) + "'"});
    }
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.program + c.options + " < " + c.input);
        const CliResult result = run(c.program, c.options, c.input);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_EQ(result.out, c.out);
        EXPECT_NE(result.err.find(c.inErr), std::string::npos) << result.err;
    }
    const CliResult missing = runCli("run /nonexistent/x.jvm");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("/nonexistent/x.jvm"), std::string::npos) << missing.err;
}

TEST(RunCommand, EachCharacterIsWrittenAtOnce) {
    // Without a step limit the program below never ends; killed after a second, it must
    // already have shown its character (nothing may wait in a buffer).
    const std::string source =
        writeScratch(".main\n    BIPUSH 87\n    OUT\nl: GOTO l\n.end-main\n");
    const std::string out = scratchPath(uniqueName(".out"));
    const int raw = std::system(("timeout -s KILL 1 " + quoted(TESSARO_CLI) + " run " +
                                 quoted(source) + " > " + quoted(out) + " 2> /dev/null")
                                    .c_str());
    EXPECT_FALSE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
    EXPECT_EQ(readFile(out), "W");
}

TEST(RunCommand, StatsAndTraceGoToStandardError) {
    const std::string program =
        ".main\n    BIPUSH 5\n    BIPUSH 7\n    IADD\n    OUT\n    HALT\n.end-main\n";
    const CliResult stats = run(program, "--stats");
    EXPECT_EQ(stats.status, 0);
    EXPECT_EQ(stats.out, "\x0C");
    std::vector<std::string> all = lines(stats.err);
    ASSERT_EQ(all.size(), 9u) << stats.err;
    EXPECT_EQ(all[2].rfind("secondi: ", 0), 0u);
    EXPECT_EQ(all[3].rfind("micro-istruzioni/s: ", 0), 0u);
    all.erase(all.begin() + 2, all.begin() + 4);
    // BIPUSH 4 + BIPUSH 4 + IADD 4 + OUT 16 + HALT 1 micro-instructions after loading, then
    // each instruction with its count and micro-instructions, the costliest first.
    EXPECT_EQ(all, (std::vector<std::string>{"micro-istruzioni: 29", "istruzioni IJVM: 5",
                                             "istruzione esecuzioni micro-istruzioni", "OUT 1 16",
                                             "BIPUSH 2 8", "IADD 1 4", "HALT 1 1"}));

    const CliResult call = run(".constant\n    k 1\n.end-constant\n.method twice(x)\n    ILOAD x\n"
                               "    DUP\n    IADD\n    IRETURN\n.end-method\n.main\n    BIPUSH 0\n"
                               "    BIPUSH 21\n    INVOKEVIRTUAL twice\n    HALT\n.end-main\n",
                               "--trace");
    // One line per instruction, with the top of the stack after it.
    EXPECT_EQ(call.status, 0);
    EXPECT_EQ(lines(call.err).size(), 8u) << call.err;
    EXPECT_NE(call.err.find("BIPUSH 21"), std::string::npos) << call.err;
    EXPECT_NE(call.err.find("INVOKEVIRTUAL 1 (twice)"), std::string::npos) << call.err;
    EXPECT_NE(call.err.find("IRETURN                      cima della pila 42"), std::string::npos)
        << call.err;
}

// The figure after "label: " in text (-1 when absent).
long long figure(const std::string& text, const std::string& label) {
    const std::size_t at = text.find(label + ": ");
    return at == std::string::npos ? -1 : std::stoll(text.substr(at + label.size() + 2));
}

TEST(RunCommand, StatsCountTheInstructionsATraceShowsHoweverTheRunEnds) {
    const std::string runaway = ".main\ntop: BIPUSH 1\n GOTO top\n.end-main\n";
    const struct {
        std::string program, options;
        int status;
    } rows[] = {
        {kReverse, "", 0},
        // BIPUSH and GOTO take 11 micro-instructions: 990 ends at a boundary, 995 inside one.
        {runaway, "--max-steps 990", 2},
        {runaway, "--max-steps 995", 2},
        {runaway, "--memory-limit 2100", 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.options);
        const CliResult stats = run(row.program, row.options + " --stats", "65 66 67");
        const CliResult trace = run(row.program, row.options + " --trace", "65 66 67");
        const CliResult both = run(row.program, row.options + " --trace --stats", "65 66 67");
        EXPECT_EQ(stats.status, row.status);
        EXPECT_EQ(trace.status, row.status);
        EXPECT_EQ(stats.out, trace.out);
        std::size_t traced = 0;
        for (std::size_t at = 0; (at = trace.err.find("cima della pila", at)) != std::string::npos;
             ++at) {
            ++traced;
        }
        EXPECT_GT(traced, 0u);
        EXPECT_EQ(figure(stats.err, "istruzioni IJVM"), static_cast<long long>(traced));
        EXPECT_EQ(figure(both.err, "istruzioni IJVM"), static_cast<long long>(traced));
        EXPECT_EQ(figure(stats.err, "micro-istruzioni"), figure(both.err, "micro-istruzioni"));
    }
}

// Runs a shell line in which CLI stands for tessaro-cli (so that the line can redirect its
// input and output itself); the exit status and standard error.
CliResult shell(std::string line) {
    const std::string err = scratchPath(uniqueName(".err"));
    line.replace(line.find("CLI"), 3, "timeout 60 " + quoted(TESSARO_CLI));
    const int raw = std::system(("bash -c " + quoted(line + " 2> " + quoted(err))).c_str());
    return CliResult{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, "", readFile(err)};
}

TEST(Commands, EndlessInputsFullOutputsAndRunawayProgramsEndWithAMessage) {
    const std::string hello = quoted(writeScratch(".main\n BIPUSH 72\n OUT\n HALT\n.end-main\n"));
    const std::string echo = quoted(writeScratch(".main\n IN\n OUT\n HALT\n.end-main\n"));
    const std::string runaway =
        quoted(writeScratch(".main\ntop: BIPUSH 1\n GOTO top\n.end-main\n"));
    const char* const tooLarge = "più grande di 64 MB";
    const struct {
        std::string line;
        int status;
        std::string inErr;
    } rows[] = {
        // Sources that never end are refused at the size limit.
        {"CLI run /dev/zero", 1, tooLarge},
        {"CLI asm /dev/zero", 1, tooLarge},
        {"CLI check /dev/zero", 1, tooLarge},
        {"CLI mal /dev/zero " + quoted(scratchPath("zero.bin")), 1, tooLarge},
        {"CLI run " + hello + " --microprogram /dev/zero", 1, tooLarge},
        // A pipe is read once.
        {"CLI run <(cat " + hello + ")", 0, ""},
        {"cat " + hello + " | CLI asm /dev/stdin", 0, ""},
        // Output that cannot be written is a failure.
        {"CLI run " + hello + " > /dev/full", 1, "impossibile scrivere l'uscita standard"},
        {"CLI asm " + hello + " --dump > /dev/full", 1, "impossibile scrivere l'uscita standard"},
        {"CLI mal " + quoted(bundledMicroprogramPath()) + " /dev/full", 1, "/dev/full"},
        // An input of endless bytes is not a number; the step bound holds without input.
        {"CLI run " + echo + " --max-steps 100000 < /dev/zero", 1, "non è un numero"},
        // A runaway stack stops at the memory limit.
        {"CLI run " + runaway + " --memory-limit 100000", 4, "più di 100000 parole"},
        {"CLI run " + runaway + " --memory-limit 0", 1, "--memory-limit richiede un numero intero"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const CliResult result = shell(row.line);
        EXPECT_EQ(result.status, row.status) << result.err;
        EXPECT_NE(result.err.find(row.inErr), std::string::npos) << result.err;
    }
}

// The verdict lines of the check command's output (the details below a verdict are indented).
std::vector<std::string> verdicts(const std::string& out) {
    std::vector<std::string> found;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != ' ') {
            found.push_back(line);
        }
    }
    return found;
}

TEST(CheckCommand, TheBundledMicroprogramPasses) {
    const CliResult result = runCli("check");
    EXPECT_EQ(result.status, 0) << result.err;
    // A slow build (the sanitizers) may take long enough to tell its progress; nothing else.
    const std::regex progress("(tessaro-cli check: [0-9]+ di [0-9]+ programmi verificati "
                              "\\([0-9]+ %\\)\n)*");
    EXPECT_TRUE(std::regex_match(result.err, progress)) << result.err;
}

TEST(CheckCommand, AWrongRoutineFailsAloneWithItsEvidence) {
    const std::string wrong = writeScratch(
        editedMicroprogram("iflt2    N = TOS; if (N) goto TT", "iflt2    Z = TOS; if (Z) goto TT"),
        ".mal");
    const CliResult result = runCli("check " + quoted(wrong) + " --seed 3 --programs 10");
    EXPECT_EQ(result.status, 1);
    const std::vector<std::string> found = verdicts(result.out);
    ASSERT_EQ(found.size(), 25u) << result.out;
    for (const std::string& line : found) {
        EXPECT_EQ(line.find(" ok ") == std::string::npos, line == "IFLT FAIL") << line;
    }
    EXPECT_EQ(found[1], "IADD ok 4");
    const std::string details = result.out.substr(result.out.find("IFLT FAIL\n"));
    for (const char* part : {"il più breve programma che fallisce:", ">     IFLT", "PC: atteso",
                             "micro-indirizzi eseguiti: 0 64 65"}) {
        EXPECT_NE(details.find(part), std::string::npos) << part << " in\n" << details;
    }
}

TEST(CheckCommand, BadArgumentsAndBadMicroprogramsAreRefused) {
    const std::string broken =
        writeScratch(editedMicroprogram("Main1    PC = PC + 1; fetch; goto (MBR)",
                                        "Main1    PC = PC + 1; fetch; goto nowhere"),
                     ".mal");
    const std::pair<std::string, std::string> cases[] = {
        {"--programs 0", "--programs richiede un numero intero da 1"},
        {"--programs many", "--programs richiede un numero intero"},
        {"--seed", "--seed richiede un valore"},
        {"--fast", "opzione sconosciuta '--fast'"},
        {"--lang en --fast", "unknown option '--fast'"},
        {"a.mal b.mal", "più di un microprogramma"},
        {quoted(scratchPath("absent.mal")), "absent.mal"},
        {quoted(broken), broken + ":"},
    };
    for (const auto& [arguments, message] : cases) {
        const CliResult result = runCli("check " + arguments);
        EXPECT_EQ(result.status, 1) << arguments;
        EXPECT_NE(result.err.find(message), std::string::npos) << arguments << "\n" << result.err;
        EXPECT_EQ(result.out, "") << arguments;
    }
}

} // namespace
} // namespace tessaro::testing
