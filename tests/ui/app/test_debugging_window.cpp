// The main window's debugging commands driven through its real widgets and menu: a
// breakpoint in a recursive program, going back over calls, the breakpoint margins beside the
// program and the listing, the Back buttons and the statistics window.
#include "ui/margin_editor.h"
#include "window_fixture.h"

#include <QRegularExpression>
#include <QTextBlock>

using namespace tessaro;

namespace {

// Line 10 (from 1) is the first instruction of fib; the blank line 9 passes a breakpoint on.
const char* const kFibonacci = ".main\nBIPUSH 0\nBIPUSH 3\nINVOKEVIRTUAL fib\nOUT\nHALT\n"
                               ".end-main\n.method fib(n)\n\nILOAD n\nBIPUSH 2\nISUB\n"
                               "IFLT small\nBIPUSH 0\nILOAD n\nBIPUSH 1\nISUB\nINVOKEVIRTUAL fib\n"
                               "BIPUSH 0\nILOAD n\nBIPUSH 2\nISUB\nINVOKEVIRTUAL fib\nIADD\n"
                               "IRETURN\nsmall: ILOAD n\nIRETURN\n.end-method\n";

// Runs ISUB once, then loops for ever.
const char* const kSubtractForEver = ".main\nBIPUSH 7\nBIPUSH 2\nISUB\nOUT\n"
                                     "again: GOTO again\n.end-main\n";

} // namespace

class TestDebuggingWindow : public WindowFixture {
    Q_OBJECT

    MarginEditor* program() { return child<MarginEditor>("Memo1"); }
    MarginEditor* listingMargin() { return child<MarginEditor>("Memo2"); }
    // Clicks the margin of editor beside line (from 0), scrolled into view first.
    void clickMargin(MarginEditor* editor, int line) {
        QTextCursor cursor(editor->document()->findBlockByNumber(line));
        editor->setTextCursor(cursor);
        editor->ensureCursorVisible();
        const int y = editor->cursorRect(cursor).center().y();
        QTest::mouseClick(editor->margin(), Qt::LeftButton, {}, QPoint(4, y));
    }
    int listingLineWith(const QString& text) {
        const QTextCursor found = listingMargin()->document()->find(text);
        if (found.isNull()) {
            qFatal("no listing line with %s", qPrintable(text));
        }
        return found.blockNumber();
    }
    void putCursorOnLine(int line) {
        QTextCursor cursor(editor()->document()->findBlockByNumber(line - 1));
        editor()->setTextCursor(cursor);
        editor()->setFocus();
    }

private slots:
    void initTestCase() { prepareRoot(); }
    void init() {
        openWindow();
        window->show();
    }
    void cleanup() { closeWindow(); }

    void aBreakpointStopsEachCallAndBackRetracesTheForwardRun() {
        load(kFibonacci);
        putCursorOnLine(9);
        menuAction(QStringLiteral("Punto di arresto"))->trigger();
        const std::int64_t start = machine().microCount;
        runToTheEnd();
        QVERIFY2(runStatus().contains(QStringLiteral("punto di arresto alla riga 10")),
                 qPrintable(runStatus()));
        // Forward, one IJVM step at a time, recording where the machine and the program
        // stand; then back over the same steps (past calls and memory writes), by the buttons
        // and the menu in turn, each landing where the forward run stood.
        std::vector<std::int64_t> counts{machine().microCount};
        std::vector<std::int32_t> stackTops{machine().TOS()};
        std::vector<int> lines{program()->currentLine()};
        for (int i = 0; i < 12; ++i) {
            window->ijvmStepCommand();
            QTRY_VERIFY(!window->isRunning());
            counts.push_back(machine().microCount);
            stackTops.push_back(machine().TOS());
            lines.push_back(program()->currentLine());
        }
        button("BackMicButton")->click();
        QCOMPARE(machine().microCount, counts.back() - 1);
        // From inside an instruction, a step back goes to its start.
        for (std::size_t i = 12; i-- > 0;) {
            if (i % 2 == 0) {
                button("BackStepButton")->click();
            } else {
                menuAction(QStringLiteral("Indietro IJVM"))->trigger();
            }
            QCOMPARE(machine().microCount, counts[i]);
            QCOMPARE(machine().TOS(), stackTops[i]);
            QCOMPARE(label("Label18")->text(), QString::number(stackTops[i]));
            QCOMPARE(program()->currentLine(), lines[i]);
        }
        menuAction(QStringLiteral("Indietro Mic"))->trigger();
        QCOMPARE(machine().microCount, counts.front() - 1);
        QVERIFY(machine().microCount > start);
    }

