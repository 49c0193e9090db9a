#include "ijvm/instruction_set.h"

namespace tessaro {

std::string displayMnemonic(const std::string& mnemonic) {
    const Instruction* instruction = findInstruction(std::string_view(mnemonic));
    return instruction != nullptr ? instruction->display : mnemonic;
}

} // namespace tessaro
