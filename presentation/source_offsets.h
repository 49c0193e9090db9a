#pragma once

#include <string_view>
#include <vector>

namespace tessaro {

/// A span of characters in an editor.
struct CharSpan {
    int start = 0;
    int length = 0;
};

/// Converts the byte offsets that the assemblers record in a source into character positions
/// of the same source as an editor shows it: UTF-16 units, as both the window's editor and the
/// page's text area count them (multi-byte UTF-8 characters, a Windows-1252 fallback for bytes
/// that are not UTF-8, CR LF and lone CR as one line break, a byte-order mark dropped). An
/// offset inside a multi-byte character maps to that character; offsets past the end map to
/// the end of the text.
class SourceOffsets {
public:
    /// Whether the editor's text keeps the source's final line break (the window's drops it).
    enum class FinalLineBreak { Dropped, Kept };

    SourceOffsets() = default;
    /// Builds the map for the raw bytes of a source.
    explicit SourceOffsets(std::string_view bytes,
                           FinalLineBreak finalBreak = FinalLineBreak::Dropped);

    /// Character position of a byte offset (negative offsets give 0).
    int charPosition(long long byteOffset) const;
    /// Character span of the byte span [byteStart, byteStart + byteLength).
    CharSpan span(long long byteStart, long long byteLength) const;
    /// The 1-based line of a byte offset.
    int line(long long byteOffset) const;
    /// Length of the decoded text in characters.
    int textLength() const { return m_textLength; }

private:
    std::vector<int> m_positions;  // one entry per byte offset, plus the end
    std::vector<int> m_lineStarts; // the byte offset where each line after the first begins
    int m_textLength = 0;
};

/// Whether bytes are well-formed UTF-8 (no overlong forms, surrogates or code points past
/// U+10FFFF).
bool isUtf8(std::string_view bytes);

} // namespace tessaro
