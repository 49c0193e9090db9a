// The main window driven through its real widgets: compiling, the views after each kind of
// step, Run and Stop, the input box, the program's files, and the debugging commands
// (breakpoints in both margins, going back, the statistics).
#include "core/number_text.h"
#include "ui/editor/margin_editor.h"
#include "ui/picture/datapath_view.h"
#include "window_fixture.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBlock>
#include <QToolTip>

#include <bit>

using namespace tessaro;

namespace {

// Two constants and main; BIPUSH 65 is the first instruction of main, at byte 7. The comment
// puts multi-byte characters before the code.
const char* const kPoolProgram = "// Programma di prova: perché è così\n"
                                 ".constant\nONE 1\nTEN 10\n.end-constant\n\n"
                                 ".main\nBIPUSH 65\nBIPUSH 66\nIADD\nDUP\nPOP\nBIPUSH 1\nISUB\n"
                                 "HALT\n.end-main\n";
// Writes H, i, then the character of code, then !!.
QByteArray outputProgram(int code) {
    return ".main\nBIPUSH 72\nOUT\nBIPUSH 105\nOUT\nBIPUSH " + QByteArray::number(code) +
           "\nOUT\nBIPUSH 33\nOUT\nBIPUSH 33\nOUT\nHALT\n.end-main\n";
}
const char* const kFrameProgram = ".main\n.var\nr\n.end-var\nBIPUSH 0\nBIPUSH 5\n"
                                  "INVOKEVIRTUAL f\nISTORE r\nHALT\n.end-main\n"
                                  ".method f(a)\n.var\nb\n.end-var\nBIPUSH 7\nIRETURN\n"
                                  ".end-method\n";
const char* const kErrorProgram = "// è un errore\n.main\nGOTO nowhere\nFOO\nHALT\n.end-main\n";

// Line 10 (from 1) is the first instruction of fib; the blank line 9 passes a breakpoint on.
const char* const kFibonacci = ".main\nBIPUSH 0\nBIPUSH 3\nINVOKEVIRTUAL fib\nOUT\nHALT\n"
                               ".end-main\n.method fib(n)\n\nILOAD n\nBIPUSH 2\nISUB\n"
                               "IFLT small\nBIPUSH 0\nILOAD n\nBIPUSH 1\nISUB\nINVOKEVIRTUAL fib\n"
                               "BIPUSH 0\nILOAD n\nBIPUSH 2\nISUB\nINVOKEVIRTUAL fib\nIADD\n"
                               "IRETURN\nsmall: ILOAD n\nIRETURN\n.end-method\n";

// Runs ISUB once, then loops for ever.
const char* const kSubtractForEver = ".main\nBIPUSH 7\nBIPUSH 2\nISUB\nOUT\n"
                                     "again: GOTO again\n.end-main\n";

QStringList items(QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) {
        lines.append(list->item(i)->text());
    }
    return lines;
}

QColor fontColour(QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

void reject(QWidget* dialog) {
    qobject_cast<QDialog*>(dialog)->reject();
}

} // namespace

class TestMainWindow : public WindowFixture {
    Q_OBJECT

