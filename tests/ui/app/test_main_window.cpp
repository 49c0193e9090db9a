// The main window driven through its real widgets, on a temporary data folder where the real
// microprogram is installed and translated at start-up.
#include "core/number_text.h"
#include "modal_driver.h"
#include "ui/ijvm_highlighter.h"
#include "ui/picture/clock_view.h"
#include "ui/text_file.h"
#include "ui/tform1.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolTip>
#include <QtTest>

#include <functional>
#include <memory>

using namespace tessaro;

namespace {

const QString kNotLoaded =
    QStringLiteral("Il programma deve prima essere compilato e caricato in memoria");
const QString kLoaded = QStringLiteral("Il programma è stato compilato e caricato in memoria");

// Two constants and main; BIPUSH 65 is the first instruction of main, at byte 7. The comment
// puts multi-byte characters before the code.
const char* const kPoolProgram = "// Programma di prova: perché è così\n"
                                 ".constant\n"
                                 "ONE 1\n"
                                 "TEN 10\n"
                                 ".end-constant\n"
                                 "\n"
                                 ".main\n"
                                 "BIPUSH 65\n"
                                 "BIPUSH 66\n"
                                 "IADD\n"
                                 "DUP\n"
                                 "POP\n"
                                 "BIPUSH 1\n"
                                 "ISUB\n"
                                 "HALT\n"
                                 ".end-main\n";

const char* const kHiProgram = ".main\n"
                               "BIPUSH 72\nOUT\nBIPUSH 105\nOUT\nBIPUSH 0\nOUT\n"
                               "BIPUSH 33\nOUT\nBIPUSH 33\nOUT\n"
                               "HALT\n"
                               ".end-main\n";

const char* const kLineFeedProgram = ".main\n"
                                     "BIPUSH 72\nOUT\nBIPUSH 105\nOUT\nBIPUSH 10\nOUT\n"
                                     "BIPUSH 33\nOUT\nBIPUSH 33\nOUT\n"
                                     "HALT\n"
                                     ".end-main\n";

const char* const kFrameProgram = ".main\n"
                                  ".var\nr\n.end-var\n"
                                  "BIPUSH 0\n"
                                  "BIPUSH 5\n"
                                  "INVOKEVIRTUAL f\n"
                                  "ISTORE r\n"
                                  "HALT\n"
                                  ".end-main\n"
                                  ".method f(a)\n"
                                  ".var\nb\n.end-var\n"
                                  "BIPUSH 7\n"
                                  "IRETURN\n"
                                  ".end-method\n";

const char* const kLoopProgram = ".main\nL1: GOTO L1\n.end-main\n";

const char* const kErrorProgram = "// è un errore\n"
                                  ".main\n"
                                  "GOTO nowhere\n"
                                  "FOO\n"
                                  "HALT\n"
                                  ".end-main\n";

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList items(QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) {
        lines.append(list->item(i)->text());
    }
    return lines;
}

QList<int> selectedRows(QListWidget* list) {
    QList<int> rows;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected()) {
            rows.append(i);
        }
    }
    return rows;
}

