#include "core/number_text.h"

#include "core/array.h"
#include "core/language.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <utility>

namespace tessaro {

namespace {

char upperAscii(char ch) {
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

bool isDecimalDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// Value of a hexadecimal digit, or -1.
int digitValue(char ch) {
    const char up = upperAscii(ch);
    if (up >= '0' && up <= '9') {
        return up - '0';
    }
    if (up >= 'A' && up <= 'F') {
        return up - 'A' + 10;
    }
    return -1;
}

// Radixes outside what a digit character can show fall back to decimal rather than looping or
// dividing by zero.
unsigned sanitizedRadix(int radix) {
    return (radix >= 2 && radix <= 36) ? static_cast<unsigned>(radix) : 10U;
}

enum class ParseStatus { Ok, BadText, BadDigit };

struct Parse {
    ParseStatus status = ParseStatus::Ok;
    std::int32_t value = 0;
    std::string rest; // the text after the sign
};

std::string unsignedDigits(std::uint32_t v, unsigned radix) {
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string out;
    do {
        out.insert(out.begin(), digits[v % radix]);
        v /= radix;
    } while (v != 0);
    return out;
}

std::string prefixOf(unsigned radix) {
    switch (radix) {
    case 2:
        return "0b";
    case 8:
        return "0o";
    case 16:
        return "0x";
    default:
        return "";
    }
}

Parse parseNumber(const std::string& s) {
    Parse p;
    std::size_t start = 0;
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        start = 1;
    }
    p.rest = s.substr(start);
    const std::string& t = p.rest;

    if (t.empty() || !isDecimalDigit(t[0])) {
        p.status = ParseStatus::BadText;
        return p;
    }

    // Arithmetic in uint32_t: a long run of digits wraps modulo 2^32 like the machine's words.
    std::uint32_t value = 0;
    if (t.size() == 1 || isDecimalDigit(t[1])) {
        for (std::size_t i = 0; i < t.size() && isDecimalDigit(t[i]); ++i) {
            value = value * 10U + static_cast<std::uint32_t>(t[i] - '0');
        }
    } else {
        std::uint32_t radix = 0;
        switch (upperAscii(t[1])) {
        case 'X':
            radix = 16;
            break;
        case 'O':
            radix = 8;
            break;
        case 'N':
            radix = 2;
            break;
        default:
            p.status = ParseStatus::BadText;
            return p;
        }
        if (t.size() == 2) {
            p.status = ParseStatus::BadText;
            return p;
        }
        // Digits are read from the last one back to the nearest radix letter, so "0x1n2" is 2;
        // a digit is not checked against the radix ("0o9" is 9).
        std::uint32_t weight = 1;
        for (std::size_t i = t.size(); i-- > 0;) {
            const char up = upperAscii(t[i]);
            if (up == 'X' || up == 'N' || up == 'O') {
                break;
            }
            const int digit = digitValue(t[i]);
            if (digit < 0) {
                p.status = ParseStatus::BadDigit;
                return p;
            }
            value += weight * static_cast<std::uint32_t>(digit);
            weight *= radix;
        }
    }
    p.value = static_cast<std::int32_t>(negative ? 0U - value : value);
    return p;
}

std::string invalidNumberMessage(const std::string& s) {
    return localized(MessageId::NumberTextInvalid, {s});
}

} // namespace

// A whole number in one of the forms the number reader accepts: decimal within the range of a
// word, or a digit, a radix letter (X, O or N, either case) and at most 32 bits of digits of
// that radix. The reader itself would take "12abc" as 12 and let decimals wrap; at a prompt
// such input is a typing mistake, so it is refused here instead.
bool wellFormedNumber(const std::string& text) {
    std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    const std::string body = text.substr(i);
    auto isDecimal = [](char ch) { return ch >= '0' && ch <= '9'; };
    if (body.empty() || !isDecimal(body[0])) {
        return false;
    }
    if (body.size() == 1 || isDecimal(body[1])) {
        if (body.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        const std::string digits = body.substr(std::min(body.find_first_not_of('0'), body.size()));
        const std::string limit = text[0] == '-' ? "2147483648" : "2147483647";
        return digits.size() < limit.size() || (digits.size() == limit.size() && digits <= limit);
    }
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(body[1])));
    const std::string digits = body.substr(2);
    const char* allowed = letter == 'X'   ? "0123456789abcdefABCDEF"
                          : letter == 'O' ? "01234567"
                          : letter == 'N' ? "01"
                                          : nullptr;
    if (allowed == nullptr || digits.empty() ||
        digits.find_first_not_of(allowed) != std::string::npos) {
        return false;
    }
    const int bitsPerDigit = letter == 'X' ? 4 : letter == 'O' ? 3 : 1;
    const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    const std::string significant = digits.substr(first);
    if (significant.empty()) {
        return true;
    }
    // Bits of the leading digit, then full digits after it.
    int leadBits = 0;
    for (int v = std::stoi(significant.substr(0, 1), nullptr, 16); v != 0; v >>= 1) {
        ++leadBits;
    }
    return leadBits + bitsPerDigit * static_cast<int>(significant.size() - 1) <= 32;
}

