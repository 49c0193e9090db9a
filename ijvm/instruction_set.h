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

inline constexpr std::array<Instruction, 25> kInstructionSet = {{
    {"NOP", "NOP", 0x01, OperandKind::None, 1},
    {"IADD", "IADD", 0x02, OperandKind::None, 1},
    {"ISUB", "ISUB", 0x05, OperandKind::None, 1},
    {"IAND", "IAND", 0x08, OperandKind::None, 1},
    {"IOR", "IOR", 0x0B, OperandKind::None, 1},
    {"DUP", "DUP", 0x0E, OperandKind::None, 1},
    {"POP", "POP", 0x10, OperandKind::None, 1},
    {"SWAP", "SWAP", 0x13, OperandKind::None, 1},
    {"BIPUSH", "BIPUSH", 0x19, OperandKind::SignedByte, 2},
    {"ILOAD", "ILOAD", 0x1C, OperandKind::Variable, 2},
    {"ISTORE", "ISTORE", 0x21, OperandKind::Variable, 2},
    {"WIDEILOAD", "WIDE ILOAD", 0x28, OperandKind::WideVariable, 3},
    {"WIDEISTORE", "WIDE ISTORE", 0x2C, OperandKind::WideVariable, 3},
    {"LDCW", "LDCW", 0x30, OperandKind::Constant, 3},
    {"IINC", "IINC", 0x34, OperandKind::VariableAndByte, 3},
    {"GOTO", "GOTO", 0x3A, OperandKind::LabelOffset, 3},
    {"IFLT", "IFLT", 0x40, OperandKind::LabelOffset, 3},
    {"IFEQ", "IFEQ", 0x44, OperandKind::LabelOffset, 3},
    {"IFICMPEQ", "IFICMPEQ", 0x48, OperandKind::LabelOffset, 3},
    {"INVOKEVIRTUAL", "INVOKEVIRTUAL", 0x52, OperandKind::Method, 3},
    {"IRETURN", "IRETURN", 0x68, OperandKind::None, 1},
    {"HALT", "HALT", 0x70, OperandKind::None, 1},
    {"OUT", "OUT", 0x71, OperandKind::None, 1},
    {"IN", "IN", 0x7C, OperandKind::None, 1},
    {"ERR", "ERR", 0x84, OperandKind::None, 1},
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

namespace detail {
consteval std::uint8_t opcodeNamed(std::string_view mnemonic) {
    const Instruction* instruction = findInstruction(mnemonic);
    // Not a constant expression when the name is missing, so a misspelt name fails to build.
    return instruction != nullptr ? instruction->opcode
                                  : throw "no instruction of that name"; // NOLINT
}
} // namespace detail

/// Opcodes by name, read from the table.
namespace opcode {
inline constexpr std::uint8_t NOP = detail::opcodeNamed("NOP");
inline constexpr std::uint8_t IADD = detail::opcodeNamed("IADD");
inline constexpr std::uint8_t ISUB = detail::opcodeNamed("ISUB");
inline constexpr std::uint8_t IAND = detail::opcodeNamed("IAND");
inline constexpr std::uint8_t IOR = detail::opcodeNamed("IOR");
inline constexpr std::uint8_t DUP = detail::opcodeNamed("DUP");
inline constexpr std::uint8_t POP = detail::opcodeNamed("POP");
inline constexpr std::uint8_t SWAP = detail::opcodeNamed("SWAP");
inline constexpr std::uint8_t BIPUSH = detail::opcodeNamed("BIPUSH");
inline constexpr std::uint8_t ILOAD = detail::opcodeNamed("ILOAD");
inline constexpr std::uint8_t ISTORE = detail::opcodeNamed("ISTORE");
inline constexpr std::uint8_t WIDE_ILOAD = detail::opcodeNamed("WIDEILOAD");
inline constexpr std::uint8_t WIDE_ISTORE = detail::opcodeNamed("WIDEISTORE");
inline constexpr std::uint8_t LDCW = detail::opcodeNamed("LDCW");
inline constexpr std::uint8_t IINC = detail::opcodeNamed("IINC");
inline constexpr std::uint8_t GOTO = detail::opcodeNamed("GOTO");
inline constexpr std::uint8_t IFLT = detail::opcodeNamed("IFLT");
inline constexpr std::uint8_t IFEQ = detail::opcodeNamed("IFEQ");
inline constexpr std::uint8_t IFICMPEQ = detail::opcodeNamed("IFICMPEQ");
inline constexpr std::uint8_t INVOKEVIRTUAL = detail::opcodeNamed("INVOKEVIRTUAL");
inline constexpr std::uint8_t IRETURN = detail::opcodeNamed("IRETURN");
inline constexpr std::uint8_t HALT = detail::opcodeNamed("HALT");
inline constexpr std::uint8_t OUT = detail::opcodeNamed("OUT");
inline constexpr std::uint8_t IN = detail::opcodeNamed("IN");
inline constexpr std::uint8_t ERR = detail::opcodeNamed("ERR");
} // namespace opcode

/// The mnemonic as a reader writes it: "WIDE ILOAD" for the recorded "WIDEILOAD".
std::string displayMnemonic(const std::string& mnemonic);

} // namespace tessaro
