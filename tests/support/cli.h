#pragma once

#include <string>

namespace tessaro::testing {

struct CliResult {
    int status = -1; // exit status, -1 when the tool did not exit normally
    std::string out;
    std::string err;
};

/// Runs tessaro-cli with the given arguments (already quoted for the shell) and standard input.
CliResult runCli(const std::string& arguments, const std::string& input = "");

/// path in single quotes for the shell.
std::string quoted(const std::string& path);

} // namespace tessaro::testing
