#pragma once

#include "core/memory.h"
#include "ijvm/instruction_set.h"
#include "machine/mic.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaro {

/// True when the control store holds a line at address that does something: not absent (past
/// the last line) and not a filler line, which only goes back to the main loop.
bool holdsRoutineLine(const Memory<std::uint32_t, Mic>& controlStore, std::uint32_t address);

/// One warning for each instruction of set that is not built in and whose opcode, the address
/// its routine must start at, holds no routine line: "INEG (0x46): ...".
std::vector<std::string> missingRoutineWarnings(const InstructionSet& set,
                                                const Memory<std::uint32_t, Mic>& controlStore);

} // namespace tessaro
