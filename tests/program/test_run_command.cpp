// The run command as a user meets it: exit statuses, input, output, and its diagnostics.

#include "tests/support/machine.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tessaro::testing {
namespace {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// Runs "tessaro-cli run" on the program text with the given options and standard input.
Result run(const std::string& program, const std::string& options = "",
           const std::string& input = "") {
    const std::string source = scratchPath("cli.jvm");
    const std::string in = scratchPath("cli.in");
    const std::string out = scratchPath("cli.out");
    const std::string err = scratchPath("cli.err");
    writeFile(source, program);
    writeFile(in, input);
    const std::string command = std::string("'") + TESSARO_CLI + "' run '" + source + "' " +
                                options + " < '" + in + "' > '" + out + "' 2> '" + err + "'";
    const int raw = std::system(command.c_str());
    Result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readFile(out);
    result.err = readFile(err);
    return result;
}

int countLines(const std::string& text) {
    int lines = 0;
    for (char ch : text) {
        lines += ch == '\n' ? 1 : 0;
    }
    return lines;
}

TEST(RunCommand, ExitStatusTellsHowTheProgramEnded) {
    const Result halted = run(".main\n    BIPUSH 72\n    OUT\n    HALT\n.end-main\n");
    EXPECT_EQ(halted.status, 0) << halted.err;
    EXPECT_EQ(halted.out, "H");

    // What a program printed before looping forever is not lost.
    const Result looping =
        run(".main\n    BIPUSH 76\n    OUT\nagain: GOTO again\n.end-main\n", "--max-steps 5000");
    EXPECT_EQ(looping.status, 2);
    EXPECT_EQ(looping.out, "L");
    EXPECT_NE(looping.err.find("5000"), std::string::npos) << looping.err;

    const Result err = run(".main\n    BIPUSH 69\n    OUT\n    ERR\n    BIPUSH 70\n    OUT\n"
                           "    HALT\n.end-main\n");
    EXPECT_EQ(err.status, 3);
    EXPECT_EQ(err.out, "E");

    // The same without any IN or OUT, which the command runs without stopping between
    // instructions.
    EXPECT_EQ(run(".main\nagain: GOTO again\n.end-main\n", "--max-steps 5000").status, 2);
    EXPECT_EQ(run(".main\n    BIPUSH 1\n    ERR\n.end-main\n").status, 3);
    EXPECT_EQ(run(".main\n    BIPUSH 1\n    HALT\n    ERR\n.end-main\n").status, 0);
    EXPECT_EQ(run(".main\n    BIPUSH 1\n    HALT\n    ERR\n.end-main\n", "--stats").status, 0);

    // A main without HALT runs past its code: reported, not an endless loop (with and
    // without OUT, that is instruction by instruction and in slices).
    for (const char* program : {".main\n    BIPUSH 65\n    OUT\n.end-main\n",
                                ".main\n    BIPUSH 65\n    POP\n.end-main\n"}) {
        const Result endless = run(program);
        EXPECT_EQ(endless.status, 1) << program;
        EXPECT_NE(endless.err.find("past the end"), std::string::npos) << endless.err;
    }

    // A limit that the program stays within changes nothing.
    const Result roomy = run(".main\n    HALT\n.end-main\n", "--max-steps 100");
    EXPECT_EQ(roomy.status, 0);
}

TEST(RunCommand, EachCharacterIsWrittenAtOnce) {
    // Without a step limit the program below never ends; killed after a second, it must
    // already have shown its character (nothing may wait in a buffer).
    const std::string source = scratchPath("forever.jvm");
    writeFile(source, ".main\n    BIPUSH 87\n    OUT\nagain: GOTO again\n.end-main\n");
    const std::string out = scratchPath("forever.out");
    const std::string command = "timeout -s KILL 1 '" + std::string(TESSARO_CLI) + "' run '" +
                                source + "' > '" + out + "' 2> /dev/null";
    const int raw = std::system(command.c_str());
    EXPECT_FALSE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
    EXPECT_EQ(readFile(out), "W");
}

TEST(RunCommand, InReadsNumbersFromStandardInputAndZeroWhenExhausted) {
    // Pushes three inputs and writes them back in reverse order as characters.
    const std::string program = ".main\n    IN\n    IN\n    IN\n    OUT\n    OUT\n    OUT\n"
                                "    HALT\n.end-main\n";
    const Result forms = run(program, "", "65\n0x42   \t0o103\n");
    EXPECT_EQ(forms.status, 0) << forms.err;
    EXPECT_EQ(forms.out, "CBA");

    const Result exhausted = run(program, "", "  68 ");
    EXPECT_EQ(exhausted.status, 0);
    EXPECT_EQ(exhausted.out, std::string("\0\0D", 3));

    const Result negative = run(".main\n    IN\n    IFLT neg\n    HALT\nneg: BIPUSH 45\n    OUT\n"
                                "    HALT\n.end-main\n",
                                "", "-7");
    EXPECT_EQ(negative.out, "-");
}

TEST(RunCommand, ABadInputNumberIsAnErrorAndNothingRunsOnWithIt) {
    const Result bad =
        run(".main\n    BIPUSH 33\n    OUT\n    IN\n    OUT\n    HALT\n.end-main\n", "", "12abc");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "!");
    EXPECT_NE(bad.err.find("12abc"), std::string::npos) << bad.err;

