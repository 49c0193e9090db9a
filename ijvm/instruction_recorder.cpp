#include "ijvm/ijvm_assembler.h"

#include "core/number_text.h"
#include "ijvm/instruction_set.h"
#include "ijvm/names.h"

namespace tessaro {

using namespace ijvm_names;

bool IjvmAssembler::parseIstruction(Method& method) {
    InstructionRecord record;
    if (!reader.token.empty() && reader.token.back() == ':') {
        Symbol label;
        label.name = cutUtf8(reader.token.substr(0, reader.token.size() - 1), kLabelBytes);
        label.value = codeOffset;
        if (!m_labelNames.insert(label.name).second || method.labels.contains(label)) {
            addError(0, method.name, label.name);
        }
        m_labels.push_back(label);
        next();
    }
    record.sourcePos = reader.tokenStart;
    reader.token = upper(reader.token);
    const std::string word = reader.token;

    // A token is the source's bytes at its start: the record keeps where, and how many.
    auto readOperand = [&](std::uint8_t& bytes, int& position) {
        next();
        bytes = static_cast<std::uint8_t>(cutUtf8(reader.token, kOperandBytes).size());
        position = reader.tokenStart;
    };

    const Instruction* instruction = nullptr;
    if (m_instructions->isPrefixWord(word)) {
        const int prefixStart = reader.tokenStart;
        next();
        instruction = m_instructions->findWritten(word + " " + upper(reader.token));
        if (instruction == nullptr) {
            // The prefix only goes with the words it widens. Refuse it alone and read the word
            // after it again as the next line, so that a closing keyword there is not lost.
            reader.clearEof();
            reader.seek(reader.tokenStart);
            m_atEnd = false;
            reader.token = word;
            reader.tokenStart = prefixStart;
            return false;
        }
    } else {
        instruction = m_instructions->findWritten(word);
        if (instruction == nullptr) {
            return false;
        }
    }
    if (instruction->operandTokens() >= 1) {
        readOperand(record.operand1Bytes, record.operand1Pos);
    }
    if (instruction->operandTokens() >= 2) {
        readOperand(record.operand2Bytes, record.operand2Pos);
    }
    record.opcode = instruction->opcode;
    const int size = instruction->size;
    method.instrCount += 1;
    record.address = codeOffset;
    record.length = static_cast<std::uint8_t>(size);
    codeOffset += size;
    method.length += size;
    method.instructions.push_back(record);
    return true;
}

} // namespace tessaro
