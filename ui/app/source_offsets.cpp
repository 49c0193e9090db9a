#include "ui/app/source_offsets.h"

#include "ui/app/text_file.h"

#include <algorithm>

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

} // namespace

SourceOffsets::SourceOffsets(const QByteArray& bytes) {
    const auto size = static_cast<std::size_t>(bytes.size());
    m_positions.assign(size + 1, 0);
    std::size_t i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        i = 3;
    }
    const bool utf8 = TextFile::isUtf8(bytes);
    int position = 0;
    while (i < size) {
        const auto b = static_cast<unsigned char>(bytes[static_cast<qsizetype>(i)]);
        int length = 1;
        int units = 1;
        if (b == '\r' && i + 1 < size && bytes[static_cast<qsizetype>(i + 1)] == '\n') {
            length = 2;
        } else if (utf8) {
            utf8Shape(b, length, units);
        }
        for (int k = 0; k < length && i + static_cast<std::size_t>(k) < size; ++k) {
            m_positions[i + static_cast<std::size_t>(k)] = position;
        }
        i += static_cast<std::size_t>(length);
        position += units;
    }
    // The decoded text drops one final line break; nothing may point past what the editor holds.
    m_textLength = position;
    if (size > 0 && (bytes.endsWith('\n') || bytes.endsWith('\r'))) {
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

} // namespace tessaro
