#include "ijvm/records.h"

#include <algorithm>

namespace tessaro {

void ByteImage::allocate(int bytes) {
    capacity = std::max(bytes, 0);
    data = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(capacity) + 1);
    length = 0;
    overflow = 0;
}

void ByteImage::putByte(std::uint8_t b) {
    if (length >= capacity) {
        ++overflow;
        return;
    }
    data[static_cast<std::size_t>(length)] = b;
    ++length;
}

void ByteImage::putHalf(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    putByte(static_cast<std::uint8_t>((u >> 8) & 0xFF));
    putByte(static_cast<std::uint8_t>(u & 0xFF));
}

void ByteImage::putWord(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8) {
        putByte(static_cast<std::uint8_t>((u >> shift) & 0xFF));
    }
}

std::uint8_t ByteImage::at(int i) const {
    return (i >= 0 && i < length) ? data[static_cast<std::size_t>(i)] : 0;
}

} // namespace tessaro
