#include "machine/routine_lines.h"

#include <cstdio>

namespace tessaro {

bool holdsRoutineLine(const Memory<std::uint32_t, Mic>& controlStore, std::uint32_t address) {
    const Mic* line = controlStore.peek(address);
    if (line == nullptr) {
        return false;
    }
    const auto word = static_cast<std::uint32_t>(line->word);
    const bool writesOrUsesMemory = ((word >> 4) & 0x7u) != 0 || ((word >> 7) & 0x1FFu) != 0;
    const bool branches = ((word >> 24) & 0x7u) != 0 || line->NextAddr != 0;
    return writesOrUsesMemory || branches;
}

std::vector<std::string> missingRoutineWarnings(const InstructionSet& set,
                                                const Memory<std::uint32_t, Mic>& controlStore) {
    std::vector<std::string> warnings;
    for (const Instruction& instruction : set.instructions()) {
        if (InstructionSet::isBuiltin(instruction) ||
            holdsRoutineLine(controlStore, instruction.opcode)) {
            continue;
        }
        const bool absent = controlStore.peek(instruction.opcode) == nullptr;
        char text[160];
        std::snprintf(text, sizeof text,
                      "%s (opcode 0x%02X): line %d of the control store %s, not a routine",
                      instruction.display.c_str(), instruction.opcode, instruction.opcode,
                      absent ? "lies past the last line" : "is a filler line");
        warnings.emplace_back(text);
    }
    return warnings;
}

} // namespace tessaro
