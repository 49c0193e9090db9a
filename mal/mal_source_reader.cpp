#include "mal/mal_source_reader.h"

#include "machine/registers.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace tessaro {

namespace {

// Besides the register names, which no label may take either.
constexpr std::string_view kReservedWords[] = {"GOTO", "WR", "RD", "Z", "N", "IF"};

bool isWhiteSpace(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

char upper(char ch) {
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

// Upper case and blanks up to the first "/", cut there, trailing blanks off, ";" at the end.
std::string normalise(std::string line) {
    const std::size_t slash = line.find('/');
    if (slash != std::string::npos) {
        line.erase(slash);
    }
    for (char& ch : line) {
        ch = isWhiteSpace(ch) ? ' ' : upper(ch);
    }
    const std::size_t last = line.find_last_not_of(' ');
    line.erase(last == std::string::npos ? 0 : last + 1);
    if (!line.empty() && line.back() != ';') {
        line.push_back(';');
    }
    return line;
}

bool isReserved(std::string_view word) {
    for (std::string_view reserved : kReservedWords) {
        if (word == reserved) {
            return true;
        }
    }
    return register_file::registerNamed(word) != nullptr;
}

} // namespace

std::int32_t MalSourceReader::offset() const {
    return static_cast<std::int32_t>(std::min<std::size_t>(m_offset, INT32_MAX));
}

// One physical line without its line feed; false when nothing more can be read. A line of more
// than kMaxLine characters ends the reading for good, like the end of the file.
bool MalSourceReader::readRawLine(std::string& line) {
    line.clear();
    if (m_failed || m_offset >= m_source.size()) {
        return false;
    }
    ++lineNumber;
    for (;;) {
        if (m_offset == m_source.size()) {
            return true;
        }
        const char ch = m_source[m_offset++];
        if (ch == '\n') {
            return true;
        }
        if (static_cast<int>(line.size()) == kMaxLine) {
            m_failed = true;
            lineTooLong = true;
            tooLongLine = lineNumber;
            return false;
        }
        line.push_back(ch);
    }
}

std::optional<std::string> MalSourceReader::getLine() {
    lineStart = offset();
    std::string line;
    do {
        if (!readRawLine(line)) {
            return std::nullopt;
        }
        line = normalise(std::move(line));
    } while (line.empty());

    const std::size_t first = line.find_first_not_of(' ');
    const std::size_t end = line.find_first_of(" ;=<>()", first);
    const std::string word =
        line.substr(first, end == std::string::npos ? std::string::npos : end - first);
    // An empty word (a line starting with "=" or "(") cannot be a label either.
    const bool hasLabel = !word.empty() && !isReserved(word);
    std::string instruction;
    if (!hasLabel) {
        label = "label";
        instruction = line;
    } else {
        label = word;
        const std::size_t blank = line.find(' ');
        instruction = blank == std::string::npos ? std::string() : line.substr(blank + 1);
    }
    const std::size_t start = instruction.find_first_not_of(" \t\v\f");
    instruction.erase(0, start == std::string::npos ? instruction.size() : start);
    if (label.size() > kMaxText) {
        label.resize(kMaxText);
    }
    if (instruction.size() > kMaxText) {
        instruction.resize(kMaxText);
    }
    text = std::move(instruction);
    return label;
}

} // namespace tessaro
