// The IJVM editor's highlighting: which stretches of a source get which format, and the
// error marks with their messages and their removal on the first edit.

#include "ui/ijvm_highlighter.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>

#include <cmath>
#include <optional>

using namespace tessaro;
using Kind = IjvmHighlighter::Kind;

Q_DECLARE_METATYPE(std::optional<IjvmHighlighter::Kind>)

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

// The kind whose colour a character shows, if any.
std::optional<Kind> kindAt(const QTextDocument& document, int position) {
    const QTextCharFormat format = formatAt(document, position);
    if (!format.hasProperty(QTextFormat::ForegroundBrush)) {
        return std::nullopt;
    }
    for (Kind kind : {Kind::Directive, Kind::Mnemonic, Kind::Label, Kind::Number, Kind::Comment}) {
        if (format.foreground() == IjvmHighlighter::format(kind).foreground()) {
            return kind;
        }
    }
    return std::nullopt;
}

bool waved(const QTextDocument& document, int position) {
    return formatAt(document, position).underlineStyle() == QTextCharFormat::WaveUnderline;
}

// WCAG relative luminance and contrast ratio.
double luminance(const QColor& color) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}
double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
double distance(const QColor& a, const QColor& b) {
    return std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue());
}

// The program editor's kind of document: a plain-text editor lays it out, and only a laid-out
// document reports its changes.
struct Editor {
    QPlainTextEdit widget;
    QTextDocument& document = *widget.document();
};

const QList<Kind> kAllKinds = {Kind::Directive, Kind::Mnemonic, Kind::Label, Kind::Number,
                               Kind::Comment};

} // namespace

class TestIjvmHighlighter : public QObject {
    Q_OBJECT
private slots:
    void tokens_data();
    void tokens();
    void declarationsAreNotInstructions();
    void coloursReadOnTheEditor();
    void marksUnderlineTheirSpansOverTheColours();
    void marksGiveTheirMessages();
    void marksSurviveRehighlightingButNotAnEdit();
    void marksSpanLinesAndIgnoreWhatLiesOutside();
};

void TestIjvmHighlighter::tokens_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("token");
    QTest::addColumn<std::optional<Kind>>("kind");

    const std::optional<Kind> none;
    QTest::newRow("main") << ".main"
                          << ".main" << std::optional(Kind::Directive);
    QTest::newRow("end-main") << ".end-main"
                              << ".end-main" << std::optional(Kind::Directive);
    QTest::newRow("method") << ".method add(a, b)"
                            << ".method" << std::optional(Kind::Directive);
    QTest::newRow("method name") << ".method add(a, b)"
                                 << "add" << none;
    QTest::newRow("end-method") << ".end-method"
                                << ".end-method" << std::optional(Kind::Directive);
    QTest::newRow("constant") << ".constant"
                              << ".constant" << std::optional(Kind::Directive);
    QTest::newRow("end-constant") << ".end-constant"
                                  << ".end-constant" << std::optional(Kind::Directive);
    QTest::newRow("var") << "  .var"
                         << ".var" << std::optional(Kind::Directive);
    QTest::newRow("end-var") << ".end-var"
                             << ".end-var" << std::optional(Kind::Directive);
    QTest::newRow("not a directive") << ".variable"
                                     << ".variable" << none;
    QTest::newRow("mnemonic") << "        IADD"
                              << "IADD" << std::optional(Kind::Mnemonic);
    QTest::newRow("lower case mnemonic") << "iadd"
                                         << "iadd" << std::optional(Kind::Mnemonic);
    QTest::newRow("wide prefix") << "WIDE ILOAD big"
                                 << "WIDE" << std::optional(Kind::Mnemonic);
    QTest::newRow("after wide") << "WIDE ILOAD big"
                                << "ILOAD" << std::optional(Kind::Mnemonic);
    QTest::newRow("operand") << "ILOAD n"
                             << "n" << none;
    QTest::newRow("operand named like IN") << "ILOAD in"
                                           << "in" << none;
    QTest::newRow("not an instruction") << "LOADX n"
                                        << "LOADX" << none;
    QTest::newRow("label") << "loop: ILOAD n"
                           << "loop:" << std::optional(Kind::Label);
    QTest::newRow("after a label") << "loop: ILOAD n"
                                   << "ILOAD" << std::optional(Kind::Mnemonic);
    QTest::newRow("label reference") << "GOTO loop"
                                     << "loop" << none;
    QTest::newRow("decimal") << "BIPUSH 48"
                             << "48" << std::optional(Kind::Number);
    QTest::newRow("negative") << "BIPUSH -5"
                              << "-5" << std::optional(Kind::Number);
    QTest::newRow("hex") << "LDCW 0x7FfF"
                         << "0x7FfF" << std::optional(Kind::Number);
    QTest::newRow("digits of a name") << "ILOAD x2"
                                      << "2" << none;
    QTest::newRow("comment") << "OUT // print it"
                             << "// print it" << std::optional(Kind::Comment);
    QTest::newRow("mnemonic before a comment") << "OUT // print"
                                               << "OUT" << std::optional(Kind::Mnemonic);
    QTest::newRow("mnemonic in a comment") << "// BIPUSH 12"
                                           << "BIPUSH" << std::optional(Kind::Comment);
    QTest::newRow("number in a comment") << "// BIPUSH 12"
                                         << "12" << std::optional(Kind::Comment);
    QTest::newRow("directive in a comment") << "// .main"
                                            << ".main" << std::optional(Kind::Comment);
    QTest::newRow("label in a comment") << "// here: NOP"
                                        << "here:" << std::optional(Kind::Comment);
}

