// The check command as a teacher meets it: its output, exit statuses and options.

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

Result check(const std::string& arguments) {
    const std::string out = scratchPath("check.out");
    const std::string err = scratchPath("check.err");
    const std::string command = std::string("'") + TESSARO_CLI + "' check " + arguments + " > '" +
                                out + "' 2> '" + err + "'";
    const int raw = std::system(command.c_str());
    Result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readFile(out);
    result.err = readFile(err);
    return result;
}

// The bundled microprogram with one edit, written to a scratch file; returns its path.
std::string wrongMicroprogram(const std::string& from, const std::string& to) {
    std::string text = readFile(std::string(TESSARO_SOURCE_DIR) + "/data/velkora.mal");
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    const std::string path = scratchPath("wrong.mal");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

std::vector<std::string> verdicts(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != ' ') {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(CheckCommand, TheBundledMicroprogramPassesWithOneLinePerInstruction) {
    const Result result = check("");
    EXPECT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> lines = verdicts(result.out);
    ASSERT_EQ(lines.size(), 25u) << result.out;
    for (const std::string& line : lines) {
        EXPECT_NE(line.find(" ok "), std::string::npos) << line;
    }
    EXPECT_EQ(lines[1], "IADD ok 4");
    EXPECT_EQ(result.err, "");
}

TEST(CheckCommand, AWrongRoutineFailsWithItsEvidence) {
    const std::string path =
        wrongMicroprogram("iflt2    N = TOS; if (N) goto TT", "iflt2    Z = TOS; if (Z) goto TT");
    const Result result = check("'" + path + "' --seed 3 --programs 10");
    EXPECT_EQ(result.status, 1);
    const std::vector<std::string> lines = verdicts(result.out);
    ASSERT_EQ(lines.size(), 25u) << result.out;
    int failures = 0;
    for (const std::string& line : lines) {
        failures += line.find("FAIL") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(failures, 1) << result.out;
    const std::size_t at = result.out.find("IFLT FAIL\n");
    ASSERT_NE(at, std::string::npos) << result.out;
    const std::string details = result.out.substr(at);
    EXPECT_NE(details.find("shortest failing program:"), std::string::npos);
    EXPECT_NE(details.find(">     IFLT"), std::string::npos) << details;
    EXPECT_NE(details.find("PC: expected"), std::string::npos) << details;
    EXPECT_NE(details.find("micro-addresses executed: 0 64 65"), std::string::npos) << details;
}

TEST(CheckCommand, BadArgumentsAndBadMicroprogramsAreRefused) {
    struct Case {
        std::string arguments;
        std::string message;
    };
    const std::string broken = wrongMicroprogram("Main1    PC = PC + 1; fetch; goto (MBR)",
                                                 "Main1    PC = PC + 1; fetch; goto nowhere");
    const Case cases[] = {
        {"--programs 0", "--programs needs a whole number from 1"},
        {"--programs many", "--programs needs a whole number"},
        {"--seed", "--seed needs a value"},
        {"--fast", "unknown option '--fast'"},
        {"a.mal b.mal", "more than one microprogram"},
        {"'" + scratchPath("absent.mal") + "'", "absent.mal"},
        {"'" + broken + "'", "wrong.mal:"},
    };
    for (const Case& c : cases) {
        const Result result = check(c.arguments);
        EXPECT_EQ(result.status, 1) << c.arguments;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << c.arguments << "\n"
                                                                 << result.err;
        EXPECT_EQ(result.out, "") << c.arguments;
    }
}

} // namespace
} // namespace tessaro::testing
