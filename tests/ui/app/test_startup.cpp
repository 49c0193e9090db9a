// Start-up with a microprogram other than the bundled one: problems in it, the Info window, and
// an IJVM step that never returns to the main loop.
#include "window_fixture.h"

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
        QCOMPARE(driver->seen, QStringList{"tessaro::TForm2"});
    }

    void anIjvmStepThatNeverEndsIsGivenUp() {
        openWindow(endlessNopMicroprogram());
        QVERIFY(w().microprogramProblems().empty());
        load(".main\nNOP\nHALT\n.end-main");
        w().session.ijvmStepBound = 50'000;
        QSignalSpy finished(&w(), &TForm1::executionFinished);
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

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
