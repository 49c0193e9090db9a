#include "cli/input_numbers.h"

#include "core/number_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace tessaro::cli {

namespace {

constexpr std::size_t kLongestInputNumber = 100;

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

bool InputNumbers::next(std::int32_t& value) {
    int ch = std::getchar();
    while (ch != EOF && std::isspace(ch) != 0) {
        ch = std::getchar();
    }
    if (ch == EOF) {
        value = 0;
        return true;
    }
    std::string text;
    // A word longer than any number is refused as soon as it is seen: an input that never
    // ends (such as /dev/zero) must not keep IN reading forever.
    while (ch != EOF && std::isspace(ch) == 0) {
        text.push_back(std::isprint(ch) != 0 ? static_cast<char>(ch) : '?');
        if (text.size() > kLongestInputNumber) {
            break;
        }
        ch = std::getchar();
    }
    const bool wellFormed = text.size() <= kLongestInputNumber && wellFormedNumber(text);
    const NumberResult number = wellFormed ? checkedAtolong(text) : NumberResult{};
    if (!number.ok) {
        if (text.size() > kLongestInputNumber) {
            text.resize(kLongestInputNumber);
            text += "...";
        }
        std::fprintf(stderr,
                     "tessaro-cli run: standard input: '%s' is not a number of one word "
                     "(decimal, or the forms 0x1F, 0o17, 0n101; with an optional sign)\n",
                     text.c_str());
        return false;
    }
    value = number.value;
    return true;
}

} // namespace tessaro::cli
