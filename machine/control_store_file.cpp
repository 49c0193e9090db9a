#include "machine/control_store_file.h"

#include "core/number_text.h"
#include "core/reader/file_reader.h"
#include "machine/control_word.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tessaro {

namespace {

constexpr std::size_t kMaxComment = 69;
constexpr std::int64_t kAddressCount = control_word::kStoreSize;
constexpr std::int32_t kNextAddrMask = control_word::kAddressMask;
constexpr std::int32_t kWordMask = control_word::kWordMask;

// Decimal value of a word as the C library reads it on a 32-bit long: optional sign, the
// leading digits, saturated at the range ends. Not a number reads as 0.
std::int32_t wordValue(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    // Magnitudes stop growing past 2^31, which is INT32_MIN's and more than INT32_MAX.
    constexpr std::int64_t kMagnitudeCap = std::int64_t{INT32_MAX} + 1;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min(value * 10 + (text[i] - '0'), kMagnitudeCap);
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(negative ? -value : value, INT32_MAX));
}

// The rest of the current line (the line feed consumed), keeping the first kMaxComment bytes.
std::string readComment(FileReader& reader) {
    std::string comment;
    for (;;) {
        const bool more = reader.readUntil(INT_MAX, "\n");
        for (char c : reader.token) {
            if (c != '\r' && c != '\n') {
                comment.push_back(c);
            }
        }
        // A NUL byte also stops readUntil; the line goes on after it.
        if (!more || reader.lastDelimiter() != 0) {
            break;
        }
        comment.push_back(' ');
    }
    return cutUtf8(comment, kMaxComment);
}

// A comment as one line of the file holds it.
std::string oneLine(std::string comment) {
    for (char& c : comment) {
        if (c == '\n' || c == '\r' || c == '\0') {
            c = ' ';
        }
    }
    return comment;
}

std::string recordText(int address, int nextAddr, std::int32_t word, const std::string& comment) {
    return std::to_string(address) + ' ' + std::to_string(nextAddr) + ' ' + std::to_string(word) +
           '\t' + oneLine(comment) + '\n';
}

void addRecord(const ControlStoreRecord& record, Memory<std::uint32_t, Mic>& store) {
    if (record.address < 0 || record.address >= kAddressCount) {
        return;
    }
    const auto key = static_cast<std::uint32_t>(record.address);
    if (store.contains(key)) {
        return;
    }
    Elem<std::uint32_t, Mic> entry;
    entry.key = key;
    entry.value.NextAddr = record.nextAddr & kNextAddrMask;
    entry.value.word = record.word & kWordMask;
    entry.value.text = cutUtf8(oneLine(record.comment), kMaxComment);
    store.insert(entry);
}

} // namespace

void writeControlStoreRecord(std::FILE* out, int address, int nextAddr, std::int32_t word,
                             const std::string& comment) {
    const std::string text = recordText(address, nextAddr, word, comment);
    std::fwrite(text.data(), 1, text.size(), out);
}

std::string controlStoreText(const ControlStoreRecords& records) {
    std::string text;
    for (const ControlStoreRecord& record : records) {
        text += recordText(record.address, record.nextAddr, record.word, record.comment);
    }
    return text;
}

bool writeControlStoreFile(const std::string& path, const ControlStoreRecords& records) {
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
        std::remove(path.c_str());
    }
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    const std::string text = controlStoreText(records);
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    // The bytes are buffered: a full disk shows only when they are flushed and closed.
    const bool flushed = std::fflush(out) == 0 && std::ferror(out) == 0;
    const bool closed = std::fclose(out) == 0;
    return written && flushed && closed;
}

void addControlStoreRecords(const ControlStoreRecords& records, Memory<std::uint32_t, Mic>& store) {
    for (const ControlStoreRecord& record : records) {
        addRecord(record, store);
    }
}

void readControlStoreFile(const std::string& path, Memory<std::uint32_t, Mic>& store) {
    FileReader reader(path);
    reader.open();
    while (reader.nextToken()) {
        const std::int32_t address = wordValue(reader.token);
        // The two numbers after the address, on the address's line. A file that ends inside a
        // record still gives the text of its last word; a record short of its control word is
        // dropped.
        std::int32_t numbers[2] = {0, 0};
        int got = 0;
        bool lineOver = false;
        while (got < 2) {
            // A line that ends before its control word is a broken record: drop it rather than
            // take the next record's numbers for its own.
            if (reader.lastDelimiter() == '\n' || reader.lastDelimiter() == '\r') {
                lineOver = true;
                break;
            }
            const bool read = reader.nextToken();
            if (!read && (reader.token.empty() || reader.token.starts_with("//") ||
                          reader.token.starts_with("/*"))) {
                break;
            }
            numbers[got++] = wordValue(reader.token);
            if (!read) {
                break;
            }
        }
        if (lineOver) {
            continue;
        }
        if (got < 2) {
            break;
        }
        ControlStoreRecord record{address, numbers[0], numbers[1], {}};
        // When the line feed itself ended the control word there is no comment, and the next
        // line is the next record.
        if (!reader.eof() && reader.lastDelimiter() != '\n') {
            record.comment = readComment(reader);
        }
        addRecord(record, store);
    }
    reader.close();
}

} // namespace tessaro
