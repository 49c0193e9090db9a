#pragma once

#include <cstdint>

/// How an assembled program lies in the machine: the prologue that enters main, the header
/// before each method's code, and the words of a method's frame on the stack. The assembler
/// lays the program out by it, and the views and listings find their way by it.
namespace tessaro::image_layout {

/// The prologue at method-area address 0: INVOKEVIRTUAL and the two-byte constant-pool index
/// of main's start address.
inline constexpr int kPrologueBytes = 3;
/// Before each method's code: its parameter count and its local-variable count, two bytes each.
inline constexpr int kMethodHeaderBytes = 4;

/// The method-area address of a byte of method methodIndex, where offset counts the code bytes
/// of all methods before it (headers left out) and methods are numbered from 0.
constexpr int codeAddress(int methodIndex, int offset) {
    return offset + kPrologueBytes + kMethodHeaderBytes * (methodIndex + 1);
}

/// Whether PC stands beyond the prologue, where a program's own instructions are.
constexpr bool isPastPrologue(std::int64_t pc) {
    return pc > kPrologueBytes;
}

/// A frame, from LV upwards: the link pointer, the method's locals, then the caller's PC and
/// the caller's LV saved by the call.
inline constexpr int kLinkPointerWord = 0;
/// Word offset from LV of the first local.
inline constexpr int kFirstLocalWord = 1;
/// Word offset from LV of the saved PC, after a frame's locals locals; the saved LV follows it.
constexpr int savedPcWord(int locals) {
    return kFirstLocalWord + locals;
}

} // namespace tessaro::image_layout
