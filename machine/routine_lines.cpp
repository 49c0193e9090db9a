#include "machine/routine_lines.h"

#include "core/language.h"
#include "core/number_text.h"
#include "machine/control_word.h"


namespace tessaro {

bool holdsRoutineLine(const Memory<std::uint32_t, Mic>& controlStore, std::uint32_t address) {
    const Mic* line = controlStore.peek(address);
    if (line == nullptr) {
        return false;
    }
    const auto word = static_cast<std::uint32_t>(line->word);
    const bool writesOrUsesMemory =
        control_word::kMem.of(word) != 0 || control_word::kC.of(word) != 0;
    const bool branches = control_word::kJam.of(word) != 0 || line->NextAddr != 0;
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
        const std::string code = hexByte(instruction.opcode);
        const std::string line = std::to_string(instruction.opcode);
        warnings.push_back(
            absent ? localized(MessageId::RoutinePastLastLine, {instruction.display, code, line})
                   : localized(MessageId::RoutineOnFillerLine, {instruction.display, code, line}));
    }
    return warnings;
}

} // namespace tessaro
