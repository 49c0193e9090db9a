#include "ijvm/disassembler.h"

#include "core/number_text.h"
#include "ijvm/instruction_set.h"


namespace tessaro {

namespace {

std::uint8_t byteAt(const std::vector<std::uint8_t>& methodArea, std::int32_t methodAreaSize,
                    std::int64_t address) {
    if (address < 0 || address >= methodAreaSize ||
        static_cast<std::size_t>(address) >= methodArea.size()) {
        return 0;
    }
    return methodArea[static_cast<std::size_t>(address)];
}

} // namespace

std::string describeInstruction(const std::vector<std::uint8_t>& methodArea,
                                std::int32_t methodAreaSize, std::int32_t address,
                                const List<Method>& methods, int constantCount,
                                const InstructionSet& instructions) {
    const std::uint8_t code = byteAt(methodArea, methodAreaSize, address);
    const Instruction* instruction = instructions.find(code);
    if (instruction == nullptr) {
        return "byte " + hexByte(code);
    }
    const std::uint8_t b1 = byteAt(methodArea, methodAreaSize, std::int64_t{address} + 1);
    const std::uint8_t b2 = byteAt(methodArea, methodAreaSize, std::int64_t{address} + 2);
    const int wide = (b1 << 8) | b2;
    std::string text = instruction->display;
    switch (instruction->operands) {
    case OperandKind::None:
        break;
    case OperandKind::SignedByte:
        text += " " + std::to_string(static_cast<std::int8_t>(b1));
        break;
    case OperandKind::Variable:
        text += " " + std::to_string(b1);
        break;
    case OperandKind::VariableAndByte:
        text += " " + std::to_string(b1) + " " + std::to_string(static_cast<std::int8_t>(b2));
        break;
    case OperandKind::WideVariable:
    case OperandKind::Constant:
        text += " " + std::to_string(wide);
        break;
    case OperandKind::Method: {
        // The pool holds the constants first, then one entry per method.
        text += " " + std::to_string(wide);
        const int number = wide - constantCount;
        for (const Method& method : methods) {
            if (method.number == number) {
                text += " (" + method.name + ")";
                break;
            }
        }
        break;
    }
    case OperandKind::LabelOffset: {
        const int offset = static_cast<std::int16_t>(static_cast<std::uint16_t>(wide));
        text += " " + std::to_string(offset) + " (to " + std::to_string(address + offset) + ")";
        break;
    }
    }
    return text;
}

} // namespace tessaro
