#pragma once

#include <optional>
#include <string>

namespace tessaro {

/// What is wrong with the instruction text of one MAL line, or nothing: a word the language
/// does not have, a register where it cannot stand, an expression the ALU does not compute or a
/// constant it does not make. The encoder would skip such text and write a micro-instruction
/// that silently does something else. Jumps are left to the label resolution, which checks
/// them.
std::optional<std::string> instructionProblem(const std::string& instruction);

} // namespace tessaro
