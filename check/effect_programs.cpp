#include "check/check_programs.h"
#include "core/language.h"

#include <array>
#include <map>

// Programs for an instruction the set defines by its stack effect: the words it pops pushed
// first, then the instruction with its operands, its result left for the comparison.
namespace tessaro {

namespace {

// The ends of the signed byte and the words around 0: -1 shows an operand taken unsigned, -128
// one whose sign is taken from a bit other than bit 7 (-1 has them all set).
constexpr std::array<std::int32_t, 5> kEdgeOperandBytes = {0, 1, -1, 127, -128};
// Attempts at operands for which the effect does not divide by zero.
constexpr int kOperandAttempts = 20;

} // namespace

bool CheckProgramWriter::canExercise(const Instruction& instruction, std::string& why) {
    if (InstructionSet::isBuiltin(instruction)) {
        return true;
    }
    if (!instruction.stackEffect) {
        why = localized(MessageId::CheckSkipNoEffect);
        return false;
    }
    if (instruction.operands == OperandKind::LabelOffset ||
        instruction.operands == OperandKind::Method) {
        why = localized(MessageId::CheckSkipLabelOperand);
        return false;
    }
    return true;
}

std::string CheckProgramWriter::write(const Instruction& instruction, int serial) {
    m_effectInstruction = InstructionSet::isBuiltin(instruction) ? nullptr : &instruction;
    std::string text = write(instruction.opcode, serial);
    m_effectInstruction = nullptr;
    return text;
}

void CheckProgramWriter::exerciseEffect(const Instruction& instruction) {
    const StackEffect& effect = *instruction.stackEffect;
    auto operandByte = [&] {
        return m_serial < 2 ? 3
               : chance(50) ? kEdgeOperandBytes[static_cast<std::size_t>(
                                  pick(0, kEdgeOperandBytes.size() - 1))]
                            : pick(-128, 127);
    };
    std::vector<std::int32_t> popped;
    std::vector<std::string> operandTexts;
    for (int attempt = 0; attempt < kOperandAttempts; ++attempt) {
        std::map<std::string, std::int32_t> values;
        popped.clear();
        operandTexts.clear();
        for (const std::string& name : effect.popped()) {
            popped.push_back(value());
            values[name] = popped.back();
        }
        for (std::size_t i = 0; i < instruction.operandNames.size(); ++i) {
            std::int32_t operand = 0;
            const bool byteOperand =
                instruction.operands == OperandKind::SignedByte ||
                (instruction.operands == OperandKind::VariableAndByte && i == 1);
            if (byteOperand) {
                operand = operandByte();
                operandTexts.push_back(std::to_string(operand));
            } else if (instruction.operands == OperandKind::Constant) {
                operand = value();
                operandTexts.push_back(constant(operand));
            } else {
                operand =
                    instruction.operands == OperandKind::WideVariable ? wideIndex() : byteIndex();
                operandTexts.push_back(local(operand));
            }
            values[instruction.operandNames[i]] = operand;
        }
        if (effect.apply(values)) {
            break;
        }
    }
    for (const std::int32_t word : popped) {
        push(word);
    }
    std::string line = instruction.display;
    for (const std::string& operand : operandTexts) {
        line += " " + operand;
    }
    emit(line);
}

} // namespace tessaro
