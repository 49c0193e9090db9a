#include "core/reader/file_reader.h"

#include "core/fatal.h"
#include "core/language.h"
#include "core/number_text.h"
#include "core/reader/whole_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tessaro {

namespace {

constexpr int kEnd = -1;

bool isDelimiter(int c, const char* delimiters) {
    return c == 0 || (delimiters != nullptr && std::strchr(delimiters, c) != nullptr);
}

void removeLineBreaks(std::string& text) {
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
}

} // namespace

FileReader::FileReader(const std::string& name)
    : fileName(cutUtf8(name, FileReader::kMaxFileName)) {}

bool FileReader::open() {
    if (!tryOpen()) {
        fatal(localized(MessageId::FileReaderCannotOpen));
    }
    return true;
}

bool FileReader::tryOpen() {
    close();
    fileName = cutUtf8(fileName, FileReader::kMaxFileName);
    // Read once, from the start, so that a pipe works; a source past the limit is refused
    // rather than filling memory.
    const WholeFile file = readWholeFile(fileName);
    if (!file.ok()) {
        return false;
    }
    m_data.assign(file.text.begin(), file.text.end());
    m_pos = 0;
    m_eof = false;
    m_lastDelimiter = kEnd;
    tokenStart = 0;
    return true;
}

void FileReader::openText(const std::string& text) {
    close();
    m_data.assign(text.begin(), text.end());
    m_lastDelimiter = kEnd;
    tokenStart = 0;
}

void FileReader::openShared(std::string_view shared) {
    close();
    m_shared = shared;
    m_isShared = true;
    m_lastDelimiter = kEnd;
    tokenStart = 0;
}

void FileReader::close() {
    m_data.clear();
    m_data.shrink_to_fit();
    m_shared = std::string_view();
    m_isShared = false;
    m_pos = 0;
    m_eof = false;
}

int FileReader::get() {
    // 0xFF stops reading like the end itself, and stays where it is so that it keeps doing so.
    const std::string_view bytes = text();
    if (m_pos >= bytes.size() || static_cast<unsigned char>(bytes[m_pos]) == 0xFF) {
        m_eof = true;
        return kEnd;
    }
    return static_cast<unsigned char>(bytes[m_pos++]);
}

bool FileReader::readUntil(int max, const char* delimiters) {
    tokenStart = tell();
    token.clear();
    int stored = 0;
    int c = get();
    while (stored < max && c != kEnd && !isDelimiter(c, delimiters)) {
        if (token.size() < kMaxToken) {
            token.push_back(static_cast<char>(c));
        }
        ++stored;
        c = get();
    }
    m_lastDelimiter = (c != kEnd && isDelimiter(c, delimiters)) ? c : kEnd;
    if (c == kEnd) {
        return false;
    }
    removeLineBreaks(token);
    return true;
}

void FileReader::skipPast(int max, const char* sequence) {
    tokenStart = tell();
    const std::size_t length = sequence != nullptr ? std::strlen(sequence) : 0;
    if (length == 0) {
        return;
    }
    int count = 0;
    std::size_t matched = 0;
    int c = get();
    while (count < max && c != kEnd) {
        if (c == static_cast<unsigned char>(sequence[matched])) {
            if (++matched == length) {
                return;
            }
        } else {
            // Start again one byte after the start of the broken partial match.
            m_pos -= matched;
            count -= static_cast<int>(matched);
            matched = 0;
        }
        c = get();
        ++count;
    }
}

bool FileReader::nextToken() {
    // A loop rather than recursion: a file of thousands of comment lines must not exhaust the
    // stack.
    for (;;) {
        tokenStart = tell();
        bool read = false;
        do {
            read = readUntil(static_cast<int>(kMaxToken), ", \r\t\n");
        } while (read && token.empty());
        if (!read) {
            return false;
        }
        if (token.starts_with("//")) {
            // When the line feed itself ended the comment token, the comment is over already;
            // reading on to the next line feed would swallow the next line.
            if (m_lastDelimiter != '\n') {
                readUntil(static_cast<int>(kMaxToken), "\n");
            }
            continue;
        }
        if (token.starts_with("/*")) {
            // Search after the opener, so that "/*/" does not close itself; the window still
            // ends 300 bytes after the "/*".
            seek(tokenStart + 2);
            skipPast(298, "*/");
            continue;
        }
        return true;
    }
}

int FileReader::tell() const {
    return static_cast<int>(m_pos);
}

void FileReader::seek(int position) {
    if (position < 0) {
        position = 0;
    }
    m_pos = std::min(static_cast<std::size_t>(position), text().size());
    m_eof = false;
}

bool FileReader::eof() const {
    return m_eof;
}

void FileReader::clearEof() {
    m_eof = false;
}

} // namespace tessaro
