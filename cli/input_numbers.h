#pragma once

#include <cstdint>
#include <string>

namespace tessaro::cli {

/// Whether text is a whole number in one of the forms the number reader accepts: decimal
/// within the range of a word, or a digit, a radix letter (X, O or N, either case) and at most
/// 32 bits of digits of that radix.
bool wellFormedNumber(const std::string& text);

/// Whitespace-separated numbers from standard input, read only when IN needs one, so that an
/// interactive user can type them as the program asks.
class InputNumbers {
public:
    /// The next number: true with value (0 once the input is exhausted), or false with a
    /// message printed.
    bool next(std::int32_t& value);
};

} // namespace tessaro::cli
