#include "ui/editor/ijvm_highlighter.h"

#include "ijvm/instruction_set.h"

#include <QColor>
#include <QFont>
#include <QRegularExpression>
#include <QTextDocument>

#include <algorithm>
#include <string>

namespace tessaro {

namespace {

// Block states: whether a line starts inside a .var or .constant section, whose lines declare
// names (a variable may well be called "in" or "out") rather than hold instructions.
constexpr int kInCode = 0;
constexpr int kInDeclarations = 1;

const QColor kErrorUnderline(220, 0, 0);

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

IjvmHighlighter::IjvmHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(document),
      m_instructions(std::shared_ptr<void>(), &builtinInstructionSet()) {
    connect(document, &QTextDocument::contentsChange, this, &IjvmHighlighter::onContentsChange);
}

QTextCharFormat IjvmHighlighter::format(Kind kind) {
    // Dark enough to read on the editor's #F2F2F2, each far from its #800080 plain text and
    // from the red of the error marks.
    switch (kind) {
    case Kind::Directive:
        return makeFormat(QColor(0x1A, 0x4D, 0x99), true);
    case Kind::Mnemonic:
        return makeFormat(QColor(0x00, 0x69, 0x5C), true);
    case Kind::Label:
        return makeFormat(QColor(0x8B, 0x45, 0x13), true);
    case Kind::Number:
        return makeFormat(QColor(0x5E, 0x6B, 0x00), false);
    case Kind::Comment:
        return makeFormat(QColor(0x5C, 0x66, 0x70), false, true);
    }
    return {};
}

void IjvmHighlighter::setInstructionSet(std::shared_ptr<const InstructionSet> instructions) {
    m_instructions = std::move(instructions);
    rehighlight();
}

// The instruction set as the assembler knows it, so that the editor colours what it accepts.
// WIDE is a prefix there rather than an instruction of its own.
bool IjvmHighlighter::isMnemonic(const QString& word) const {
    const std::string name = word.toUpper().toStdString();
    return m_instructions->isPrefixWord(name) ||
           m_instructions->find(std::string_view(name)) != nullptr;
}

void IjvmHighlighter::setErrorMarks(const QList<ErrorMark>& marks) {
    m_marks.clear();
    for (ErrorMark mark : marks) {
        // A mark of no length still covers one character, so that it can be seen.
        mark.length = std::max(mark.length, 1);
        m_marks.append(mark);
    }
    m_markedText = document()->toPlainText();
    rehighlight();
}

void IjvmHighlighter::clearErrorMarks() {
    if (m_marks.isEmpty()) {
        return;
    }
    m_marks.clear();
    m_markedText.clear();
    rehighlight();
}

QString IjvmHighlighter::errorMessageAt(int position) const {
    for (const ErrorMark& mark : m_marks) {
        if (position >= mark.start && position < mark.start + mark.length) {
            return mark.message;
        }
    }
    return {};
}

void IjvmHighlighter::onContentsChange() {
    // Formatting changes reach here too; only a change of the text makes the marks stale.
    if (!m_marks.isEmpty() && document()->toPlainText() != m_markedText) {
        clearErrorMarks();
    }
}

void IjvmHighlighter::highlightBlock(const QString& text) {
    highlightSyntax(text);
    underlineMarks(currentBlock().position(), static_cast<int>(text.size()));
}

void IjvmHighlighter::highlightSyntax(const QString& text) {
    static const QRegularExpression directive(
        QStringLiteral(R"((?<![\w.-])\.(end-)?(main|method|constant|var)(?![\w-]))"));
    static const QRegularExpression number(
        QStringLiteral(R"((?<![\w.])-?(0[xX][0-9A-Fa-f]+|[0-9]+)(?![\w.]))"));
    static const QRegularExpression label(QStringLiteral(R"(^\s*([A-Za-z_]\w*:))"));
    static const QRegularExpression word(QStringLiteral(R"(\s*([A-Za-z]+)(?![\w]))"));

    const qsizetype commentAt = text.indexOf(QStringLiteral("//"));
    const QString code = commentAt >= 0 ? text.left(commentAt) : text;

    int state = previousBlockState() == kInDeclarations ? kInDeclarations : kInCode;
    bool hasDirective = false;
    for (auto it = directive.globalMatch(code); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        setFormat(static_cast<int>(match.capturedStart()), static_cast<int>(match.capturedLength()),
                  format(Kind::Directive));
        hasDirective = true;
        const QString section = match.captured(2);
        if (section == QLatin1String("var") || section == QLatin1String("constant")) {
            state = match.capturedLength(1) > 0 ? kInCode : kInDeclarations;
        }
    }
    setCurrentBlockState(state);

    for (auto it = number.globalMatch(code); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        setFormat(static_cast<int>(match.capturedStart()), static_cast<int>(match.capturedLength()),
                  format(Kind::Number));
    }

    // An instruction line: an optional label, then the mnemonic (two words for WIDE ...).
    if (!hasDirective && previousBlockState() != kInDeclarations) {
        qsizetype offset = 0;
        const QRegularExpressionMatch defined = label.match(code);
        if (defined.hasMatch()) {
            setFormat(static_cast<int>(defined.capturedStart(1)),
                      static_cast<int>(defined.capturedLength(1)), format(Kind::Label));
            offset = defined.capturedEnd(1);
        }
        for (int words = 0; words < 2; ++words) {
            const QRegularExpressionMatch next =
                word.match(code, offset, QRegularExpression::NormalMatch,
                           QRegularExpression::AnchorAtOffsetMatchOption);
            if (!next.hasMatch() || !isMnemonic(next.captured(1))) {
                break;
            }
            setFormat(static_cast<int>(next.capturedStart(1)),
                      static_cast<int>(next.capturedLength(1)), format(Kind::Mnemonic));
            if (next.captured(1).compare(QLatin1String("WIDE"), Qt::CaseInsensitive) != 0) {
                break;
            }
            offset = next.capturedEnd(1);
        }
    }

    if (commentAt >= 0) {
        setFormat(static_cast<int>(commentAt), static_cast<int>(text.size() - commentAt),
                  format(Kind::Comment));
    }
}

void IjvmHighlighter::underlineMarks(int blockStart, int blockLength) {
    for (const ErrorMark& mark : m_marks) {
        const int from = std::max(mark.start, blockStart);
        const int to = std::min(mark.start + mark.length, blockStart + blockLength);
        for (int position = from; position < to; ++position) {
            // Kept on top of the syntax colour, one character at a time.
            QTextCharFormat underlined = QSyntaxHighlighter::format(position - blockStart);
            underlined.setUnderlineStyle(QTextCharFormat::WaveUnderline);
            underlined.setUnderlineColor(kErrorUnderline);
            setFormat(position - blockStart, 1, underlined);
        }
    }
}

} // namespace tessaro
