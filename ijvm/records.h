#pragma once

#include "core/list.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

namespace tessaro {

/// A constant, a parameter, a local variable or a label; compared and ordered by name
/// (byte-wise).
struct Symbol {
    int index = 0;    ///< constant-pool index, local-variable index, or 0 for a label
    std::string name; ///< at most 9 bytes (constants, variables) or 20 (labels)
    int value = 0;    ///< constant value or label address

    friend bool operator==(const Symbol& a, const Symbol& b) { return a.name == b.name; }
    friend bool operator<(const Symbol& a, const Symbol& b) { return a.name < b.name; }
};

/// One recorded instruction of a method body. A program may have millions, so a record is 20
/// bytes: the operands are spans of the source, the instruction its opcode.
struct InstructionRecord {
    int sourcePos = 0;              ///< byte offset of the mnemonic in the source
    int address = 0;                ///< code offset when recorded
    int operand1Pos = 0;            ///< byte offset of the first operand's token
    int operand2Pos = 0;            ///< byte offset of the second (IINC's constant)
    std::uint8_t opcode = 0;        ///< the instruction, in the set it was assembled with
    std::uint8_t length = 0;        ///< encoded size, 1 to 3
    std::uint8_t operand1Bytes = 0; ///< the operand as kept: at most 19 bytes of its token
    std::uint8_t operand2Bytes = 0; ///< (so that IINC's -128 is kept whole)

    /// The operands as kept, from the source the record was made from.
    std::string operand1(std::string_view source) const {
        return std::string(source.substr(static_cast<std::size_t>(operand1Pos), operand1Bytes));
    }
    std::string operand2(std::string_view source) const {
        return std::string(source.substr(static_cast<std::size_t>(operand2Pos), operand2Bytes));
    }
};

/// One method (or main) with its tables.
struct Method {
    std::string name; ///< at most 20 bytes; "main" for the main section
    int number = 0;
    int paramCount = 1; ///< declared parameters + the object reference
    int varCount = 0;
    int instrCount = 0;
    int length = 0;
    std::deque<InstructionRecord> instructions; ///< in source order
    List<Symbol> labels;                        ///< sorted by name
    List<Symbol> variables;                     ///< parameters, then local variables

    friend bool operator==(const Method& a, const Method& b) { return a.name == b.name; }
    friend bool operator<(const Method& a, const Method& b) { return a.name < b.name; }
};

/// One assembler error: message and the span of source bytes to highlight.
struct AssemblyError {
    std::string message; ///< at most 99 bytes, cut on a UTF-8 character boundary
    int position = 0;    ///< byte offset where the span begins
    int length = 0;      ///< span length in bytes
};

/// A byte buffer of fixed capacity; putHalf is big-endian, putWord little-endian. The assembler
/// sizes it exactly beforehand; a write past the capacity is dropped (and counted in overflow)
/// rather than corrupting memory.
struct ByteImage {
    std::unique_ptr<std::uint8_t[]> data;
    int capacity = 0;
    int length = 0;
    int overflow = 0; ///< bytes that did not fit; 0 in every consistent image

    /// Takes a zeroed buffer of bytes bytes (a negative size counts as 0); length := 0.
    void allocate(int bytes);
    /// Stores b at length and advances.
    void putByte(std::uint8_t b);
    /// Stores the low 16 bits of v, most significant byte first.
    void putHalf(std::int32_t v);
    /// Stores the 32 bits of v, least significant byte first.
    void putWord(std::int32_t v);
    /// Byte at i, or 0 outside 0..length-1.
    std::uint8_t at(int i) const;
};

} // namespace tessaro
