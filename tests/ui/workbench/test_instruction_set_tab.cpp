// The instruction set beside the microprogram, as a student adding an instruction meets it:
// declare INEG, write its routine, translate both, run a program using it, check it; and a
// wrong file, a missing routine, saving and reverting both files.

#include "ui/editor/ijvm_highlighter.h"
#include "ui/editor/mal_editor.h"
#include "ui/workbench/instruction_set_page.h"
#include "ui/workbench/microprogram_window.h"
#include "window_fixture.h"

#include <QListWidget>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextLayout>

using namespace tessaro;

namespace {

QString exerciseFile(const char* name) {
    return TextFile::read(QStringLiteral(TESSARO_SOURCE_DIR "/examples/exercise/") +
                          QLatin1String(name))
        .text;
}

const QString kDeclaration = QStringLiteral("0x46 INEG ( a -- 0-a )");

} // namespace

class TestInstructionSetTab : public WindowFixture {
    Q_OBJECT

    MicroprogramWindow* mp() { return window->microprogramWindow(); }
    MalEditor* setEditor() { return mp()->instructionSetPage()->editor(); }
    QListWidget* list(const char* name) {
        return mp()->findChild<QListWidget*>(QString::fromLatin1(name));
    }
    QStringList lines(const char* name) {
        QStringList texts;
        for (int i = 0; i < list(name)->count(); ++i) {
            texts.append(list(name)->item(i)->text());
        }
        return texts;
    }
    QString status() { return mp()->findChild<QLabel*>(QStringLiteral("StatusLabel"))->text(); }
    void click(const char* name) {
        mp()->findChild<QPushButton*>(QString::fromLatin1(name))->click();
    }
    void edit(const QString& microprogram, const QString& instructionSet) {
        mp()->editor()->setPlainText(microprogram);
        setEditor()->setPlainText(instructionSet);
    }
    // The built-in set as the editor shows it; builtinLines() ends with a line break, so
    // that a line can be added to it.
    QString builtinSet() {
        const std::string_view text = builtinInstructionSetText();
        return TextFile::decode(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    }
    QString builtinLines() { return builtinSet() + QLatin1Char('\n'); }
    // Whether the program editor colours the first word of line (from 0) as a mnemonic.
    bool colouredAsMnemonic(int line) {
        const QTextBlock block = editor()->document()->findBlockByNumber(line);
        const QBrush mnemonic =
            IjvmHighlighter::format(IjvmHighlighter::Kind::Mnemonic).foreground();
        for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
            if (range.format.foreground() == mnemonic &&
                block.text().mid(range.start, range.length) == QLatin1String("INEG")) {
                return true;
            }
        }
        return false;
    }

private slots:
    void initTestCase() { prepareRoot(); }
    void init() {
        openWindow();
        menuAction(QStringLiteral("&Microprogramma..."))->trigger();
        connect(mp(), &MicroprogramWindow::messageShown, this,
                [this](const QString&, const QString& text) { messages.append(text); });
    }
    void cleanup() {
        mp()->discardChanges();
        closeWindow();
    }

    void aNewInstructionIsTranslatedRunAndChecked() {
        type(qPrintable(exerciseFile("negate.jvm")));
        QVERIFY(!colouredAsMnemonic(3));
        edit(exerciseFile("ineg.mal"), exerciseFile("instructions.txt"));
        click("TranslateButton");
        QVERIFY2(lines("ProblemList").isEmpty(), qPrintable(lines("ProblemList").join('\n')));
        QVERIFY2(status().contains(QStringLiteral("caricato")), qPrintable(status()));
        QVERIFY(colouredAsMnemonic(3));

        load(qPrintable(exerciseFile("negate.jvm")));
        QVERIFY(!child<QListWidget>("ListBox2")
                     ->findItems(QStringLiteral("INEG"), Qt::MatchContains)
                     .isEmpty());
        button("BitBtn2")->click(); // BIPUSH -7
        button("BitBtn2")->click(); // INEG
        QCOMPARE(machine().TOS(), 7);
        runToTheEnd();
        QCOMPARE(label("Label5")->text().trimmed(), QStringLiteral("73"));

        // Checked by its stack effect: the right routine passes, one that forgets to negate
        // fails at INEG alone.
        QVERIFY(mp()->check());
        QVERIFY(lines("CheckList").contains(QStringLiteral("INEG ok 4")));
        QString wrong = exerciseFile("ineg.mal");
        wrong.replace(QStringLiteral("TOS = -H"), QStringLiteral("TOS = H"));
        mp()->editor()->setPlainText(wrong);
        QVERIFY(!mp()->check());
        QCOMPARE(list("CheckList")->findItems(QStringLiteral(" FAIL"), Qt::MatchContains).size(),
                 1);
        QVERIFY(lines("CheckList").contains(QStringLiteral("INEG FAIL")));
    }

