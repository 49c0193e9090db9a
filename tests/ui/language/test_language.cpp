// The window in each language, with the translators installed the way main() installs them.
#include "ui/app_paths.h"
#include "ui/language.h"
#include "ui/picture/message_dialog.h"
#include "ui/text_file.h"
#include "ui/tform1.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>


using namespace tessaro;

namespace {

const QStringList kProgram{QStringLiteral("tessaro")};

QStringList actionTexts(const QList<QAction*>& actions) {
    QStringList result;
    for (const QAction* action : actions) {
        if (!action->isSeparator()) {
            result.append(action->text());
        }
    }
    return result;
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;

    static QString cancelCaption() {
        QMessageBox box(QMessageBox::Question, QString(), QString(),
                        QMessageBox::Ok | QMessageBox::Cancel);
        return box.button(QMessageBox::Cancel)->text();
    }
    // What a save onto a folder reports, in Qt's own words.
    QString saveOntoFolderError() {
        const TextFileResult result = TextFile::write(m_root.path(), QStringLiteral("x"));
        return result.error;
    }
    // The first entry of the error list after compiling a program with an unknown label.
    static QString firstCompileError(TForm1& form) {
        auto* editor = form.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        editor->setPlainText(QStringLiteral(".main\nGOTO nowhere\nHALT\n.end-main\n"));
        editor->document()->setModified(true);
        form.findChild<QPushButton*>(QStringLiteral("BitBtn5"))->click();
        auto* errors = form.findChild<QListWidget*>(QStringLiteral("ListBox5"));
        const QString text = errors->count() > 0 ? errors->item(0)->text() : QString();
        editor->clear();
        return text;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QString error;
        QVERIFY2(AppPaths(m_root.path()).prepare(&error), qPrintable(error));
    }

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
        QTest::newRow("option with =") << kProgram + QStringList{"--lang=en"} << "it" << italy
                                       << true;
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
        QTest::addColumn<QStringList>("items"); // of the Run menu, then the microprogram item
        QTest::addColumn<QStringList>("texts"); // Stop's tooltip, the warning, a compile error
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
        TForm1 form{AppPaths(m_root.path())};
        const QStringList menus = actionTexts(form.menuBar()->actions().at(1)->menu()->actions()) +
                                  actionTexts(form.menuBar()->actions().at(0)->menu()->actions());
        for (const QString& item : items) {
            QVERIFY2(menus.contains(item), qPrintable(item));
        }
        QCOMPARE(form.findChild<QPushButton*>(QStringLiteral("StopButton"))->toolTip(), texts[0]);
        QCOMPARE(TForm3().findChild<QLabel*>(QStringLiteral("Panel1"))->text(), texts[1]);
        QCOMPARE(firstCompileError(form), texts[2]);
        // Qt's own texts in Italian only where Debian's catalogue for them is installed.
        if (english || QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                                         QStringLiteral("/qtbase_it.qm"))) {
            QCOMPARE(cancelCaption(), qtTexts[0]);
            QCOMPARE(saveOntoFolderError(), qtTexts[1]);
        }
    }
};

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
