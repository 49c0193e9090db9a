#include "ui/app/text_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace tessaro {

namespace {

// The 32 code points Windows-1252 puts at 0x80-0x9F; the rest of the page equals Latin-1.
// Undefined positions keep their C1 control value, as the platform's own decoders do.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeCp1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(b >= 0x80 && b < 0xA0 ? QChar(kCp1252High[b - 0x80]) : QChar(b));
    }
    return text;
}

// CR LF and a lone CR become LF, so that the editor never holds a carriage return.
QString normaliseLineEnds(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

bool TextFile::isUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

QString TextFile::decode(const QByteArray& bytes) {
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF")) {
        body.remove(0, 3);
    }
    QString text = isUtf8(body) ? QString::fromUtf8(body) : decodeCp1252(body);
    text = normaliseLineEnds(text);
    if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    return text;
}

QByteArray TextFile::encode(const QString& text) {
    if (text.isEmpty()) {
        return {};
    }
    QByteArray bytes = text.toUtf8();
    bytes.append('\n');
    return bytes;
}

TextFileResult TextFile::read(const QString& path) {
    TextFileResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    result.text = decode(bytes);
    result.ok = true;
    return result;
}

TextFileResult TextFile::write(const QString& path, const QString& text) {
    return writeBytes(path, encode(text));
}

TextFileResult TextFile::writeBytes(const QString& path, const QByteArray& bytes) {
    TextFileResult result;
    // Written beside the target and renamed over it, so a failed write (full disk) never
    // leaves a half-written file in place of the good one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = file.errorString();
        return result;
    }
    // write() only fills a buffer, and commit() has been seen to succeed after the flush
    // failed: the flush is checked here, and a failed one abandons the new file.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        result.error = file.errorString();
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace tessaro
