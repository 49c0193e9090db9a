#pragma once

#include "machine/io_port.h"

namespace tessaro::cli {

/// Whitespace-separated numbers from standard input, read only when IN needs one, so that an
/// interactive user can type them as the program asks.
class InputNumbers {
public:
    /// The next number; none available once the input is exhausted; failed, with a message
    /// printed, when the next word is not a number.
    InputAnswer next();
};

} // namespace tessaro::cli