    std::int32_t memoryWord(std::int32_t address) {
        const std::int32_t* word = machine().wordMemory.peek(static_cast<std::uint32_t>(address));
        return word != nullptr ? *word : 0;
    }
    int phase() { return static_cast<int>(w().session.subCyclePhase()); }
    void chooseFormat(int index) {
        auto* combo = child<QComboBox>("ComboBox1");
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    MarginEditor* program() { return child<MarginEditor>("Memo1"); }
    MarginEditor* listingMargin() { return child<MarginEditor>("Memo2"); }
    // Clicks the margin of editor beside line (from 0), scrolled into view first.
    void clickMargin(MarginEditor* editor, int line) {
        QTextCursor cursor(editor->document()->findBlockByNumber(line));
        editor->setTextCursor(cursor);
        editor->ensureCursorVisible();
        const int y = editor->cursorRect(cursor).center().y();
        QTest::mouseClick(editor->margin(), Qt::LeftButton, {}, QPoint(4, y));
    }
    // Gives the keyboard back to the window after a message window.
    void activate() {
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
    }

private slots:
    void initTestCase() { prepareRoot(); }
    void init() {
        openWindow();
        window->show();
    }
    void cleanup() { closeWindow(); }

    // -----------------------------------------------------------------------------------------
    // Compile and Load

    void compileErrorsAreListedAndAClickSelectsTheirSpans() {
        // Before any program, each step warns on its own and the sub-cycle stays at its start.
        button("BitBtn2")->click();
        button("BitBtn6")->click();
        QCOMPARE(messages, QStringList(2, kNotLoaded));
        QCOMPARE(phase(), 0);
        messages.clear();
        type(kErrorProgram);
        button("BitBtn5")->click();
        QVERIFY(messages.isEmpty());
        QVERIFY(!w().programLoaded());
        auto* errors = child<QListWidget>("ListBox5");
        QVERIFY(!errors->isHidden());
        const QString first = QString::fromStdString(machine().errors.begin()->message);
        QCOMPARE(errors->item(0)->text(), first);
        // The span is found in the editor although an accented character precedes it.
        QCOMPARE(selectedSource(), QStringLiteral("FOO"));
        errors->setCurrentRow(1);
        QVERIFY(selectedSource().contains(QStringLiteral("nowhere")));
        // Each error is underlined, with its message as the tooltip.
        QTextCursor at(editor()->document());
        at.setPosition(static_cast<int>(editor()->toPlainText().indexOf(QStringLiteral("FOO"))));
        const QPoint inside = editor()->cursorRect(at).center();
        QHelpEvent help(QEvent::ToolTip, inside, editor()->viewport()->mapToGlobal(inside));
        QApplication::sendEvent(editor()->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), first);
        // A corrected program hides the list.
        load(kPoolProgram);
        QVERIFY(errors->isHidden());
    }

    // -----------------------------------------------------------------------------------------
    // The views

