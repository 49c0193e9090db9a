// The main window's debugging commands driven through its real widgets and menu: a
// breakpoint in a recursive program, going back over calls, the breakpoint margins beside the
// program and the listing, the Back buttons and the statistics window.
#include "modal_driver.h"
#include "ui/margin_editor.h"
#include "ui/tform1.h"

#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include <memory>

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

class TestDebuggingWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    std::unique_ptr<TForm1> m_window;
    std::unique_ptr<ModalDriver> m_driver;

    template <typename T> T* child(const char* name) {
        T* found = m_window->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qFatal("no child %s", name);
        }
        return found;
    }
    QPlainTextEdit* editor() { return child<QPlainTextEdit>("Memo1"); }
    MarginEditor* program() { return child<MarginEditor>("Memo1"); }
    MarginEditor* listing() { return child<MarginEditor>("Memo2"); }
    // Clicks the margin of editor beside line (from 0), scrolled into view first.
    void clickMargin(MarginEditor* editor, int line) {
        QTextCursor cursor(editor->document()->findBlockByNumber(line));
        editor->setTextCursor(cursor);
        editor->ensureCursorVisible();
        const int y = editor->cursorRect(cursor).center().y();
        QTest::mouseClick(editor->margin(), Qt::LeftButton, {}, QPoint(4, y));
    }
    int listingLineWith(const QString& text) {
        const QTextCursor found = listing()->document()->find(text);
        if (found.isNull()) {
            qFatal("no listing line with %s", qPrintable(text));
        }
        return found.blockNumber();
    }
    // A micro-instruction's address is its index among the lines that hold more than a
    // comment, as the microprogram's own heading explains.
    int addressOfListingLine(int line) {
        int address = 0;
        for (int i = 0; i < line; ++i) {
            const QString text = listing()->document()->findBlockByNumber(i).text().trimmed();
            if (!text.isEmpty() && !text.startsWith(QLatin1Char('/'))) {
                ++address;
            }
        }
        return address;
    }
    QAction* menuAction(const QString& text) {
        for (QAction* menu : m_window->menuBar()->actions()) {
            for (QAction* item : menu->menu()->actions()) {
                if (item->text() == text) {
                    return item;
                }
            }
        }
        qFatal("no menu item %s", qPrintable(text));
    }
    QString status() {
        for (QLabel* label : m_window->statusBar()->findChildren<QLabel*>()) {
            if (!label->text().isEmpty()) {
                return label->text();
            }
        }
        return {};
    }
    void load(const char* program) {
        editor()->setPlainText(QString::fromUtf8(program));
        editor()->document()->setModified(true);
        m_window->compileAndLoad();
        QVERIFY(m_window->programLoaded());
    }
    void putCursorOnLine(int line) {
        QTextCursor cursor(editor()->document()->findBlockByNumber(line - 1));
        editor()->setTextCursor(cursor);
        editor()->setFocus();
    }
    void runToTheEnd() {
        QSignalSpy finished(m_window.get(), &TForm1::executionFinished);
        child<QPushButton>("BitBtn3")->click();
        QVERIFY(finished.count() > 0 || finished.wait(10'000));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        qputenv("TESSARO_ROOT", QFile::encodeName(m_root.path()));
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        const AppPaths paths(AppPaths::chooseRoot({QStringLiteral("tessaro")}));
        QString error;
        QVERIFY2(paths.prepare(&error), qPrintable(error));
    }
    void init() {
        m_driver = std::make_unique<ModalDriver>();
        m_window = std::make_unique<TForm1>(AppPaths(m_root.path()));
        m_window->show();
    }
    void cleanup() {
        editor()->clear();
        m_window.reset();
        m_driver.reset();
    }

    void aBreakpointStopsEachCallAndBackRetracesTheForwardRun() {
        load(kFibonacci);
        putCursorOnLine(9);
        menuAction(QStringLiteral("Punto di arresto"))->trigger();
        const std::int64_t start = m_window->machine().microCount;
        runToTheEnd();
        QVERIFY2(status().contains(QStringLiteral("punto di arresto alla riga 10")),
                 qPrintable(status()));
        // Forward, one IJVM step at a time, recording the counts; then back over the same
        // steps (past calls and memory writes), each landing where the forward run stood.
        std::vector<std::int64_t> counts{m_window->machine().microCount};
        std::vector<std::int32_t> stackTops{m_window->machine().TOS()};
        for (int i = 0; i < 12; ++i) {
            m_window->ijvmStepCommand();
            QTRY_VERIFY(!m_window->isRunning());
            counts.push_back(m_window->machine().microCount);
            stackTops.push_back(m_window->machine().TOS());
        }
        for (int i = 11; i >= 0; --i) {
            menuAction(QStringLiteral("Indietro IJVM"))->trigger();
            QCOMPARE(m_window->machine().microCount, counts[static_cast<std::size_t>(i)]);
            QCOMPARE(m_window->machine().TOS(), stackTops[static_cast<std::size_t>(i)]);
        }
        menuAction(QStringLiteral("Indietro Mic"))->trigger();
        QCOMPARE(m_window->machine().microCount, counts.front() - 1);
        QVERIFY(m_window->machine().microCount > start);
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
        // The margin takes its room inside the editor, to the left of the text.
        QVERIFY(program()->margin()->geometry().right() < program()->viewport()->geometry().left());
        QVERIFY(program()->rect().contains(program()->margin()->geometry()));
        clickMargin(program(), clicked - 1);
        QCOMPARE(program()->markedLines(), std::set<int>{marked - 1});
        runToTheEnd();
        QVERIFY2(status().contains(QStringLiteral("riga %1").arg(marked)), qPrintable(status()));
        QCOMPARE(program()->currentLine(), marked - 1);
        // A second click takes the mark away: the run then goes to the end.
        clickMargin(program(), clicked - 1);
        QVERIFY(program()->markedLines().empty());
        runToTheEnd();
        QVERIFY(m_window->session.atHalt());
    }

    void aMarginClickBeforeCompilingAsksForACompile() {
        load(kFibonacci);
        editor()->appendPlainText(QStringLiteral("NOP"));
        clickMargin(program(), 9);
        QVERIFY(program()->markedLines().empty());
        QVERIFY2(status().contains(QStringLiteral("compilare")), qPrintable(status()));
    }

    void theListingMarginMarksAMicroAddress_data() {
        QTest::addColumn<QString>("clickedText");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("withKey");
        QTest::newRow("instruction line") << "isub1    MAR"
                                          << "isub1" << false;
        QTest::newRow("its comment heading") << "---- 5: ISUB"
                                             << "isub1" << false;
        QTest::newRow("the line after") << "isub2    H"
                                        << "isub2" << false;
        QTest::newRow("F5 on a comment line") << "---- 5: ISUB"
                                              << "isub1" << true;
        QTest::newRow("F5 on the line after") << "isub2    H"
                                              << "isub2" << true;
    }
    void theListingMarginMarksAMicroAddress() {
        QFETCH(QString, clickedText);
        QFETCH(QString, label);
        QFETCH(bool, withKey);
        load(kSubtractForEver);
        const int instructionLine = listingLineWith(label + QStringLiteral("    "));
        const int address = addressOfListingLine(instructionLine);
        const int line = listingLineWith(clickedText);
        if (withKey) {
            listing()->setTextCursor(QTextCursor(listing()->document()->findBlockByNumber(line)));
            // The key acts on the listing when it has the focus, which wants an active window.
            m_window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
            listing()->setFocus();
            QVERIFY(listing()->hasFocus());
            menuAction(QStringLiteral("Punto di arresto"))->trigger();
        } else {
            clickMargin(listing(), line);
        }
        QVERIFY2(status().contains(QStringLiteral("micro-indirizzo %1").arg(address)),
                 qPrintable(status()));
        QCOMPARE(listing()->markedLines(), std::set<int>{instructionLine});
        runToTheEnd();
        QVERIFY2(status().contains(QStringLiteral("micro-indirizzo %1").arg(address)),
                 qPrintable(status()));
        QCOMPARE(m_window->machine().MPC, address);
        QCOMPARE(listing()->currentLine(), instructionLine);
    }

    void theBackButtonsUndoTheLastSteps() {
        load(kFibonacci);
        auto* backMic = child<QPushButton>("BackMicButton");
        auto* backStep = child<QPushButton>("BackStepButton");
        std::vector<std::int64_t> counts{m_window->machine().microCount};
        std::vector<int> lines{program()->currentLine()};
        for (int i = 0; i < 3; ++i) {
            m_window->ijvmStepCommand();
            QTRY_VERIFY(!m_window->isRunning());
            counts.push_back(m_window->machine().microCount);
            lines.push_back(program()->currentLine());
        }
        QVERIFY(lines[1] != lines[0]);
        backMic->click();
        QCOMPARE(m_window->machine().microCount, counts[3] - 1);
        // Inside an instruction a step back goes to its start, then one instruction further.
        backStep->click();
        QCOMPARE(m_window->machine().microCount, counts[2]);
        backStep->click();
        QCOMPARE(m_window->machine().microCount, counts[1]);
        QCOMPARE(program()->currentLine(), lines[1]);
    }

    void theBackButtonsWaitWhileRunning() {
        load(kSubtractForEver);
        auto* backMic = child<QPushButton>("BackMicButton");
        auto* backStep = child<QPushButton>("BackStepButton");
        QSignalSpy finished(m_window.get(), &TForm1::executionFinished);
        child<QPushButton>("BitBtn3")->click();
        QVERIFY(m_window->isRunning());
        QVERIFY(!backMic->isEnabled());
        QVERIFY(!backStep->isEnabled());
        m_window->stopRun();
        QVERIFY(finished.count() > 0 || finished.wait(10'000));
        QVERIFY(backMic->isEnabled());
        QVERIFY(backStep->isEnabled());
    }

    void theStatisticsWindowShowsEachOpcode() {
        load(kFibonacci);
        runToTheEnd();
        menuAction(QStringLiteral("Statistiche"))->trigger();
        auto* table = m_window->findChild<QPlainTextEdit*>(QStringLiteral("StatisticsTable"));
        QVERIFY(table != nullptr);
        QVERIFY(table->toPlainText().contains(QStringLiteral("INVOKEVIRTUAL")));
        QVERIFY(table->toPlainText().contains(QStringLiteral("IRETURN")));
    }
};

QTEST_MAIN(TestDebuggingWindow)
#include "test_debugging_window.moc"
