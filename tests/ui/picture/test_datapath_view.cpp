// The datapath and clock pictures, read back from their bitmaps after each drawing step.

#include "machine/control_path.h"
#include "ui/picture/clock_view.h"
#include "ui/picture/datapath_geometry.h"
#include "ui/picture/datapath_view.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace tessaro;
namespace g = tessaro::geometry;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);

// A control word built from its fields.
std::int32_t word(int b, int mem, int c, int alu, int jam) {
    return static_cast<std::int32_t>((b & 0xF) | ((mem & 7) << 4) | ((c & 0x1FF) << 7) |
                                     ((alu & 0xFF) << 16) | ((jam & 7) << 24));
}

// A machine whose last micro-instruction is the given control word at address 0x40.
std::unique_ptr<ControlPath> machineWith(std::int32_t controlWord) {
    auto machine = std::make_unique<ControlPath>();
    machine->controlStore[0x40].word = controlWord;
    machine->lastMPC = 0x40;
    machine->MIR = static_cast<std::uint32_t>(controlWord);
    return machine;
}

// A point in the middle of a polyline's first segment, on the line itself.
QPoint onLine(const g::Polyline& line) {
    const QPoint a = line.points[0];
    const QPoint b = line.points[1];
    return (a + b) / 2;
}

QPoint onControlLine(g::ControlLine line) {
    return onLine(g::controlLinePath(line));
}

int blueRowsIn(const DatapathView& view, const QRect& block) {
    int rows = 0;
    for (int y = block.top(); y <= block.bottom(); ++y) {
        if (view.overlayColorAt(QPoint(block.center().x(), y)) == kBlue) {
            ++rows;
        }
    }
    return rows;
}

bool allBlue(const DatapathView& view, const QRect& block) {
    for (int y = block.top(); y <= block.bottom(); ++y) {
        for (int x = block.left(); x <= block.right(); ++x) {
            if (view.overlayColorAt(QPoint(x, y)) != kBlue) {
                return false;
            }
        }
    }
    return true;
}

