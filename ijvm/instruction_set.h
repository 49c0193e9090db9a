#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessaro {

/// What follows an instruction's opcode byte, and what the source operand names.
enum class OperandKind : std::uint8_t {
    None,            ///< no operand
    SignedByte,      ///< BIPUSH: a number, its low 8 bits
    Variable,        ///< ILOAD, ISTORE: a local variable, its index in 1 byte
    WideVariable,    ///< WIDE ILOAD, WIDE ISTORE: a local variable, its index in 2 bytes
    Constant,        ///< LDCW: a constant, its pool index in 2 bytes
    LabelOffset,     ///< branches: a label, its distance from the opcode in 2 signed bytes
    Method,          ///< INVOKEVIRTUAL: a method, the pool index of its address in 2 bytes
    VariableAndByte, ///< IINC: a local variable's index in 1 byte, then a signed byte
};

/// One instruction of the set. The opcode is the control-store address at which the
/// microprogram's routine for the instruction begins.
struct Instruction {
    const char* mnemonic; ///< as recorded: "WIDEILOAD" for the wide form
    const char* display;  ///< as written in a source: "WIDE ILOAD"
    std::uint8_t opcode;
    OperandKind operands;
    int size; ///< encoded bytes, opcode included

    /// Source tokens after the mnemonic (IINC has two).
    constexpr int operandTokens() const {
        return operands == OperandKind::None ? 0 : operands == OperandKind::VariableAndByte ? 2 : 1;
    }
};

/// Opcodes by name: the one place their values are written; the table below uses them.
namespace opcode {
inline constexpr std::uint8_t NOP = 0x01;
inline constexpr std::uint8_t IADD = 0x02;
inline constexpr std::uint8_t ISUB = 0x05;
inline constexpr std::uint8_t IAND = 0x08;
inline constexpr std::uint8_t IOR = 0x0B;
inline constexpr std::uint8_t DUP = 0x0E;
inline constexpr std::uint8_t POP = 0x10;
inline constexpr std::uint8_t SWAP = 0x13;
inline constexpr std::uint8_t BIPUSH = 0x19;
inline constexpr std::uint8_t ILOAD = 0x1C;
inline constexpr std::uint8_t ISTORE = 0x21;
inline constexpr std::uint8_t WIDE_ILOAD = 0x28;
inline constexpr std::uint8_t WIDE_ISTORE = 0x2C;
inline constexpr std::uint8_t LDCW = 0x30;
inline constexpr std::uint8_t IINC = 0x34;
inline constexpr std::uint8_t GOTO = 0x3A;
inline constexpr std::uint8_t IFLT = 0x40;
inline constexpr std::uint8_t IFEQ = 0x44;
inline constexpr std::uint8_t IFICMPEQ = 0x48;
inline constexpr std::uint8_t INVOKEVIRTUAL = 0x52;
inline constexpr std::uint8_t IRETURN = 0x68;
inline constexpr std::uint8_t HALT = 0x70;
inline constexpr std::uint8_t OUT = 0x71;
inline constexpr std::uint8_t IN = 0x7C;
inline constexpr std::uint8_t ERR = 0x84;
} // namespace opcode

inline constexpr std::array<Instruction, 25> kInstructionSet = {{
    {"NOP", "NOP", opcode::NOP, OperandKind::None, 1},
    {"IADD", "IADD", opcode::IADD, OperandKind::None, 1},
    {"ISUB", "ISUB", opcode::ISUB, OperandKind::None, 1},
    {"IAND", "IAND", opcode::IAND, OperandKind::None, 1},
    {"IOR", "IOR", opcode::IOR, OperandKind::None, 1},
    {"DUP", "DUP", opcode::DUP, OperandKind::None, 1},
    {"POP", "POP", opcode::POP, OperandKind::None, 1},
    {"SWAP", "SWAP", opcode::SWAP, OperandKind::None, 1},
    {"BIPUSH", "BIPUSH", opcode::BIPUSH, OperandKind::SignedByte, 2},
    {"ILOAD", "ILOAD", opcode::ILOAD, OperandKind::Variable, 2},
    {"ISTORE", "ISTORE", opcode::ISTORE, OperandKind::Variable, 2},
    {"WIDEILOAD", "WIDE ILOAD", opcode::WIDE_ILOAD, OperandKind::WideVariable, 3},
    {"WIDEISTORE", "WIDE ISTORE", opcode::WIDE_ISTORE, OperandKind::WideVariable, 3},
    {"LDCW", "LDCW", opcode::LDCW, OperandKind::Constant, 3},
    {"IINC", "IINC", opcode::IINC, OperandKind::VariableAndByte, 3},
    {"GOTO", "GOTO", opcode::GOTO, OperandKind::LabelOffset, 3},
    {"IFLT", "IFLT", opcode::IFLT, OperandKind::LabelOffset, 3},
    {"IFEQ", "IFEQ", opcode::IFEQ, OperandKind::LabelOffset, 3},
    {"IFICMPEQ", "IFICMPEQ", opcode::IFICMPEQ, OperandKind::LabelOffset, 3},
    {"INVOKEVIRTUAL", "INVOKEVIRTUAL", opcode::INVOKEVIRTUAL, OperandKind::Method, 3},
    {"IRETURN", "IRETURN", opcode::IRETURN, OperandKind::None, 1},
    {"HALT", "HALT", opcode::HALT, OperandKind::None, 1},
    {"OUT", "OUT", opcode::OUT, OperandKind::None, 1},
    {"IN", "IN", opcode::IN, OperandKind::None, 1},
    {"ERR", "ERR", opcode::ERR, OperandKind::None, 1},
}};

/// The instruction recorded under mnemonic ("WIDEILOAD" for the wide form), or nullptr.
constexpr const Instruction* findInstruction(std::string_view mnemonic) {
    for (const Instruction& instruction : kInstructionSet) {
        if (mnemonic == instruction.mnemonic) {
            return &instruction;
        }
    }
    return nullptr;
}

/// The instruction of an opcode byte, or nullptr.
constexpr const Instruction* findInstruction(std::uint8_t code) {
    for (const Instruction& instruction : kInstructionSet) {
        if (instruction.opcode == code) {
            return &instruction;
        }
    }
    return nullptr;
}

/// The instruction written as display in a source ("WIDE ILOAD"), or nullptr.
constexpr const Instruction* findWritten(std::string_view display) {
    for (const Instruction& instruction : kInstructionSet) {
        if (display == instruction.display) {
            return &instruction;
        }
    }
    return nullptr;
}

/// True when word is the first of a two-word form ("WIDE").
constexpr bool isPrefixWord(std::string_view word) {
    for (const Instruction& instruction : kInstructionSet) {
        const std::string_view display = instruction.display;
        if (display.size() > word.size() + 1 && display.substr(0, word.size()) == word &&
            display[word.size()] == ' ') {
            return true;
        }
    }
    return false;
}

/// The mnemonic as a reader writes it: "WIDE ILOAD" for the recorded "WIDEILOAD".
std::string displayMnemonic(const std::string& mnemonic);

} // namespace tessaro
