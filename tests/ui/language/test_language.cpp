// The window in each language, with the translators installed the way main() installs them.
#include "ijvm/error_texts.h"
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

#include <memory>

using namespace tessaro;

namespace {

const QStringList kProgram{QStringLiteral("tessaro")};

QStringList texts(const QList<QAction*>& actions) {
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

    std::unique_ptr<TForm1> window() {
        auto form = std::make_unique<TForm1>(AppPaths(m_root.path()));
        return form;
    }
    static QStringList menuTitles(TForm1& form) { return texts(form.menuBar()->actions()); }
    static QStringList menuItems(TForm1& form, int index) {
        return texts(form.menuBar()->actions().at(index)->menu()->actions());
    }
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

    void theCommandLineWinsOverTheVariableWhichWinsOverTheLocale() {
        const QLocale italy(QLocale::Italian, QLocale::Italy);
        const QLocale britain(QLocale::English, QLocale::UnitedKingdom);
        const QLocale germany(QLocale::German, QLocale::Germany);
        QCOMPARE(chooseLanguage(kProgram, QString(), italy), Language::Italian);
        QCOMPARE(chooseLanguage(kProgram, QString(), britain), Language::English);
        QCOMPARE(chooseLanguage(kProgram, QString(), germany), Language::English);
        QCOMPARE(chooseLanguage(kProgram, QString(), QLocale::c()), Language::English);
        QCOMPARE(chooseLanguage(kProgram, QStringLiteral("en"), italy), Language::English);
        QCOMPARE(chooseLanguage(kProgram, QStringLiteral("it_IT.UTF-8"), britain),
                 Language::Italian);
        QCOMPARE(
            chooseLanguage(kProgram + QStringList{QStringLiteral("--lang"), QStringLiteral("it")},
                           QStringLiteral("en"), britain),
            Language::Italian);
        QCOMPARE(chooseLanguage(kProgram + QStringList{QStringLiteral("--lang=en")},
                                QStringLiteral("it"), italy),
                 Language::English);
        // A word that names no language is passed over.
        QCOMPARE(chooseLanguage(kProgram + QStringList{QStringLiteral("--lang=xx")},
                                QStringLiteral("en"), italy),
                 Language::English);
        QCOMPARE(chooseLanguage(kProgram, QStringLiteral("klingon"), italy), Language::Italian);
        // The program's name and a file named like the option are no choice.
        QCOMPARE(chooseLanguage({QStringLiteral("--lang=en")}, QString(), italy),
                 Language::Italian);
    }

    void englishMenusButtonsDialogsAndErrors() {
#ifndef TESSARO_HAS_TRANSLATIONS
        QSKIP("built without the Qt Linguist tools: no English translation");
#endif
        QVERIFY(installTranslators(*qApp, Language::English));
        auto form = window();
        QCOMPARE(menuTitles(*form),
                 (QStringList{QStringLiteral("&File"), QStringLiteral("Run"),
                              QStringLiteral("Option"), QStringLiteral("Help")}));
        QVERIFY(menuItems(*form, 0).contains(QStringLiteral("&Microprogram...")));
        const QStringList run = menuItems(*form, 1);
        for (const char* item : {"Back Mic", "Back IJVM", "Breakpoint", "Statistics"}) {
            QVERIFY2(run.contains(QString::fromLatin1(item)), qPrintable(run.join(u'|')));
        }
        QCOMPARE(form->findChild<QPushButton*>(QStringLiteral("BitBtn5"))->text(),
                 QStringLiteral("Compile and Load"));
        QCOMPARE(form->findChild<QPushButton*>(QStringLiteral("StopButton"))->toolTip(),
                 QStringLiteral("Stop the run (Esc)"));
        TForm3 message;
        QCOMPARE(message.findChild<QLabel*>(QStringLiteral("Panel1"))->text(),
                 QStringLiteral("The program must first be compiled and loaded into memory"));
        QCOMPARE(cancelCaption(), QStringLiteral("Cancel"));
        QCOMPARE(saveOntoFolderError(), QStringLiteral("Filename refers to a directory"));
        // The assembler's messages come from the core, which follows the same choice.
        QCOMPARE(firstCompileError(*form),
                 QStringLiteral("Error in method main. The label nowhere does not exist."));
    }

    void italianTextsAreTheSourceTextsUnchanged() {
        QVERIFY(installTranslators(*qApp, Language::Italian));
        auto form = window();
        QCOMPARE(menuTitles(*form),
                 (QStringList{QStringLiteral("&File"), QStringLiteral("Run"),
                              QStringLiteral("Option"), QStringLiteral("Help")}));
        QVERIFY(menuItems(*form, 0).contains(QStringLiteral("&Microprogramma...")));
        const QStringList run = menuItems(*form, 1);
        for (const char* item :
             {"Indietro Mic", "Indietro IJVM", "Punto di arresto", "Statistiche"}) {
            QVERIFY2(run.contains(QString::fromLatin1(item)), qPrintable(run.join(u'|')));
        }
        QCOMPARE(form->findChild<QPushButton*>(QStringLiteral("BitBtn5"))->text(),
                 QStringLiteral("Compile and Load"));
        QCOMPARE(form->findChild<QPushButton*>(QStringLiteral("StopButton"))->toolTip(),
                 QStringLiteral("Ferma l'esecuzione (Esc)"));
        TForm3 message;
        QCOMPARE(message.findChild<QLabel*>(QStringLiteral("Panel1"))->text(),
                 QStringLiteral("Il programma deve prima essere compilato e caricato in memoria"));
        QCOMPARE(firstCompileError(*form),
                 QStringLiteral("Errore nel metodo main. L'etichetta nowhere non esiste."));
        // Qt's own texts in Italian where Debian's catalogue for them is installed.
        if (QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                              QStringLiteral("/qtbase_it.qm"))) {
            QCOMPARE(cancelCaption(), QStringLiteral("Annulla"));
            QCOMPARE(saveOntoFolderError(),
                     QStringLiteral("Il nome di file fa riferimento ad una cartella"));
        }
    }

    void switchingBackToEnglishLeavesNoItalianTranslatorBehind() {
#ifndef TESSARO_HAS_TRANSLATIONS
        QSKIP("built without the Qt Linguist tools: no English translation");
#endif
        QVERIFY(installTranslators(*qApp, Language::Italian));
        QVERIFY(installTranslators(*qApp, Language::English));
        QCOMPARE(cancelCaption(), QStringLiteral("Cancel"));
        QCOMPARE(TForm3::defaultText(),
                 QStringLiteral("The program must first be compiled and loaded into memory"));
        QCOMPARE(QString::fromStdString(errorMessage(7, "main", "K", 0)),
                 QStringLiteral("Error in method main. The constant K does not exist."));
    }
};

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
