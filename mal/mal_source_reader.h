#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace tessaro {

/// Reads a MAL source line by line: each line is normalised (upper case, white space made
/// blank, "/" comments cut, ";" appended) and split into a label and an instruction text.
/// The translator also uses one of these just for the stream of the file it writes.
class MalSourceReader {
public:
    static constexpr int kMaxLine = 254; ///< longest line that can be read
    static constexpr int kMaxText = 99;  ///< label and text are cut here

    std::FILE* stream = nullptr; ///< the open file
    std::int32_t lineStart = 0;  ///< offset at which the last getLine began reading
    std::string name;            ///< file path, set before opening
    std::string label;           ///< label of the last line, or "label" when it has none
    std::string text;            ///< instruction text of the last line

    /// 1-based number of the physical line last read (blank and comment lines count).
    int lineNumber = 0;
    /// Set when reading stopped at a line longer than kMaxLine; tooLongLine is its number.
    bool lineTooLong = false;
    int tooLongLine = 0;
    /// Set when reading stopped at a read error (a directory, a device that failed).
    bool readError = false;

    MalSourceReader() = default;
    MalSourceReader(const MalSourceReader&) = delete;
    MalSourceReader& operator=(const MalSourceReader&) = delete;
    ~MalSourceReader();

    /// Opens name ("rb" reads, "wb" creates or empties); a failure ends the process with the
    /// fixed line.
    bool open(const char* mode = "rb");
    /// As open, but a failure only returns false.
    bool tryOpen(const char* mode = "rb");
    /// Reads the next line that holds an instruction: its label, or nothing at the end of the
    /// file (or at a line too long to read).
    std::optional<std::string> getLine();
    /// Closes the file; false when anything written to it could not be (a full disk).
    bool close();

    /// Current byte offset of the stream.
    std::int32_t tell() const;
    /// Back to offset 0 with the end-of-file state and the line count cleared.
    void rewind();

private:
    bool m_failed = false;

    /// Back to the state of a file not read yet (line counters and failure flags).
    void resetReadingState();

    bool readRawLine(std::string& line);
};

} // namespace tessaro