    // Numbers that do not fit a word, or digits foreign to their radix, are refused too.
    const std::string echo = ".main\n    IN\n    IFLT neg\n    HALT\nneg: BIPUSH 45\n    OUT\n"
                             "    HALT\n.end-main\n";
    for (const char* text :
         {"2147483648", "-2147483649", "0x1FFFFFFFF", "0o9", "0n102", "0x", "x12", "--3", "1.5"}) {
        const Result refused = run(echo, "", text);
        EXPECT_EQ(refused.status, 1) << text;
        EXPECT_NE(refused.err.find(text), std::string::npos) << text << ": " << refused.err;
    }
    for (const char* text :
         {"-2147483648", "0xFFFFFFFF", "0o37777777777", "-0n1", "+0X00000000F0"}) {
        const Result accepted = run(echo, "", text);
        EXPECT_EQ(accepted.status, 0) << text << ": " << accepted.err;
        const bool negative = std::string(text) != "+0X00000000F0";
        EXPECT_EQ(accepted.out, negative ? "-" : "") << text;
    }
}

TEST(RunCommand, AssemblyErrorsArePrintedWithLineAndColumn) {
    const Result result = run(".main\n    BIPUSH 1\n  ILAOD x\n    HALT\n.end-main\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("cli.jvm:3:3: Errore nel metodo main in prossimità dell'istruzione "
                              "1: ILAOD non esiste."),
              std::string::npos)
        << result.err;
}

TEST(RunCommand, LangEnglishPrintsAssemblyErrorsInEnglish) {
    const Result result = run(".main\n    BIPUSH 1\n  ILAOD x\n    HALT\n.end-main\n", "--lang en");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("cli.jvm:3:3: Error in method main near instruction 1: ILAOD does "
                              "not exist."),
              std::string::npos)
        << result.err;
}

