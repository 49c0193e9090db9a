#pragma once

#include <cstdint>
#include <string>

namespace tessaro::cli {

/// The options of the run command.
struct RunOptions {
    std::string program;
    std::string microprogram;     // empty: the bundled one
    std::string instructions;     // empty: the built-in set
    std::int64_t maxSteps = -1;   // -1: no limit
    std::int64_t memoryLimit = 0; // words the memory may hold; 0: the machine's default
    bool trace = false;
    bool stats = false;
};

/// Reads the run command's arguments; false with a message on standard error when they are
/// not usable.
bool parseRunOptions(int argc, char** argv, RunOptions& options);

} // namespace tessaro::cli
