// The datapath picture's ALU panel: the function of the micro-instruction executed last and the
// value it put on the C bus.

#include "machine/control_path.h"
#include "ui/picture/datapath_view.h"

#include <QLabel>
#include <QtTest>

using namespace tessaro;

class TestPictures : public QObject {
    Q_OBJECT
private slots:
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
};

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
