// The window in each language, with the translators installed the way main() installs them.
#include "ui/language/language.h"
#include "ui/picture/message_dialog.h"
#include "window_fixture.h"

#include <QListWidget>

using namespace tessaro;

namespace {

const QStringList kProgram{QStringLiteral("tessaro")};

QString cancelCaption() {
    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Ok | QMessageBox::Cancel);
    return box.button(QMessageBox::Cancel)->text();
}

} // namespace

class TestLanguage : public WindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { prepareRoot(); }
    void cleanupTestCase() { installTranslators(*qApp, Language::Italian); }

    void theCommandLineWinsOverTheVariableWhichWinsOverTheLocale_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("english");
        const QLocale italy(QLocale::Italian, QLocale::Italy);
        const QLocale britain(QLocale::English, QLocale::UnitedKingdom);
        QTest::newRow("Italian locale") << kProgram << QString() << italy << false;
        QTest::newRow("British locale") << kProgram << QString() << britain << true;
        QTest::newRow("German locale") << kProgram << QString() << QLocale(QLocale::German) << true;
        QTest::newRow("C locale") << kProgram << QString() << QLocale::c() << true;
        QTest::newRow("variable over locale") << kProgram << "en" << italy << true;
        QTest::newRow("variable with a region") << kProgram << "it_IT.UTF-8" << britain << false;
        QTest::newRow("option over variable")
            << kProgram + QStringList{"--lang", "it"} << "en" << britain << false;
        QTest::newRow("option with =")
            << kProgram + QStringList{"--lang=en"} << "it" << italy << true;
        QTest::newRow("no language in the option")
            << kProgram + QStringList{"--lang=xx"} << "en" << italy << true;
        QTest::newRow("no language in the variable") << kProgram << "klingon" << italy << false;
        // The program's own name is no choice.
        QTest::newRow("program named like the option")
            << QStringList{"--lang=en"} << QString() << italy << false;
    }
    void theCommandLineWinsOverTheVariableWhichWinsOverTheLocale() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, environment);
        QFETCH(QLocale, locale);
        QFETCH(bool, english);
        QCOMPARE(chooseLanguage(arguments, environment, locale),
                 english ? Language::English : Language::Italian);
    }

    // The window, the message window, Qt's own texts and the core's messages all follow the
    // language chosen; Italian is the source text, unchanged.
    void everyTextFollowsTheLanguage_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QStringList>("items");   // of the Run menu, then the microprogram item
        QTest::addColumn<QStringList>("texts");   // Stop's tooltip, the warning, a compile error
        QTest::addColumn<QStringList>("qtTexts"); // Cancel, a save onto a folder
        QTest::newRow("English")
            << true
            << QStringList{"Back Mic", "Back IJVM", "Breakpoint", "Statistics", "&Microprogram..."}
            << QStringList{"Stop the run (Esc)",
                           "The program must first be compiled and loaded into memory",
                           "Error in method main. The label nowhere does not exist."}
            << QStringList{"Cancel", "Filename refers to a directory"};
        QTest::newRow("Italian")
            << false
            << QStringList{"Indietro Mic", "Indietro IJVM", "Punto di arresto", "Statistiche",
                           "&Microprogramma..."}
            << QStringList{"Ferma l'esecuzione (Esc)",
                           "Il programma deve prima essere compilato e caricato in memoria",
                           "Errore nel metodo main. L'etichetta nowhere non esiste."}
            << QStringList{"Annulla", "Il nome di file fa riferimento ad una cartella"};
    }
    void everyTextFollowsTheLanguage() {
        QFETCH(bool, english);
        QFETCH(QStringList, items);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, qtTexts);
#ifndef TESSARO_HAS_TRANSLATIONS
        if (english) {
            QSKIP("built without the Qt Linguist tools: no English translation");
        }
#endif
        // From the other language, so that a translator left behind shows.
        installTranslators(*qApp, english ? Language::Italian : Language::English);
        QVERIFY(installTranslators(*qApp, english ? Language::English : Language::Italian));
        openWindow();
        for (const QString& item : items) {
            QVERIFY(menuAction(item) != nullptr);
        }
        QCOMPARE(button("StopButton")->toolTip(), texts[0]);
        QCOMPARE(MessageDialog().findChild<QLabel*>(QStringLiteral("Panel1"))->text(), texts[1]);
        QCOMPARE(MessageDialog().windowTitle(), QStringLiteral("Tessaro"));
        if (english) { // the button and the menu name the sub-cycle command alike
            QCOMPARE(button("BitBtn6")->text(), QStringLiteral("SubCycle"));
            QVERIFY(menuAction(QStringLiteral("SubCycle")) != nullptr);
        }
        // The assembler's messages come from the core, which follows the same choice.
        type(".main\nGOTO nowhere\nHALT\n.end-main\n");
        button("BitBtn5")->click();
        QCOMPARE(child<QListWidget>("ListBox5")->item(0)->text(), texts[2]);
        closeWindow();
        // Qt's own texts in Italian only where Debian's catalogue for them is installed.
        if (english || QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                                         QStringLiteral("/qtbase_it.qm"))) {
            QCOMPARE(cancelCaption(), qtTexts[0]);
            QCOMPARE(TextFile::write(root.path(), QStringLiteral("x")).error, qtTexts[1]);
        }
    }
};

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
