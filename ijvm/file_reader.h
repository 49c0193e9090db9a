#pragma once

#include <cstdint>
#include <string>

namespace tessaro {

/// Reads a file byte by byte and cuts it into tokens, skipping comments and remembering where
/// each token began so that errors can point at it. A byte 0xFF counts as the end of the file.
class FileReader {
public:
    std::string fileName;   ///< at most 199 bytes
    int tokenStart = 0;     ///< byte offset at which the last read began
    std::string token;      ///< the current token, at most 100 bytes

    FileReader() = default;
    explicit FileReader(const std::string& name);

    /// Opens fileName; a file that cannot be opened ends the process with the fixed line.
    bool open();
    /// Opens fileName; false (and nothing else) when it cannot be opened.
    bool tryOpen();
    void close();
    bool isOpen() const;

    /// Reads raw bytes into token until a delimiter (NUL always counts), max bytes or the end;
    /// true when it stopped before the end of the file.
    bool readUntil(int max, const char* delimiters);
    /// Reads on until sequence has been read, at most max bytes.
    void skipPast(int max, const char* sequence);
    /// Next token with comments skipped; false at the end of the file (token may still hold
    /// the text of a last token that no delimiter ended).
    bool nextToken();

    int tell() const;           ///< current byte offset
    void seek(int position);    ///< moves to a byte offset (clamped to the file)
    bool eof() const;           ///< the end-of-file state
    void clearEof();            ///< clears the end-of-file state

    // (implementation members follow in the source's own section)
};

} // namespace tessaro
