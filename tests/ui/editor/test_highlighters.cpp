// The editors' highlighting: which stretches of a line get which kind's format, in a program
// and in a microprogram; and the error marks with their messages, gone at the first edit.

#include "ui/ijvm_highlighter.h"
#include "ui/mal_highlighter.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include <memory>

using namespace tessaro;
using IjvmKind = IjvmHighlighter::Kind;
using MalKind = MalHighlighter::Kind;

namespace {

// The format the highlighter gave the character at a document position (empty if none).
QTextCharFormat formatAt(const QTextDocument& document, int position) {
    const QTextBlock block = document.findBlock(position);
    const int offset = position - block.position();
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        if (offset >= range.start && offset < range.start + range.length) {
            return range.format;
        }
    }
    return {};
}

using Kinds = QList<std::pair<char, QTextCharFormat>>;

// For each character, the letter of the kind whose colour it shows, '.' for plain text.
QString kindsOf(const QTextDocument& document, int from, int length, const Kinds& kinds) {
    QString shown;
    for (int i = from; i < from + length; ++i) {
        const QTextCharFormat format = formatAt(document, i);
        char mark = '.';
        for (const auto& [letter, kind] : kinds) {
            if (format.hasProperty(QTextFormat::ForegroundBrush) &&
                format.foreground() == kind.foreground()) {
                mark = letter;
            }
        }
        shown += QLatin1Char(mark);
    }
    return shown;
}

bool waved(const QTextDocument& document, int position) {
    return formatAt(document, position).underlineStyle() == QTextCharFormat::WaveUnderline;
}

// The program editor's kind of document: a plain-text editor lays it out, and only a laid-out
// document reports its changes.
struct Editor {
    QPlainTextEdit widget;
    QTextDocument& document = *widget.document();
    IjvmHighlighter highlighter{&document};
};

} // namespace

class TestHighlighters : public QObject {
    Q_OBJECT
private slots:
    // Each character of the line under the kind it shows: D directive, M mnemonic, L label,
    // N number, C comment; in a microprogram L label, R register, K keyword, N number,
    // C comment; '.' plain.
    void eachStretchGetsItsKind_data() {
        QTest::addColumn<bool>("mal");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("kinds");
        const struct {
            const char* name;
            bool mal;
            const char* line;
            const char* kinds;
        } rows[] = {
            {"directives", false, ".method add(a, b)", "DDDDDDD.........."},
            {"indented directive", false, "  .var", "..DDDD"},
            {"not a directive", false, ".variable", "........."},
            {"label, mnemonic, operand", false, "loop: ILOAD in", "LLLLL.MMMMM..."},
            {"lower case, wide", false, "wide iload x2", "MMMM.MMMMM..."},
            {"not an instruction", false, "LOADX n", "......."},
            {"numbers", false, "BIPUSH -5 0x7FfF", "MMMMMM.NN.NNNNNN"},
            {"comment", false, "OUT // BIPUSH 12 .main x:", "MMM.CCCCCCCCCCCCCCCCCCCCC"},
            {"declared variables", false, ".var\nin\n.end-var\nIN", "DDDD....DDDDDDDD.MM"},
            {"microinstruction", true, "iadd3    MDR = H + 1; wr; goto Main1 / 12",
             /*                     */ "LLLLL....RRR...R...N..KK..KKKK.LLLLL.CCCC"},
        };
        for (const auto& row : rows) {
            QTest::newRow(row.name)
                << row.mal << QString::fromLatin1(row.line) << QString::fromLatin1(row.kinds);
        }
    }
    void eachStretchGetsItsKind() {
        QFETCH(bool, mal);
        QFETCH(QString, line);
        QFETCH(QString, kinds);
        QPlainTextEdit editor;
        QTextDocument& document = *editor.document();
        std::unique_ptr<QSyntaxHighlighter> highlighter;
        Kinds letters;
        if (mal) {
            highlighter = std::make_unique<MalHighlighter>(&document);
            letters = {{'L', MalHighlighter::format(MalKind::Label)},
                       {'R', MalHighlighter::format(MalKind::Register)},
                       {'K', MalHighlighter::format(MalKind::Keyword)},
                       {'N', MalHighlighter::format(MalKind::Number)},
                       {'C', MalHighlighter::format(MalKind::Comment)}};
        } else {
            highlighter = std::make_unique<IjvmHighlighter>(&document);
            letters = {{'D', IjvmHighlighter::format(IjvmKind::Directive)},
                       {'M', IjvmHighlighter::format(IjvmKind::Mnemonic)},
                       {'L', IjvmHighlighter::format(IjvmKind::Label)},
                       {'N', IjvmHighlighter::format(IjvmKind::Number)},
                       {'C', IjvmHighlighter::format(IjvmKind::Comment)}};
        }
        // The line under test follows another, so that block positions matter.
        document.setPlainText(QStringLiteral("NOP\n") + line);
        QCOMPARE(kindsOf(document, 4, static_cast<int>(line.size()), letters), kinds);
    }

