// The texts of the machine views, built from a machine whose members are set by hand.
#include "machine/control_path.h"
#include "ui/machine_views.h"

#include <QtTest>

using namespace tessaro;

namespace {

constexpr std::uint32_t word(std::int32_t a) {
    return static_cast<std::uint32_t>(a);
}

void addConstant(ControlPath& m, int index, const char* name, int value) {
    SymbolTable c;
    c.index = index;
    c.name = name;
    c.value = value;
    m.constants.insertTail(c);
    m.wordMemory[word(index)] = value;
}

Method& addMethod(ControlPath& m, const char* name, int number,
                  std::initializer_list<const char*> variables = {}) {
    Method method;
    method.name = name;
    method.number = number;
    for (const char* v : variables) {
        SymbolTable s;
        s.name = v;
        method.variables.insertTail(s);
    }
    m.methods.insertTail(method);
    auto it = m.methods.end();
    --it;
    return *it;
}

void setMethodArea(ControlPath& m, std::vector<std::uint8_t> bytes) {
    m.methodArea = std::move(bytes);
    m.methodAreaSize = static_cast<std::int32_t>(m.methodArea.size());
}

ViewFormat format(int index) {
    ViewFormat f;
    f.valueRadix = index == 0 ? 10 : 16;
    f.addressRadix = f.valueRadix;
    f.rawMethodArea = index == 2;
    return f;
}

} // namespace