    void theFormatChangesTheViews_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QStringList>("area"); // bytes 7 and 8: BIPUSH 65
        QTest::addColumn<QString>("pool");     // the last entry
        QTest::addColumn<QString>("pc");
        QTest::newRow("decimal") << 0 << QStringList{"07: BIPUSH", "08: 65"} << "0: ONE   = 1"
                                 << "7";
        QTest::newRow("hex") << 1 << QStringList{"0x07: BIPUSH", "0x08: 0x41"} << "0x0: ONE   = 0x1"
                             << "0x7";
        QTest::newRow("bytes") << 2 << QStringList{"0x07: 0x19", "0x08: 0x41"} << "0x0: ONE   = 0x1"
                               << "0x7";
    }
    void theFormatChangesTheViews() {
        QFETCH(int, format);
        QFETCH(QStringList, area);
        QFETCH(QString, pool);
        QFETCH(QString, pc);
        load(kPoolProgram);
        chooseFormat(format);
        QCOMPARE(items(child<QListWidget>("ListBox2")).mid(7, 2), area);
        QCOMPARE(items(child<QListWidget>("ListBox1")).last(), pool);
        QCOMPARE(label("Label13")->text(), pc);
    }

    void ijvmStepSelectsTheNextInstructionEverywhere() {
        load(kPoolProgram);
        QCOMPARE(selectedSource(), QStringLiteral("BIPUSH 65"));
        button("BitBtn1")->click(); // into the BIPUSH routine
        button("BitBtn2")->click();
        QCOMPARE(machine().MPC, 0);
        QCOMPARE(selectedSource(), QStringLiteral("BIPUSH 66"));
        QVERIFY(listing()->textCursor().selectedText().contains(QStringLiteral("Main1")));
        button("BitBtn2")->click();
        auto* area = child<QListWidget>("ListBox2");
        QCOMPARE(area->selectedItems(), QList{area->item(machine().PC())}); // the old one is gone
        QCOMPARE(selectedSource(), QStringLiteral("IADD"));
        QCOMPARE(label("Label18")->text(), QStringLiteral("66")); // TOS
        // The frame list starts at the top of the stack, selected.
        auto* frame = child<QListWidget>("ListBox4");
        QCOMPARE(frame->item(0)->text(), QStringLiteral("%1: 66").arg(machine().SP()));
        QCOMPARE(frame->selectedItems(), QList{frame->item(0)});
    }

    void microStepShowsTheMirTheBusesThePictureAndTheWrittenRegisters() {
        load(kPoolProgram);
        // Main1, bipush1, bipush2, bipush3: the last puts MBR on B and writes MDR and TOS.
        for (int i = 0; i < 4; ++i) {
            button("BitBtn1")->click();
        }
        DatapathView* picture = w().datapathView();
        QTRY_VERIFY(!picture->isAnimating());
        const Mic* mic = machine().controlStore.peek(static_cast<std::uint32_t>(machine().lastMPC));
        QVERIFY(mic != nullptr);
        const std::string bits = digitString(static_cast<std::uint32_t>(mic->NextAddr), 2, 9) +
                                 digitString(static_cast<std::uint32_t>(mic->word), 2, 27);
        QString shown;
        for (int i = 1; i <= 36; ++i) {
            shown += label(QByteArray("L" + QByteArray::number(i)).constData())->text();
        }
        QCOMPARE(shown, QString::fromStdString(bits));
        QCOMPARE(label("Label27")->text(), QStringLiteral("65")); // B bus
        QCOMPARE(label("Label28")->text(), QStringLiteral("65")); // C bus
        QCOMPARE(picture->aluPanel()->text(), QStringLiteral("B = 65"));
        // The picture lights the B line of the word's B field and the C lines of its set bits.
        const int b = mic->word & 0xF;
        const int c = (mic->word >> 7) & 0x1FF;
        for (int code : {1, 2, 3, 4, 5, 6, 7, 9, 10}) {
            QCOMPARE(picture->bLineColor(code) == picture->bLineColor(b), code == b);
        }
        const int setBit = std::countr_zero(static_cast<unsigned>(c));
        for (int bit = 0; bit < 9; ++bit) {
            QCOMPARE(picture->cLineColor(bit) == picture->cLineColor(setBit),
                     ((c >> bit) & 1) != 0);
        }
        // The written registers stand out from the B source, and both from the rest.
        const QColor written = fontColour(label("Label12"));
        QCOMPARE(fontColour(label("Label18")), written);  // TOS
        QVERIFY(fontColour(label("Label14")) != written); // MBR, on B
        QVERIFY(fontColour(label("Label14")) != fontColour(label("Label11")));
        QCOMPARE(fontColour(label("Label13")), fontColour(label("Label11"))); // PC, untouched
    }

    void subCyclesShowTheRegistersAtTheFourthAndAStepStartsAfresh() {
        load(kPoolProgram);
        const std::int64_t before = machine().microCount;
        button("BitBtn6")->click();
        QCOMPARE(machine().microCount, before + 1);              // executed at the first press
        QCOMPARE(label("Label13")->text(), QStringLiteral("7")); // shown at the fourth
        button("BitBtn6")->click();
        button("BitBtn6")->click();
        QCOMPARE(phase(), 3);
        button("BitBtn6")->click();
        QCOMPARE(phase(), 0);
        QCOMPARE(label("Label13")->text(), QStringLiteral("8"));
        button("BitBtn6")->click();
        button("BitBtn2")->click();
        QCOMPARE(phase(), 0);
    }

    void runToHaltShowsTheOutputUpToAZero_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("output");
        QTest::newRow("zero") << 0 << "Hi";
        QTest::newRow("line feed as its symbol") << 10 << "Hi\u21B5!!";
    }
    void runToHaltShowsTheOutputUpToAZero() {
        QFETCH(int, code);
        QFETCH(QString, output);
        load(outputProgram(code).constData());
        runToTheEnd();
        QVERIFY(w().session.atHalt());
        QCOMPARE(label("Label5")->text(), output);
        QVERIFY(runStatus().contains(QStringLiteral("HALT")));
    }

    void theFrameIsAnnotatedInsideAMethod() {
        load(kFrameProgram);
        for (int i = 0; i < 4; ++i) { // BIPUSH 0, BIPUSH 5, INVOKEVIRTUAL f, BIPUSH 7
            button("BitBtn2")->click();
        }
        const std::int32_t lv = machine().LV();
        QStringList expected;
        for (const char* name :
             {"", "LV PREC  : ", "PC PREC  : ", "b        = ", "a        = ", "Link Ptr : "}) {
            const std::int32_t at = lv + 5 - static_cast<std::int32_t>(expected.size());
            expected.append(QStringLiteral("%1: %2%3").arg(at).arg(name).arg(memoryWord(at)));
        }
        QCOMPARE(items(child<QListWidget>("ListBox4")), expected);
        // The stack list holds main's frame below LV.
        QCOMPARE(child<QListWidget>("ListBox3")->count(), lv - memoryWord(lv + 4));
    }

    void anInvalidNumberInTheInputBoxKeepsThePreviousValue_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("not a number") << "x1";
        QTest::newRow("too large for a word") << "99999999999";
    }
    void anInvalidNumberInTheInputBoxKeepsThePreviousValue() {
        QFETCH(QString, typed);
        load(kPoolProgram);
        auto* input = child<QLineEdit>("Edit1");
        // Typed with the focus still in the box, it is taken before a step.
        input->setText(QStringLiteral("42"));
        input->setModified(true);
        button("BitBtn1")->click();
        QCOMPARE(w().session.input(), 42);
        QString caption;
        driver->then([&caption](QWidget* dialog) {
            caption = dialog->windowTitle();
            qobject_cast<QDialog*>(dialog)->accept();
        });
        input->setText(typed);
        emit input->editingFinished();
        QCOMPARE(caption, QStringLiteral("IJVM Error:"));
        QCOMPARE(messages, QStringList{QStringLiteral("Errore: il numero %1 non è valido. Resta il "
                                                      "valore precedente, 42.")
                                           .arg(typed)});
        QCOMPARE(w().session.input(), 42);
        QCOMPARE(input->text(), QStringLiteral("42"));
    }

    // -----------------------------------------------------------------------------------------
    // Run

    void runOfAnEndlessLoopEndsAtEscape_data() {
        QTest::addColumn<bool>("menuFirst");
        QTest::newRow("Esc") << false;
        QTest::newRow("Esc after a menu was closed with Esc") << true;
    }
    void runOfAnEndlessLoopEndsAtEscape() {
        QFETCH(bool, menuFirst);
        load(kSubtractForEver);
        QSignalSpy finished(&w(), &MainWindow::executionFinished);
        activate();
        button("BitBtn3")->click();
        QTest::qWait(100); // slices run on the event loop
        QVERIFY(w().isRunning());
        if (menuFirst) { // the menu bar keeps the keyboard after its menu is closed
            QMenu* runMenu = w().menuBar()->actions().at(1)->menu();
            w().menuBar()->setActiveAction(w().menuBar()->actions().at(1));
            QTRY_VERIFY(runMenu->isVisible());
            QTest::keyClick(runMenu, Qt::Key_Escape);
            QTRY_VERIFY(!runMenu->isVisible());
            QVERIFY(w().isRunning());
        }
        QWidget* focus = QApplication::focusWidget() != nullptr ? QApplication::focusWidget()
                                                                : static_cast<QWidget*>(&w());
        QTest::keyClick(focus, Qt::Key_Escape);
        QVERIFY(finished.wait(5000));
        QVERIFY(!w().isRunning());
        QVERIFY(runStatus().contains(QStringLiteral("fermata")));
        QCOMPARE(label("Label1")->text(), QString::number(machine().MPC));
    }

    // -----------------------------------------------------------------------------------------
    // Files and remembered choices

    void unsavedChangesAreAskedAboutBeforeTheyAreLost() {
        type(kPoolProgram);
        driver->then(press(QStringLiteral("Annulla"))); // Cancel keeps everything
        w().openProgram();
        QCOMPARE(driver->seen, QStringList{"QMessageBox"}); // and no file is asked for
        QCOMPARE(editor()->toPlainText(), QString::fromUtf8(kPoolProgram));
        driver->then(press(QStringLiteral("Non salvare"))); // Don't save: New goes ahead
        w().newProgram();
        QVERIFY(editor()->toPlainText().isEmpty());
        // A skeleton over an unchanged file asks nothing, and is new text with no name yet:
        // Save asks for one instead of overwriting the file opened before.
        const QString opened = QDir(w().paths().examplesDir()).filePath(QStringLiteral("k.jvm"));
        QVERIFY(TextFile::write(opened, QString::fromLatin1(kPoolProgram)).ok);
        QVERIFY(w().openProgramFile(opened));
        w().skeleton();
        QCOMPARE(driver->seen.size(), 2);
        const QString path = root.filePath(QStringLiteral("saved.jvm"));
        driver->then([path](QWidget* dialog) {
            qobject_cast<QFileDialog*>(dialog)->selectFile(path);
            qobject_cast<QDialog*>(dialog)->accept();
        });
        QVERIFY(w().save());
        QCOMPARE(driver->seen.last(), QStringLiteral("QFileDialog"));
        QCOMPARE(TextFile::read(opened).text, QString::fromLatin1(kPoolProgram));
        QCOMPARE(label("Label34")->text(), QDir::toNativeSeparators(path));
        // Saved again with no question, in UTF-8.
        editor()->appendPlainText(QStringLiteral("// più"));
        QVERIFY(w().save());
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().endsWith("// pi\xC3\xB9\n"));
        QCOMPARE(driver->seen.size(), 3);
        // Closing asks; Cancel keeps the window and the text.
        editor()->appendPlainText(QStringLiteral("NOP"));
        const QString text = editor()->toPlainText();
        driver->then(press(QStringLiteral("Annulla")));
        QVERIFY(!w().close());
        QCOMPARE(editor()->toPlainText(), text);
    }

    void choicesAreRememberedForTheSameDataRootOnly() {
        // A program folder, the format and the background, chosen in one session...
        const QString folder = root.filePath(QStringLiteral("mine"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = QDir(folder).filePath(QStringLiteral("p.jvm"));
        QVERIFY(TextFile::write(path, QString::fromLatin1(kPoolProgram)).ok);
        QVERIFY(w().openProgramFile(path));
        chooseFormat(1);
        driver->then([](QWidget* dialog) {
            qobject_cast<QColorDialog*>(dialog)->setCurrentColor(QColor(1, 2, 3));
            qobject_cast<QColorDialog*>(dialog)->accept();
        });
        driver->then(reject); // the text colour stays
        w().backColor();
        editor()->clear();
        window.reset();

        // ...are there in the next one on the same root.
        window = std::make_unique<MainWindow>(AppPaths(root.path()));
        QCOMPARE(child<QComboBox>("ComboBox1")->currentIndex(), 1);
        QCOMPARE(editor()->palette().color(QPalette::Base), QColor(1, 2, 3));
        QString directory;
        driver->then([&](QWidget* dialog) {
            directory = qobject_cast<QFileDialog*>(dialog)->directory().absolutePath();
            reject(dialog);
        });
        w().openProgram();
        QCOMPARE(QDir(directory).canonicalPath(), QDir(folder).canonicalPath());

        // Another root keeps its own.
        QTemporaryDir other;
        QVERIFY(AppPaths(other.path()).prepare(nullptr));
        MainWindow elsewhere{AppPaths(other.path())};
        QCOMPARE(elsewhere.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->currentIndex(), 0);
    }

    // -----------------------------------------------------------------------------------------
    // Breakpoints, going back, statistics

    void aBreakpointStopsTheRunAndBackRetracesTheForwardRun() {
        load(kFibonacci);
        // A click beside the blank line marks the method's first instruction.
        clickMargin(program(), 8);
        QCOMPARE(program()->markedLines(), std::set<int>{9});
        const std::int64_t start = machine().microCount;
        runToTheEnd();
        QVERIFY2(runStatus().contains(QStringLiteral("punto di arresto alla riga 10")),
                 qPrintable(runStatus()));
        // Forward, one IJVM step at a time, recording where the machine and the program
        // stand; then back over the same steps (past calls and memory writes), by the buttons
        // and the menu in turn, each landing where the forward run stood.
        std::vector<std::int64_t> counts{machine().microCount};
        std::vector<std::int32_t> stackTops{machine().TOS()};
        std::vector<int> lines{program()->currentLine()};
        for (int i = 0; i < 12; ++i) {
            window->ijvmStepCommand();
            QTRY_VERIFY(!window->isRunning());
            counts.push_back(machine().microCount);
            stackTops.push_back(machine().TOS());
            lines.push_back(program()->currentLine());
        }
        button("BackMicButton")->click();
        QCOMPARE(machine().microCount, counts.back() - 1);
        // From inside an instruction, a step back goes to its start.
        for (std::size_t i = 12; i-- > 0;) {
            if (i % 2 == 0) {
                button("BackStepButton")->click();
            } else {
                menuAction(QStringLiteral("Indietro IJVM"))->trigger();
            }
            QCOMPARE(machine().microCount, counts[i]);
            QCOMPARE(label("Label18")->text(), QString::number(stackTops[i]));
            QCOMPARE(program()->currentLine(), lines[i]);
        }
        menuAction(QStringLiteral("Indietro Mic"))->trigger();
        QCOMPARE(machine().microCount, counts.front() - 1);
        QVERIFY(machine().microCount > start);
        // A second click takes the mark away: the run then goes to the end.
        clickMargin(program(), 8);
        QVERIFY(program()->markedLines().empty());
        runToTheEnd();
        QVERIFY(window->session.atHalt());
    }

    void theListingMarginMarksAMicroAddressByItsCommentHeading() {
        load(kSubtractForEver);
        const QTextDocument* document = listingMargin()->document();
        const int isub1 = document->find(QStringLiteral("isub1    ")).blockNumber();
        const int heading = document->find(QStringLiteral("---- 5: ISUB")).blockNumber();
        // The menu command acts on the listing when it has the focus.
        listingMargin()->setTextCursor(QTextCursor(document->findBlockByNumber(heading)));
        activate();
        listingMargin()->setFocus();
        menuAction(QStringLiteral("Punto di arresto"))->trigger();
        QCOMPARE(listingMargin()->markedLines(), std::set<int>{isub1});
        const QString marked = runStatus();
        runToTheEnd();
        // The run stops at the marked line's address, which both messages name.
        QCOMPARE(listingMargin()->currentLine(), isub1);
        const QString address = QStringLiteral("micro-indirizzo %1").arg(machine().MPC);
        QVERIFY2(marked.contains(address), qPrintable(marked));
        QVERIFY2(runStatus().contains(address), qPrintable(runStatus()));
    }

    void theStatisticsWindowCountsEachOpcode() {
        load(kFibonacci);
        runToTheEnd();
        menuAction(QStringLiteral("Statistiche"))->trigger();
        auto* table = window->findChild<QPlainTextEdit*>(QStringLiteral("StatisticsTable"));
        QVERIFY(table != nullptr);
        const QString text = table->toPlainText();
        // fib(3) calls itself four times: five calls and five returns with main's.
        for (const char* row : {"INVOKEVIRTUAL +5 ", "IRETURN +5 ", "OUT +1 "}) {
            const QRegularExpression line(QLatin1Char('^') + QLatin1String(row),
                                          QRegularExpression::MultilineOption);
            QVERIFY2(line.match(text).hasMatch(), row);
        }
        // It follows the machine back to the start, and to a new program.
        button("BitBtn4")->click();
        QVERIFY(!table->toPlainText().contains(QStringLiteral("IRETURN")));
        runToTheEnd();
        driver->then(press(QStringLiteral("Non salvare")));
        w().newProgram();
        QVERIFY(!table->toPlainText().contains(QStringLiteral("IRETURN")));
    }

    void theConsoleShowsEverythingPrintedSinceTheLastReset() {
        load(".main\n.var\ni\n.end-var\nBIPUSH 0\nISTORE i\nl: BIPUSH 65\nOUT\nIINC i 1\n"
             "ILOAD i\nBIPUSH 100\nISUB\nIFLT l\nHALT\n.end-main\n");
        runToTheEnd();
        menuAction(QStringLiteral("Console"))->trigger();
        auto* console = window->findChild<QPlainTextEdit*>(QStringLiteral("ConsoleText"));
        QCOMPARE(console->toPlainText(), QString(100, QLatin1Char('A')));
        // Going back over the last OUT takes its character away, and only that one.
        for (int i = 0; i < 10 && console->toPlainText().size() == 100; ++i) {
            button("BackStepButton")->click();
        }
        QCOMPARE(console->toPlainText(), QString(99, QLatin1Char('A')));
        button("BitBtn4")->click();
        QVERIFY(console->toPlainText().isEmpty());
    }

    void theMarksFollowTheMachineWhereverItJumps() {
        load(kFibonacci);
        // A run stopped by a micro-address breakpoint, inside the first IADD: the arrow, the
        // selection and the method-area highlight all name that instruction.
        const int iadd = editor()->document()->find(QStringLiteral("IADD")).blockNumber();
        const QTextDocument* listingText = listingMargin()->document();
        clickMargin(listingMargin(), listingText->find(QStringLiteral("iadd2 ")).blockNumber());
        runToTheEnd();
        QCOMPARE(program()->currentLine(), iadd);
        QCOMPARE(selectedSource(), QStringLiteral("IADD"));
        // Going back to an instruction boundary: the method area's highlight is on PC.
        button("BackStepButton")->click();
        const QList<QListWidgetItem*> selected = child<QListWidget>("ListBox2")->selectedItems();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(child<QListWidget>("ListBox2")->row(selected[0]), machine().PC());
        // A new program has no current line.
        driver->then(press(QStringLiteral("Non salvare")));
        w().newProgram();
        QCOMPARE(program()->currentLine(), -1);
    }

    void theColourDialogsSayWhatTheyColourAndKeepTheTextVisible() {
        const QColor text = editor()->palette().color(QPalette::Text);
        QStringList titles;
        const auto choose = [&titles](QWidget* dialog) {
            titles.append(dialog->windowTitle());
            qobject_cast<QColorDialog*>(dialog)->setCurrentColor(QColor(9, 9, 9));
            qobject_cast<QDialog*>(dialog)->accept();
        };
        driver->then(choose);
        driver->then(choose);
        w().backColor();
        QCOMPARE(titles, (QStringList{QStringLiteral("Colore dello sfondo dell'editor"),
                                      QStringLiteral("Colore del testo dell'editor")}));
        QCOMPARE(editor()->palette().color(QPalette::Base), QColor(9, 9, 9));
        QCOMPARE(editor()->palette().color(QPalette::Text), text);
        QCOMPARE(messages.size(), 1);
    }

    // -----------------------------------------------------------------------------------------
    // The window's size

    void theLayoutGrowsWithTheWindowAndTheEditorWithIt_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qreal>("leastScale");
        QTest::addColumn<int>("leastLines");
        QTest::newRow("default") << QSize(1032, 748) << 1.0 << 10;
        QTest::newRow("1440 x 900") << QSize(1440, 900) << 1.15 << 10;
        QTest::newRow("1920 x 1080") << QSize(1920, 1080) << 1.3 << 30;
    }
    void theLayoutGrowsWithTheWindowAndTheEditorWithIt() {
        QFETCH(QSize, size);
        QFETCH(qreal, leastScale);
        QFETCH(int, leastLines);
        w().resize(size);
        QTRY_COMPARE(w().size(), size);
        QApplication::processEvents();
        auto* picture = child<DatapathView>("Image1");
        const qreal scale = picture->width() / 801.0;
        QVERIFY2(scale >= leastScale, qPrintable(QString::number(scale)));
        if (size == QSize(1032, 748)) {
            // The table itself, untouched: the screenshots stay as they are.
            QCOMPARE(scale, 1.0);
            QCOMPARE(program()->geometry(), QRect(8, 520, 689, 177));
        }
        // One factor for the picture, the lists and the fonts, and drawn at the size shown.
        QVERIFY(std::abs(picture->height() - 481 * scale) <= 1);
        QVERIFY(std::abs(child<QListWidget>("ListBox1")->width() - 204 * scale) <= 1);
        QCOMPARE(child<QListWidget>("ListBox1")->font().pixelSize(), qRound(11 * scale));
        QCOMPARE(listingMargin()->font().pixelSize(), qRound(12 * scale));
        QCOMPARE(program()->font().pixelSize(), qRound(13 * scale));
        QVERIFY(std::abs(picture->pictureImage().width() - picture->width()) <= 1);
        // Nothing is cut off by the window's edge (the caption above the picture always began
        // a little above the top).
        QWidget* client = w().centralWidget();
        const QRect room = client->rect().adjusted(0, -4, 0, 0);
        for (QWidget* control : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QVERIFY2(!control->isVisible() || room.contains(control->geometry()),
                     qPrintable(control->objectName()));
        }
        // Lines the editor shows at once, with a program longer than that.
        QStringList lines;
        for (int i = 0; i < 200; ++i) {
            lines.append(QStringLiteral("BIPUSH %1").arg(i));
        }
        program()->setPlainText(lines.join(QLatin1Char('\n')));
        const int lastShown =
            program()
                ->cursorForPosition(QPoint(4, program()->viewport()->height() - 1))
                .blockNumber();
        QVERIFY2(lastShown >= leastLines, qPrintable(QString::number(lastShown)));
        // The picture's read-back stays in layout coordinates at any scale: the C bus.
        QCOMPARE(picture->pictureColorAt(QPoint(52, 300)), QColor(194, 202, 214));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
