// The editors' highlighting: which stretches of a line get which kind's format, in a program
// and in a microprogram.

#include "ui/editor/ijvm_highlighter.h"
#include "ui/editor/mal_highlighter.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include <memory>

using namespace tessaro;
using IjvmKind = IjvmHighlighter::Kind;
using MalKind = MalHighlighter::Kind;

namespace {

using Kinds = QList<std::pair<char, QTextCharFormat>>;

// For each character from the block of position from on, the letter of the kind whose colour
// it shows; '.' for plain text and for each line break.
QString kindsOf(const QTextDocument& document, int from, const Kinds& kinds) {
    QStringList lines;
    for (QTextBlock block = document.findBlock(from); block.isValid(); block = block.next()) {
        QString line(block.length() - 1, QLatin1Char('.'));
        for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
            for (const auto& [letter, kind] : kinds) {
                if (range.format.hasProperty(QTextFormat::ForegroundBrush) &&
                    range.format.foreground() == kind.foreground()) {
                    line.replace(range.start, range.length, QString(range.length, letter));
                }
            }
        }
        lines.append(line);
    }
    return lines.join(QLatin1Char('.'));
}

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
        QCOMPARE(kindsOf(document, 4, letters), kinds);
    }
};

QTEST_MAIN(TestHighlighters)
#include "test_highlighters.moc"