class TestMachineViews : public QObject {
    Q_OBJECT

private slots:
    void controlCharactersShowAsGlyphsTheOutputFontHas() {
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setPixelSize(13);
        const QFontMetrics metrics(font);
        for (const int code : {0x00, 0x01, 0x09, 0x0A, 0x0D, 0x1B, 0x1F, 0x7F, 0x85, 0x9F}) {
            const QString shown = MachineViews::printable(QString(QChar(code)));
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown[0].unicode() >= 0xA0, qPrintable(QString::number(code)));
            QVERIFY2(metrics.inFont(shown[0]), qPrintable(QString::number(code)));
        }
        QCOMPARE(MachineViews::printable(QStringLiteral("a\nb c\u00E9")),
                 QStringLiteral("a\u21B5b c\u00E9"));
    }

    void constantPoolPadsToThirteenLinesAboveTheEntries() {
        ControlPath m;
        addConstant(m, 0, "ONE", 1);
        addConstant(m, 1, "TEN", 10);
        addMethod(m, "main", 0);
        m.wordMemory[2] = 3;
        m.constantPoolWords = 3;
        const QStringList lines = MachineViews().constantPool(m, format(0));
        QCOMPARE(lines.size(), 13);
        for (int i = 0; i < 10; ++i) {
            QVERIFY2(lines[i].isEmpty(), qPrintable(lines[i]));
        }
        QCOMPARE(lines[10], QStringLiteral("2: main  : 3"));
        QCOMPARE(lines[11], QStringLiteral("1: TEN   = 10"));
        QCOMPARE(lines[12], QStringLiteral("0: ONE   = 1"));
    }

    void constantPoolWithFourteenEntriesHasNoPadding() {
        ControlPath m;
        for (int i = 0; i < 13; ++i) {
            addConstant(m, i, qPrintable(QStringLiteral("C%1").arg(i)), i * 3);
        }
        addMethod(m, "main", 0);
        m.wordMemory[13] = 45;
        m.constantPoolWords = 14;
        const QStringList lines = MachineViews().constantPool(m, format(0));
        QCOMPARE(lines.size(), 14);
        QCOMPARE(lines.first(), QStringLiteral("13: main  : 45"));
        QCOMPARE(lines.last(), QStringLiteral("00: C0    = 0"));
    }

    void constantPoolInHexUsesTheHexWidth() {
        ControlPath m;
        for (int i = 0; i < 10; ++i) {
            addConstant(m, i, "K", 255);
        }
        addMethod(m, "main", 0);
        m.wordMemory[10] = -1;
        m.constantPoolWords = 11;
        const QStringList lines = MachineViews().constantPool(m, format(1));
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines[2], QStringLiteral("0xA: main  : 0xFFFFFFFF"));
        QCOMPARE(lines[12], QStringLiteral("0x0: K     = 0xFF"));
    }

    void methodAreaShowsBipushInTheThreeFormats() {
        ControlPath m;
        std::vector<std::uint8_t> bytes(40, 0);
        bytes[0] = 82; // prologue: INVOKEVIRTUAL 0 0
        bytes[3] = 0;  // header: two 16-bit counts
        bytes[4] = 1;
        bytes[7] = 25; // BIPUSH 65
        bytes[8] = 65;
        bytes[9] = 112;
        setMethodArea(m, bytes);
        MachineViews views;
        const QStringList dec = views.methodArea(m, format(0));
        QCOMPARE(dec.size(), 40);
        QCOMPARE(dec[0], QStringLiteral("00: "));
        QCOMPARE(dec[2], QStringLiteral("02: "));
        QCOMPARE(dec[3], QStringLiteral("03: 0"));
        QCOMPARE(dec[4], QStringLiteral("04: 1"));
        QCOMPARE(dec[6], QStringLiteral("06: 0"));
        QCOMPARE(dec[7], QStringLiteral("07: BIPUSH"));
        QCOMPARE(dec[8], QStringLiteral("08: 65"));
        QCOMPARE(dec[9], QStringLiteral("09: HALT"));
        const QStringList pseudo = views.methodArea(m, format(1));
        QCOMPARE(pseudo[7], QStringLiteral("0x07: BIPUSH"));
        QCOMPARE(pseudo[8], QStringLiteral("0x08: 0x41"));
        const QStringList hex = views.methodArea(m, format(2));
        QCOMPARE(hex[7], QStringLiteral("0x07: 0x19"));
        QCOMPARE(hex[8], QStringLiteral("0x08: 0x41"));
        QCOMPARE(hex[9], QStringLiteral("0x09: 0x70"));
    }

    void methodAreaDecodesAgainAfterAnUnknownByteAndItsThreeFollowers() {
        ControlPath m;
        setMethodArea(m, {0, 0, 0, 200, 1, 2, 3, 1, 58, 0, 5, 16});
        const QStringList lines = MachineViews().methodArea(m, format(0));
        QCOMPARE(lines.mid(3), (QStringList{"03: 200", "04: 1", "05: 2", "06: 3", "07: NOP",
                                            "08: GOTO", "09: 0", "10: 5", "11: POP"}));
    }

    void methodAreaAddressWidthFollowsItsSize() {
        ControlPath m;
        setMethodArea(m, std::vector<std::uint8_t>(100, 1));
        MachineViews views;
        QCOMPARE(views.methodArea(m, format(0)).last(), QStringLiteral("099: NOP"));
        QCOMPARE(views.methodArea(m, format(1)).last(), QStringLiteral("0x63: NOP"));
    }

    void methodAreaHighlightFollowsPC() {
        ControlPath m;
        MachineViews views;
        m.PC() = 10;
        InstructionSelection s = views.selectCurrentInstruction(m, 40);
        QCOMPARE(s.scrollTo, 12);
        QCOMPARE(s.select, 10);
        QCOMPARE(s.deselect, 0); // the start value 0 counts as the line highlighted last
        s = views.selectCurrentInstruction(m, 40);
        QCOMPARE(s.select, 10);
        QCOMPARE(s.deselect, -1); // unchanged PC keeps its highlight
        m.PC() = 12;
        s = views.selectCurrentInstruction(m, 40);
        QCOMPARE(s.select, 12);
        QCOMPARE(s.deselect, 10);
        m.PC() = 39; // last line: nothing to scroll to beyond it
        s = views.selectCurrentInstruction(m, 40);
        QCOMPARE(s.scrollTo, -1);
        QCOMPARE(s.select, 39);
        m.PC() = -1; // outside the list: nothing selected, the old line released
        s = views.selectCurrentInstruction(m, 40);
        QCOMPARE(s.select, -1);
        QCOMPARE(s.deselect, 39);
        QCOMPARE(views.lastSelected, 0xFFFFFFFFu);
    }

    void stackListsTheWordsBelowLV() {
        ControlPath m;
        m.SP() = 2010;
        m.LV() = 2000;
        QVERIFY(MachineViews().stack(m, format(0)).isEmpty());
        m.LV() = 2003;
        m.wordMemory[2000] = 7;
        m.wordMemory[2001] = -1;
        m.wordMemory[2002] = 9;
        QCOMPARE(MachineViews().stack(m, format(0)),
                 (QStringList{"2002: 9", "2001: -1", "2000: 7"}));
        QCOMPARE(MachineViews().stack(m, format(1)).at(1), QStringLiteral("0x7D1: 0xFFFFFFFF"));
    }

    void stackAndFrameStayBoundedForWildRegisters() {
        ControlPath m;
        m.LV() = 0x7FFFFFF0;
        m.SP() = 0x7FFFFFFF;
        MachineViews views;
        const QStringList stack = views.stack(m, format(0));
        QCOMPARE(stack.size(), static_cast<qsizetype>(MachineViews::kMaxStackLines));
        QCOMPARE(stack.first(), QStringLiteral("2147483631: 0"));
        m.LV() = 2000;
        m.SP() = -1;
        QVERIFY(views.frame(m, format(0)).size() <=
                static_cast<qsizetype>(MachineViews::kMaxStackLines));
    }

    void frameIsAnnotatedWithTheLocalsOfTheCurrentMethod() {
        ControlPath m;
        addConstant(m, 0, "X", 1);
        addMethod(m, "main", 0);
        addMethod(m, "f", 1, {"a", "b"});
        setMethodArea(m, std::vector<std::uint8_t>(40, 1));
        for (std::uint32_t a = 20; a < 40; ++a) {
            m.methodMap[a] = 2; // method f
        }
        m.PC() = 23;
        m.MPC = 0;
        m.LV() = 2001;
        m.SP() = 2006;
        const std::int32_t frame[] = {2004, 5, 0, 23, 2000, 7};
        for (int i = 0; i < 6; ++i) {
            m.wordMemory[word(2001 + i)] = frame[i];
        }
        MachineViews views;
        QCOMPARE(
            views.frame(m, format(0)),
            (QStringList{"2006: 7", "2005: LV PREC  : 2000", "2004: PC PREC  : 23",
                         "2003: b        = 0", "2002: a        = 5", "2001: Link Ptr : 2004"}));
        QCOMPARE(views.framePC, 23);
        QCOMPARE(views.frameLocals, 2);

        // In the middle of an instruction the frame keeps its method.
        m.MPC = 17;
        m.PC() = 3;
        QCOMPARE(views.frame(m, format(0)).at(3), QStringLiteral("2003: b        = 0"));
        QCOMPARE(views.framePC, 23);
    }

    void frameNameWidthGrowsWithLongNames() {
        ControlPath m;
        addMethod(m, "main", 0, {"contatore"});
        setMethodArea(m, std::vector<std::uint8_t>(10, 1));
        m.methodMap[5] = 0;
        m.PC() = 5;
        m.LV() = 2000;
        m.SP() = 2001;
        m.wordMemory[2001] = 4;
        QCOMPARE(MachineViews().frame(m, format(0)),
                 (QStringList{"2001: contatore = 4", "2000: Link Ptr  : 0"}));
    }

    void frameAfterHaltUsesTheLocalsOfMain() {
        ControlPath m;
        addMethod(m, "main", 0, {"i", "j", "k"});
        addMethod(m, "g", 1, {"p"});
        m.wordMemory[0] = 3;  // main starts at byte 3
        m.wordMemory[1] = 20; // g at byte 20
        std::vector<std::uint8_t> bytes(30, 1);
        bytes[14] = 112; // HALT
        setMethodArea(m, bytes);
        for (std::uint32_t a = 3; a < 20; ++a) {
            m.methodMap[a] = 0;
        }
        for (std::uint32_t a = 20; a < 30; ++a) {
            m.methodMap[a] = 1;
        }
        m.LV() = 2000;
        m.SP() = 2005;
        MachineViews views;
        // Last boundary inside g: HALT still takes the count of main's locals.
        m.MPC = 0;
        m.PC() = 22;
        views.frame(m, format(0));
        QCOMPARE(views.frameLocals, 1);
        m.MPC = 112;
        m.PC() = 15;
        QCOMPARE(views.frame(m, format(0)).size(), 6);
        QCOMPARE(views.frameLocals, 3);
        QCOMPARE(views.framePC, 22);

        m.MPC = 0;
        m.PC() = 14;
        views.frame(m, format(0));
        m.MPC = 112;
        m.PC() = 15;
        m.LV() = 2000;
        m.SP() = 2005;
        const QStringList lines = views.frame(m, format(0));
        QCOMPARE(views.frameLocals, 3);
        QCOMPARE(views.framePC, 14);
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[2], QStringLiteral("2003: k        = 0"));
        QCOMPARE(lines[1], QStringLiteral("2004: PC PREC  : 0"));
    }

    void frameOutsideTheTablesShowsPlainLines() {
        ControlPath m;
        addMethod(m, "main", 0, {"a"});
        setMethodArea(m, std::vector<std::uint8_t>(10, 1));
        m.methodMap[5] = 7; // a method index past the table
        m.PC() = 5;
        m.LV() = 2000;
        m.SP() = 2002;
        MachineViews views;
        QCOMPARE(views.frame(m, format(0)), (QStringList{"2002: 0", "2001: 0", "2000: 0"}));
        m.PC() = 500; // outside the method area
        QCOMPARE(views.frame(m, format(0)).size(), 3);
        QCOMPARE(views.frameLocals, 0);
    }

    void outputStopsAtAZeroByteAndInputIsDecimal() {
        ControlPath m;
        const std::int32_t out[] = {72, 105, 0, 33, 33};
        for (int i = 0; i < 5; ++i) {
            m.wordMemory[word(-5 + i)] = out[i];
        }
        m.wordMemory[word(-6)] = -42;
        QCOMPARE(MachineViews::output(m), QStringLiteral("Hi"));
        QCOMPARE(MachineViews::input(m), QStringLiteral("-42"));
        m.wordMemory[word(-3)] = 0x121; // only the low byte counts
        QCOMPARE(MachineViews::output(m), QStringLiteral("Hi!!!"));
    }
};

QTEST_MAIN(TestMachineViews)
#include "test_machine_views.moc"