TEST(RunCommand, StatsAndTraceGoToStandardError) {
    const std::string program =
        ".main\n    BIPUSH 5\n    BIPUSH 7\n    IADD\n    OUT\n    HALT\n.end-main\n";
    const Result stats = run(program, "--stats");
    EXPECT_EQ(stats.status, 0);
    EXPECT_EQ(stats.out, "\x0C");
    std::istringstream lines(stats.err);
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line)) {
        all.push_back(line);
    }
    ASSERT_EQ(all.size(), 9u) << stats.err;
    // BIPUSH 4 + BIPUSH 4 + IADD 4 + OUT 16 + HALT 1 micro-instructions after loading.
    EXPECT_EQ(all[0], "micro-instructions: 29");
    EXPECT_EQ(all[1], "ijvm-instructions: 5");
    EXPECT_EQ(all[2].rfind("seconds: ", 0), 0u);
    EXPECT_EQ(all[3].rfind("micro-instructions/s: ", 0), 0u);
    // Then each instruction with its count and micro-instructions, the costliest first.
    const std::vector<std::vector<std::string>> table = {
        {"instruction", "count", "micro-instructions"},
        {"OUT", "1", "16"},
        {"BIPUSH", "2", "8"},
        {"IADD", "1", "4"},
        {"HALT", "1", "1"}};
    for (std::size_t row = 0; row < table.size(); ++row) {
        std::istringstream words(all[4 + row]);
        std::vector<std::string> cells;
        for (std::string cell; words >> cell;) {
            cells.push_back(cell);
        }
        EXPECT_EQ(cells, table[row]) << all[4 + row];
    }

    const Result trace = run(program, "--trace");
    EXPECT_EQ(trace.status, 0);
    EXPECT_EQ(countLines(trace.err), 5) << trace.err;
    EXPECT_NE(trace.err.find("IADD"), std::string::npos);
    EXPECT_NE(trace.err.find("stack top 12"), std::string::npos) << trace.err;
    EXPECT_NE(trace.err.find("BIPUSH 7"), std::string::npos) << trace.err;

    const Result call = run(".constant\n    k 1\n.end-constant\n.method twice(x)\n    ILOAD x\n"
                            "    DUP\n    IADD\n    IRETURN\n.end-method\n.main\n    BIPUSH 0\n"
                            "    BIPUSH 21\n    INVOKEVIRTUAL twice\n    HALT\n.end-main\n",
                            "--trace");
    EXPECT_EQ(call.status, 0);
    EXPECT_NE(call.err.find("INVOKEVIRTUAL 1 (twice)"), std::string::npos) << call.err;
    EXPECT_NE(call.err.find("IRETURN                      stack top 42"), std::string::npos)
        << call.err;
}

TEST(RunCommand, AnotherMicroprogramCanBeGiven) {
    // A microprogram file given by path is translated and used (here a copy of the built-in
    // one, whose OUT the command recognises by its opcode, not by any micro-address).
    std::string mal = readFile(std::string(TESSARO_SOURCE_DIR) + "/data/velkora.mal");
    const std::string path = scratchPath("copy.mal");
    writeFile(path, mal);
    const Result same = run(".main\n    BIPUSH 79\n    OUT\n    BIPUSH 75\n    OUT\n    HALT\n"
                            ".end-main\n",
                            "--microprogram '" + path + "'");
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "OK");

    // A jump to a label that does not exist is reported with its line.
    const std::string broken = scratchPath("broken.mal");
    writeFile(broken, "Main1 PC = PC + 1; fetch; goto (MBR)\n\n  goto Nowhere\n");
    const Result bad = run(".main\n    HALT\n.end-main\n", "--microprogram '" + broken + "'");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("broken.mal:3:"), std::string::npos) << bad.err;
}

TEST(RunCommand, BadOptionsAndMissingFilesAreBadInput) {
    const std::string program = ".main\n    HALT\n.end-main\n";
    for (const char* options : {"--max-steps 0", "--max-steps -4", "--max-steps 12x", "--max-steps",
                                "--frobnicate", "--microprogram /nonexistent.mal"}) {
        const Result result = run(program, options);
        EXPECT_EQ(result.status, 1) << options;
        EXPECT_FALSE(result.err.empty()) << options;
    }
    const std::string command = std::string("'") + TESSARO_CLI + "' run /nonexistent/x.jvm 2> '" +
                                scratchPath("missing.err") + "'";
    const int raw = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_NE(readFile(scratchPath("missing.err")).find("/nonexistent/x.jvm"), std::string::npos);
}

} // namespace
} // namespace tessaro::testing
