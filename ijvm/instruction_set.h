#pragma once

#include "ijvm/stack_effect.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    std::string mnemonic; ///< as recorded: "WIDEILOAD" for the wide form
    std::string display;  ///< as written in a source: "WIDE ILOAD"
    std::uint8_t opcode = 0;
    OperandKind operands = OperandKind::None;
    int size = 1;                          ///< encoded bytes, opcode included
    std::vector<std::string> operandNames; ///< per operand token; empty when unnamed
    std::optional<StackEffect> stackEffect;
    int line = 0; ///< line of the instruction-set file that declared it

    /// Source tokens after the mnemonic (IINC has two).
    int operandTokens() const {
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

/// The instructions a program may use, looked up by opcode, by recorded mnemonic and as
/// written. A value: the built-in set, or one read from an instruction-set file.
class InstructionSet {
public:
    InstructionSet() : InstructionSet(std::vector<Instruction>{}) {}
    /// The set of these instructions; their opcodes and mnemonics are distinct.
    explicit InstructionSet(std::vector<Instruction> instructions);

    const std::vector<Instruction>& instructions() const { return m_instructions; }

    /// The instruction of an opcode byte, or nullptr.
    const Instruction* find(std::uint8_t code) const;
    /// The instruction recorded under mnemonic ("WIDEILOAD" for the wide form), or nullptr.
    const Instruction* find(std::string_view mnemonic) const;
    /// The instruction written as display in a source ("WIDE ILOAD"), or nullptr.
    const Instruction* findWritten(std::string_view display) const;
    /// True when word is the first of a two-word form ("WIDE").
    bool isPrefixWord(std::string_view word) const;
    /// The mnemonic as a reader writes it: "WIDE ILOAD" for the recorded "WIDEILOAD".
    std::string displayMnemonic(const std::string& mnemonic) const;
    /// True when instruction is one of the built-in set, with its opcode and operands: the
    /// machine and the check know its meaning without a stack effect.
    static bool isBuiltin(const Instruction& instruction);

private:
    std::vector<Instruction> m_instructions;
    std::array<int, 256> m_byOpcode{};
};

/// The set shipped as data/instructions.txt and compiled in, read once.
const InstructionSet& builtinInstructionSet();

/// The text of the built-in set.
std::string_view builtinInstructionSetText();

} // namespace tessaro
