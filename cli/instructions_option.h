#pragma once

#include "ijvm/instruction_set.h"

#include <memory>
#include <string>

namespace tessaro::cli {

/// The instruction set of --instructions FILE: the built-in one for an empty path. Nothing,
/// with the file's errors ("FILE:LINE: message") on standard error, when it cannot be used.
std::shared_ptr<const InstructionSet> loadInstructionSet(const char* command,
                                                         const std::string& path);

} // namespace tessaro::cli
