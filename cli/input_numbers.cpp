#include "cli/input_numbers.h"

#include "core/language.h"

#include "core/number_text.h"

#include <cctype>
#include <cstdio>
#include <string>

namespace tessaro::cli {

namespace {

constexpr std::size_t kLongestInputNumber = 100;

} // namespace

InputAnswer InputNumbers::next() {
    int ch = std::getchar();
    while (ch != EOF && std::isspace(ch) != 0) {
        ch = std::getchar();
    }
    if (ch == EOF) {
        return InputAnswer{InputAnswer::Kind::NoneAvailable, 0};
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
        std::fprintf(stderr, "tessaro-cli run: %s\n",
                     localized(MessageId::RunBadInputNumber, {text}).c_str());
        return InputAnswer{InputAnswer::Kind::Failed, 0};
    }
    return InputAnswer{InputAnswer::Kind::Word, number.value};
}

} // namespace tessaro::cli
