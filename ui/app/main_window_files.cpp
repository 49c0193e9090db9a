#include "ui/app/main_window.h"

#include "ui/app/user_settings.h"

#include "core/number_text.h"
#include "ui/app/text_file.h"
#include "ui/app/window_layout.h"
#include "ui/picture/clock_view.h"
#include "ui/picture/datapath_geometry.h"
#include "ui/picture/datapath_view.h"
#include "ui/picture/info_dialog.h"
#include "ui/picture/message_dialog.h"
#include "ui/workbench/microprogram_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>

namespace tessaro {

namespace {

QString fileFilter() {
    return MainWindow::tr("IJVM files (*.jvm);;JAS files (*.jas);;All files (*.*)");
}

// The program skeleton the Skeleton command writes into the editor.
const char* const kSkeleton[] = {
    "    /**********************************************************/",
    QT_TRANSLATE_NOOP("tessaro::MainWindow",
                      "    /* Il seguente codice è lo scheletro di un programma IJVM */"),
    "    /**********************************************************/",
    "",
    ".constant",
    QT_TRANSLATE_NOOP("tessaro::MainWindow",
                      " // Inserire i nomi delle costanti con i rispettivi valori"),
    ".end-constant",
    "",
    QT_TRANSLATE_NOOP(
        "tessaro::MainWindow",
        ".method nomemetodo() // Inserire gli eventuali parametri separati da virgole"),
    "",
    ".var",
    QT_TRANSLATE_NOOP("tessaro::MainWindow", " // Inserire le variabili locali del meotodo."),
    ".end-var",
    "",
    QT_TRANSLATE_NOOP("tessaro::MainWindow", "// Inserire le istruzioni del metodo."),
    "",
    ".end-method",
    "",
    ".main",
    "",
    QT_TRANSLATE_NOOP("tessaro::MainWindow", "// Inserire le istruzioni del metodo main."),
    "",
    ".end-main",
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Files

QString MainWindow::chooseFile(bool forSave) {
    QFileDialog dialog(this, forSave ? tr("SaveAs IJVM File") : tr("Open IJVM File"),
                       m_settings->programFolder(m_paths.examplesDir()), fileFilter());
    dialog.setObjectName(forSave ? QStringLiteral("SaveDialog1") : QStringLiteral("OpenDialog1"));
    dialog.setFileMode(forSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(forSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (forSave) {
        dialog.setDefaultSuffix(QStringLiteral("jvm"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

void MainWindow::newProgram() {
    settle();
    if (!maybeSave()) {
        return;
    }
    m_runStatus->clear();
    abandonExecution();
    m_programPath->clear();
    setEditorText(QString());
    m_savedText.clear();
    m_errorList->hide();
    m_programEditor->document()->setModified(true);
    session.unload();
    clearViews();
}

void MainWindow::openProgram() {
    settle();
    if (!maybeSave()) {
        return;
    }
    const QString path = chooseFile(false);
    if (!path.isEmpty()) {
        openProgramFile(path);
    }
}

bool MainWindow::openProgramFile(const QString& path) {
    const TextFileResult read = TextFile::read(path);
    if (!read.ok) {
        showFileError(path, read.error);
        return false;
    }
    m_runStatus->clear();
    abandonExecution();
    m_programPath->setText(QDir::toNativeSeparators(path));
    m_settings->setProgramFolder(QFileInfo(path).absolutePath());
    setEditorText(read.text);
    m_savedText = read.text;
    const TextFileResult scratch = TextFile::write(m_paths.scratchFile(), read.text);
    m_programEditor->document()->setModified(true);
    session.unload();
    clearViews();
    if (!scratch.ok) {
        showFileError(m_paths.scratchFile(), scratch.error);
        return false;
    }
    return true;
}

void MainWindow::skeleton() {
    settle();
    if (!maybeSave()) {
        return;
    }
    m_runStatus->clear();
    abandonExecution();
    clearViews();
    // The skeleton is a new program: Save must ask for a name rather than replace the file
    // that was open before.
    m_programPath->clear();
    m_savedText.clear();
    QStringList lines;
    for (const char* line : kSkeleton) {
        lines.append(tr(line));
    }
    setEditorText(lines.join(QLatin1Char('\n')));
    QTextCursor cursor = m_programEditor->textCursor();
    cursor.setPosition(0);
    m_programEditor->setTextCursor(cursor);
    m_programEditor->document()->setModified(true);
}

bool MainWindow::saveProgramFile(const QString& path) {
    const QString text = m_programEditor->toPlainText();
    const TextFileResult written = TextFile::write(path, text);
    if (!written.ok) {
        showFileError(path, written.error);
        return false;
    }
    m_programPath->setText(QDir::toNativeSeparators(path));
    m_settings->setProgramFolder(QFileInfo(path).absolutePath());
    m_savedText = text;
    return true;
}

bool MainWindow::save() {
    QString path = m_programPath->text();
    if (path.isEmpty()) {
        path = chooseFile(true);
        if (path.isEmpty()) {
            return false;
        }
    }
    return saveProgramFile(QDir::fromNativeSeparators(path));
}

bool MainWindow::saveAs() {
    const QString path = chooseFile(true);
    return !path.isEmpty() && saveProgramFile(path);
}

void MainWindow::exitProgram() {
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_microprogramWindow != nullptr && !m_microprogramWindow->maybeSave()) {
        event->ignore();
        return;
    }
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    session.abandonRun();
    m_picture->finishAnimations();
    // Saved or knowingly left: nothing is left to recover.
    m_programRecovery->stop();
    m_microprogramRecovery->stop();
    m_instructionSetRecovery->stop();
    // Every question is answered: the other windows go with this one without asking again, so
    // that no window (and no process without one) is left behind.
    if (m_microprogramWindow != nullptr) {
        m_microprogramWindow->discardChanges();
    }
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other != this && other->isVisible()) {
            other->close();
        }
    }
    event->accept();
}

} // namespace tessaro