    void closingAVariableSectionByAnEditRecoloursTheLinesAfter() {
        Editor e;
        e.document.setPlainText(QStringLiteral(".var\nin\n.end-var\nin"));
        const auto lastLineColoured = [&e] {
            return formatAt(e.document, e.document.lastBlock().position())
                .hasProperty(QTextFormat::ForegroundBrush);
        };
        QVERIFY(lastLineColoured());
        QTextCursor cursor(e.document.findBlockByNumber(2));
        cursor.select(QTextCursor::LineUnderCursor);
        cursor.insertText(QStringLiteral("x"));
        QVERIFY(!lastLineColoured());
    }

    void marksUnderlineTheirSpansUntilTheFirstEdit() {
        Editor e;
        e.document.setPlainText(QStringLiteral("NOP\nILOAD count\nHALT"));
        e.highlighter.setErrorMarks({{4, 5, QStringLiteral("wrong")},
                                     {12, 6, QStringLiteral("across lines")},
                                     {0, 0, QStringLiteral("empty")},
                                     {-3, 2, QStringLiteral("before")},
                                     {100, 4, QStringLiteral("after")}});
        const QString waves = [&e] {
            QString marks;
            for (int i = 0; i < e.document.characterCount() - 1; ++i) {
                marks += waved(e.document, i) ? QLatin1Char('~') : QLatin1Char('.');
            }
            return marks;
        }();
        // A mark without length still underlines its character; a mark across a line break
        // goes on in the next line; what lies outside the text marks nothing.
        QCOMPARE(waves, QStringLiteral("~...~~~~~...~~~.~~.."));
        QCOMPARE(formatAt(e.document, 4).foreground(),
                 IjvmHighlighter::format(IjvmKind::Mnemonic).foreground()); // over the colour
        QCOMPARE(e.highlighter.errorMessageAt(6), QStringLiteral("wrong"));
        QCOMPARE(e.highlighter.errorMessageAt(16), QStringLiteral("across lines"));
        QCOMPARE(e.highlighter.errorMessageAt(0), QStringLiteral("empty"));
        QCOMPARE(e.highlighter.errorMessageAt(9), QString());
        // Recolouring, or a change of formats alone, is no edit.
        e.highlighter.rehighlight();
        QTextCursor bold(&e.document);
        bold.select(QTextCursor::Document);
        QTextCharFormat weight;
        weight.setFontWeight(QFont::Bold);
        bold.mergeCharFormat(weight);
        QCOMPARE(e.highlighter.errorMessageAt(6), QStringLiteral("wrong"));
        QVERIFY(waved(e.document, 6));
        // Typing anywhere, even on another line, removes every mark; the colours stay.
        QTextCursor cursor(e.document.lastBlock());
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(QStringLiteral(" "));
        QVERIFY(e.highlighter.errorMarks().isEmpty());
        QVERIFY(!waved(e.document, 6));
        QCOMPARE(formatAt(e.document, 6).foreground(),
                 IjvmHighlighter::format(IjvmKind::Mnemonic).foreground());
    }
};

QTEST_MAIN(TestHighlighters)
#include "test_highlighters.moc"
