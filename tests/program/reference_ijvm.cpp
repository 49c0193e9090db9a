#include "tests/program/reference_ijvm.h"

#include <utility>

namespace tessaro::testing {

namespace {

std::int32_t wrap(std::int64_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

} // namespace

ReferenceIjvm::ReferenceIjvm(std::vector<std::uint8_t> methodArea,
                             const std::vector<std::int32_t>& pool)
    : m_methodArea(std::move(methodArea)) {
    for (std::size_t i = 0; i < pool.size(); ++i) {
        setWord(static_cast<std::int32_t>(i), pool[i]);
    }
    for (std::int32_t a = -5; a <= -1; ++a) {
        setWord(a, ' ');
    }
    setWord(-6, 0);
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
    case 0x01: // NOP
        PC = at + 1;
        break;
    case 0x02:   // IADD
    case 0x05:   // ISUB
    case 0x08:   // IAND
    case 0x0B: { // IOR
        const std::int32_t top = pop();
        const std::int32_t below = pop();
        const std::uint8_t code = byte(at);
        push(code == 0x02   ? wrap(std::int64_t{below} + top)
             : code == 0x05 ? wrap(std::int64_t{below} - top)
             : code == 0x08 ? (below & top)
                            : (below | top));
        PC = at + 1;
        break;
    }
    case 0x0E: // DUP
        push(word(SP));
        PC = at + 1;
        break;
    case 0x10: // POP
        pop();
        PC = at + 1;
        break;
    case 0x13: { // SWAP
        const std::int32_t top = pop();
        const std::int32_t below = pop();
        push(top);
        push(below);
        PC = at + 1;
        break;
    }
    case 0x19: // BIPUSH
        push(signedByte);
        PC = at + 2;
        break;
    case 0x1C: // ILOAD
        push(word(LV + b1));
        PC = at + 2;
        break;
    case 0x21: // ISTORE
        setWord(LV + b1, pop());
        PC = at + 2;
        break;
    case 0x28: // WIDE ILOAD
        push(word(LV + index16(at + 1)));
        PC = at + 3;
        break;
    case 0x2C: // WIDE ISTORE
        setWord(LV + index16(at + 1), pop());
        PC = at + 3;
        break;
    case 0x30: // LDCW (the pool starts at word 0)
        push(word(index16(at + 1)));
        PC = at + 3;
        break;
    case 0x34: // IINC
        setWord(LV + b1,
                wrap(std::int64_t{word(LV + b1)} + static_cast<std::int8_t>(byte(at + 2))));
        PC = at + 3;
        break;
    case 0x3A: // GOTO
        PC = at + offset;
        break;
    case 0x40: // IFLT
        PC = pop() < 0 ? at + offset : at + 3;
        break;
    case 0x44: // IFEQ
        PC = pop() == 0 ? at + offset : at + 3;
        break;
    case 0x48: { // IFICMPEQ
        const std::int32_t top = pop();
        const std::int32_t below = pop();
        PC = top == below ? at + offset : at + 3;
        break;
    }
    case 0x52: // INVOKEVIRTUAL
        invoke(index16(at + 1), at + 3);
        break;
    case 0x68: { // IRETURN: the result replaces the object reference
        const std::int32_t result = word(SP);
        const std::int32_t link = word(LV);
        SP = LV;
        PC = word(link);
        LV = word(link + 1);
        setWord(SP, result);
        break;
    }
    case 0x70: // HALT
        halted = true;
        PC = at + 1;
        break;
    case 0x71: { // OUT: the window moves one word towards -5
        const std::int32_t value = pop();
        for (std::int32_t a = -5; a <= -2; ++a) {
            setWord(a, word(a + 1));
        }
        setWord(-1, value);
        output.push_back(static_cast<char>(value & 0xFF));
        PC = at + 1;
        break;
    }
    case 0x7C: // IN
        push(word(-6));
        PC = at + 1;
        break;
    case 0x84: // ERR
        halted = true;
        stoppedByErr = true;
        PC = at + 1;
        break;
    default:
        return false;
    }
    return !halted;
}

} // namespace tessaro::testing
