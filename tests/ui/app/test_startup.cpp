// Start-up with a microprogram other than the bundled one: problems in it, a file that cannot
// be opened, and an IJVM step that never returns to the main loop.
#include "core/fatal.h"
#include "modal_driver.h"
#include "ui/tform1.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

using namespace tessaro;

namespace {

// A microprogram whose NOP never returns to the main loop; every other routine goes straight
// back to it, so loading and the first steps work.
QByteArray endlessNopMicroprogram() {
    QByteArray mal = "Main1 PC = PC + 1; fetch; goto (MBR)\n"
                     "nop1 goto nop1\n";
    for (int address = 2; address < 0x70; ++address) {
        mal += "     goto Main1\n";
    }
    mal += "halt1 goto halt1\n";
    return mal;
}

// A data folder with the examples and this microprogram.
AppPaths prepareRoot(const QTemporaryDir& dir, const QByteArray& microprogram) {
    const AppPaths paths(dir.path());
    QDir().mkpath(paths.microprogramDir());
    QFile mal(paths.microprogramSource());
    if (mal.open(QIODevice::WriteOnly)) {
        mal.write(microprogram);
    }
    mal.close();
    paths.prepare(nullptr); // keeps this microprogram
    return paths;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    void problemsOfTheMicroprogramAreListedAndTheWindowStillStarts() {
        QTemporaryDir dir;
        const AppPaths paths = prepareRoot(dir, "Main1 PC = PC + 1; fetch; goto (MBR)\n"
                                                "x1    goto nowhere\n");
        TForm1 window(paths);
        QString shown;
        ModalDriver driver;
        driver.then([&shown](QWidget* modal) {
            shown = qobject_cast<QMessageBox*>(modal)->text();
            qobject_cast<QMessageBox*>(modal)->accept();
        });
        window.runStartupDialogs(false);
        QVERIFY2(shown.contains(QStringLiteral("Riga 2:")), qPrintable(shown));
        // The student's own microprogram is the one listed.
        QVERIFY(window.findChild<QPlainTextEdit*>(QStringLiteral("Memo2"))
                    ->toPlainText()
                    .contains(QStringLiteral("goto nowhere")));
    }

    void startupInfoWindowIsShownWhenAsked() {
        QTemporaryDir dir;
        TForm1 window(prepareRoot(dir, endlessNopMicroprogram()));
        ModalDriver driver;
        window.runStartupDialogs(true);
        QCOMPARE(driver.seen, QStringList{"tessaro::TForm2"});
    }

    void aMicroprogramThatCannotBeOpenedEndsTheProcessWithAFailure() {
        QTemporaryDir dir; // nothing prepared: the microprogram file does not exist
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TESSARO_STARTUP_CHILD"), dir.path());
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 1);
        const QByteArray printed = child.readAllStandardOutput();
        QVERIFY2(printed.contains("impossibile aprire il file"), printed.constData());
        QVERIFY(!printed.contains("window built"));
    }

    void anIjvmStepThatNeverEndsIsGivenUp() {
        QTemporaryDir dir;
        const AppPaths paths = prepareRoot(dir, endlessNopMicroprogram());
        TForm1 window(paths);
        QVERIFY(window.microprogramProblems().empty());
        ModalDriver driver; // closes the success message
        QPlainTextEdit* editor = window.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        editor->setPlainText(QStringLiteral(".main\nNOP\nHALT\n.end-main"));
        editor->document()->setModified(true);
        window.findChild<QPushButton*>(QStringLiteral("BitBtn5"))->click();
        QVERIFY(window.programLoaded());
        window.session.ijvmStepBound = 50'000;
        QSignalSpy finished(&window, &TForm1::executionFinished);
        // The walk through the prologue and the header reaches the byte 1 at address 4.
        for (int i = 0; i < 3; ++i) {
            window.ijvmStepCommand();
            QCOMPARE(window.machine().MPC, 0);
        }
        const std::int64_t before = window.machine().microCount;
        window.ijvmStepCommand();
        if (window.isRunning()) {
            QVERIFY(finished.wait(10000));
        }
        QVERIFY(!window.isRunning());
        QCOMPARE(window.machine().microCount - before, window.session.ijvmStepBound);
        QCOMPARE(window.machine().MPC, 1);
        QVERIFY(window.statusBar()
                    ->findChild<QLabel*>(QStringLiteral("RunStatus"))
                    ->text()
                    .contains(QStringLiteral("50000")));
        // The views show where it stopped.
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("1"));
        editor->clear();
    }
};

// With TESSARO_STARTUP_CHILD set, the process only builds a window on that data folder (the
// start-up that must end the process is watched from the parent test).
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString childRoot = qEnvironmentVariable("TESSARO_STARTUP_CHILD");
    if (!childRoot.isEmpty()) {
        setMessageHook(nullptr);
        TForm1 window{AppPaths(childRoot)};
        std::printf("window built\n");
        return 0;
    }
    TestStartup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_startup.moc"
