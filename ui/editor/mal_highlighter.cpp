#include "ui/editor/mal_highlighter.h"

#include <QColor>
#include <QFont>
#include <QRegularExpression>
#include <QTextDocument>

namespace tessaro {

namespace {

QTextCharFormat makeFormat(const QColor& color, bool bold, bool italic = false) {
    QTextCharFormat format;
    format.setForeground(color);
    if (bold) {
        format.setFontWeight(QFont::Bold);
    }
    if (italic) {
        format.setFontItalic(true);
    }
    return format;
}

} // namespace

MalHighlighter::MalHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

QTextCharFormat MalHighlighter::format(Kind kind) {
    switch (kind) {
    case Kind::Label:
        return makeFormat(QColor(0x8B, 0x45, 0x13), true);
    case Kind::Register:
        return makeFormat(QColor(0x1A, 0x4D, 0x99), false);
    case Kind::Keyword:
        return makeFormat(QColor(0x00, 0x69, 0x5C), true);
    case Kind::Number:
        return makeFormat(QColor(0x5E, 0x6B, 0x00), false);
    case Kind::Comment:
        return makeFormat(QColor(0x70, 0x70, 0x70), false, true);
    }
    return {};
}

void MalHighlighter::highlightBlock(const QString& text) {
    // Everything after the first "/" is a comment, so the words are looked for before it.
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    const QString code = slash < 0 ? text : text.left(slash);
    if (slash >= 0) {
        setFormat(static_cast<int>(slash), static_cast<int>(text.size() - slash),
                  format(Kind::Comment));
    }
    // The label is whatever starts in the first column.
    static const QRegularExpression label(QStringLiteral("^[^\\s/]+"));
    static const QRegularExpression words(
        QStringLiteral("\\b[A-Za-z_][A-Za-z0-9_]*\\b|\\b\\d+\\b"));
    static const QRegularExpression registers(
        QStringLiteral("^(MAR|MDR|PC|MBR|MBRU|SP|LV|CPP|TOS|OPC|H|N|Z)$"));
    static const QRegularExpression keywords(
        QStringLiteral("^(rd|wr|fetch|goto|if|else|AND|OR|NOT|INV)$"),
        QRegularExpression::CaseInsensitiveOption);
    int from = 0;
    if (const QRegularExpressionMatch m = label.match(code); m.hasMatch()) {
        setFormat(0, static_cast<int>(m.capturedLength()), format(Kind::Label));
        from = static_cast<int>(m.capturedLength());
    }
    for (auto it = words.globalMatch(code, from); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString word = m.captured();
        const int start = static_cast<int>(m.capturedStart());
        const int length = static_cast<int>(m.capturedLength());
        if (word.front().isDigit()) {
            setFormat(start, length, format(Kind::Number));
        } else if (registers.match(word).hasMatch()) {
            setFormat(start, length, format(Kind::Register));
        } else if (keywords.match(word).hasMatch()) {
            setFormat(start, length, format(Kind::Keyword));
        } else {
            // A jump target: the same colour as where it is defined.
            setFormat(start, length, format(Kind::Label));
        }
    }
}

} // namespace tessaro
