// The main window's debugging commands driven through its real widgets and menu: a
// breakpoint in a recursive program, going back over calls, and the statistics window.
#include "modal_driver.h"
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
