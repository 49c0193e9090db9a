#include "ijvm/instruction_set.h"

namespace tessaro {

int opcodeOf(const std::string& mnemonic) {
    const Instruction* instruction = findInstruction(std::string_view(mnemonic));
    return instruction != nullptr ? instruction->opcode : -1;
}

int sizeOf(const std::string& mnemonic) {
    const Instruction* instruction = findInstruction(std::string_view(mnemonic));
    return instruction != nullptr ? instruction->size : 0;
}

const char* mnemonicOf(std::uint8_t code) {
    const Instruction* instruction = findInstruction(code);
    return instruction != nullptr ? instruction->mnemonic : nullptr;
}

std::string displayMnemonic(const std::string& mnemonic) {
    const Instruction* instruction = findInstruction(std::string_view(mnemonic));
    return instruction != nullptr ? instruction->display : mnemonic;
}

} // namespace tessaro
