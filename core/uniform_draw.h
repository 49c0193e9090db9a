#pragma once

#include <cstdint>
#include <random>

namespace tessaro {

/// A whole number from low to high (both included), drawn from random the same way in every
/// build. The standard library's distributions are free to differ between implementations, so
/// with them a seed would give other programs in the browser (libc++) than on the desktop
/// (libstdc++); the Mersenne twister itself is fully specified.
inline std::int32_t drawBetween(std::mt19937& random, std::int32_t low, std::int32_t high) {
    const std::uint64_t span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) -
                                                          static_cast<std::int64_t>(low)) +
                               1U;
    constexpr std::uint64_t kValues = std::uint64_t{1} << 32;
    // Draws past the last whole multiple of span are redrawn, so that no value is favoured.
    const std::uint64_t limit = kValues - kValues % span;
    std::uint64_t value = random();
    while (value >= limit) {
        value = random();
    }
    return static_cast<std::int32_t>(static_cast<std::int64_t>(low) +
                                     static_cast<std::int64_t>(value % span));
}

} // namespace tessaro
