#pragma once

#include <cstdint>
#include <string>

namespace tessaro {

/// Outcome of reading a number without ending the process.
struct NumberResult {
    bool ok = false;
    std::int32_t value = 0;
    std::string message; ///< when !ok: "Errore: il numero X non è valido. Il programma sarà adesso
                         ///< terminato."
};

/// Reads decimal, or hexadecimal/octal/binary with the radix letters X/O/N (0x1F, 0o17, 0n101),
/// with an optional sign, wrapping modulo 2^32; never ends the process. Malformed text and a bad
/// digit (0x1G) both give !ok with the message naming the whole text.
NumberResult checkedAtolong(const std::string& s);

/// Whether text is a whole number in one of the forms the number reader accepts: decimal
/// within the range of a word, or a digit, a radix letter (X, O or N, either case) and at most
/// 32 bits of digits of that radix. What a person types as one word's value must be such a
/// number: the reader alone would let a decimal wrap.
bool wellFormedNumber(const std::string& text);

/// Digits of v in radix (2, 8, 10, 16), upper case, with the prefix 0b/0o/0x; radix 10 is
/// signed, the others show the 32-bit pattern as unsigned.
std::string radixText(std::int32_t v, int radix);

/// As radixText, with the digits left-padded with '0' to width (never cut); a negative decimal
/// keeps its sign in front of the zeros.
std::string radixTextPadded(std::int32_t v, int radix, int width);

/// Number of base-digits of v, at least 1.
int digitCount(std::uint32_t v, int base);

/// src followed by blanks up to width characters; a longer src is kept whole.
std::string padRight(const std::string& src, int width);

/// '0' characters then src, to width characters; a longer src is kept whole.
std::string padLeftZeros(const std::string& src, int width);

/// A byte as it is named in messages: "0x" and two upper-case hexadecimal digits.
std::string hexByte(std::uint8_t value);

/// Signed decimal text of v.
std::string decimalText(std::int32_t v);

/// Digits of v in radix, zero-filled on the left to width (never cut); radix 256 writes each
/// digit as one byte. Signed and unsigned division forms; the signed form writes a negative value
/// as '-' and the digits of its magnitude, the sign counting towards width.
std::string digitString(std::int32_t v, int radix, int width);
std::string digitString(std::uint32_t v, int radix, int width);

/// Deletes from text every character that occurs in set.
void removeChars(std::string& text, const std::string& set);

/// The first bytes of text, at most max, never ending inside a UTF-8 sequence: how every
/// fixed-size text field of the system is filled.
std::string cutUtf8(const std::string& text, std::size_t max);

/// How many bytes the UTF-8 sequence that starts with lead claims: 1 for ASCII and for a stray
/// continuation byte, else 2, 3 or 4 by the lead's high bits.
std::size_t utf8SequenceLength(unsigned char lead);

} // namespace tessaro