    void aClickInTheProgramMarginMarksTheNextInstructionLine_data() {
        QTest::addColumn<int>("clicked"); // lines from 1
        QTest::addColumn<int>("marked");
        QTest::newRow("instruction line") << 10 << 10;
        QTest::newRow("blank line") << 9 << 10;
        QTest::newRow("method heading") << 8 << 10;
        QTest::newRow("last instruction") << 27 << 27;
    }
    void aClickInTheProgramMarginMarksTheNextInstructionLine() {
        QFETCH(int, clicked);
        QFETCH(int, marked);
        load(kFibonacci);
        clickMargin(program(), clicked - 1);
        QCOMPARE(program()->markedLines(), std::set<int>{marked - 1});
        runToTheEnd();
        QVERIFY2(runStatus().contains(QStringLiteral("riga %1").arg(marked)),
                 qPrintable(runStatus()));
        QCOMPARE(program()->currentLine(), marked - 1);
        // A second click takes the mark away: the run then goes to the end.
        clickMargin(program(), clicked - 1);
        QVERIFY(program()->markedLines().empty());
        runToTheEnd();
        QVERIFY(window->session.atHalt());
    }

    void aMarginClickBeforeCompilingAsksForACompile() {
        load(kFibonacci);
        editor()->appendPlainText(QStringLiteral("NOP"));
        clickMargin(program(), 9);
        QVERIFY(program()->markedLines().empty());
        QVERIFY2(runStatus().contains(QStringLiteral("compilare")), qPrintable(runStatus()));
    }

    void theListingMarginMarksAMicroAddress_data() {
        QTest::addColumn<QString>("clickedText");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("withKey");
        QTest::newRow("its comment heading") << "---- 5: ISUB"
                                             << "isub1" << false;
        QTest::newRow("the line after") << "isub2    H"
                                        << "isub2" << false;
        QTest::newRow("F5 on a comment line") << "---- 5: ISUB"
                                              << "isub1" << true;
    }
    void theListingMarginMarksAMicroAddress() {
        QFETCH(QString, clickedText);
        QFETCH(QString, label);
        QFETCH(bool, withKey);
        load(kSubtractForEver);
        const int instructionLine = listingLineWith(label + QStringLiteral("    "));
        const int line = listingLineWith(clickedText);
        if (withKey) {
            listingMargin()->setTextCursor(
                QTextCursor(listingMargin()->document()->findBlockByNumber(line)));
            // The key acts on the listing when it has the focus, which wants an active window.
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            listingMargin()->setFocus();
            menuAction(QStringLiteral("Punto di arresto"))->trigger();
        } else {
            clickMargin(listingMargin(), line);
        }
        QCOMPARE(listingMargin()->markedLines(), std::set<int>{instructionLine});
        const QString marked = runStatus();
        runToTheEnd();
        // The run stops at the marked line's address, which both messages name.
        QCOMPARE(listingMargin()->currentLine(), instructionLine);
        const QString address = QStringLiteral("micro-indirizzo %1").arg(machine().MPC);
        QVERIFY2(marked.contains(address), qPrintable(marked));
        QVERIFY2(runStatus().contains(address), qPrintable(runStatus()));
    }

    void theStatisticsWindowCountsEachOpcode() {
        load(kFibonacci);
        runToTheEnd();
        menuAction(QStringLiteral("Statistiche"))->trigger();
        auto* table = window->findChild<QPlainTextEdit*>(QStringLiteral("StatisticsTable"));
        QVERIFY(table != nullptr);
        const QString text = table->toPlainText();
        // fib(3) calls itself four times: five calls and five returns with main's.
        for (const char* row : {"INVOKEVIRTUAL +5 ", "IRETURN +5 ", "OUT +1 "}) {
            const QRegularExpression line(QLatin1Char('^') + QLatin1String(row),
                                          QRegularExpression::MultilineOption);
            QVERIFY2(line.match(text).hasMatch(), row);
        }
    }
};

QTEST_MAIN(TestDebuggingWindow)
#include "test_debugging_window.moc"