NumberResult checkedAtolong(const std::string& s) {
    const Parse p = parseNumber(s);
    NumberResult r;
    if (p.status == ParseStatus::Ok) {
        r.ok = true;
        r.value = p.value;
    } else {
        r.message = invalidNumberMessage(s);
    }
    return r;
}

std::string radixText(std::int32_t v, int radix) {
    const unsigned r = sanitizedRadix(radix);
    if (r == 10) {
        return decimalText(v);
    }
    std::string text = prefixOf(r);
    text += unsignedDigits(static_cast<std::uint32_t>(v), r);
    return text;
}

std::string radixTextPadded(std::int32_t v, int radix, int width) {
    const unsigned r = sanitizedRadix(radix);
    if (r == 10 && v < 0) {
        // Zeros go between the sign and the digits: "-005", never "00-5".
        // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) about string + string.
        std::string text = "-";
        text.append(
            padLeftZeros(unsignedDigits(0U - static_cast<std::uint32_t>(v), 10), width - 1));
        return text;
    }
    std::string text = prefixOf(r);
    text += padLeftZeros(unsignedDigits(static_cast<std::uint32_t>(v), r), width);
    return text;
}

int digitCount(std::uint32_t v, int base) {
    const unsigned b = base >= 2 ? static_cast<unsigned>(base) : 10U;
    int count = 1;
    while (v >= b) {
        v /= b;
        ++count;
    }
    return count;
}

std::string padRight(const std::string& src, int width) {
    std::string out = src;
    if (width > 0 && out.size() < static_cast<std::size_t>(width)) {
        out.append(static_cast<std::size_t>(width) - out.size(), ' ');
    }
    return out;
}

std::string padLeftZeros(const std::string& src, int width) {
    if (width > 0 && src.size() < static_cast<std::size_t>(width)) {
        return std::string(static_cast<std::size_t>(width) - src.size(), '0') + src;
    }
    return src;
}

std::string decimalText(std::int32_t v) {
    return std::to_string(v);
}

namespace {

char digitCharacter(std::uint32_t digit, unsigned radix) {
    if (radix == 256) {
        return static_cast<char>(digit);
    }
    if (digit < 10) {
        return static_cast<char>('0' + digit);
    }
    if (digit < 36) {
        return static_cast<char>('A' + (digit - 10));
    }
    return '?';
}

// Digits least significant first are collected, then the array is flipped with its reversed flag
// and copied, which leaves the copy most significant first.
template <typename D>
std::string writeDigits(Array<D>& scratch, int count, unsigned radix, int width, bool negative) {
    scratch.reversed = 1;
    Array<D> ordered(scratch);
    std::string out = negative ? "-" : "";
    const int shown = count + (negative ? 1 : 0);
    if (shown < width) {
        out.append(static_cast<std::size_t>(width - shown), '0');
    }
    for (int i = 0; i < count; ++i) {
        out += digitCharacter(static_cast<std::uint32_t>(ordered[i]), radix);
    }
    return out;
}

unsigned digitRadix(int radix) {
    return (radix >= 2 && radix <= 256) ? static_cast<unsigned>(radix) : 10U;
}

} // namespace

std::string digitString(std::int32_t v, int radix, int width) {
    const unsigned r = digitRadix(radix);
    const auto sr = static_cast<std::int32_t>(r);
    // Negative values show a minus sign and the digits of the magnitude; int64 keeps INT32_MIN.
    const bool negative = v < 0;
    std::int64_t rest = negative ? -static_cast<std::int64_t>(v) : v;
    int count = 1;
    for (std::int64_t t = rest; t >= sr; t /= sr) {
        ++count;
    }
    Array<int> scratch(count);
    for (int i = 0; i < count; ++i) {
        scratch[i] = static_cast<int>(rest % sr);
        rest /= sr;
    }
    return writeDigits(scratch, count, r, width, negative);
}

std::string digitString(std::uint32_t v, int radix, int width) {
    const unsigned r = digitRadix(radix);
    const int count = digitCount(v, static_cast<int>(r));
    Array<std::uint32_t> scratch(count);
    for (int i = 0; i < count; ++i) {
        scratch[i] = v % r;
        v /= r;
    }
    return writeDigits(scratch, count, r, width, false);
}

void removeChars(std::string& text, const std::string& set) {
    std::string kept;
    kept.reserve(text.size());
    for (const char ch : text) {
        if (set.find(ch) == std::string::npos) {
            kept += ch;
        }
    }
    text = std::move(kept);
}

std::string cutUtf8(const std::string& text, std::size_t max) {
    if (text.size() <= max) {
        return text;
    }
    std::size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

std::string hexByte(std::uint8_t value) {
    return "0x" + digitString(std::uint32_t{value}, 16, 2);
}

std::size_t utf8SequenceLength(unsigned char lead) {
    return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

} // namespace tessaro
