#pragma once

#include <QString>
#include <QStringList>

#include "ijvm/instruction_set.h"

#include <cstdint>

namespace tessaro {

class ControlPath;
struct Method;

/// Radices and method-area format chosen with the format selector.
struct ViewFormat {
    int addressRadix = 10;      ///< radix of addresses, 10 or 16
    int valueRadix = 10;        ///< radix of values, 10 or 16
    bool rawMethodArea = false; ///< method area as byte values only, without mnemonics
};

/// What selectCurrentInstruction does to the method-area list (-1: nothing).
struct InstructionSelection {
    int scrollTo = -1; ///< line to bring into view first (two lines past the instruction)
    int select = -1;   ///< line to highlight (the instruction at PC)
    int deselect = -1; ///< line whose old highlight goes away
};

/// The texts of the machine views, built from the machine on every call. Each list is given
/// from its top line to its bottom line. Only three small values are remembered between calls:
/// the method-area line highlighted last and the frame's method (framePC, frameLocals).
///
/// A view never ends the program: a lookup outside a table (PC outside the method area, a
/// method index out of range) leaves the annotation out, and the stack and frame views show at
/// most kMaxStackLines words (the topmost) when the registers span more.
class MachineViews {
public:
    /// The most words the stack or the frame view lists.
    static constexpr std::uint32_t kMaxStackLines = 4096;

    std::uint32_t lastSelected = 0; ///< method-area line highlighted last
    std::int32_t framePC = 0;       ///< PC at the last instruction boundary not after HALT
    int frameLocals = 0;            ///< parameters and variables of the frame's method

    /// The mnemonic of an opcode byte and its operand byte count; nullptr for other bytes.
    static const char* mnemonic(const InstructionSet& instructions, std::uint8_t byte,
                                int* operandBytes);

    /// Constant pool: padding to 13 lines, methods from last to first, constants last to first.
    QStringList constantPool(const ControlPath& m, const ViewFormat& f) const;
    /// Method area: one line per byte, line index = byte address.
    QStringList methodArea(const ControlPath& m, const ViewFormat& f) const;
    /// Words from LV - 1 (top) down to 2000 (bottom).
    QStringList stack(const ControlPath& m, const ViewFormat& f) const;
    /// The frame from SP (top) down to LV (bottom), annotated; updates framePC/frameLocals.
    QStringList frame(const ControlPath& m, const ViewFormat& f);
    /// The five output characters (low bytes of words -5 .. -1, ended by a zero byte).
    static QString output(const ControlPath& m);
    /// text with each control character replaced by a visible sign the output font has: a line
    /// feed by ↵, a tab by →, any other by ·, so that the one-line output never breaks.
    static QString printable(QString text);
    /// Decimal text of the input word -6.
    static QString input(const ControlPath& m);
    /// The highlight moves for a method-area list of lineCount lines; updates lastSelected.
    InstructionSelection selectCurrentInstruction(const ControlPath& m, int lineCount);

private:
    bool m_frameStarted = false;
};

} // namespace tessaro