    void aWrongSetIsListedByLineAndNothingIsLoaded() {
        load(".main\nBIPUSH 1\nHALT\n.end-main\n");
        edit(exerciseFile("ineg.mal"),
             builtinLines() + kDeclaration + QStringLiteral("\n0x47 INEG\n"));
        click("TranslateButton");
        const int wrongLine = builtinLines().count(QLatin1Char('\n')) + 2;
        QCOMPARE(lines("ProblemList"),
                 QStringList{QStringLiteral("instructions.txt:%1: il mnemonico INEG è già usato "
                                            "alla riga %2")
                                 .arg(wrongLine)
                                 .arg(wrongLine - 1)});
        QVERIFY(status().contains(QStringLiteral("restano in uso quelli precedenti")));
        QVERIFY(mp()->findChild<QTabWidget*>()->currentWidget() == mp()->instructionSetPage());
        QCOMPARE(setEditor()->currentLine(), wrongLine);
        QVERIFY(machine().instructionSet->find(std::string_view("INEG")) == nullptr);
        QVERIFY(!listing()->toPlainText().contains(QStringLiteral("ineg1")));
        QVERIFY(w().programLoaded());

        // Verifica refuses the same set.
        QVERIFY(!mp()->check());
        QCOMPARE(list("ProblemList")->count(), 1);
    }

    void anInstructionWithoutRoutineOrEffectIsToldAbout() {
        load(".main\nBIPUSH 1\nHALT\n.end-main\n");
        edit(bundledMicroprogramText(), builtinLines() + QStringLiteral("0x46 INEG\n"));
        click("TranslateButton");
        QCOMPARE(lines("ProblemList"),
                 QStringList{QStringLiteral("INEG (opcode 0x46): la riga 70 del control store "
                                            "è una riga di riempimento, non una routine")});
        QVERIFY2(status().contains(QStringLiteral("1 istruzione senza routine")),
                 qPrintable(status()));
        QVERIFY(machine().instructionSet->find(std::string_view("INEG")) != nullptr);
        // The program was assembled again with the new set, and is still loaded.
        QVERIFY(w().programLoaded());

        QVERIFY(mp()->check());
        QVERIFY(lines("CheckList")
                    .contains(QStringLiteral("INEG non verificata (nessun effetto sulla pila)")));
        QVERIFY(status().contains(QStringLiteral("1 istruzione non verificata")));
    }

    void saveAndRevertCoverBothFiles() {
        const QString set = builtinLines() + kDeclaration + QLatin1Char('\n');
        setEditor()->setPlainText(set);
        QVERIFY(mp()->windowTitle().endsWith(QStringLiteral(" *")));
        click("SaveButton");
        QCOMPARE(TextFile::read(w().paths().instructionSetFile()).text, set);
        QVERIFY(!mp()->isModified());

        mp()->editor()->setPlainText(QStringLiteral("// nothing\n"));
        driver->then(press(QStringLiteral("Ripristina")));
        click("RevertButton");
        QCOMPARE(setEditor()->toPlainText(), builtinSet());
        QCOMPARE(mp()->editor()->toPlainText(), bundledMicroprogramText());
        QCOMPARE(TextFile::read(w().paths().instructionSetFile()).text, set);
    }

    void anUnsavedSetSurvivesACrash() {
        const QString copy = w().paths().instructionSetRecoveryFile();
        const QString edited = builtinLines() + kDeclaration;
        setEditor()->setPlainText(edited);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(copy), 10'000);
        const TextFileResult left = TextFile::read(copy);
        mp()->discardChanges();
        closeWindow();
        QVERIFY(TextFile::write(copy, left.text).ok); // what a crash leaves

        openWindow();
        driver->then(press(QStringLiteral("Ripristina")));
        w().runStartupDialogs(false);
        QCOMPARE(setEditor()->toPlainText(), edited);
        QVERIFY(mp()->isModified());
    }

    void aWrongFileAtStartUpLeavesTheBuiltinSet_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("used");
        QTest::newRow("error") << QStringLiteral("0x01 NOP\n0x01 DUP\n")
                               << QStringLiteral("instructions.txt:2: l'opcode 0x01 è già usato")
                               << false;
        QTest::newRow("no routine") << builtinLines() + QStringLiteral("0x46 INEG\n")
                                    << QStringLiteral("INEG (opcode 0x46)") << true;
    }
    void aWrongFileAtStartUpLeavesTheBuiltinSet() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFETCH(bool, used);
        closeWindow();
        openWindow(bundledMicroprogramText(), TextFile::encode(file));
        QCOMPARE(w().instructionSetMessages().size(), 1);
        QVERIFY2(w().instructionSetMessages()[0].contains(message),
                 qPrintable(w().instructionSetMessages()[0]));
        QVERIFY(machine().instructionSet->find(std::string_view("DUP")) != nullptr);
        QCOMPARE(machine().instructionSet->find(std::string_view("INEG")) != nullptr, used);
        menuAction(QStringLiteral("&Microprogramma..."))->trigger();
    }
};

QTEST_MAIN(TestInstructionSetTab)
#include "test_instruction_set_tab.moc"
