#pragma once

#include "presentation/machine_texts.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace tessaro {

class ControlPath;
struct Method;

/// What selectCurrentInstruction does to the method-area list (-1: nothing).
struct InstructionSelection {
    int scrollTo = -1; ///< line to bring into view first (two lines past the instruction)
    int select = -1;   ///< line to highlight (the instruction at PC)
    int deselect = -1; ///< line whose old highlight goes away
};

/// The texts of the machine views as Qt strings: the lists come from the core's MachineTexts,
/// and only the method-area line highlighted last is remembered here.
class MachineViews {
public:
    std::uint32_t lastSelected = 0; ///< method-area line highlighted last

    /// The mnemonic of an opcode byte and its operand byte count; nullptr for other bytes.
    static const char* mnemonic(std::uint8_t byte, int* operandBytes) {
        return MachineTexts::mnemonic(byte, operandBytes);
    }

    /// Constant pool: padding to 13 lines, methods from last to first, constants last to first.
    QStringList constantPool(const ControlPath& m, const ViewFormat& f) const;
    /// Method area: one line per byte, line index = byte address.
    QStringList methodArea(const ControlPath& m, const ViewFormat& f) const;
    /// Words from LV - 1 (top) down to 2000 (bottom).
    QStringList stack(const ControlPath& m, const ViewFormat& f) const;
    /// The frame from SP (top) down to LV (bottom), annotated.
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
    MachineTexts m_texts;
};

} // namespace tessaro