void TestIjvmHighlighter::tokens() {
    QFETCH(QString, line);
    QFETCH(QString, token);
    QFETCH(std::optional<Kind>, kind);

    Editor editor;
    QTextDocument& document = editor.document;
    IjvmHighlighter highlighter(&document);
    // The line under test, behind another so that block positions matter.
    const QString before = QStringLiteral("NOP\n");
    document.setPlainText(before + line);
    const int start = static_cast<int>(before.size() + line.indexOf(token));
    QVERIFY(start >= before.size());
    for (int i = 0; i < token.size(); ++i) {
        QCOMPARE(kindAt(document, start + i), kind);
    }
    // Only the token: the blank before it is plain text unless a comment covers it.
    if (start > before.size() && kind != Kind::Comment && line.at(line.indexOf(token) - 1) == ' ') {
        QCOMPARE(kindAt(document, start - 1), std::optional<Kind>());
    }
}

void TestIjvmHighlighter::declarationsAreNotInstructions() {
    Editor editor;
    QTextDocument& document = editor.document;
    IjvmHighlighter highlighter(&document);
    document.setPlainText(QStringLiteral(".main\n.var\nin\nout\n.end-var\nin\nOUT\n.end-main"));
    const auto lineStart = [&document](int line) {
        return document.findBlockByNumber(line).position();
    };
    // Declared variables keep the plain colour, whatever their names.
    QCOMPARE(kindAt(document, lineStart(2)), std::optional<Kind>());
    QCOMPARE(kindAt(document, lineStart(3)), std::optional<Kind>());
    // After .end-var the instructions are coloured again.
    QCOMPARE(kindAt(document, lineStart(5)), std::optional(Kind::Mnemonic));
    QCOMPARE(kindAt(document, lineStart(6)), std::optional(Kind::Mnemonic));

    // Closing the section later by an edit recolours the lines after it.
    QTextCursor cursor(document.findBlockByNumber(4));
    cursor.select(QTextCursor::LineUnderCursor);
    cursor.insertText(QStringLiteral("x"));
    QCOMPARE(kindAt(document, lineStart(5)), std::optional<Kind>());
}

void TestIjvmHighlighter::coloursReadOnTheEditor() {
    const QColor base(0xF2, 0xF2, 0xF2);
    const QColor text(0x80, 0x00, 0x80);
    for (Kind kind : kAllKinds) {
        const QColor colour = IjvmHighlighter::format(kind).foreground().color();
        QVERIFY2(contrast(colour, base) >= 4.5, qPrintable(colour.name()));
        QVERIFY2(distance(colour, text) > 100, qPrintable(colour.name()));
        for (Kind other : kAllKinds) {
            if (other != kind) {
                QVERIFY(distance(colour, IjvmHighlighter::format(other).foreground().color()) > 60);
            }
        }
    }
}

