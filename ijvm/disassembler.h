#pragma once

#include "core/list.h"
#include "ijvm/instruction_set.h"
#include "ijvm/records.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaro {

/// The instruction at address of a method area with its operands as a reader would check
/// them: "BIPUSH -3", "ILOAD 1", "IINC 1 -5", "GOTO -12 (to 40)", "INVOKEVIRTUAL 5 (name)";
/// "byte 0x%02X" for a byte that is no opcode. Bytes at or beyond methodAreaSize (or the
/// vector's end), and before 0, read as 0. constantCount places the methods in the pool, so
/// that INVOKEVIRTUAL can name its method.
std::string describeInstruction(const std::vector<std::uint8_t>& methodArea,
                                std::int32_t methodAreaSize, std::int32_t address,
                                const List<Method>& methods, int constantCount,
                                const InstructionSet& instructions = builtinInstructionSet());

} // namespace tessaro