QColor fontColour(QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

void clickButton(QMessageBox* box, const QString& text) {
    for (QAbstractButton* b : box->buttons()) {
        if (b->text() == text) {
            b->click();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no button ") + text));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    std::unique_ptr<TForm1> m_window;
    std::unique_ptr<ModalDriver> m_driver;
    QStringList m_messages;

    TForm1& w() { return *m_window; }
    /// A word of the machine's memory, 0 when it was never written.
    std::int32_t memoryWord(std::uint32_t address) {
        const std::int32_t* word = w().machine().wordMemory.peek(address);
        return word != nullptr ? *word : 0;
    }
    template <typename T> T* child(const char* name) {
        T* found = m_window->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qFatal("no child %s", name);
        }
        return found;
    }
    QPlainTextEdit* editor() { return child<QPlainTextEdit>("Memo1"); }
    QLabel* label(const char* name) { return child<QLabel>(name); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }

    void type(const char* program) {
        editor()->setPlainText(QString::fromUtf8(program));
        editor()->document()->setModified(true);
    }
    // Types a program and compiles it; the success message is expected.
    void load(const char* program) {
        type(program);
        m_messages.clear();
        button("BitBtn5")->click();
        QCOMPARE(m_messages, QStringList{kLoaded});
        QVERIFY(w().programLoaded());
        m_messages.clear();
    }
    QString selectedSource() { return editor()->textCursor().selectedText(); }
    void chooseFormat(int index) {
        QComboBox* combo = child<QComboBox>("ComboBox1");
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        qputenv("TESSARO_ROOT", QFile::encodeName(m_root.path()));
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        const AppPaths paths(AppPaths::chooseRoot({QStringLiteral("tessaro")}));
        QCOMPARE(paths.root(), QDir::cleanPath(m_root.path()));
        QString error;
        QVERIFY2(paths.prepare(&error), qPrintable(error));
    }

    void init() {
        m_driver = std::make_unique<ModalDriver>();
        m_window = std::make_unique<TForm1>(AppPaths(m_root.path()));
        m_messages.clear();
        connect(m_window.get(), &TForm1::messageShown, this,
                [this](const QString&, const QString& text) { m_messages.append(text); });
    }

    void cleanup() {
        m_window->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->clear(); // no question
        m_window.reset();
        // Every test starts from the defaults, not from what the one before chose.
        QFile::remove(QDir(m_root.path()).filePath(QStringLiteral("tessaro.conf")));
        QCOMPARE(m_driver->pending(), std::size_t{0});
        m_driver.reset();
    }

    // -----------------------------------------------------------------------------------------
    // Start-up and layout

    void startUpTranslatesAndLoadsTheMicroprogram() {
        const AppPaths& paths = w().paths();
        QVERIFY(w().microprogramProblems().empty());
        QVERIFY(QFileInfo(paths.controlStoreFile()).size() > 0);
        QVERIFY(w().machine().controlStore.peek(0) != nullptr);
        QVERIFY(w().machine().controlStore.peek(0x70) != nullptr);
        QVERIFY(child<QPlainTextEdit>("Memo2")->toPlainText().contains(QStringLiteral("Main1")));
        QCOMPARE(label("Label33")->text(), QDir::toNativeSeparators(paths.microprogramSource()));
        QVERIFY(editor()->document()->isModified());
        QVERIFY(!w().programLoaded());
        QCOMPARE(w().valueRadix, 10);
        QCOMPARE(w().addressRadix, 10);
        QVERIFY(!w().rawMethodArea);
    }

    void layoutPlacesAndShowsTheControls() {
        QCOMPARE(w().windowTitle(), QStringLiteral("Tessaro"));
        QCOMPARE(w().size(), QSize(1032, 748));
        QCOMPARE(editor()->geometry(), QRect(8, 520, 689, 177));
        QCOMPARE(child<QPlainTextEdit>("Memo2")->geometry(), QRect(360, 56, 425, 193));
        QCOMPARE(button("BitBtn5")->geometry(), QRect(908, 400, 111, 25));
        QCOMPARE(button("BitBtn6")->geometry(), QRect(958, 230, 62, 30));
        QCOMPARE(button("BitBtn4")->geometry(), QRect(958, 361, 62, 30));
        QCOMPARE(button("BitBtn7")->geometry(), QRect(720, 660, 65, 33));
        const QStringList captions{"Mic",      "Step", "Run", "Reset", "Compile and Load",
                                   "SubCicle", "Clock"};
        for (int i = 0; i < 7; ++i) {
            const QByteArray name = "BitBtn" + QByteArray::number(i + 1);
            QCOMPARE(button(name.constData())->text(), captions[i]);
            QVERIFY(!button(name.constData())->isHidden());
        }
        QCOMPARE(label("Label2")->text(), QStringLiteral("<-CPP"));
        QCOMPARE(label("Label3")->pos(), QPoint(768, 432));
        QCOMPARE(label("Label4")->text(), QStringLiteral("LV->"));
        QCOMPARE(label("Label11")->pos(), QPoint(136, 39));
        QCOMPARE(label("Label20")->pos(), QPoint(136, 295));
        QCOMPARE(label("Label27")->pos(), QPoint(150, 314));
        QCOMPARE(label("Label1")->pos(), QPoint(320, 91));
        QCOMPARE(label("L1")->y(), 357);
        QVERIFY(label("L36")->x() > label("L1")->x());
        QVERIFY(child<QListWidget>("ListBox5")->isHidden());
        QVERIFY(child<ClockView>("Image2")->isHidden());

        QStringList menus;
        QStringList runItems;
        for (QAction* menu : w().menuBar()->actions()) {
            menus.append(menu->text());
            if (menu->text() == QLatin1String("Run")) {
                for (QAction* item : menu->menu()->actions()) {
                    if (!item->isSeparator()) {
                        QVERIFY2(item->isVisible(), qPrintable(item->text()));
                        runItems.append(item->text() + QLatin1Char('=') +
                                        item->shortcut().toString());
                    }
                }
            }
        }
        QCOMPARE(menus, (QStringList{"&File", "Run", "Option", "Help"}));
        QCOMPARE(runItems, (QStringList{"Reset=F10", "SubCycle=F6", "Mic=F7", "IJVM=F8", "Run=F9",
                                        "Indietro Mic=Ctrl+F7", "Indietro IJVM=Ctrl+F8",
                                        "Punto di arresto=F5", "Statistiche="}));
    }

    void clockButtonSwapsTheEditorAndTheClock() {
        button("BitBtn7")->click();
        QVERIFY(editor()->isHidden());
        QVERIFY(label("Label34")->isHidden());
        QVERIFY(!child<ClockView>("Image2")->isHidden());
        button("BitBtn7")->click();
        QVERIFY(!editor()->isHidden());
        QVERIFY(child<ClockView>("Image2")->isHidden());
    }

    // -----------------------------------------------------------------------------------------
    // Compile and Load, the guard

    void stepOnTheEmptyEditorAtStartShowsNotLoaded() {
        button("BitBtn2")->click();
        QCOMPARE(m_messages, QStringList{kNotLoaded});
        QVERIFY(!w().programLoaded());
        QVERIFY(!editor()->document()->isModified()); // the empty text was assembled
        QVERIFY(QFile::exists(w().paths().scratchFile()));
        QCOMPARE(readBytes(w().paths().scratchFile()), QByteArray());
        QCOMPARE(m_driver->seen, QStringList{"tessaro::TForm3"});
    }

    void compileAndLoadTwiceDoesNotReassemble() {
        load(kPoolProgram);
        button("BitBtn1")->click(); // one micro step
        const std::int64_t count = w().machine().microCount;
        const std::int32_t mpc = w().machine().MPC;
        button("BitBtn5")->click();
        QCOMPARE(m_messages, QStringList{kLoaded});
        QVERIFY(w().programLoaded());
        QCOMPARE(w().machine().microCount, count); // no reload, no reset
        QCOMPARE(w().machine().MPC, mpc);
    }

    void compileErrorsAreUnderlinedWithTheirMessagesUntilTheNextEdit() {
        type(kErrorProgram);
        button("BitBtn5")->click();
        const QList<IjvmHighlighter::ErrorMark> marks = w().highlighter()->errorMarks();
        QCOMPARE(marks.size(), w().machine().errors.size());
        // The first mark covers the span the list selects, and its tooltip is its message.
        const QString first = QString::fromStdString(w().machine().errors.begin()->message);
        QCOMPARE(editor()->toPlainText().mid(marks[0].start, marks[0].length),
                 QStringLiteral("FOO"));
        QTextCursor at(editor()->document());
        at.setPosition(marks[0].start + 1);
        const QPoint inside = editor()->cursorRect(at).center();
        QHelpEvent help(QEvent::ToolTip, inside, editor()->viewport()->mapToGlobal(inside));
        QApplication::sendEvent(editor()->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), first);
        // Editing the text takes the marks away.
        editor()->textCursor().insertText(QStringLiteral(" "));
        QVERIFY(w().highlighter()->errorMarks().isEmpty());
    }

    void compileErrorsAreListedAndSelectTheirSpans() {
        type(kErrorProgram);
        button("BitBtn5")->click();
        QVERIFY(m_messages.isEmpty());
        QVERIFY(!w().programLoaded());
        QListWidget* errors = child<QListWidget>("ListBox5");
        QVERIFY(!errors->isHidden());
        QCOMPARE(errors->count(), w().machine().errors.size());
        QVERIFY(errors->count() >= 2);
        QCOMPARE(errors->item(0)->text(),
                 QString::fromStdString(w().machine().errors.begin()->message));
        QVERIFY(errors->item(0)->text().contains(QStringLiteral("FOO")));
        // The span is found in the editor although an accented character precedes it.
        QCOMPARE(selectedSource(), QStringLiteral("FOO"));
        errors->setCurrentRow(1);
        QVERIFY(selectedSource().contains(QStringLiteral("nowhere")));
        // A second press shows the same errors again; stepping is refused.
        button("BitBtn5")->click();
        QCOMPARE(errors->count(), w().machine().errors.size());
        QCOMPARE(selectedSource(), QStringLiteral("FOO"));
        button("BitBtn2")->click();
        QCOMPARE(m_messages, QStringList{kNotLoaded});
        // A corrected program hides the list.
        load(kPoolProgram);
        QVERIFY(errors->isHidden());
    }

    void editThenRunReassemblesThenWarns() {
        load(kPoolProgram);
        QString text = editor()->toPlainText();
        text.replace(QStringLiteral("TEN 10"), QStringLiteral("TEN 11"));
        editor()->setPlainText(text);
        editor()->document()->setModified(true);
        button("BitBtn3")->click();
        QCOMPARE(m_messages, QStringList{kNotLoaded});
        QVERIFY(!w().programLoaded());
        QCOMPARE(memoryWord(1), 11);    // the new program is in memory
        QCOMPARE(w().machine().MPC, 0); // but nothing ran
        QVERIFY(!editor()->document()->isModified());
        m_messages.clear();
        button("BitBtn5")->click();
        QCOMPARE(m_messages, QStringList{kLoaded});
    }

    void resetAfterEditingResetsTheLoadedProgram() {
        load(kPoolProgram);
        const std::int32_t startPC = w().machine().PC();
        const std::int64_t resetCount = w().machine().microCount;
        button("BitBtn2")->click();
        button("BitBtn2")->click();
        QVERIFY(w().machine().PC() != startPC);
        w().session.setInput(9);
        type("garbage that is never assembled");
        button("BitBtn4")->click();
        QVERIFY(m_messages.isEmpty());
        QVERIFY(w().programLoaded());
        QCOMPARE(w().machine().PC(), startPC);
        QCOMPARE(w().machine().microCount, resetCount);
        QCOMPARE(w().session.input(), 0);
        QCOMPARE(child<QLineEdit>("Edit1")->text(), QStringLiteral("0"));
        QCOMPARE(memoryWord(1), 10); // still the program loaded before the edit
    }

    // -----------------------------------------------------------------------------------------
    // Views after loading and stepping

    void constantPoolShowsTenEmptyLinesAboveTheEntries() {
        load(kPoolProgram);
        QListWidget* pool = child<QListWidget>("ListBox1");
        QCOMPARE(pool->count(), 13);
        for (int i = 0; i < 10; ++i) {
            QVERIFY(pool->item(i)->text().isEmpty());
        }
        QCOMPARE(items(pool).mid(10),
                 (QStringList{"2: main  : 3", "1: TEN   = 10", "0: ONE   = 1"}));
    }

    void methodAreaShowsBipushInTheThreeFormats() {
        load(kPoolProgram);
        QListWidget* area = child<QListWidget>("ListBox2");
        QCOMPARE(area->count(), w().machine().methodAreaSize);
        QCOMPARE(area->item(7)->text(), QStringLiteral("07: BIPUSH"));
        QCOMPARE(area->item(8)->text(), QStringLiteral("08: 65"));
        chooseFormat(1);
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(area->item(7)->text(), QStringLiteral("0x07: BIPUSH"));
        QCOMPARE(area->item(8)->text(), QStringLiteral("0x08: 0x41"));
        QCOMPARE(label("Label13")->text(), QStringLiteral("0x7")); // PC in hex
        chooseFormat(2);
        QCOMPARE(area->item(7)->text(), QStringLiteral("0x07: 0x19"));
        QCOMPARE(area->item(8)->text(), QStringLiteral("0x08: 0x41"));
        QVERIFY(w().rawMethodArea);
        chooseFormat(0);
        QCOMPARE(area->item(7)->text(), QStringLiteral("07: BIPUSH"));
        QCOMPARE(label("Label13")->text(), QStringLiteral("7"));
    }

    void longViewLinesAreCutInTheMiddleAndShownWholeAsTooltips() {
        load(".constant\nbig -2147483648\n.end-constant\n.main\nBIPUSH 0\n"
             "INVOKEVIRTUAL abcdefghijabcdefghij\nHALT\n.end-main\n"
             ".method abcdefghijabcdefghij()\nBIPUSH 1\nIRETURN\n.end-method\n");
        QListWidget* pool = child<QListWidget>("ListBox1");
        QListWidgetItem* method = nullptr;
        for (int i = 0; i < pool->count(); ++i) {
            if (pool->item(i)->toolTip().contains(QStringLiteral("abcdefghijabcdefghij"))) {
                method = pool->item(i);
            }
        }
        QVERIFY(method != nullptr);
        QVERIFY(method->text().contains(QChar(0x2026)));
        // The address and the value stay readable at the two ends.
        QCOMPARE(method->text().left(3), method->toolTip().left(3));
        QCOMPARE(method->text().right(4), method->toolTip().right(4));
        // The usual lines fit whole, the longest mnemonic among them.
        const QStringList area = items(child<QListWidget>("ListBox2"));
        QVERIFY(area.filter(QStringLiteral("INVOKEVIRTUAL")).size() == 1);
        for (const QString& line : items(pool) + area) {
            QVERIFY2(!line.contains(QChar(0x2026)) || line == method->text(), qPrintable(line));
        }
    }

    void ijvmStepSelectsTheNextInstructionEverywhere() {
        load(kPoolProgram);
        // After loading, the first instruction of main is the current one.
        QCOMPARE(w().machine().PC(), 7);
        QCOMPARE(selectedSource(), QStringLiteral("BIPUSH 65"));
        button("BitBtn2")->click();
        QCOMPARE(w().machine().MPC, 0);
        QCOMPARE(w().machine().PC(), 9);
        QCOMPARE(selectedSource(), QStringLiteral("BIPUSH 66"));
        QListWidget* area = child<QListWidget>("ListBox2");
        QCOMPARE(selectedRows(area), QList<int>{9});
        // The listing selects the span of address 0 (with the comments above Main1) and keeps
        // the Main1 line itself in view.
        QPlainTextEdit* listing = child<QPlainTextEdit>("Memo2");
        QVERIFY(listing->textCursor().selectedText().contains(QStringLiteral("Main1")));
        const int main1 =
            listing->document()->find(QStringLiteral("Main1    PC = PC + 1")).block().blockNumber();
        const int first = listing->verticalScrollBar()->value();
        QVERIFY2(main1 >= first && main1 < first + 8, qPrintable(QString::number(first)));
        button("BitBtn2")->click();
        QCOMPARE(selectedRows(area), QList<int>{11}); // the old highlight is gone
        QCOMPARE(selectedSource(), QStringLiteral("IADD"));
        QCOMPARE(label("Label18")->text(), QStringLiteral("66")); // TOS
        QCOMPARE(label("Label1")->text(), QStringLiteral("0"));   // MPC
        QCOMPARE(label("Label5")->text(), QStringLiteral("     "));
        // The stack list and the frame list split the stack at LV.
        const std::int32_t sp = w().machine().SP();
        QListWidget* frame = child<QListWidget>("ListBox4");
        QCOMPARE(frame->item(0)->text(), QStringLiteral("%1: 66").arg(sp));
        QCOMPARE(selectedRows(frame), QList<int>{0});
        QVERIFY(frame->item(frame->count() - 1)->text().contains(QStringLiteral("Link Ptr")));
    }

    void listingKeepsTheInstructionLineInView() {
        load(kPoolProgram);
        QPlainTextEdit* listing = child<QPlainTextEdit>("Memo2");
        const int main1 =
            listing->document()->find(QStringLiteral("Main1    PC = PC + 1")).block().blockNumber();
        button("BitBtn1")->click(); // into the BIPUSH routine, further down the listing
        QCOMPARE(w().machine().MPC, 0x19);
        QVERIFY(listing->verticalScrollBar()->value() > main1);
        button("BitBtn2")->click(); // back at the main loop
        QCOMPARE(w().machine().MPC, 0);
        const int first = listing->verticalScrollBar()->value();
        QVERIFY2(main1 >= first && main1 < first + 8, qPrintable(QString::number(first)));
    }

    void listingShowsTheIfLineWhileOnATrampoline() {
        load(".main\n BIPUSH 0\n IFEQ out\n NOP\nout: HALT\n.end-main\n");
        QPlainTextEdit* listing = child<QPlainTextEdit>("Memo2");
        int steps = 0;
        while (w().machine().MPC < 256 && steps < 40) {
            button("BitBtn1")->click();
            ++steps;
        }
        QVERIFY2(w().machine().MPC >= 256, "the taken IFEQ never reached its trampoline");
        // The trampoline has no line of its own; the IF line that placed it is selected.
        const QString selected = listing->textCursor().selectedText().toUpper();
        QVERIFY2(selected.contains(QStringLiteral("IF (Z)")), qPrintable(selected));
    }

    void microStepShowsBitsAndColoursTheRegisters() {
        load(kPoolProgram);
        // Main1, bipush1, bipush2, bipush3: the last puts MBR on B and writes MDR and TOS.
        for (int i = 0; i < 4; ++i) {
            button("BitBtn1")->click();
        }
        const ControlPath& m = w().machine();
        QCOMPARE(m.MPC, 0);
        QCOMPARE(m.getField(0), 10u);
        const QColor magenta(0xFF, 0x00, 0xFF);
        const QColor red(0xFF, 0x00, 0x00);
        QCOMPARE(fontColour(label("Label14")), magenta); // MBR
        QCOMPARE(fontColour(label("Label12")), red);     // MDR
        QCOMPARE(fontColour(label("Label18")), red);     // TOS
        for (const char* name :
             {"Label11", "Label13", "Label15", "Label16", "Label17", "Label19", "Label20"}) {
            QCOMPARE(fontColour(label(name)), QColor(Qt::black));
        }
        const Mic* mic = m.controlStore.peek(static_cast<std::uint32_t>(m.lastMPC));
        QVERIFY(mic != nullptr);
        const std::string bits = digitString(static_cast<std::uint32_t>(mic->NextAddr), 2, 9) +
                                 digitString(static_cast<std::uint32_t>(mic->word), 2, 27);
        QString shown;
        for (int i = 1; i <= 36; ++i) {
            const QByteArray name = "L" + QByteArray::number(i);
            shown += label(name.constData())->text();
        }
        QCOMPARE(shown, QString::fromStdString(bits));
        QCOMPARE(label("Label27")->text(), QStringLiteral("65")); // B bus
        QCOMPARE(label("Label28")->text(), QStringLiteral("65")); // C bus
        QCOMPARE(label("Label12")->text(), QStringLiteral("65"));
        QCOMPARE(label("Label29")->text(), QStringLiteral("0"));
        // In the middle of an instruction the source selection stays where it was.
        button("BitBtn1")->click();
        QCOMPARE(m.MPC, 0x19);
        QCOMPARE(selectedSource(), QStringLiteral("BIPUSH 66"));
        QCOMPARE(fontColour(label("Label13")), red); // PC = PC + 1
    }

    void outputWindowShowsTheCharactersUpToAZero() {
        load(kHiProgram);
        QCOMPARE(label("Label5")->text(), QStringLiteral("     "));
        button("BitBtn3")->click();
        QVERIFY(!w().isRunning());
        QCOMPARE(w().machine().MPC, 0x70);
        QCOMPARE(memoryWord(static_cast<std::uint32_t>(-5)), 72);
        QCOMPARE(memoryWord(static_cast<std::uint32_t>(-3)), 0);
        QCOMPARE(label("Label5")->text(), QStringLiteral("Hi"));
        // A line feed among the last characters stays on the one line, as its symbol.
        load(kLineFeedProgram);
        button("BitBtn3")->click();
        QCOMPARE(label("Label5")->text(), QStringLiteral("Hi\u21B5!!"));
        QVERIFY(w().statusBar()
                    ->findChild<QLabel*>(QStringLiteral("RunStatus"))
                    ->text()
                    .contains(QStringLiteral("HALT")));
    }

    void frameIsAnnotatedInsideAMethodAndAfterHalt() {
        load(kFrameProgram);
        for (int i = 0; i < 4; ++i) { // BIPUSH 0, BIPUSH 5, INVOKEVIRTUAL f, BIPUSH 7
            button("BitBtn2")->click();
        }
        const ControlPath& m = w().machine();
        const std::int32_t lv = m.LV();
        const std::int32_t sp = m.SP();
        QCOMPARE(sp, lv + 5);
        auto word = [&](std::int32_t a) { return memoryWord(static_cast<std::uint32_t>(a)); };
        const QStringList expected{
            QStringLiteral("%1: 7").arg(sp),
            QStringLiteral("%1: LV PREC  : %2").arg(lv + 4).arg(word(lv + 4)),
            QStringLiteral("%1: PC PREC  : %2").arg(lv + 3).arg(word(lv + 3)),
            QStringLiteral("%1: b        = %2").arg(lv + 2).arg(word(lv + 2)),
            QStringLiteral("%1: a        = 5").arg(lv + 1),
            QStringLiteral("%1: Link Ptr : %2").arg(lv).arg(word(lv)),
        };
        QCOMPARE(items(child<QListWidget>("ListBox4")), expected);
        QCOMPARE(word(lv + 4), 2000); // main's LV
        // The stack list holds main's frame below LV.
        QListWidget* stack = child<QListWidget>("ListBox3");
        QCOMPARE(stack->count(), lv - 2000);
        QCOMPARE(stack->item(stack->count() - 1)->text(),
                 QStringLiteral("2000: %1").arg(word(2000)));

        for (int i = 0; i < 3; ++i) { // IRETURN, ISTORE r, HALT
            button("BitBtn2")->click();
        }
        QCOMPARE(m.MPC, 0x70);
        const QStringList afterHalt = items(child<QListWidget>("ListBox4"));
        QCOMPARE(afterHalt.last(), QStringLiteral("2000: Link Ptr : %1").arg(word(2000)));
        QCOMPARE(afterHalt.at(afterHalt.size() - 2), QStringLiteral("2001: r        = 7"));
        QCOMPARE(selectedSource(), QStringLiteral("HALT"));
    }

    void keysDriveTheCommandsAndLeavingTheInputBoxStoresIt() {
        w().show();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        type(kPoolProgram);
        editor()->setFocus();
        QTest::keyClick(&w(), Qt::Key_F8); // compiles, then warns
        QCOMPARE(m_messages, QStringList{kNotLoaded});
        button("BitBtn5")->click();
        QVERIFY(w().programLoaded());
        w().activateWindow(); // back from the message window
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        QTest::keyClick(&w(), Qt::Key_F8);
        QCOMPARE(w().machine().PC(), 9);
        QTest::keyClick(&w(), Qt::Key_F7);
        QCOMPARE(w().machine().MPC, 0x19);
        QTest::keyClick(&w(), Qt::Key_F6);
        QCOMPARE(static_cast<int>(w().session.subCyclePhase()), 1);
        QTest::keyClick(&w(), Qt::Key_F10);
        QCOMPARE(static_cast<int>(w().session.subCyclePhase()), 0);
        QCOMPARE(w().machine().PC(), 7);

        QLineEdit* input = child<QLineEdit>("Edit1");
        input->setFocus();
        QTRY_VERIFY(input->hasFocus());
        input->selectAll();
        QTest::keyClicks(input, QStringLiteral("-0x10"));
        editor()->setFocus(); // the focus leaves the box
        QTRY_COMPARE(w().session.input(), -16);
    }

    // -----------------------------------------------------------------------------------------
    // Sub-cycles

    void subCycleWithoutProgramWarnsAndStaysAtPhaseZero() {
        button("BitBtn6")->click();
        QCOMPARE(m_messages, QStringList{kNotLoaded});
        QCOMPARE(static_cast<int>(w().session.subCyclePhase()), 0);
        button("BitBtn6")->click();
        QCOMPARE(m_messages.size(), 2); // two separate warnings
        QCOMPARE(static_cast<int>(w().session.subCyclePhase()), 0);
    }

    void subCyclesThenStepStartAfreshAtPhaseZero() {
        load(kPoolProgram);
        const std::int64_t before = w().machine().microCount;
        button("BitBtn6")->click();
        QCOMPARE(w().machine().microCount, before + 1); // executed at the first press
        QCOMPARE(static_cast<int>(w().session.subCyclePhase()), 1);
        QCOMPARE(label("Label13")->text(), QStringLiteral("7")); // labels not yet updated
        button("BitBtn6")->click();
        button("BitBtn6")->click();
        QCOMPARE(static_cast<int>(w().session.subCyclePhase()), 3);
        QCOMPARE(w().machine().microCount, before + 1);
        button("BitBtn2")->click();
        QCOMPARE(static_cast<int>(w().session.subCyclePhase()), 0);
        const std::int64_t afterStep = w().machine().microCount;
        button("BitBtn6")->click();
        QCOMPARE(w().machine().microCount, afterStep + 1);
        QCOMPARE(static_cast<int>(w().session.subCyclePhase()), 1);
    }

    void fourthSubCycleShowsTheRegisters() {
        load(kPoolProgram);
        for (int i = 0; i < 4; ++i) {
            button("BitBtn6")->click();
        }
        QCOMPARE(static_cast<int>(w().session.subCyclePhase()), 0);
        QCOMPARE(label("Label13")->text(), QStringLiteral("8")); // PC after Main1
        QCOMPARE(fontColour(label("Label13")), QColor(0xFF, 0, 0));
        QVERIFY(child<ClockView>("Image2")->isStrokeRed(6));
    }

    // -----------------------------------------------------------------------------------------
    // Run

    void runOfAnEndlessLoopCanBeStopped() {
        load(kLoopProgram);
        QSignalSpy finished(&w(), &TForm1::executionFinished);
        w().show();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        button("BitBtn3")->click();
        QVERIFY(w().isRunning());
        QVERIFY(!button("BitBtn2")->isEnabled());
        QVERIFY(button("StopButton")->isEnabled());
        QTest::qWait(100); // slices run on the event loop
        QVERIFY(w().isRunning());
        const std::int64_t ran = w().machine().microCount;
        QVERIFY(ran > 0);
        // A step pressed meanwhile is ignored.
        button("BitBtn2")->click();
        QVERIFY(m_messages.isEmpty());
        QTest::keyClick(&w(), Qt::Key_Escape);
        QVERIFY(finished.wait(5000));
        QVERIFY(!w().isRunning());
        QVERIFY(button("BitBtn2")->isEnabled());
        QVERIFY(!button("StopButton")->isEnabled());
        QVERIFY(w().statusBar()
                    ->findChild<QLabel*>(QStringLiteral("RunStatus"))
                    ->text()
                    .contains(QStringLiteral("fermata")));
        // The views were refreshed as after Run.
        QCOMPARE(label("Label1")->text(), QString::number(w().machine().MPC));
        // The machine can go on stepping.
        button("BitBtn1")->click();
        QVERIFY(m_messages.isEmpty());
    }

    void escapeStopsARunAfterAMenuWasClosedWithEscape() {
        load(kLoopProgram);
        QSignalSpy finished(&w(), &TForm1::executionFinished);
        w().show();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        button("BitBtn3")->click();
        QVERIFY(w().isRunning());
        // Open the Run menu from the keyboard and close it again with Esc: the menu bar keeps
        // the keyboard afterwards.
        QMenu* runMenu = w().menuBar()->actions().at(1)->menu();
        w().menuBar()->setActiveAction(w().menuBar()->actions().at(1));
        QTRY_VERIFY(runMenu->isVisible());
        QTest::keyClick(runMenu, Qt::Key_Escape);
        QTRY_VERIFY(!runMenu->isVisible());
        QVERIFY(w().isRunning());
        QWidget* focus = QApplication::focusWidget() != nullptr ? QApplication::focusWidget()
                                                                : static_cast<QWidget*>(&w());
        QTest::keyClick(focus, Qt::Key_Escape);
        QVERIFY(finished.wait(5000));
        QVERIFY(!w().isRunning());
    }

    void theStatusLineForgetsAFinishedRunAtTheNextCommand() {
        load(kHiProgram);
        QLabel* status = w().statusBar()->findChild<QLabel*>(QStringLiteral("RunStatus"));
        const QList<std::function<void()>> commands = {
            [this] { button("BitBtn4")->click(); }, // Reset
            [this] { button("BitBtn1")->click(); }, // Mic
            [this] { button("BitBtn6")->click(); }, // SubCicle
            [this] {
                m_driver->then([](QWidget* box) {
                    clickButton(qobject_cast<QMessageBox*>(box), QStringLiteral("Non salvare"));
                });
                w().newProgram();
            },
        };
        for (const auto& command : commands) {
            load(kHiProgram);
            button("BitBtn3")->click();
            QTRY_VERIFY(!w().isRunning());
            QVERIFY(status->text().contains(QStringLiteral("HALT")));
            command();
            QVERIFY2(status->text().isEmpty(),
                     qPrintable(QString::number(&command - &commands[0])));
        }
    }

    void anotherProgramEndsARunningOne() {
        load(kLoopProgram);
        button("BitBtn3")->click();
        QVERIFY(w().isRunning());
        m_driver->then([](QWidget* box) {
            clickButton(qobject_cast<QMessageBox*>(box), QStringLiteral("Non salvare"));
        });
        w().newProgram();
        QVERIFY(!w().isRunning());
        QVERIFY(button("BitBtn3")->isEnabled());
        const std::int64_t count = w().machine().microCount;
        QTest::qWait(50);
        QCOMPARE(w().machine().microCount, count); // no slice runs any more
        QCOMPARE(child<QListWidget>("ListBox2")->count(), 0);
    }

    // -----------------------------------------------------------------------------------------
    // Formats and colours

    void hexBeforeLoadingChangesTheRadicesWarnsAndRefreshesNothing() {
        chooseFormat(2);
        QCOMPARE(m_messages, QStringList{kNotLoaded});
        QCOMPARE(w().valueRadix, 16);
        QCOMPARE(w().addressRadix, 16);
        QVERIFY(w().rawMethodArea);
        QCOMPARE(child<QListWidget>("ListBox2")->count(), 0);
        QCOMPARE(child<QListWidget>("ListBox1")->count(), 0);
        QCOMPARE(label("Label13")->text(), QStringLiteral("0"));
    }

    void backColorCancelThenOkChangesOnlyTheTextColour() {
        const QColor base = editor()->palette().color(QPalette::Base);
        m_driver->then([](QWidget* dialog) { qobject_cast<QColorDialog*>(dialog)->reject(); });
        m_driver->then([](QWidget* dialog) {
            auto* colours = qobject_cast<QColorDialog*>(dialog);
            colours->setCurrentColor(QColor(10, 20, 30));
            colours->accept();
        });
        w().backColor();
        QCOMPARE(editor()->palette().color(QPalette::Base), base);
        QCOMPARE(editor()->palette().color(QPalette::Text), QColor(10, 20, 30));
        QCOMPARE(m_driver->seen, (QStringList{"QColorDialog", "QColorDialog"}));
    }

    void windowColorPaintsTheWindow() {
        m_driver->then([](QWidget* dialog) {
            auto* colours = qobject_cast<QColorDialog*>(dialog);
            colours->setCurrentColor(QColor(200, 100, 50));
            colours->accept();
        });
        w().windowColor();
        QCOMPARE(w().centralWidget()->palette().color(QPalette::Window), QColor(200, 100, 50));
    }

    // -----------------------------------------------------------------------------------------
    // The input box

    void invalidInputKeepsTheOldInputWord() {
        load(kPoolProgram);
        QLineEdit* input = child<QLineEdit>("Edit1");
        input->setText(QStringLiteral("0x1F"));
        emit input->editingFinished();
        QCOMPARE(w().session.input(), 31);
        input->setText(QStringLiteral("12abc")); // the reader takes the leading digits
        emit input->editingFinished();
        QCOMPARE(w().session.input(), 12);
        QString caption;
        m_driver->then([&caption](QWidget* dialog) {
            caption = dialog->windowTitle();
            qobject_cast<QDialog*>(dialog)->accept();
        });
        input->setText(QStringLiteral("x1"));
        emit input->editingFinished();
        QCOMPARE(caption, QStringLiteral("IJVM Error:"));
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0], QStringLiteral("Errore: il numero x1 non è valido. Resta il valore "
                                               "precedente, 12."));
        QCOMPARE(w().session.input(), 12);
        QCOMPARE(input->text(), QStringLiteral("12"));
    }

    void typedInputIsTakenBeforeAStep() {
        load(kPoolProgram);
        QLineEdit* input = child<QLineEdit>("Edit1");
        input->setText(QStringLiteral("42"));
        input->setModified(true); // typed, focus still in the box
        button("BitBtn1")->click();
        QCOMPARE(w().session.input(), 42);
        QCOMPARE(input->text(), QStringLiteral("42"));
    }

    // -----------------------------------------------------------------------------------------
    // Files

    void saveWithCancelWritesNothing() {
        type(kPoolProgram);
        const QStringList before = QDir(w().paths().examplesDir()).entryList(QDir::Files);
        m_driver->then([](QWidget* dialog) { qobject_cast<QFileDialog*>(dialog)->reject(); });
        QVERIFY(!w().save());
        QCOMPARE(QDir(w().paths().examplesDir()).entryList(QDir::Files), before);
        QVERIFY(label("Label34")->text().isEmpty());
        QCOMPARE(m_driver->seen, QStringList{"QFileDialog"});
    }

    void saveAsThenSaveWriteUtf8() {
        type(kPoolProgram);
        const QString path = QDir(m_root.path()).filePath(QStringLiteral("saved.jvm"));
        m_driver->then([path](QWidget* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            QCOMPARE(files->windowTitle(), QStringLiteral("SaveAs IJVM File"));
            files->selectFile(path);
            static_cast<QDialog*>(files)->accept();
        });
        QVERIFY(w().saveAs());
        QCOMPARE(label("Label34")->text(), QDir::toNativeSeparators(path));
        // The editor's last line is empty (the text ends with a line break): it is kept.
        QCOMPARE(readBytes(path), QByteArray(kPoolProgram) + "\n");
        QVERIFY(!w().hasUnsavedChanges());
        editor()->appendPlainText(QStringLiteral("// più"));
        QVERIFY(w().hasUnsavedChanges());
        QVERIFY(w().save()); // no dialog: the program has its file
        QVERIFY(readBytes(path).endsWith("// pi\xC3\xB9\n"));
        QVERIFY(editor()->document()->isModified()); // Save does not count as a compile
    }

    void saveIntoAnUnwritablePlaceReportsAndKeepsTheName() {
        type(kPoolProgram);
        const QString bad = QDir(m_root.path()).filePath(QStringLiteral("missing/dir/x.jvm"));
        QVERIFY(!w().saveProgramFile(bad));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].contains(QStringLiteral("x.jvm")));
        QVERIFY(label("Label34")->text().isEmpty());
        QVERIFY(w().hasUnsavedChanges());
    }

    void openReadsWindows1252AndCrlfAndClearsTheViews() {
        load(kPoolProgram);
        const QString path = QDir(m_root.path()).filePath(QStringLiteral("old <b>1.jas"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("// vecchio: perch\xE8\r\n.main\r\nBIPUSH 3\r\nHALT\r\n.end-main\r\n");
        }
        QVERIFY(w().openProgramFile(path));
        QCOMPARE(editor()->toPlainText(),
                 QStringLiteral("// vecchio: perchè\n.main\nBIPUSH 3\nHALT\n.end-main"));
        QCOMPARE(label("Label34")->text(), QDir::toNativeSeparators(path));
        QCOMPARE(label("Label34")->textFormat(), Qt::PlainText); // the name is not markup
        QVERIFY(!w().programLoaded());
        QVERIFY(editor()->document()->isModified());
        QVERIFY(!w().hasUnsavedChanges());
        QCOMPARE(child<QListWidget>("ListBox1")->count(), 0);
        QCOMPARE(readBytes(w().paths().scratchFile()),
                 QByteArray("// vecchio: perch\xC3\xA8\n.main\nBIPUSH 3\nHALT\n.end-main\n"));
        // Compiled, the accented text still gives the right selection.
        button("BitBtn5")->click();
        QCOMPARE(m_messages, QStringList{kLoaded});
        QCOMPARE(selectedSource(), QStringLiteral("BIPUSH 3"));
    }

    void openOfAnUnreadableFileChangesNothing() {
        type(kPoolProgram);
        const QString before = editor()->toPlainText();
        QVERIFY(!w().openProgramFile(QDir(m_root.path()).filePath(QStringLiteral("none.jvm"))));
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(editor()->toPlainText(), before);
        QVERIFY(label("Label34")->text().isEmpty());
    }

    void choicesAreRememberedForTheSameDataRootOnly() {
        // A program folder, the format and both colours, chosen in one session...
        const QString folder = QDir(m_root.path()).filePath(QStringLiteral("mine"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = QDir(folder).filePath(QStringLiteral("p.jvm"));
        QVERIFY(TextFile::write(path, QString::fromLatin1(kPoolProgram)).ok);
        QVERIFY(w().openProgramFile(path));
        chooseFormat(1);
        m_messages.clear();
        m_driver->then([](QWidget* dialog) {
            qobject_cast<QColorDialog*>(dialog)->setCurrentColor(QColor(1, 2, 3));
            qobject_cast<QColorDialog*>(dialog)->accept();
        });
        m_driver->then([](QWidget* dialog) { qobject_cast<QColorDialog*>(dialog)->reject(); });
        w().backColor();
        m_driver->then([](QWidget* dialog) {
            qobject_cast<QColorDialog*>(dialog)->setCurrentColor(QColor(200, 100, 50));
            qobject_cast<QColorDialog*>(dialog)->accept();
        });
        w().windowColor();
        editor()->clear();
        m_window.reset();

        // ...are there in the next one on the same root.
        m_window = std::make_unique<TForm1>(AppPaths(m_root.path()));
        QCOMPARE(child<QComboBox>("ComboBox1")->currentIndex(), 1);
        QCOMPARE(w().valueRadix, 16);
        QCOMPARE(editor()->palette().color(QPalette::Base), QColor(1, 2, 3));
        QCOMPARE(w().centralWidget()->palette().color(QPalette::Window), QColor(200, 100, 50));
        QString directory;
        m_driver->then([&](QWidget* dialog) {
            directory = qobject_cast<QFileDialog*>(dialog)->directory().absolutePath();
            qobject_cast<QFileDialog*>(dialog)->reject();
        });
        w().openProgram();
        QCOMPARE(QDir(directory).canonicalPath(), QDir(folder).canonicalPath());

        // Another root keeps its own.
        QTemporaryDir other;
        const AppPaths otherPaths(other.path());
        QVERIFY(otherPaths.prepare(nullptr));
        TForm1 elsewhere(otherPaths);
        QCOMPARE(elsewhere.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->currentIndex(), 0);
        QCOMPARE(elsewhere.valueRadix, 10);
    }

    void openDialogStartsInTheExamplesWithTheFilter() {
        QStringList filters;
        QString directory;
        m_driver->then([&](QWidget* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            filters = files->nameFilters();
            directory = files->directory().absolutePath();
            QCOMPARE(files->windowTitle(), QStringLiteral("Open IJVM File"));
            files->reject();
        });
        w().openProgram();
        QCOMPARE(filters,
                 (QStringList{"IJVM files (*.jvm)", "JAS files (*.jas)", "All files (*.*)"}));
        QCOMPARE(QDir(directory).canonicalPath(), QDir(w().paths().examplesDir()).canonicalPath());
    }

    void skeletonWritesTheTwentyThreeLines() {
        w().skeleton();
        const QStringList lines = editor()->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 23);
        QCOMPARE(lines[0],
                 QStringLiteral("    /") + QString(58, QLatin1Char('*')) + QStringLiteral("/"));
        QCOMPARE(lines[2], lines[0]);
        QCOMPARE(lines[1], QStringLiteral(
                               "    /* Il seguente codice è lo scheletro di un programma IJVM */"));
        QCOMPARE(lines[8], QStringLiteral(".method nomemetodo() // Inserire gli eventuali "
                                          "parametri separati da virgole"));
        QCOMPARE(lines[11], QStringLiteral(" // Inserire le variabili locali del meotodo."));
        QCOMPARE(lines[22], QStringLiteral(".end-main"));
        QCOMPARE(editor()->textCursor().position(), 0);
        QVERIFY(!editor()->textCursor().hasSelection());
        QVERIFY(editor()->document()->isModified());
        QVERIFY(w().hasUnsavedChanges());
    }

    void skeletonStartsAnUnnamedProgramSoSaveAsksForAName() {
        const QString path = QDir(w().paths().examplesDir()).filePath(QStringLiteral("kept.jvm"));
        QVERIFY(TextFile::write(path, QString::fromLatin1(kPoolProgram)).ok);
        QVERIFY(w().openProgramFile(path));
        w().skeleton();
        QStringList asked;
        m_driver->then([&asked](QWidget* dialog) {
            asked << QString::fromLatin1(dialog->metaObject()->className());
            qobject_cast<QDialog*>(dialog)->reject();
        });
        QVERIFY(!w().save());
        QCOMPARE(asked, QStringList{QStringLiteral("QFileDialog")});
        QCOMPARE(TextFile::read(path).text, QString::fromLatin1(kPoolProgram));
    }

    void skeletonAssemblesWithoutErrors() {
        w().skeleton();
        button("BitBtn5")->click();
        QCOMPARE(m_messages, QStringList{kLoaded});
    }

    void unsavedChangesAreAskedAboutBeforeTheyAreLost() {
        type(kPoolProgram);
        // Cancel keeps everything.
        m_driver->then([](QWidget* box) {
            clickButton(qobject_cast<QMessageBox*>(box), QStringLiteral("Annulla"));
        });
        w().newProgram();
        QCOMPARE(editor()->toPlainText(), QString::fromUtf8(kPoolProgram));
        // Don't save: New goes ahead.
        m_driver->then([](QWidget* box) {
            clickButton(qobject_cast<QMessageBox*>(box), QStringLiteral("Non salvare"));
        });
        w().newProgram();
        QVERIFY(editor()->toPlainText().isEmpty());
        QVERIFY(editor()->document()->isModified());
        // Nothing to lose: no question.
        w().skeleton();
        const int asked = m_driver->seen.size();
        m_driver->then([](QWidget* box) {
            clickButton(qobject_cast<QMessageBox*>(box), QStringLiteral("Annulla"));
        });
        QVERIFY(!w().close()); // the skeleton is new text: closing asks, Cancel keeps it
        QCOMPARE(m_driver->seen.size(), asked + 1);
        QCOMPARE(editor()->toPlainText().count(QLatin1Char('\n')), 22);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
