// The pictures and windows of ui/picture: the datapath as the micro-instruction executed
// last leaves it (the lines it lights, the ALU panel's text, the bus traces that end), and the
// Info and message windows, which end whichever way they are closed so that the start-up and
// the commands waiting on them go on.

#include "machine/control_path.h"
#include "ui/picture/datapath_view.h"
#include "ui/picture/info_dialog.h"
#include "ui/picture/message_dialog.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace tessaro;
using geometry::ControlLine;

namespace {
// A control word built from its fields.
std::int32_t word(int b, int c, int alu, int jam) {
    return static_cast<std::int32_t>((b & 0xF) | ((c & 0x1FF) << 7) | ((alu & 0xFF) << 16) |
                                     ((jam & 7) << 24));
}

// A machine whose last micro-instruction is the given control word.
std::unique_ptr<ControlPath> machineWith(std::int32_t controlWord) {
    auto machine = std::make_unique<ControlPath>();
    machine->controlStore[0x40].word = controlWord;
    machine->lastMPC = 0x40;
    machine->MIR = static_cast<std::uint32_t>(controlWord);
    return machine;
}

// Runs a modal window and, once it is showing, performs an action on it; returns exec()'s
// result. A watchdog ends the window so that a failing close cannot hang the test.
int execAndThen(QDialog& dialog, const std::function<void()>& action) {
    bool acted = false;
    QTimer::singleShot(0, &dialog, [&] {
        acted = true;
        action();
    });
    QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(-1); });
    const int result = dialog.exec();
    return acted ? result : -2;
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT
private slots:
    void theDecodersLightTheSelectedLinesOnly() {
        DatapathView view;
        // An address never loaded reads as an all-zero micro-instruction, and drawing it adds
        // no entry: B code 0 has no line, an empty C field lights nothing.
        ControlPath empty;
        empty.lastMPC = 0x1FF;
        view.drawBDecoder(empty);
        view.drawCDecoder(empty);
        view.animateBBus(empty, 0);
        view.animateCBus(empty, 0);
        view.finishAnimations();
        QCOMPARE(empty.controlStore.peek(0x1FF), nullptr);
        const QColor unlitB = view.bLineColor(1);
        const QColor unlitC = view.cLineColor(0);
        for (int code = 0; code < 16; ++code) {
            view.drawBDecoder(*machineWith(word(code == 2 ? 3 : 2, 0, 0x3C, 0))); // one before
            view.drawBDecoder(*machineWith(word(code, 0x1FF, 0x3C, 0)));
            for (int other = 0; other < 16; ++other) {
                const QColor colour = view.bLineColor(other); // invalid: the code has no line
                QVERIFY2((colour.isValid() && colour != unlitB) ==
                             (other == code && colour.isValid()),
                         qPrintable(QStringLiteral("B %1, line %2").arg(code).arg(other)));
            }
        }
        for (int field : {0x001, 0x100, 0x0A5, 0x1FF, 0x018}) {
            view.drawCDecoder(*machineWith(word(0, field, 0, 0)));
            for (int bit = 0; bit < 9; ++bit) {
                QVERIFY2((view.cLineColor(bit) != unlitC) == (((field >> bit) & 1) != 0),
                         qPrintable(QStringLiteral("C %1, bit %2").arg(field).arg(bit)));
            }
        }
    }

    void theControlAndFlagLinesFollowTheMicroInstruction() {
        DatapathView view;
        const auto lit = [&view] {
            QList<ControlLine> on;
            for (ControlLine line : geometry::kControlLines) {
                if (view.controlLineColor(line) != view.controlLineColor(ControlLine::N)) {
                    on.append(line); // N is not drawn before the flags
                }
            }
            return on;
        };
        // SLL8 and JMPC; then SRA1 and JAMZ with Z set: the old lines go out.
        view.drawControlLines(*machineWith(word(0, 0, 0x80 | 0x14, 0x4)));
        QCOMPARE(lit(), (QList<ControlLine>{ControlLine::SLL8, ControlLine::JMPC}));
        auto next = machineWith(word(0, 0, 0x40 | 0x14, 0x1));
        next->Z = 1;
        view.drawControlLines(*next);
        QCOMPARE(lit(), QList<ControlLine>{ControlLine::SRA1});
        view.drawFlagLines(*next);
        QCOMPARE(lit(), (QList<ControlLine>{ControlLine::SRA1, ControlLine::Z, ControlLine::NZ}));
    }

    void theAluPanelNamesTheFunctionAndItsResult_data() {
        QTest::addColumn<int>("function");
        QTest::addColumn<std::int32_t>("c");
        QTest::addColumn<QString>("text");
        QTest::newRow("H") << 24 << 7 << "H = 7";
        QTest::newRow("B") << 20 << -3 << "B = -3";
        QTest::newRow("NOT H") << 26 << -1 << "NOT H = -1";
        QTest::newRow("NOT B") << 44 << 0 << "NOT B = 0";
        QTest::newRow("H + B") << 60 << 12 << "H + B = 12";
        QTest::newRow("H + B + 1") << 61 << 13 << "H + B + 1 = 13";
        QTest::newRow("H + 1") << 57 << 2 << "H + 1 = 2";
        QTest::newRow("B + 1") << 53 << 2 << "B + 1 = 2";
        QTest::newRow("B - H") << 63 << -2147483647 - 1 << "B - H = -2147483648";
        QTest::newRow("B - 1") << 55 << 2147483647 << "B - 1 = 2147483647";
        QTest::newRow("AND") << 12 << 4 << "H AND B = 4";
        QTest::newRow("OR") << 28 << 5 << "H OR B = 5";
        QTest::newRow("-H") << 59 << -9 << "-H = -9";
        QTest::newRow("zero") << 16 << 0 << "0";
        QTest::newRow("one shifted left") << 17 << 256 << "256";
        QTest::newRow("minus one") << 18 << -1 << "-1";
        QTest::newRow("not a code") << 54 << 0 << "0";
    }
    void theAluPanelNamesTheFunctionAndItsResult() {
        QFETCH(int, function);
        QFETCH(std::int32_t, c);
        QFETCH(QString, text);
        DatapathView view;
        ControlPath machine;
        machine.aluFunction = static_cast<std::uint8_t>(function);
        machine.C = c;
        view.showALU(machine);
        QCOMPARE(view.aluPanel()->text(), text);
    }

    void busTracesShowTheirValuesAndEnd() {
        DatapathView view;
        QSignalSpy bShown(&view, &DatapathView::bBusValueShown);
        QSignalSpy cShown(&view, &DatapathView::cBusValueShown);
        auto machine = machineWith(word(1, 0x1FF, 0x14, 0));
        // The call returns at once; the trace goes on in the event loop.
        QElapsedTimer clock;
        clock.start();
        view.animateBBus(*machine, 5);
        QVERIFY(clock.elapsed() < 250);
        QVERIFY(view.isAnimating());
        // A C trace first completes the running B trace.
        view.animateCBus(*machine, 0);
        QCOMPARE(bShown.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!view.isAnimating(), 10000);
        QCOMPARE(cShown.count(), 1);
        // A trace cut short by a repaint does not come back later.
        view.animateCBus(*machine, 5);
        view.repaintPicture();
        QVERIFY(!view.isAnimating());
        QTest::qWait(50);
        QVERIFY(!view.isAnimating());
    }

    void theWindowsEndEachWay_data() {
        QTest::addColumn<int>("way");
        QTest::addColumn<int>("result");
        QTest::newRow("Info, Ok") << 0 << int(QDialog::Accepted);
        QTest::newRow("Info, Return") << 1 << int(QDialog::Accepted);
        QTest::newRow("Info, close box") << 2 << int(QDialog::Rejected);
        QTest::newRow("message, Ok") << 3 << int(QDialog::Accepted);
    }
    void theWindowsEndEachWay() {
        QFETCH(int, way);
        QFETCH(int, result);
        TForm2 info;
        QVERIFY(!TForm2::creditLines().isEmpty());
        QCOMPARE(info.findChild<QLabel*>(QStringLiteral("Credit1"))->text(),
                 TForm2::creditLines().first());
        TForm3 message;
        message.setText(QStringLiteral("Un messaggio"));
        QCOMPARE(message.messageLabel()->text(), QStringLiteral("Un messaggio"));
        QDialog& dialog = way < 3 ? static_cast<QDialog&>(info) : message;
        const std::function<void()> ways[] = {
            [&info] { QTest::mouseClick(info.okButton(), Qt::LeftButton); },
            [&info] { QTest::keyClick(&info, Qt::Key_Return); },
            [&info] { info.close(); },
            [&message] { message.okButton()->click(); },
        };
        QCOMPARE(execAndThen(dialog, ways[way]), result);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
