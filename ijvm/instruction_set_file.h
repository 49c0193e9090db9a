#pragma once

#include "ijvm/instruction_set.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

/// An instruction-set file as read: the set, or nothing when any line is wrong.
struct InstructionSetFile {
    std::optional<InstructionSet> set;
    std::vector<std::string> errors; ///< "FILE:LINE: message", in line order
};

/// Reads an instruction-set text, one instruction a line:
///     OPCODE MNEMONIC [OPERAND ...] [( STACK-EFFECT )] [// comment]
/// fileName only prefixes the errors.
InstructionSetFile readInstructionSet(std::string_view text, const std::string& fileName);

} // namespace tessaro
