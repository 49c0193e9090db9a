#pragma once

#include <QByteArray>
#include <vector>

namespace tessaro {

/// A span of characters in an editor.
struct CharSpan {
    int start = 0;
    int length = 0;
};

/// Converts the byte offsets that the assemblers record in a file into character positions of
/// the same file as the editor shows it (decoded by TextFile: multi-byte UTF-8 characters,
/// Windows-1252 fallback, CR LF and lone CR as one line break, a byte-order mark dropped).
/// An offset inside a multi-byte character maps to that character; offsets past the end map to
/// the end of the text.
class SourceOffsets {
public:
    SourceOffsets() = default;
    /// Builds the map for the raw bytes of a file.
    explicit SourceOffsets(const QByteArray& bytes);

    /// Character position of a byte offset (negative offsets give 0).
    int charPosition(long long byteOffset) const;
    /// Character span of the byte span [byteStart, byteStart + byteLength).
    CharSpan span(long long byteStart, long long byteLength) const;
    /// Length of the decoded text in characters (UTF-16 units, as the editor counts).
    int textLength() const { return m_textLength; }

private:
    std::vector<int> m_positions; // one entry per byte offset, plus the end
    int m_textLength = 0;
};

} // namespace tessaro
