#include "ijvm/ijvm_assembler.h"

#include "core/number_text.h"
#include "ijvm/error_texts.h"
#include "ijvm/image_layout.h"
#include "ijvm/instruction_set.h"
#include "ijvm/names.h"

namespace tessaro {

using namespace ijvm_names;

void IjvmAssembler::encodeImage() {
    m_constantIndex.clear();
    m_methodIndex.clear();
    m_indexedMethod = nullptr;
    const int constantCount = constants.count;
    int areaSize = image_layout::kPrologueBytes;
    for (const Method& method : methods) {
        areaSize += method.length + image_layout::kMethodHeaderBytes;
    }
    methodArea.allocate(areaSize);
    constantPool.allocate(4 * (constantCount + methodCount));

    for (const Symbol& constant : constants) {
        constantPool.putWord(constant.value);
    }

    methodArea.putByte(opcode::INVOKEVIRTUAL);
    const Method* mainMethod = nullptr;
    for (const Method& method : methods) {
        if (method.name == "main") {
            mainMethod = &method;
            break;
        }
    }
    if (mainMethod == nullptr) {
        addError(5, "");
    }
    methodArea.putHalf(constantCount + (mainMethod != nullptr ? mainMethod->number : 0));

    int i = 0;
    for (const Method& method : methods) {
        constantPool.putWord(methodArea.length);
        methodArea.putHalf(method.paramCount);
        methodArea.putHalf(method.varCount);
        methodMap.addRange(static_cast<std::uint32_t>(methodArea.length),
                           static_cast<std::uint32_t>(method.length),
                           static_cast<std::uint32_t>(constantCount + i));
        for (const InstructionRecord& record : method.instructions) {
            const int at = methodArea.length;
            sourceMap.addRange(static_cast<std::uint32_t>(at), record.length,
                               static_cast<std::uint32_t>(record.sourcePos));
            encode(method, record);
            // Every recorded byte must be there, or all later addresses would be wrong.
            while (methodArea.length < at + record.length && methodArea.overflow == 0) {
                methodArea.putByte(opcode::NOP);
            }
        }
        ++i;
    }
}

std::int32_t IjvmAssembler::number(const std::string& text, int position) {
    const NumberResult result = checkedAtolong(text);
    if (result.ok) {
        return result.value;
    }
    addMessage(invalidNumberMessage(text), position, static_cast<int>(text.size()));
    return 0;
}

void IjvmAssembler::indexMethod(const Method& method) {
    if (m_indexedMethod == &method) {
        return;
    }
    m_indexedMethod = &method;
    m_labelIndex.clear();
    m_variableIndex.clear();
    // The first entry of a name wins: for labels that is the one declared last.
    for (const Symbol& label : method.labels) {
        m_labelIndex.emplace(cutUtf8(label.name, kOperandBytes), &label);
    }
    for (const Symbol& variable : method.variables) {
        m_variableIndex.emplace(variable.name, &variable);
    }
}

const Symbol* IjvmAssembler::findVariable(const Method& method, const std::string& name) {
    indexMethod(method);
    const auto found = m_variableIndex.find(cutUtf8(name, kSymbolBytes));
    return found != m_variableIndex.end() ? found->second : nullptr;
}

const Symbol* IjvmAssembler::findLabel(const Method& method, const std::string& name) {
    indexMethod(method);
    const auto found = m_labelIndex.find(cutUtf8(name, kOperandBytes));
    return found != m_labelIndex.end() ? found->second : nullptr;
}

const Symbol* IjvmAssembler::findConstant(const std::string& name) {
    if (m_constantIndex.empty()) {
        for (const Symbol& constant : constants) {
            m_constantIndex.emplace(constant.name, &constant);
        }
    }
    const auto found = m_constantIndex.find(cutUtf8(name, kSymbolBytes));
    return found != m_constantIndex.end() ? found->second : nullptr;
}

const Method* IjvmAssembler::findMethod(const std::string& name) {
    if (m_methodIndex.empty()) {
        for (const Method& method : methods) {
            m_methodIndex.emplace(cutUtf8(method.name, kOperandBytes), &method);
        }
    }
    const auto found = m_methodIndex.find(cutUtf8(name, kOperandBytes));
    return found != m_methodIndex.end() ? found->second : nullptr;
}

void IjvmAssembler::encode(const Method& method, const InstructionRecord& record) {
    const Instruction* instruction = m_instructions->find(record.opcode);
    if (instruction == nullptr) {
        return;
    }
    const std::string operand1 = record.operand1(m_source);
    methodArea.putByte(instruction->opcode);
    // A failed look-up highlights the operand, which stands one blank after the mnemonic as
    // the reader writes it.
    const int operandPos =
        record.sourcePos + static_cast<int>(std::string_view(instruction->display).size()) + 1;
    const int operandLength = static_cast<int>(operand1.size());

    auto variableIndex = [&] {
        const Symbol* variable = findVariable(method, operand1);
        if (variable == nullptr) {
            addErrorAt(operandPos, operandLength, 8, method.name, operand1);
            return 0;
        }
        return variable->index;
    };

    switch (instruction->operands) {
    case OperandKind::None:
        break;
    case OperandKind::SignedByte: {
        const std::int32_t value = number(operand1, record.operand1Pos);
        methodArea.putByte(static_cast<std::uint8_t>(value & 0xFF));
        break;
    }
    case OperandKind::Variable:
        methodArea.putByte(static_cast<std::uint8_t>(variableIndex() & 0xFF));
        break;
    case OperandKind::WideVariable:
        methodArea.putHalf(variableIndex());
        break;
    case OperandKind::VariableAndByte: {
        methodArea.putByte(static_cast<std::uint8_t>(variableIndex() & 0xFF));
        const std::int32_t value = number(record.operand2(m_source), record.operand2Pos);
        methodArea.putByte(static_cast<std::uint8_t>(value & 0xFF));
        break;
    }
    case OperandKind::LabelOffset: {
        const Symbol* label = findLabel(method, operand1);
        if (label == nullptr) {
            addErrorAt(operandPos, operandLength, 6, method.name, operand1);
        }
        methodArea.putHalf((label != nullptr ? label->value : 0) - record.address);
        break;
    }
    case OperandKind::Constant: {
        const Symbol* constant = findConstant(operand1);
        if (constant == nullptr) {
            addErrorAt(operandPos, operandLength, 7, method.name, operand1);
        }
        methodArea.putHalf(constant != nullptr ? constant->index : 0);
        break;
    }
    case OperandKind::Method: {
        const Method* callee = findMethod(operand1);
        if (callee == nullptr && !m_droppedMethods.contains(operand1)) {
            addErrorAt(operandPos, operandLength, 9, method.name, operand1);
        }
        methodArea.putHalf(constants.count + (callee != nullptr ? callee->number : 0));
        break;
    }
    }
}

} // namespace tessaro
