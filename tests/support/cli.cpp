#include "tests/support/cli.h"

#include "tests/support/files.h"

#include <sys/wait.h>

#include <cstdlib>

namespace tessaro::testing {

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

CliResult runCli(const std::string& arguments, const std::string& input) {
    const std::string in = writeScratch(input, ".in");
    const std::string out = scratchPath(uniqueName(".out"));
    const std::string err = scratchPath(uniqueName(".err"));
    const std::string command = quoted(TESSARO_CLI) + " " + arguments + " < " + quoted(in) + " > " +
                                quoted(out) + " 2> " + quoted(err);
    const int raw = std::system(command.c_str());
    CliResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readFile(out);
    result.err = readFile(err);
    return result;
}

} // namespace tessaro::testing
