#include "check/reference_ijvm.h"

#include "ijvm/instruction_set.h"
#include "machine/memory_map.h"

#include <map>
#include <utility>

namespace tessaro {

namespace {

std::int32_t wrap(std::int64_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

} // namespace

ReferenceIjvm::ReferenceIjvm(std::vector<std::uint8_t> methodArea,
                             const std::vector<std::int32_t>& pool,
                             const InstructionSet* instructions)
    : m_instructions(instructions), m_methodArea(std::move(methodArea)) {
    for (std::size_t i = 0; i < pool.size(); ++i) {
        setWord(static_cast<std::int32_t>(i), pool[i]);
    }
    for (std::int32_t a = memory_map::kFirstOutputWord; a <= memory_map::kLastOutputWord; ++a) {
        setWord(a, memory_map::kOutputBlank);
    }
    setWord(memory_map::kInputWord, 0);
    // Byte 0 holds INVOKEVIRTUAL main; the word at 2000 plays main's object reference.
    invoke(index16(1), 3);
}

std::int32_t ReferenceIjvm::word(std::int32_t address) const {
    const auto found = m_memory.find(static_cast<std::uint32_t>(address));
    return found != m_memory.end() ? found->second : 0;
}

void ReferenceIjvm::setWord(std::int32_t address, std::int32_t value) {
    m_memory[static_cast<std::uint32_t>(address)] = value;
}

std::uint8_t ReferenceIjvm::byte(std::int32_t address) const {
    if (address < 0 || static_cast<std::size_t>(address) >= m_methodArea.size()) {
        return 0;
    }
    return m_methodArea[static_cast<std::size_t>(address)];
}

std::int32_t ReferenceIjvm::index16(std::int32_t address) const {
    return (byte(address) << 8) | byte(address + 1);
}

void ReferenceIjvm::push(std::int32_t value) {
    ++SP;
    setWord(SP, value);
}

std::int32_t ReferenceIjvm::pop() {
    const std::int32_t value = word(SP);
    --SP;
    return value;
}

// The caller has pushed the object reference and the arguments. The frame: link pointer
// (over the object reference), parameters, locals, return address, caller's LV.
void ReferenceIjvm::invoke(std::int32_t poolIndex, std::int32_t returnAddress) {
    const std::int32_t header = word(poolIndex);
    const std::int32_t params = index16(header);
    const std::int32_t locals = index16(header + 2);
    const std::int32_t frame = SP - params + 1;
    const std::int32_t savedPc = SP + locals + 1;
    setWord(frame, savedPc);
    setWord(savedPc, returnAddress);
    setWord(savedPc + 1, LV);
    SP = savedPc + 1;
    LV = frame;
    PC = header + 4;
}

bool ReferenceIjvm::step() {
    if (halted) {
        return false;
    }
    const std::int32_t at = PC;
    const std::uint8_t b1 = byte(at + 1);
    const auto signedByte = static_cast<std::int8_t>(b1);
    const auto offset = static_cast<std::int16_t>(static_cast<std::uint16_t>(index16(at + 1)));
    switch (byte(at)) {
    case opcode::NOP:
        PC = at + 1;
        break;
    case opcode::IADD:
    case opcode::ISUB:
    case opcode::IAND:
    case opcode::IOR: {
        const std::int32_t top = pop();
        const std::int32_t below = pop();
        const std::uint8_t code = byte(at);
        push(code == opcode::IADD   ? wrap(std::int64_t{below} + top)
             : code == opcode::ISUB ? wrap(std::int64_t{below} - top)
             : code == opcode::IAND ? (below & top)
                                    : (below | top));
        PC = at + 1;
        break;
    }
    case opcode::DUP:
        push(word(SP));
        PC = at + 1;
        break;
    case opcode::POP:
        pop();
        PC = at + 1;
        break;
    case opcode::SWAP: {
        const std::int32_t top = pop();
        const std::int32_t below = pop();
        push(top);
        push(below);
        PC = at + 1;
        break;
    }
    case opcode::BIPUSH:
        push(signedByte);
        PC = at + 2;
        break;
    case opcode::ILOAD:
        push(word(LV + b1));
        PC = at + 2;
        break;
    case opcode::ISTORE:
        setWord(LV + b1, pop());
        PC = at + 2;
        break;
    case opcode::WIDE_ILOAD:
        push(word(LV + index16(at + 1)));
        PC = at + 3;
        break;
    case opcode::WIDE_ISTORE:
        setWord(LV + index16(at + 1), pop());
        PC = at + 3;
        break;
    case opcode::LDCW: // the pool starts at word 0
        push(word(index16(at + 1)));
        PC = at + 3;
        break;
    case opcode::IINC:
        setWord(LV + b1,
                wrap(std::int64_t{word(LV + b1)} + static_cast<std::int8_t>(byte(at + 2))));
        PC = at + 3;
        break;
    case opcode::GOTO:
        PC = at + offset;
        break;
    case opcode::IFLT:
        PC = pop() < 0 ? at + offset : at + 3;
        break;
    case opcode::IFEQ:
        PC = pop() == 0 ? at + offset : at + 3;
        break;
    case opcode::IFICMPEQ: {
        const std::int32_t top = pop();
        const std::int32_t below = pop();
        PC = top == below ? at + offset : at + 3;
        break;
    }
    case opcode::INVOKEVIRTUAL:
        invoke(index16(at + 1), at + 3);
        break;
    case opcode::IRETURN: { // the result replaces the object reference
        const std::int32_t result = word(SP);
        const std::int32_t link = word(LV);
        SP = LV;
        PC = word(link);
        LV = word(link + 1);
        setWord(SP, result);
        break;
    }
    case opcode::HALT:
        halted = true;
        PC = at + 1;
        break;
    case opcode::OUT: { // the window moves one word towards -5
        const std::int32_t value = pop();
        for (std::int32_t a = memory_map::kFirstOutputWord; a < memory_map::kLastOutputWord; ++a) {
            setWord(a, word(a + 1));
        }
        setWord(memory_map::kLastOutputWord, value);
        PC = at + 1;
        break;
    }
    case opcode::IN:
        push(word(memory_map::kInputWord));
        PC = at + 1;
        break;
    case opcode::ERR:
        halted = true;
        stoppedByErr = true;
        PC = at + 1;
        break;
    default:
        return applyStackEffect(at);
    }
    return !halted;
}

bool ReferenceIjvm::applyStackEffect(std::int32_t at) {
    const Instruction* instruction =
        m_instructions != nullptr ? m_instructions->find(byte(at)) : nullptr;
    if (instruction == nullptr || InstructionSet::isBuiltin(*instruction) ||
        !instruction->stackEffect) {
        return false;
    }
    const StackEffect& effect = *instruction->stackEffect;
    std::map<std::string, std::int32_t> values;
    const std::vector<std::string>& names = instruction->operandNames;
    auto name = [&](std::size_t i) { return i < names.size() ? names[i] : std::string(); };
    const auto signedByte = static_cast<std::int8_t>(byte(at + 1));
    switch (instruction->operands) {
    case OperandKind::None:
        break;
    case OperandKind::SignedByte:
        values[name(0)] = signedByte;
        break;
    case OperandKind::Variable:
        values[name(0)] = byte(at + 1);
        break;
    case OperandKind::VariableAndByte:
        values[name(0)] = byte(at + 1);
        values[name(1)] = static_cast<std::int8_t>(byte(at + 2));
        break;
    case OperandKind::WideVariable:
    case OperandKind::Method:
        values[name(0)] = index16(at + 1);
        break;
    case OperandKind::Constant: // the constant's value; the pool starts at word 0
        values[name(0)] = word(index16(at + 1));
        break;
    case OperandKind::LabelOffset:
        values[name(0)] = static_cast<std::int16_t>(static_cast<std::uint16_t>(index16(at + 1)));
        break;
    }
    values.erase(std::string());
    const std::vector<std::string>& popped = effect.popped();
    for (auto it = popped.rbegin(); it != popped.rend(); ++it) {
        values[*it] = pop();
    }
    const std::optional<std::vector<std::int32_t>> pushed = effect.apply(values);
    PC = at + instruction->size;
    if (!pushed) {
        halted = true;
        stoppedByErr = true;
        return false;
    }
    for (const std::int32_t value : *pushed) {
        push(value);
    }
    return true;
}

} // namespace tessaro
