#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaro::mutants {

/// A program with the numbers its IN instructions read, in order (0 once they run out).
struct SampleProgram {
    std::string path;
    std::vector<std::int32_t> inputs;
};

/// The .jvm programs of a folder, each with the numbers of its .in file beside it.
std::vector<SampleProgram> programsIn(const std::string& folder);

/// Runs every program on both control stores side by side and names the first difference
/// at an instruction boundary (registers, the last output word, the top of the stack, and
/// in the end every memory word); empty when the two behave alike.
std::string firstDifference(const std::string& storePath, const std::string& otherStorePath,
                            const std::vector<SampleProgram>& programs);

} // namespace tessaro::mutants
