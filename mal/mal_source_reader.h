#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessaro {

/// Reads a MAL source text line by line: each line is normalised (upper case, white space made
/// blank, "/" comments cut, ";" appended) and split into a label and an instruction text.
class MalSourceReader {
public:
    static constexpr int kMaxLine = 254; ///< longest line that can be read
    static constexpr int kMaxText = 99;  ///< label and text are cut here

    /// A reader at the start of source, which must outlive it.
    explicit MalSourceReader(std::string_view source) : m_source(source) {}

    std::int32_t lineStart = 0; ///< offset at which the last getLine began reading
    std::string label;          ///< label of the last line, or "label" when it has none
    std::string text;           ///< instruction text of the last line

    /// 1-based number of the physical line last read (blank and comment lines count).
    int lineNumber = 0;
    /// Set when reading stopped at a line longer than kMaxLine; tooLongLine is its number.
    bool lineTooLong = false;
    int tooLongLine = 0;

    /// Reads the next line that holds an instruction: its label, or nothing at the end of the
    /// text (or at a line too long to read).
    std::optional<std::string> getLine();

    /// Bytes of the source read so far.
    std::int32_t offset() const;

private:
    std::string_view m_source;
    std::size_t m_offset = 0;
    bool m_failed = false;

    bool readRawLine(std::string& line);
};

} // namespace tessaro
