#pragma once

#include <QList>
#include <QString>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <memory>

class QTextDocument;

namespace tessaro {

class InstructionSet;

/// Colours an IJVM source as it is typed: section directives (.main, .method, .var, ...),
/// instruction mnemonics, label definitions ("loop:"), numbers (decimal or 0x hex) and
/// "//" comments, in colours that read on the program editor's light grey with purple text.
///
/// It also underlines error spans with a wavy red line, for instance the assembler's errors
/// after a compile. The marks belong to the text they were made for: the first edit of the
/// document removes them all.
class IjvmHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    /// What a stretch of source is.
    enum class Kind { Directive, Mnemonic, Label, Number, Comment };

    /// An error over length characters from document position start.
    struct ErrorMark {
        int start = 0;
        int length = 0;
        QString message;
    };

    explicit IjvmHighlighter(QTextDocument* document);

    /// The format in which a kind of source is shown.
    static QTextCharFormat format(Kind kind);

    /// Colours the mnemonics of instructions from now on (the built-in set until then).
    void setInstructionSet(std::shared_ptr<const InstructionSet> instructions);

    /// Underlines the spans of the marks, replacing any earlier ones.
    void setErrorMarks(const QList<ErrorMark>& marks);
    /// Removes every mark.
    void clearErrorMarks();
    /// The current marks.
    const QList<ErrorMark>& errorMarks() const { return m_marks; }
    /// The message of the first mark over a document position (for a tooltip); empty if none.
    QString errorMessageAt(int position) const;

protected:
    void highlightBlock(const QString& text) override;

private:
    void highlightSyntax(const QString& text);
    bool isMnemonic(const QString& word) const;
    void underlineMarks(int blockStart, int blockLength);
    void onContentsChange();

    std::shared_ptr<const InstructionSet> m_instructions;
    QList<ErrorMark> m_marks;
    QString m_markedText; ///< the document's text when the marks were set
};

} // namespace tessaro
