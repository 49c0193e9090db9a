#include "presentation/source_offsets.h"

#include <algorithm>
#include <cstddef>

namespace tessaro {

namespace {

// Bytes taken by the UTF-8 sequence starting with lead, and the UTF-16 units it decodes to.
void utf8Shape(unsigned char lead, int& bytes, int& units) {
    if (lead < 0x80) {
        bytes = 1;
        units = 1;
    } else if (lead >= 0xF0) {
        bytes = 4;
        units = 2;
    } else if (lead >= 0xE0) {
        bytes = 3;
        units = 1;
    } else {
        bytes = 2;
        units = 1;
    }
}

unsigned char byteAt(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

} // namespace

bool isUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = byteAt(bytes, i);
        std::size_t length = 0;
        // The range the second byte must lie in rules out overlong forms, surrogates and code
        // points past U+10FFFF.
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > bytes.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = byteAt(bytes, i + k);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

SourceOffsets::SourceOffsets(std::string_view bytes, FinalLineBreak finalBreak) {
    const std::size_t size = bytes.size();
    m_positions.assign(size + 1, 0);
    std::size_t i = 0;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        i = 3;
    }
    const bool utf8 = isUtf8(bytes.substr(i));
    int position = 0;
    while (i < size) {
        const unsigned char b = byteAt(bytes, i);
        int length = 1;
        int units = 1;
        if (b == '\r' && i + 1 < size && bytes[i + 1] == '\n') {
            length = 2;
        } else if (utf8) {
            utf8Shape(b, length, units);
        }
        if (b == '\r' || b == '\n') {
            m_lineStarts.push_back(static_cast<int>(i) + length);
        }
        for (int k = 0; k < length && i + static_cast<std::size_t>(k) < size; ++k) {
            m_positions[i + static_cast<std::size_t>(k)] = position;
        }
        i += static_cast<std::size_t>(length);
        position += units;
    }
    // Nothing may point past what the editor holds.
    m_textLength = position;
    if (finalBreak == FinalLineBreak::Dropped && size > 0 &&
        (bytes.ends_with('\n') || bytes.ends_with('\r'))) {
        m_textLength = std::max(0, position - 1);
    }
    for (int& p : m_positions) {
        p = std::min(p, m_textLength);
    }
    m_positions[std::min(i, size)] = m_textLength;
}

int SourceOffsets::charPosition(long long byteOffset) const {
    if (byteOffset <= 0 || m_positions.empty()) {
        return 0;
    }
    const auto last = static_cast<long long>(m_positions.size()) - 1;
    return m_positions[static_cast<std::size_t>(std::min(byteOffset, last))];
}

CharSpan SourceOffsets::span(long long byteStart, long long byteLength) const {
    CharSpan result;
    result.start = charPosition(byteStart);
    result.length = std::max(0, charPosition(byteStart + std::max(0LL, byteLength)) - result.start);
    return result;
}

int SourceOffsets::line(long long byteOffset) const {
    const auto before = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), byteOffset);
    return 1 + static_cast<int>(before - m_lineStarts.begin());
}

} // namespace tessaro
