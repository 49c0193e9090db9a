#include "mal/micro_instruction_encoder.h"

#include "machine/alu.h"
#include "machine/control_word.h"
#include "machine/registers.h"

#include <cstdint>
#include <string_view>

namespace tessaro {

namespace {

using control_word::kJam;
using control_word::kMem;
using control_word::kShift;

constexpr std::uint32_t kJamZ = kJam.place(control_word::kJamZ);
constexpr std::uint32_t kJamN = kJam.place(control_word::kJamN);
constexpr std::uint32_t kJmpC = kJam.place(control_word::kJmpC);
constexpr std::uint32_t kSra1 = kShift.place(control_word::kShiftSra1);
constexpr std::uint32_t kSll8 = kShift.place(control_word::kShiftSll8);
constexpr std::uint32_t kFetch = kMem.place(control_word::kMemFetch);
constexpr std::uint32_t kRead = kMem.place(control_word::kMemRead);
constexpr std::uint32_t kWrite = kMem.place(control_word::kMemWrite);

constexpr std::uint32_t kAluA = aluCode(AluOp::A);
constexpr std::uint32_t kAluB = aluCode(AluOp::B);
constexpr std::uint32_t kAluAndAB = aluCode(AluOp::And);
constexpr std::uint32_t kAluOrAB = aluCode(AluOp::Or);
constexpr std::uint32_t kAluNotA = aluCode(AluOp::NotA);
constexpr std::uint32_t kAluZero = aluCode(AluOp::Zero);
constexpr std::uint32_t kAluOne = aluCode(AluOp::One);
constexpr std::uint32_t kAluMinusOne = aluCode(AluOp::MinusOne);
constexpr std::uint32_t kAluNegA = aluCode(AluOp::NegA);
constexpr std::uint32_t kAluBMinus1 = aluCode(AluOp::BMinus1);
constexpr std::uint32_t kAluBMinusA = aluCode(AluOp::BMinusA);
constexpr std::uint32_t kAluAPlus1 = aluCode(AluOp::APlus1);
constexpr std::uint32_t kAluBPlus1 = aluCode(AluOp::BPlus1);
constexpr std::uint32_t kAluAPlusB = aluCode(AluOp::APlusB);
constexpr std::uint32_t kAluAPlusBPlus1 = aluCode(AluOp::APlusBPlus1);

const std::string kEmpty;

bool startsWith(const std::string& text, char ch) {
    return !text.empty() && text[0] == ch;
}

// Value of the leading digits (0 when there are none); large values stop growing instead of
// overflowing.
std::int32_t numericValue(const std::string& text) {
    std::int64_t value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') {
            break;
        }
        value = value * 10 + (ch - '0');
        if (value > INT32_MAX) {
            return INT32_MAX;
        }
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

MicroInstructionEncoder::MicroInstructionEncoder(const std::string& instruction)
    : StringTokenizer(instruction, kDelimiters) {}

const std::string& MicroInstructionEncoder::take(int offset, int advance) {
    const Elem* elem = getToken(offset, advance, true);
    return elem != nullptr ? elem->text : kEmpty;
}

const std::string& MicroInstructionEncoder::peek(int offset) {
    return take(offset, -offset);
}

void MicroInstructionEncoder::orBSource(const std::string& name) {
    if (const register_file::BSource* source = register_file::bSourceNamed(name)) {
        word |= control_word::kB.place(source->code);
    }
}

void MicroInstructionEncoder::orAlu(std::uint32_t function) {
    word |= control_word::kAluFunction.place(function);
}

void MicroInstructionEncoder::compile() {
    while (true) {
        const Elem* step = getToken(0, 1, true);
        if (step == nullptr) {
            break;
        }
        // Each rule looks at the step's own token; the cursor is shared, so a rule that consumes
        // tokens moves it for the rules after it and for the next step.
        const std::string token = step->text;
        const int type = step->type;
        ruleJump(token);
        ruleShiftWord(token);
        ruleShiftOperator(token);
        ruleMemory(token);
        ruleLogic(token);
        ruleAssign(token);
        ruleMinus(token);
        rulePlus(token);
        ruleLoneSource(token, type);
        ruleLoneConstant(token, type);
    }
}

// IF (Z) GOTO t; ELSE GOTO f  and  GOTO n / GOTO (MBR) / GOTO (MBR OR x).
bool MicroInstructionEncoder::ruleJump(const std::string& token) {
    if (token == "IF") {
        const std::string condition = take(1, 1);
        if (condition == "Z" || condition == "N") {
            word |= condition == "Z" ? kJamZ : kJamN;
            nextAddr = numericValue(take(6, 1));
        }
        return true;
    }
    if (token == "GOTO") {
        const Elem* target = getToken(0, 1, true);
        if (target != nullptr && target->type == 3) {
            nextAddr = numericValue(target->text);
            return true;
        }
        word |= kJmpC;
        const Elem* third = getToken(1, 0, true);
        if (third != nullptr && third->text == "OR") {
            nextAddr = static_cast<std::int32_t>(control_word::kHighHalf);
            current += 4;
        } else {
            nextAddr = 0;
            if (third != nullptr) {
                current += 1;
            }
        }
        return true;
    }
    return false;
}

void MicroInstructionEncoder::ruleShiftWord(const std::string& token) {
    if (token == "SHR") {
        word |= kSra1;
    } else if (token == "SHL") {
        word |= kSll8;
    }
}

// x << 8 / x >> 1: the operand before the operator, the second operator character and the count
// are consumed.
void MicroInstructionEncoder::ruleShiftOperator(const std::string& token) {
    if (token != "<" && token != ">") {
        return;
    }
    word |= token == "<" ? kSll8 : kSra1;
    const std::string& operand = take(-2, 4);
    if (operand == "H") {
        orAlu(kAluA);
    } else {
        orBSource(operand);
        orAlu(kAluB);
    }
}

void MicroInstructionEncoder::ruleMemory(const std::string& token) {
    if (token == "FETCH") {
        word |= kFetch;
    } else if (token == "RD") {
        word |= kRead;
    } else if (token == "WR") {
        word |= kWrite;
    }
}

void MicroInstructionEncoder::ruleLogic(const std::string& token) {
    if (token == "AND" || token == "OR") {
        orBSource(take(-2, 2));
        orBSource(take(0, 1));
        orAlu(token == "AND" ? kAluAndAB : kAluOrAB);
    } else if (token == "NOT") {
        orAlu(kAluNotA);
        const std::string& operand = take(0, 1);
        if (operand != "H") {
            orBSource(operand);
        }
    }
}

void MicroInstructionEncoder::ruleAssign(const std::string& token) {
    if (token != "=") {
        return;
    }
    const std::string& destination = take(-2, 2);
    const register_file::Register* reg = register_file::registerNamed(destination);
    if (reg != nullptr && reg->cBit >= 0) {
        word |= control_word::kC.place(1u << reg->cBit);
    }
}

void MicroInstructionEncoder::ruleMinus(const std::string& token) {
    if (token != "-") {
        return;
    }
    const std::string before = take(-2, 2);
    const bool one = startsWith(take(0, 1), '1');
    if (startsWith(before, '=')) {
        orAlu(one ? kAluMinusOne : kAluNegA);
    } else {
        orBSource(before);
        orAlu(one ? kAluBMinus1 : kAluBMinusA);
    }
}

void MicroInstructionEncoder::rulePlus(const std::string& token) {
    if (token != "+") {
        return;
    }
    const std::string before = take(-2, 2);
    const std::string after = take(0, 1);
    if (startsWith(after, '1')) {
        if (startsWith(before, 'H')) {
            orAlu(kAluAPlus1);
        } else {
            orBSource(before);
            orAlu(kAluBPlus1);
        }
        return;
    }
    orBSource(before);
    orBSource(after);
    const Elem* next = getToken(0, 0, true);
    if (next != nullptr && next->text == "+") {
        orAlu(kAluAPlusBPlus1);
        current += 2;
    } else {
        orAlu(kAluAPlusB);
    }
}

// "= X ;": a lone source on the right of an assignment passes through the ALU unchanged.
void MicroInstructionEncoder::ruleLoneSource(const std::string& token, int type) {
    if (type != 2 || current < 2 || peek(-2) != "=" || peek(0) != ";") {
        return;
    }
    if (startsWith(token, 'H')) {
        orAlu(kAluA);
    } else {
        orBSource(token);
        orAlu(kAluB);
    }
}

// "= n ;": only the constants 0 and 1 exist; anything else not starting with 0 gives 1.
void MicroInstructionEncoder::ruleLoneConstant(const std::string& token, int type) {
    if (type != 3 || peek(-2) != "=" || peek(0) != ";") {
        return;
    }
    orAlu(startsWith(token, '0') ? kAluZero : kAluOne);
}

} // namespace tessaro
