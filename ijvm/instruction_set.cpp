#include "ijvm/instruction_set.h"

#include "core/fatal.h"
#include "ijvm/instruction_set_file.h"

namespace tessaro {

InstructionSet::InstructionSet(std::vector<Instruction> instructions)
    : m_instructions(std::move(instructions)) {
    m_byOpcode.fill(-1);
    for (std::size_t i = 0; i < m_instructions.size(); ++i) {
        m_byOpcode[m_instructions[i].opcode] = static_cast<int>(i);
    }
}

const Instruction* InstructionSet::find(std::uint8_t code) const {
    const int at = m_byOpcode[code];
    return at < 0 ? nullptr : &m_instructions[static_cast<std::size_t>(at)];
}

const Instruction* InstructionSet::find(std::string_view mnemonic) const {
    for (const Instruction& instruction : m_instructions) {
        if (mnemonic == instruction.mnemonic) {
            return &instruction;
        }
    }
    return nullptr;
}

const Instruction* InstructionSet::findWritten(std::string_view display) const {
    for (const Instruction& instruction : m_instructions) {
        if (display == instruction.display) {
            return &instruction;
        }
    }
    return nullptr;
}

bool InstructionSet::isPrefixWord(std::string_view word) const {
    for (const Instruction& instruction : m_instructions) {
        const std::string_view display = instruction.display;
        if (display.size() > word.size() + 1 && display.substr(0, word.size()) == word &&
            display[word.size()] == ' ') {
            return true;
        }
    }
    return false;
}

std::string InstructionSet::displayMnemonic(const std::string& mnemonic) const {
    const Instruction* instruction = find(std::string_view(mnemonic));
    return instruction != nullptr ? instruction->display : mnemonic;
}

bool InstructionSet::isBuiltin(const Instruction& instruction) {
    const Instruction* builtin = builtinInstructionSet().find(instruction.opcode);
    return builtin != nullptr && builtin->mnemonic == instruction.mnemonic &&
           builtin->operands == instruction.operands;
}

const InstructionSet& builtinInstructionSet() {
    static const InstructionSet set = [] {
        InstructionSetFile file =
            readInstructionSet(builtinInstructionSetText(), "instructions.txt");
        if (!file.set) {
            fatal("the built-in instruction set does not read: " + file.errors.front());
        }
        return std::move(*file.set);
    }();
    return set;
}

} // namespace tessaro