bool noneBlue(const DatapathView& view, const QRect& block) {
    for (int y = block.top(); y <= block.bottom(); ++y) {
        for (int x = block.left(); x <= block.right(); ++x) {
            if (view.overlayColorAt(QPoint(x, y)) == kBlue) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

class TestDatapathView : public QObject {
    Q_OBJECT
private slots:
    void layoutTableIsConsistent();
    void labelRectsByObjectName();
    void bDecoderRedLineFollowsBCode_data();
    void bDecoderRedLineFollowsBCode();
    void cDecoderMarksEverySetBit();
    void controlAndFlagLines();
    void drawingNeverAddsControlStoreEntries();
    void bTraceOfRegisterCode();
    void bTraceWithoutRegisterRowOnlyFillsStub_data();
    void bTraceWithoutRegisterRowOnlyFillsStub();
    void cTraceReachesLowestWrittenRow();
    void cTraceWithoutCBitsReachesMarRow();
    void traceOrderAndPacing();
    void newTraceCompletesRunningOne();
    void repaintClearsOverlayAndStopsTrace();
    void windowStaysResponsiveDuringSlowTrace();
    void fullRefreshIsQuick();
    void aluPanel_data();
    void aluPanel();
    void clockPhases();
    void clockFullRefreshAndRepaint();
    void picturesAtDoubleScale();
    void screenshots();
};

void TestDatapathView::layoutTableIsConsistent() {
    // Every row lies inside the picture, rows do not overlap, and every register row keeps
    // clear of the listing that lies on the picture.
    const QRect picture(QPoint(0, 0), g::kPictureRect.size());
    const QRect listing = g::toPicture(g::kListingRect);
    QCOMPARE(g::kLayout.controlStore, listing);
    for (int row = 0; row < 10; ++row) {
        const QRect box = g::registerBox(row);
        QVERIFY(picture.contains(box));
        QVERIFY(!box.intersects(listing));
        if (row > 0) {
            QVERIFY(g::registerBox(row - 1).bottom() < box.top());
        }
        // The value label sits inside its register box.
        QVERIFY(box.contains(g::toPicture(g::registerLabelRect(row)).topLeft()));
    }
    for (int i = 0; i < 9; ++i) {
        QVERIFY(g::rowOfCBit(i) >= 0);
    }
    QCOMPARE(g::rowOfCBit(3), 4); // SP sits below MBR, which the C bus cannot write
    for (int code : {0, 8, 11, 15}) {
        QCOMPARE(g::rowOfBCode(code), -1);
    }
    QCOMPARE(g::rowOfBCode(9), g::rowOfBCode(10));
    // The MIR bits: one row, grouped, from x 359 to about 770, all over the MIR box.
    QCOMPARE(g::mirBitRect(0).x(), 359);
    QVERIFY(std::abs(g::mirBitRect(35).x() - 770) <= 4);
    for (int i = 1; i < 36; ++i) {
        QCOMPARE(g::mirBitRect(i).y(), 357);
        const int step = g::mirBitRect(i).x() - g::mirBitRect(i - 1).x();
        const bool newField = g::mirFieldOf(i) != g::mirFieldOf(i - 1);
        QCOMPARE(step, newField ? g::kMirBitPitch + g::kMirFieldGap : g::kMirBitPitch);
        QVERIFY(g::kLayout.mirBox.contains(g::toPicture(g::mirBitRect(i))));
    }
    QCOMPARE(g::mirFieldOf(8), 0);
    QCOMPARE(g::mirFieldOf(9), 1);
    QCOMPARE(g::mirFieldOf(35), 5);
    // Flags and MPC labels sit in their boxes.
    QVERIFY(g::kLayout.nBox.contains(g::toPicture(g::kNValueRect).topLeft()));
    QVERIFY(g::kLayout.zBox.contains(g::toPicture(g::kZValueRect).topLeft()));
    QVERIFY(g::kLayout.mpcBox.contains(g::toPicture(g::kMpcValueRect).topLeft()));
}

void TestDatapathView::labelRectsByObjectName() {
    QCOMPARE(g::labelRect(QStringLiteral("Label11")).topLeft(), QPoint(136, 39));
    QCOMPARE(g::labelRect(QStringLiteral("Label14")).topLeft(), QPoint(136, 124)); // MBR
    QCOMPARE(g::labelRect(QStringLiteral("Label20")).topLeft(), QPoint(136, 295)); // H
    QCOMPARE(g::labelRect(QStringLiteral("Label27")).topLeft(), QPoint(150, 314));
    QCOMPARE(g::labelRect(QStringLiteral("Label28")).topLeft(), QPoint(48, 20));
    QCOMPARE(g::labelRect(QStringLiteral("Label29")).topLeft(), QPoint(266, 342));
    QCOMPARE(g::labelRect(QStringLiteral("Label30")).topLeft(), QPoint(266, 374));
    QCOMPARE(g::labelRect(QStringLiteral("Label1")).topLeft(), QPoint(320, 91));
    QCOMPARE(g::labelRect(QStringLiteral("LabelBusC")).topLeft(), QPoint(9, 20));
    QCOMPARE(g::labelRect(QStringLiteral("L1")), g::mirBitRect(0));
    QCOMPARE(g::labelRect(QStringLiteral("L36")), g::mirBitRect(35));
    for (const char* unknown :
         {"L0", "L37", "Label10", "Label21", "Label", "L01", "Label11x", ""}) {
        QVERIFY2(g::labelRect(QString::fromLatin1(unknown)).isNull(), unknown);
    }
}

void TestDatapathView::bDecoderRedLineFollowsBCode_data() {
    QTest::addColumn<int>("code");
    for (int code = 0; code < 16; ++code) {
        QTest::addRow("B=%d", code) << code;
    }
}

void TestDatapathView::bDecoderRedLineFollowsBCode() {
    QFETCH(int, code);
    DatapathView view;
    // A previous micro-instruction with another code leaves its line red until redrawn.
    auto before = machineWith(word(code == 2 ? 3 : 2, 0, 0, 0x3C, 0));
    view.drawBDecoder(*before);
    auto machine = machineWith(word(code, 0, 0x1FF, 0x3C, 0));
    view.drawBDecoder(*machine);
    const bool hasLine = g::rowOfBCode(code) >= 0;
    for (int other = 0; other < 16; ++other) {
        const g::Polyline line = g::bDecoderLine(other);
        if (line.count == 0) {
            continue;
        }
        const QColor expected = (other == code) ? kRed : kBlack;
        QCOMPARE(view.pictureColorAt(onLine(line)), expected);
        QCOMPARE(view.bLineColor(other), expected);
    }
    if (!hasLine) {
        QCOMPARE(view.bLineColor(code), QColor());
    }
    // The C lines are not touched by the B decoder.
    for (int i = 0; i < 9; ++i) {
        QCOMPARE(view.pictureColorAt(onLine(g::cDecoderLine(i))), kBlack);
    }
}

void TestDatapathView::cDecoderMarksEverySetBit() {
    DatapathView view;
    for (int field : {0x000, 0x001, 0x100, 0x0A5, 0x1FF, 0x018}) {
        auto machine = machineWith(word(0, 0, field, 0, 0));
        view.drawCDecoder(*machine);
        for (int i = 0; i < 9; ++i) {
            const QColor expected = ((field >> i) & 1) ? kRed : kBlack;
            QVERIFY2(view.pictureColorAt(onLine(g::cDecoderLine(i))) == expected,
                     qPrintable(QStringLiteral("field %1 bit %2").arg(field).arg(i)));
            QCOMPARE(view.cLineColor(i), expected);
        }
    }
}

void TestDatapathView::controlAndFlagLines() {
    DatapathView view;
    const auto colourOf = [&view](g::ControlLine line) {
        return view.pictureColorAt(onControlLine(line));
    };
    // SLL8 (ALU bit 7), JMPC (JAM bit 2), N and Z set.
    auto machine = machineWith(word(0, 0, 0, 0x80 | 0x14, 0x4));
    machine->N = 1;
    machine->Z = 0;
    view.drawControlLines(*machine);
    QCOMPARE(colourOf(g::ControlLine::SLL8), kRed);
    QCOMPARE(colourOf(g::ControlLine::SRA1), kBlack);
    QCOMPARE(colourOf(g::ControlLine::JMPC), kRed);
    // drawControlLines resets the flag lines and does not colour them.
    QCOMPARE(colourOf(g::ControlLine::N), kBlack);
    QCOMPARE(colourOf(g::ControlLine::NZ), kBlack);
    view.drawFlagLines(*machine);
    QCOMPARE(colourOf(g::ControlLine::N), kRed);
    QCOMPARE(colourOf(g::ControlLine::Z), kBlack);
    QCOMPARE(colourOf(g::ControlLine::NZ), kRed);
    QCOMPARE(colourOf(g::ControlLine::SLL8), kRed); // flag lines leave the others alone

    // The next micro-instruction: SRA1 only, Z = 1. The old red lines go black again.
    auto next = machineWith(word(0, 0, 0, 0x40 | 0x14, 0x1));
    next->N = 0;
    next->Z = 1;
    view.drawControlLines(*next);
    QCOMPARE(colourOf(g::ControlLine::SLL8), kBlack);
    QCOMPARE(colourOf(g::ControlLine::SRA1), kRed);
    QCOMPARE(colourOf(g::ControlLine::JMPC), kBlack); // JAMZ is not JMPC
    QCOMPARE(colourOf(g::ControlLine::N), kBlack);
    QCOMPARE(colourOf(g::ControlLine::NZ), kBlack);
    view.drawFlagLines(*next);
    QCOMPARE(colourOf(g::ControlLine::N), kBlack);
    QCOMPARE(colourOf(g::ControlLine::Z), kRed);
    QCOMPARE(colourOf(g::ControlLine::NZ), kRed);
    QCOMPARE(view.controlLineColor(g::ControlLine::Z), kRed);

    // Both shift bits (no shift at all) still light both lines: they show the bits.
    auto both = machineWith(word(0, 0, 0, 0xC0, 0));
    view.drawControlLines(*both);
    QCOMPARE(colourOf(g::ControlLine::SLL8), kRed);
    QCOMPARE(colourOf(g::ControlLine::SRA1), kRed);
}

void TestDatapathView::drawingNeverAddsControlStoreEntries() {
    // The drawing reads the entry at lastMPC without creating it: an address that was never
    // loaded reads as an all-zero micro-instruction and the store keeps its size.
    ControlPath machine;
    machine.lastMPC = 0x1FF;
    DatapathView view;
    view.drawBDecoder(machine);
    view.drawCDecoder(machine);
    view.drawControlLines(machine);
    view.animateBBus(machine, 0);
    view.animateCBus(machine, 0);
    view.finishAnimations();
    QCOMPARE(machine.controlStore.peek(0x1FF), nullptr);
    for (int code = 1; code < 16; ++code) {
        if (g::rowOfBCode(code) >= 0) {
            QCOMPARE(view.bLineColor(code), kBlack);
        }
    }
    QVERIFY(allBlue(view, g::cVertical(0))); // no C bit: up to the MAR row
}

void TestDatapathView::bTraceOfRegisterCode() {
    DatapathView view;
    QSignalSpy shown(&view, &DatapathView::bBusValueShown);
    auto machine = machineWith(word(6, 0, 0, 0x14, 0)); // TOS
    view.animateBBus(*machine, 0);
    QCOMPARE(shown.count(), 1);
    QTRY_VERIFY(!view.isAnimating());
    const int row = g::rowOfBCode(6);
    QVERIFY(allBlue(view, g::bConnection(row)));
    QVERIFY(allBlue(view, g::bVertical(row)));
    QVERIFY(allBlue(view, g::kLayout.bStub));
    // Nothing above the TOS row and no other register's connection.
    QVERIFY(noneBlue(view,
                     QRect(g::kLayout.bBusX, 0, g::kLayout.bBusWidth, g::bConnection(row).top())));
    QVERIFY(noneBlue(view, g::bConnection(g::rowOfBCode(1))));
    QVERIFY(noneBlue(view, g::cRun()));
    // The C bus trace leaves the B trace in place.
    view.animateCBus(*machine, 0);
    view.finishAnimations();
    QVERIFY(allBlue(view, g::bVertical(row)));
}

void TestDatapathView::bTraceWithoutRegisterRowOnlyFillsStub_data() {
    QTest::addColumn<int>("code");
    QTest::newRow("MAR (0)") << 0;
    QTest::newRow("H (8)") << 8;
    QTest::newRow("undefined (11)") << 11;
    QTest::newRow("undefined (15)") << 15;
}

void TestDatapathView::bTraceWithoutRegisterRowOnlyFillsStub() {
    QFETCH(int, code);
    DatapathView view;
    auto machine = machineWith(word(code, 0, 0, 0x14, 0));
    view.drawBDecoder(*machine);
    for (int other = 0; other < 16; ++other) {
        if (g::rowOfBCode(other) >= 0) {
            QCOMPARE(view.pictureColorAt(onLine(g::bDecoderLine(other))), kBlack);
        }
    }
    view.animateBBus(*machine, 0);
    view.finishAnimations();
    QVERIFY(allBlue(view, g::kLayout.bStub));
    QVERIFY(noneBlue(view, g::bVertical(g::rowOfBCode(1))));
    for (int row = 0; row < 10; ++row) {
        QVERIFY(noneBlue(view, g::bConnection(row)));
    }
}

void TestDatapathView::cTraceReachesLowestWrittenRow() {
    DatapathView view;
    QSignalSpy shown(&view, &DatapathView::cBusValueShown);
    // TOS (bit 6) and H (bit 8): the vertical run stops at TOS, the upper rows stay clear.
    auto machine = machineWith(word(0, 0, (1 << 6) | (1 << 8), 0x14, 0));
    view.animateCBus(*machine, 0);
    QCOMPARE(shown.count(), 1);
    view.finishAnimations();
    const int tos = g::rowOfCBit(6);
    QVERIFY(allBlue(view, g::kLayout.cDrop));
    QVERIFY(allBlue(view, g::cRun()));
    QVERIFY(allBlue(view, g::cVertical(tos)));
    QVERIFY(allBlue(view, g::cStub(tos)));
    QVERIFY(allBlue(view, g::cStub(g::rowOfCBit(8))));
    QVERIFY(noneBlue(view, g::cStub(g::rowOfCBit(7))));
    QVERIFY(
        noneBlue(view, QRect(g::kLayout.cBusX, 0, g::kLayout.cBusWidth, g::cVertical(tos).top())));
    // MAR (bit 0) alone: the run goes all the way up.
    view.repaintPicture();
    auto mar = machineWith(word(0, 0, 1, 0x14, 0));
    view.animateCBus(*mar, 0);
    view.finishAnimations();
    QVERIFY(allBlue(view, g::cVertical(0)));
    QVERIFY(allBlue(view, g::cStub(0)));
    QVERIFY(noneBlue(view, g::cStub(g::rowOfCBit(1))));
}

void TestDatapathView::cTraceWithoutCBitsReachesMarRow() {
    DatapathView view;
    auto machine = machineWith(word(1, 0, 0, 0x14, 0));
    view.drawCDecoder(*machine);
    for (int i = 0; i < 9; ++i) {
        QCOMPARE(view.cLineColor(i), kBlack);
    }
    view.animateCBus(*machine, 0);
    view.finishAnimations();
    QVERIFY(allBlue(view, g::cVertical(0)));
    for (int i = 0; i < 9; ++i) {
        QVERIFY(noneBlue(view, g::cStub(g::rowOfCBit(i))));
    }
}

void TestDatapathView::traceOrderAndPacing() {
    DatapathView view;
    auto machine = machineWith(word(0, 0, 1 << 8, 0x14, 0)); // H only
    // With a long pause per row the trace advances one row per pause, in the documented
    // order: the drop from the top down, the runs from the bottom up.
    view.animateCBus(*machine, 40);
    QVERIFY(view.isAnimating());
    QTRY_COMPARE_WITH_TIMEOUT(blueRowsIn(view, g::kLayout.cDrop), 1, 1000);
    const QRect drop = g::kLayout.cDrop;
    QCOMPARE(view.overlayColorAt(drop.topLeft()), kBlue);
    QVERIFY(view.overlayColorAt(drop.bottomLeft()) != kBlue);
    QVERIFY(blueRowsIn(view, g::cRun()) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(blueRowsIn(view, g::cRun()) >= 1, 2000);
    const QRect run = g::cRun();
    QCOMPARE(view.overlayColorAt(QPoint(run.center().x(), run.bottom())), kBlue);
    QVERIFY(view.overlayColorAt(QPoint(run.center().x(), run.top())) != kBlue);
    QVERIFY(blueRowsIn(view, drop) == drop.height());
    view.finishAnimations();
    QVERIFY(!view.isAnimating());
    QVERIFY(allBlue(view, g::cStub(g::rowOfCBit(8))));
}

void TestDatapathView::newTraceCompletesRunningOne() {
    DatapathView view;
    auto machine = machineWith(word(1, 0, 1 << 1, 0x14, 0)); // MDR onto B, MDR from C
    view.animateBBus(*machine, 50);
    QVERIFY(view.isAnimating());
    QVERIFY(!allBlue(view, g::bVertical(g::rowOfBCode(1))));
    // The C trace first completes the B trace at once.
    view.animateCBus(*machine, 50);
    QVERIFY(allBlue(view, g::bConnection(g::rowOfBCode(1))));
    QVERIFY(allBlue(view, g::bVertical(g::rowOfBCode(1))));
    QVERIFY(allBlue(view, g::kLayout.bStub));
    QVERIFY(view.isAnimating());
    QVERIFY(!allBlue(view, g::cRun()));
    view.finishAnimations();
    QVERIFY(allBlue(view, g::cVertical(g::rowOfCBit(1))));
    QVERIFY(allBlue(view, g::cStub(g::rowOfCBit(1))));
}

void TestDatapathView::repaintClearsOverlayAndStopsTrace() {
    DatapathView view;
    auto machine = machineWith(word(2, 0, 1 << 2, 0x14, 0));
    view.animateBBus(*machine, 0);
    view.finishAnimations();
    QVERIFY(allBlue(view, g::kLayout.bStub));
    // A draw step repaints the picture: the blue goes, the red line stays.
    view.drawBDecoder(*machine);
    QVERIFY(noneBlue(view, g::kLayout.bStub));
    QCOMPARE(view.bLineColor(2), kRed);
    // A trace cut short by a repaint does not come back later.
    view.animateCBus(*machine, 5);
    QVERIFY(view.isAnimating());
    view.repaintPicture();
    QVERIFY(!view.isAnimating());
    QTest::qWait(60);
    QVERIFY(noneBlue(view, g::cRun()));
    QVERIFY(noneBlue(view, g::kLayout.cDrop));
}

void TestDatapathView::windowStaysResponsiveDuringSlowTrace() {
    DatapathView view;
    auto machine = machineWith(word(0, 0, 0x1FF, 0x14, 0));
    QElapsedTimer clock;
    clock.start();
    view.animateCBus(*machine, 1);
    // The call returns at once (a trace that slept per row would take over 400 ms; the bound
    // leaves room for a loaded machine); the trace goes on in the event loop.
    QVERIFY(clock.elapsed() < 250);
    QVERIFY(view.isAnimating());
    int timerTicks = 0;
    QTimer other;
    connect(&other, &QTimer::timeout, [&timerTicks] { ++timerTicks; });
    other.start(5);
    QTRY_VERIFY_WITH_TIMEOUT(!view.isAnimating(), 10000);
    QVERIFY(timerTicks > 0);
    QVERIFY(allBlue(view, g::cVertical(0)));
    for (int i = 0; i < 9; ++i) {
        QVERIFY(allBlue(view, g::cStub(g::rowOfCBit(i))));
    }
}

void TestDatapathView::fullRefreshIsQuick() {
    // Every step command redraws the whole picture; it must not hold the window up. The bound
    // is loose (sanitizer builds, a loaded machine): a sleep per row or a per-step rebuild of
    // the whole figure would still exceed it.
    DatapathView view;
    auto machine = machineWith(word(6, 2, 0x1FF, 0x80 | 0x35, 0x4));
    machine->N = 1;
    constexpr int kRefreshes = 20;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kRefreshes; ++i) {
        view.drawBDecoder(*machine);
        view.drawCDecoder(*machine);
        view.drawControlLines(*machine);
        view.drawFlagLines(*machine);
        view.animateBBus(*machine, 0);
        view.showALU(*machine);
        view.animateCBus(*machine, 0);
        view.finishAnimations();
    }
    const qint64 perRefresh = clock.elapsed() / kRefreshes;
    qInfo("one full refresh of the picture: %lld ms", static_cast<long long>(perRefresh));
    QVERIFY(perRefresh < 100);
}

void TestDatapathView::aluPanel_data() {
    QTest::addColumn<int>("function");
    QTest::addColumn<std::int32_t>("c");
    QTest::addColumn<QString>("text");
    QTest::newRow("24 H") << 24 << 7 << "H = 7";
    QTest::newRow("20 B") << 20 << -3 << "B = -3";
    QTest::newRow("26 NOT H") << 26 << -1 << "NOT H = -1";
    QTest::newRow("44 NOT B") << 44 << 0 << "NOT B = 0";
    QTest::newRow("60 H+B") << 60 << 12 << "H + B = 12";
    QTest::newRow("61 H+B+1") << 61 << 13 << "H + B + 1 = 13";
    QTest::newRow("57 H+1") << 57 << 2 << "H + 1 = 2";
    QTest::newRow("53 B+1") << 53 << 2 << "B + 1 = 2";
    QTest::newRow("63 B-H") << 63 << -2147483647 - 1 << "B - H = -2147483648";
    QTest::newRow("55 B-1") << 55 << 2147483647 << "B - 1 = 2147483647";
    QTest::newRow("12 AND") << 12 << 4 << "H AND B = 4";
    QTest::newRow("28 OR") << 28 << 5 << "H OR B = 5";
    QTest::newRow("59 -H") << 59 << -9 << "-H = -9";
    QTest::newRow("16 zero") << 16 << 0 << "0";
    QTest::newRow("17 one") << 17 << 1 << "1";
    QTest::newRow("18 minus one") << 18 << -1 << "-1";
    QTest::newRow("17 one shifted left") << 17 << 256 << "256";
    QTest::newRow("54 not a code") << 54 << 0 << "0";
    QTest::newRow("0 not a code") << 0 << 0 << "0";
}

void TestDatapathView::aluPanel() {
    QFETCH(int, function);
    QFETCH(std::int32_t, c);
    QFETCH(QString, text);
    DatapathView view;
    QLabel* panel = view.aluPanel();
    QCOMPARE(panel->objectName(), QStringLiteral("Panel2"));
    QCOMPARE(view.findChild<QLabel*>(QStringLiteral("Panel2")), panel);
    QCOMPARE(panel->text(), QStringLiteral("ALU"));
    ControlPath machine;
    machine.aluFunction = static_cast<std::uint8_t>(function);
    machine.C = c;
    view.showALU(machine);
    QCOMPARE(panel->text(), text);
    QCOMPARE(panel->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    QVERIFY(g::kLayout.aluPanel.intersects(QRect(QPoint(0, 0), g::kPictureRect.size())));
}

void TestDatapathView::clockPhases() {
    ClockView clock;
    QCOMPARE(clock.size(), g::kClockRect.size());
    const auto redStrokes = [&clock] {
        QList<int> red;
        for (int s = 0; s < g::kClockStrokes; ++s) {
            if (clock.isStrokeRed(s)) {
                red << s;
            }
        }
        return red;
    };
    QCOMPARE(redStrokes(), QList<int>());
    clock.repaintClock();
    clock.drawClock(0);
    QCOMPARE(redStrokes(), (QList<int>{0, 1}));
    clock.drawClock(1);
    QCOMPARE(redStrokes(), (QList<int>{0, 1, 2}));
    clock.drawClock(2);
    QCOMPARE(redStrokes(), (QList<int>{0, 1, 2, 3}));
    clock.drawClock(3);
    QCOMPARE(redStrokes(), (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    // Phase 1 alone (no repaint before it) draws its segment only.
    clock.repaintClock();
    clock.drawClock(1);
    QCOMPARE(redStrokes(), (QList<int>{2}));
    // Out-of-range phases draw nothing.
    clock.repaintClock();
    clock.drawClock(5);
    clock.drawClock(-1);
    QCOMPARE(redStrokes(), QList<int>());
}

void TestDatapathView::clockFullRefreshAndRepaint() {
    ClockView clock;
    clock.repaintClock();
    clock.drawClock(4);
    for (int s = 0; s < g::kClockStrokes; ++s) {
        QVERIFY(clock.isStrokeRed(s));
    }
    // The waveform beneath is black, so the red is only on the overlay.
    const auto [from, to] = g::clockStroke(2);
    const QImage picture = clock.pictureImage();
    const QPoint middle = (from + to) / 2 * picture.devicePixelRatio();
    const QColor beneath = picture.pixelColor(middle);
    QVERIFY(beneath != kRed && beneath.lightness() < 64);
    clock.repaintClock();
    for (int s = 0; s < g::kClockStrokes; ++s) {
        QVERIFY(!clock.isStrokeRed(s));
    }
    QCOMPARE(clock.pictureImage().pixelColor(middle), beneath);
}

void TestDatapathView::picturesAtDoubleScale() {
    // The pictures are drawn in logical coordinates at the pixel ratio of the screen; the
    // read-back maps logical points to pixels.
    DatapathView view;
    auto machine = machineWith(word(5, 0, 1 << 5, 0x14, 0));
    view.drawBDecoder(*machine);
    const QImage picture = view.pictureImage();
    QCOMPARE(picture.size(), g::kPictureRect.size() * picture.devicePixelRatio());
    QCOMPARE(view.pictureColorAt(onLine(g::bDecoderLine(5))), kRed);
    // A picture rendered at ratio 2 puts the same line at twice the pixel coordinates.
    QImage doubled(g::kPictureRect.size() * 2, QImage::Format_ARGB32_Premultiplied);
    doubled.setDevicePixelRatio(2);
    doubled.fill(Qt::white);
    {
        QPainter painter(&doubled);
        view.render(&painter);
    }
    const QPoint point = onLine(g::bDecoderLine(5));
    QCOMPARE(doubled.pixelColor(point * 2), kRed);
    QCOMPARE(doubled.pixelColor(point * 2 + QPoint(1, 0)), kRed);

    // What the screen shows, at its own ratio: the picture with the overlay on top.
    view.animateBBus(*machine, 0);
    view.finishAnimations();
    const QImage shown = view.grab().toImage();
    const qreal ratio = shown.devicePixelRatio();
    QCOMPARE(shown.size(), g::kPictureRect.size() * ratio);
    const auto shownAt = [&shown, ratio](QPoint p) {
        return shown.pixelColor(QPoint(static_cast<int>((p.x() + 0.5) * ratio),
                                       static_cast<int>((p.y() + 0.5) * ratio)));
    };
    QCOMPARE(shownAt(g::kLayout.bStub.center()), kBlue);
    QCOMPARE(shownAt(g::bConnection(g::rowOfBCode(5)).center()), kBlue);
    QVERIFY(shownAt(g::bConnection(g::rowOfBCode(6)).center()) != kBlue);
    QCOMPARE(shownAt(point), kRed);
}

void TestDatapathView::screenshots() {
    // Renders the pictures for a look by eye when TESSARO_SCREENSHOT_DIR is set.
    const QString dir = qEnvironmentVariable("TESSARO_SCREENSHOT_DIR");
    if (dir.isEmpty()) {
        QSKIP("TESSARO_SCREENSHOT_DIR not set");
    }
    QDir().mkpath(dir);
    DatapathView view;
    auto machine = machineWith(word(6, 2, (1 << 3) | (1 << 6), 0x80 | 0x35, 0x4));
    machine->aluFunction = 53;
    machine->C = 1234;
    machine->N = 0;
    machine->Z = 1;
    view.drawBDecoder(*machine);
    view.drawCDecoder(*machine);
    view.drawControlLines(*machine);
    view.drawFlagLines(*machine);
    view.animateBBus(*machine, 0);
    view.showALU(*machine);
    view.animateCBus(*machine, 0);
    view.finishAnimations();
    QVERIFY(view.grab().save(dir + QStringLiteral("/datapath.png")));

    // The picture as the main window shows it, with its labels and the listing laid over it.
    QWidget window;
    window.setFixedSize(g::kBusOverlayRect.size());
    auto* picture = new DatapathView(&window);
    picture->move(g::kPictureRect.topLeft());
    picture->drawBDecoder(*machine);
    picture->drawCDecoder(*machine);
    picture->drawControlLines(*machine);
    picture->drawFlagLines(*machine);
    picture->animateBBus(*machine, 0);
    picture->showALU(*machine);
    picture->animateCBus(*machine, 0);
    picture->finishAnimations();
    auto* listing = new QPlainTextEdit(&window);
    listing->setGeometry(g::kListingRect);
    listing->setPlainText(
        QStringLiteral("Main1  PC = PC + 1; fetch; goto (MBR)\nnop1   goto Main1\n"
                       "iadd1  MAR = SP = SP - 1; rd\niadd2  H = TOS\niadd3  MDR = TOS = MDR + H; "
                       "wr; goto Main1"));
    QFont bold;
    bold.setBold(true);
    const auto place = [&window, &bold](const QRect& rect, const QString& text) {
        auto* label = new QLabel(text, &window);
        label->setFont(bold);
        label->setGeometry(rect);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
        label->setPalette(palette);
    };
    const char* values[10] = {"2001", "-7", "14",   "96", "2003",
                              "2000", "0",  "1234", "17", "-2147483648"};
    for (int row = 0; row < 10; ++row) {
        place(g::registerLabelRect(row), QString::fromLatin1(values[row]));
    }
    place(g::kBusCCaptionRect, QStringLiteral("Bus C:"));
    place(g::kBusCValueRect, QStringLiteral("1234"));
    place(g::kBusBValueRect, QStringLiteral("1233"));
    place(g::kNValueRect, QStringLiteral("0"));
    place(g::kZValueRect, QStringLiteral("1"));
    place(g::kMpcValueRect, QStringLiteral("0x17"));
    const std::uint32_t bits =
        (0x17u << 27) | static_cast<std::uint32_t>(machine->controlStore[0x40].word);
    for (int i = 0; i < 36; ++i) {
        place(g::mirBitRect(i),
              ((bits >> (35 - i)) & 1u) ? QStringLiteral("1") : QStringLiteral("0"));
    }
    QVERIFY(window.grab().save(dir + QStringLiteral("/window.png")));
    ClockView clock;
    clock.drawClock(0);
    clock.drawClock(1);
    QVERIFY(clock.grab().save(dir + QStringLiteral("/clock.png")));
}

QTEST_MAIN(TestDatapathView)
#include "test_datapath_view.moc"