void TestIjvmHighlighter::marksUnderlineTheirSpansOverTheColours() {
    Editor editor;
    QTextDocument& document = editor.document;
    IjvmHighlighter highlighter(&document);
    document.setPlainText(QStringLiteral("NOP\nILOAD count\nHALT"));
    const int iload = 4;
    highlighter.setErrorMarks({{iload, 5, QStringLiteral("wrong")}});
    for (int i = iload; i < iload + 5; ++i) {
        QVERIFY(waved(document, i));
        const QColor underline = formatAt(document, i).underlineColor();
        QVERIFY(underline.red() > 150 && underline.green() < 80 && underline.blue() < 80);
        QCOMPARE(kindAt(document, i), std::optional(Kind::Mnemonic));
    }
    QVERIFY(!waved(document, iload - 1));
    QVERIFY(!waved(document, iload + 5));
    QVERIFY(!waved(document, 0));
}

void TestIjvmHighlighter::marksGiveTheirMessages() {
    Editor editor;
    QTextDocument& document = editor.document;
    IjvmHighlighter highlighter(&document);
    document.setPlainText(QStringLiteral("ILOAD a\nILOAD b\nILOAD c"));
    highlighter.setErrorMarks({{6, 1, QStringLiteral("first")},
                               {14, 1, QStringLiteral("second")},
                               {16, 0, QStringLiteral("empty")}});
    QCOMPARE(highlighter.errorMessageAt(6), QStringLiteral("first"));
    QCOMPARE(highlighter.errorMessageAt(14), QStringLiteral("second"));
    QCOMPARE(highlighter.errorMessageAt(5), QString());
    QCOMPARE(highlighter.errorMessageAt(7), QString());
    // A mark without length still covers, and underlines, its character.
    QCOMPARE(highlighter.errorMessageAt(16), QStringLiteral("empty"));
    QVERIFY(waved(document, 16));
    QCOMPARE(highlighter.errorMarks().size(), 3);
}

void TestIjvmHighlighter::marksSurviveRehighlightingButNotAnEdit() {
    Editor editor;
    QTextDocument& document = editor.document;
    IjvmHighlighter highlighter(&document);
    document.setPlainText(QStringLiteral("BIPUSH 300\nOUT"));
    highlighter.setErrorMarks({{7, 3, QStringLiteral("too big")}});

    // Recolouring, or a change of formats alone, is no edit.
    highlighter.rehighlight();
    QTextCursor bold(&document);
    bold.select(QTextCursor::Document);
    QTextCharFormat weight;
    weight.setFontWeight(QFont::Bold);
    bold.mergeCharFormat(weight);
    QCOMPARE(highlighter.errorMessageAt(8), QStringLiteral("too big"));
    QVERIFY(waved(document, 8));

    // Typing anywhere, even on another line, removes every mark.
    QTextCursor cursor(document.lastBlock());
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText(QStringLiteral(" "));
    QCOMPARE(highlighter.errorMarks().size(), 0);
    QCOMPARE(highlighter.errorMessageAt(8), QString());
    QVERIFY(!waved(document, 8));
    // The colours stay.
    QCOMPARE(kindAt(document, 8), std::optional(Kind::Number));
}

void TestIjvmHighlighter::marksSpanLinesAndIgnoreWhatLiesOutside() {
    Editor editor;
    QTextDocument& document = editor.document;
    IjvmHighlighter highlighter(&document);
    document.setPlainText(QStringLiteral("GOTO\nend"));
    highlighter.setErrorMarks({{2, 5, QStringLiteral("across")},
                               {-3, 2, QStringLiteral("before")},
                               {100, 4, QStringLiteral("after")}});
    QVERIFY(waved(document, 2));
    QVERIFY(waved(document, 3));
    QVERIFY(waved(document, 5));
    QVERIFY(waved(document, 6));
    QVERIFY(!waved(document, 7));
    QCOMPARE(highlighter.errorMessageAt(5), QStringLiteral("across"));
    // What reaches into the text from before its start still marks the part inside.
    highlighter.setErrorMarks({{-2, 3, QStringLiteral("clipped")}});
    QVERIFY(waved(document, 0));
    QVERIFY(!waved(document, 1));
    QCOMPARE(highlighter.errorMessageAt(0), QStringLiteral("clipped"));
}

QTEST_MAIN(TestIjvmHighlighter)
#include "test_ijvm_highlighter.moc"
