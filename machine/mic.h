#pragma once

#include <cstdint>
#include <string>

namespace tessaro {

/// One control-store entry: the 27-bit control word, the 9-bit next address and the listing
/// text shown beside it.
struct Mic {
    std::int32_t word = 0;
    std::int32_t NextAddr = 0;
    std::string text; ///< at most 69 bytes
};

} // namespace tessaro
