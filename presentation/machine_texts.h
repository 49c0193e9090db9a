#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaro {

class ControlPath;

/// Radices and method-area format chosen with the format selector.
struct ViewFormat {
    int addressRadix = 10;      ///< radix of addresses, 10 or 16
    int valueRadix = 10;        ///< radix of values, 10 or 16
    bool rawMethodArea = false; ///< method area as byte values only, without mnemonics
};

/// The names the frame view gives its fixed words, in the language of the front end.
struct FrameLabels {
    std::string linkPointer = "Link Ptr";
    std::string previousPc = "PC PREC";
    std::string previousLv = "LV PREC";
};

/// The texts of the machine's lists, built from the machine on every call; each list is given
/// from its top line to its bottom line. Only the frame's method (framePC, frameLocals) is
/// remembered between calls.
///
/// A list never ends the program: a lookup outside a table (PC outside the method area, a
/// method index out of range) leaves the annotation out, and the stack and frame lists show at
/// most kMaxStackLines words (the topmost) when the registers span more.
class MachineTexts {
public:
    /// The most words the stack or the frame list shows.
    static constexpr std::uint32_t kMaxStackLines = 4096;

    std::int32_t framePC = 0; ///< PC at the last instruction boundary not after HALT
    int frameLocals = 0;      ///< parameters and variables of the frame's method

    /// The mnemonic of an opcode byte and its operand byte count; nullptr for other bytes.
    static const char* mnemonic(std::uint8_t byte, int* operandBytes);

    /// Constant pool: padding to 13 lines, methods from last to first, constants last to first.
    std::vector<std::string> constantPool(const ControlPath& m, const ViewFormat& f) const;
    /// Method area: one line per byte, line index = byte address.
    std::vector<std::string> methodArea(const ControlPath& m, const ViewFormat& f) const;
    /// Words from LV - 1 (top) down to 2000 (bottom).
    std::vector<std::string> stack(const ControlPath& m, const ViewFormat& f) const;
    /// The frame from SP (top) down to LV (bottom), annotated; updates framePC/frameLocals.
    std::vector<std::string> frame(const ControlPath& m, const ViewFormat& f,
                                   const FrameLabels& labels);
    /// The five output characters (low bytes of words -5 .. -1, ended by a zero byte).
    static std::string output(const ControlPath& m);
    /// The input word -6.
    static std::int32_t input(const ControlPath& m);

private:
    bool m_frameStarted = false;
};

} // namespace tessaro
