// Start-up with a microprogram other than the bundled one: problems in it, the Info window, a
// file that cannot be opened, and an IJVM step that never returns to the main loop.
#include "core/fatal.h"
#include "window_fixture.h"

#include <QProcess>

#include <cstdio>

using namespace tessaro;

namespace {

// A microprogram whose NOP never returns to the main loop; every other routine goes straight
// back to it, so loading and the first steps work.
QString endlessNopMicroprogram() {
    QString mal = "Main1 PC = PC + 1; fetch; goto (MBR)\n"
                  "nop1 goto nop1\n";
    for (int address = 2; address < 0x70; ++address) {
        mal += "     goto Main1\n";
    }
    mal += "halt1 goto halt1\n";
    return mal;
}

} // namespace

class TestStartup : public WindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { prepareRoot(); }
    void cleanup() { closeWindow(); }

    void problemsOfTheMicroprogramAreListedAndTheWindowStillStarts() {
        openWindow(QStringLiteral("Main1 PC = PC + 1; fetch; goto (MBR)\nx1    goto nowhere\n"));
        QString shown;
        driver->then([&shown](QWidget* modal) {
            shown = qobject_cast<QMessageBox*>(modal)->text();
            qobject_cast<QMessageBox*>(modal)->accept();
        });
        w().runStartupDialogs(false);
        QVERIFY2(shown.contains(QStringLiteral("Riga 2:")), qPrintable(shown));
        // The student's own microprogram is the one listed.
        QVERIFY(listing()->toPlainText().contains(QStringLiteral("goto nowhere")));
    }

    void startupInfoWindowIsShownWhenAsked() {
        openWindow(endlessNopMicroprogram());
        w().runStartupDialogs(true);
        QCOMPARE(driver->seen, QStringList{"tessaro::InfoDialog"});
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

    // The copy follows the unsaved text: written within a few seconds of an edit, removed by a
    // save, and left by a crash to be offered back at the next start.
    void anUnsavedEditSurvivesACrashUntilSaved() {
        const QString copy = tessaro::AppPaths(root.path()).programRecoveryFile();
        openWindow();
        type(".main\nBIPUSH 1\nHALT\n.end-main\n");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(copy), 10'000);
        QVERIFY(w().saveProgramFile(QDir(root.path()).filePath(QStringLiteral("kept.jvm"))));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(copy), 10'000);

        const QString edited = QStringLiteral(".main\nBIPUSH 2\nHALT\n.end-main\n");
        type(edited.toUtf8().constData());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(copy), 10'000);
        // A crash: the window is gone, its copy not.
        const tessaro::TextFileResult left = tessaro::TextFile::read(copy);
        QVERIFY(left.ok);
        closeWindow();
        QVERIFY(tessaro::TextFile::write(copy, left.text).ok);

        openWindow();
        driver->then(press(QStringLiteral("Ripristina")));
        w().runStartupDialogs(false);
        QCOMPARE(editor()->toPlainText(), edited);
        QVERIFY(w().hasUnsavedChanges());
    }

    void anIjvmStepThatNeverEndsIsGivenUp() {
        openWindow(endlessNopMicroprogram());
        QVERIFY(w().microprogramProblems().empty());
        load(".main\nNOP\nHALT\n.end-main");
        w().session.ijvmStepBound = 50'000;
        QSignalSpy finished(&w(), &MainWindow::executionFinished);
        // The walk through the prologue and the header reaches the byte 1 at address 4.
        for (int i = 0; i < 3; ++i) {
            w().ijvmStepCommand();
            QCOMPARE(machine().MPC, 0);
        }
        const std::int64_t before = machine().microCount;
        w().ijvmStepCommand();
        QVERIFY(!w().isRunning() || finished.wait(10000));
        QVERIFY(!w().isRunning());
        QCOMPARE(machine().microCount - before, w().session.ijvmStepBound);
        QCOMPARE(machine().MPC, 1);
        QVERIFY(runStatus().contains(QStringLiteral("50000")));
        QCOMPARE(label("Label1")->text(), QStringLiteral("1")); // the views show where it stopped
    }
};

// With TESSARO_STARTUP_CHILD set, the process only builds a window on that data folder (the
// start-up that must end the process is watched from the parent test).
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString childRoot = qEnvironmentVariable("TESSARO_STARTUP_CHILD");
    if (!childRoot.isEmpty()) {
        setMessageHook(nullptr);
        MainWindow window{AppPaths(childRoot)};
        std::printf("window built\n");
        return 0;
    }
    TestStartup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_startup.moc"
