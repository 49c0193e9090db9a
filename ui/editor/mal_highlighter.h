#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class QTextDocument;

namespace tessaro {

/// Colours a MAL microprogram as it is typed: the label in the first column, the registers,
/// the keywords (rd, wr, fetch, goto, if, else and the ALU words AND, OR, NOT), numbers and
/// the comment after "/".
class MalHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    /// What a stretch of a MAL line is.
    enum class Kind { Label, Register, Keyword, Number, Comment };

    /// Highlights document from now on.
    explicit MalHighlighter(QTextDocument* document);

    /// The format in which a kind of text is shown.
    static QTextCharFormat format(Kind kind);

protected:
    void highlightBlock(const QString& text) override;
};

} // namespace tessaro
