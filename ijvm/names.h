#pragma once

#include <cstddef>
#include <string>

#include "core/number_text.h"

// Name sizes and small text helpers shared by the assembler's passes.
namespace tessaro::ijvm_names {

// Constants, parameters and variables keep 9 bytes, labels and methods 20, operands 19. A
// reference is cut the same way as a declaration, so that a long name still finds itself.
inline constexpr std::size_t kSymbolBytes = 9;
inline constexpr std::size_t kLabelBytes = 20;
inline constexpr std::size_t kMethodBytes = 20;
inline constexpr std::size_t kOperandBytes = 19;
inline constexpr std::size_t kMessageBytes = 99;

inline std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

inline bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

inline std::string trimBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

/// The whole UTF-8 character whose first byte is at (the byte itself when the sequence is cut).
inline std::string utf8CharacterAt(const std::string& text, std::size_t at) {
    const std::size_t length = utf8SequenceLength(static_cast<unsigned char>(text[at]));
    if (at + length > text.size()) {
        return text.substr(at, 1);
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) {
            return text.substr(at, 1);
        }
    }
    return text.substr(at, length);
}

} // namespace tessaro::ijvm_names
