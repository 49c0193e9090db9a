#include "core/reader/string_tokenizer.h"

#include <algorithm>
#include <cstddef>

namespace tessaro {

namespace {

constexpr std::size_t kMaxElementBytes = 49;

bool isAsciiLetter(char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

bool isAsciiDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

} // namespace

StringTokenizer::StringTokenizer(const std::string& text, const std::string& delimiters) {
    const std::size_t n = text.size();
    std::size_t pos = 0;
    // NUL and line feed end the text like a terminator would.
    auto atEnd = [&] { return pos >= n || text[pos] == '\0' || text[pos] == '\n'; };
    while (!atEnd()) {
        pos = std::min(text.find_first_not_of(' ', pos), n);
        if (atEnd()) {
            break;
        }
        const char ch = text[pos];
        Elem elem;
        if (delimiters.find(ch) != std::string::npos) {
            elem.text.assign(1, ch);
            elem.type = 1;
            ++pos;
        } else if (isAsciiLetter(ch) || isAsciiDigit(ch)) {
            const bool identifier = isAsciiLetter(ch);
            std::size_t end = pos + 1;
            while (end < n &&
                   (isAsciiDigit(text[end]) || (identifier && isAsciiLetter(text[end])))) {
                ++end;
            }
            std::size_t length = end - pos;
            if (length > kMaxElementBytes) {
                length = kMaxElementBytes;
                cut = true;
            }
            elem.text = text.substr(pos, length);
            elem.type = identifier ? 2 : 3;
            pos = end;
        } else {
            // Nothing can start here: skip it so the scan always progresses, and keep it for the
            // caller to report.
            illegal.push_back(ch);
            ++pos;
            continue;
        }
        insertTail(elem);
    }
}

StringTokenizer::Elem* StringTokenizer::getToken(int offset, int advance, bool mark) {
    const long long i = static_cast<long long>(current) + offset;
    if (i < 0 || i >= count) {
        return nullptr;
    }
    current = static_cast<int>(i);
    Elem& elem = (*this)[current];
    if (mark) {
        currentElem = &elem;
        currentType = elem.type;
    }
    current += advance;
    return &elem;
}

void StringTokenizer::seek(int offset, int whence) {
    long long target;
    switch (whence) {
    case 0:
        target = offset;
        break;
    case 1:
        target = static_cast<long long>(current) + offset;
        break;
    case 2:
        target = static_cast<long long>(count) - offset;
        break;
    default:
        return;
    }
    if (target >= 0 && target < count) {
        current = static_cast<int>(target);
    }
}

} // namespace tessaro
