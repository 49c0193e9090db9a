#pragma once

#include "core/list.h"

#include <string>

namespace tessaro {

/// One element of a tokenized line.
struct TokenElem {
    std::string text; ///< at most 49 bytes
    char type = 0;    ///< 1 = one delimiter character, 2 = identifier, 3 = number
};

/// Splits one line into delimiter characters, identifiers and numbers, and lets the caller walk
/// them with a cursor.
class StringTokenizer : public List<TokenElem> {
public:
    using Elem = TokenElem;

    int current = 0;             ///< index of the next element to take
    int currentType = 0;         ///< type of the element last taken with marking
    Elem* currentElem = nullptr; ///< element last taken with marking
    std::string illegal;         ///< characters that are none of blank, delimiter, letter,
                                 ///< digit: skipped, kept here for the caller to report
    bool cut = false;            ///< an identifier or number was longer than 49 bytes and
                                 ///< was cut there (the rest of its run is dropped)

    StringTokenizer(const std::string& text, const std::string& delimiters);

    /// Element at current + offset (then current := that index + advance), or nullptr.
    Elem* getToken(int offset, int advance, bool mark);
    /// whence 0: current := offset; 1: current += offset; 2: current := count - offset;
    /// positions outside 0..count-1 are ignored.
    void seek(int offset, int whence);
};

} // namespace tessaro
