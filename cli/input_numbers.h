#pragma once

#include <cstdint>
#include <string>

namespace tessaro::cli {

/// Whitespace-separated numbers from standard input, read only when IN needs one, so that an
/// interactive user can type them as the program asks.
class InputNumbers {
public:
    /// The next number: true with value (0 once the input is exhausted), or false with a
    /// message printed.
    bool next(std::int32_t& value);
};

} // namespace tessaro::cli
