#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <string_view>

namespace tessaro {

/// The bytes of an array, for the Qt-free code that reads them.
inline std::string_view byteView(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

/// Outcome of reading or writing a text file: on failure `error` holds the platform's reason.
struct TextFileResult {
    bool ok = false;
    QString text;  ///< the decoded text (reading only)
    QString error; ///< why it failed, as the platform words it
};

/// Reading and writing the text files the editor and the listing show. Files are decoded as
/// UTF-8, falling back to Windows-1252 when they are not valid UTF-8 (sources written on older
/// systems), and written as UTF-8 with a line feed after every line. Line endings become line
/// feeds in the text, and one final line break does not make an extra empty line, so writing a
/// text and reading it back gives the same text.
class TextFile {
public:
    /// Decodes raw file bytes as described above.
    static QString decode(const QByteArray& bytes);
    /// Reads and decodes the file at path.
    static TextFileResult read(const QString& path);
    /// Writes text as lines (each followed by a line feed), UTF-8 encoded; an empty text gives
    /// an empty file.
    static TextFileResult write(const QString& path, const QString& text);
    /// Puts bytes in place of the file at path all at once: the old file stays whole unless
    /// every byte was written (on failure `error` says why).
    static TextFileResult writeBytes(const QString& path, const QByteArray& bytes);
    /// The bytes write() stores for text.
    static QByteArray encode(const QString& text);
    /// Whether bytes are well-formed UTF-8.
    static bool isUtf8(const QByteArray& bytes);
};

} // namespace tessaro
