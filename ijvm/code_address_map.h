#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tessaro {

/// A value for each byte of ranges of method-area addresses: the source offset of the
/// instruction a byte belongs to, or the constant-pool word of its method. One entry of 8
/// bytes a range (an instruction, a method) rather than one a byte, since a program may have
/// millions of instructions.
class CodeAddressMap {
public:
    /// Gives the bytes first .. first + length - 1 the value (below 0xFFFFFFFF). Ranges are
    /// added in ascending order, without overlap; one that is not is ignored.
    void addRange(std::uint32_t first, std::uint32_t length, std::uint32_t value) {
        if (length == 0 || value == kNone || (!m_ranges.empty() && first < m_end)) {
            return;
        }
        if (!m_ranges.empty() && first > m_end) {
            m_ranges.push_back({m_end, kNone}); // the bytes in between have no value
        }
        m_ranges.push_back({first, value});
        m_end = first + length;
        m_bytes += length;
    }

    /// The value of address, or nullptr when no range holds it.
    const std::uint32_t* peek(std::uint32_t address) const {
        if (address >= m_end) {
            return nullptr;
        }
        auto after =
            std::upper_bound(m_ranges.begin(), m_ranges.end(), address,
                             [](std::uint32_t a, const Range& range) { return a < range.first; });
        if (after == m_ranges.begin() || (after - 1)->value == kNone) {
            return nullptr;
        }
        return &(after - 1)->value;
    }

    /// Bytes that have a value.
    std::int64_t byteCount() const { return m_bytes; }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    struct Range {
        std::uint32_t first = 0;
        std::uint32_t value = 0; // kNone: a gap
    };

    std::vector<Range> m_ranges; // ascending first; each ends where the next begins
    std::uint32_t m_end = 0;     // where the last range ends
    std::int64_t m_bytes = 0;
};

} // namespace tessaro
