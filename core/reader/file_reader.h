#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaro {

/// Reads a file byte by byte and cuts it into tokens, skipping comments and remembering where
/// each token began so that errors can point at it. A byte 0xFF counts as the end of the file.
///
/// The whole file is read into memory when it is opened, so positioning is cheap and exact.
class FileReader {
public:
    std::string fileName; ///< at most 199 bytes
    int tokenStart = 0;   ///< byte offset at which the last read began
    std::string token;    ///< the current token, at most 100 bytes

    static constexpr std::size_t kMaxFileName = 199;
    static constexpr std::size_t kMaxToken = 100;

    FileReader() = default;
    explicit FileReader(const std::string& name);

    /// Opens fileName; a file that cannot be opened ends the process with the fixed line.
    bool open();
    /// Opens fileName; false (and nothing else) when it cannot be opened.
    bool tryOpen();
    /// Reads text instead of a file (fileName is left as it is).
    void openText(const std::string& text);
    /// Reads text without copying it: the text must stay unchanged until close.
    void openShared(std::string_view shared);
    void close();

    /// Reads raw bytes until a delimiter (NUL always counts), max bytes or the end; the byte
    /// that stopped it is consumed. token keeps the first 100 bytes read. True when it stopped
    /// before the end of the file (carriage returns and line feeds are then removed from token).
    bool readUntil(int max, const char* delimiters);
    /// Reads on until sequence has been read, at most max bytes.
    void skipPast(int max, const char* sequence);
    /// Next token with comments skipped; false at the end of the file (token may still hold
    /// the text of a last token that no delimiter ended).
    bool nextToken();

    int tell() const;        ///< current byte offset
    void seek(int position); ///< moves to a byte offset (clamped to the file); clears eof
    bool eof() const;        ///< the end-of-file state
    void clearEof();         ///< clears the end-of-file state

    /// The delimiter byte consumed by the last readUntil (also by the one inside nextToken),
    /// or -1 when it stopped at the end of the file or after max bytes without a delimiter.
    int lastDelimiter() const { return m_lastDelimiter; }

private:
    int get();

    std::string_view text() const { return m_isShared ? m_shared : std::string_view(m_data); }

    std::string m_data;        // the bytes read, unless they are shared
    std::string_view m_shared; // the text read when it is shared
    bool m_isShared = false;
    std::size_t m_pos = 0;
    bool m_eof = false;
    int m_lastDelimiter = -1;
};

} // namespace tessaro
