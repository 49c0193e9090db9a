// Recovery copies: the unsaved text of both editors survives a crash and is offered back at
// the next start.

#include "ui/app/main_window.h"

#include "ui/app/text_file.h"
#include "ui/editor/mal_editor.h"
#include "ui/workbench/microprogram_window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tessaro {

void MainWindow::keepRecoveryCopies() {
    m_leftProgram = RecoveryCopy::read(m_paths.programRecoveryFile());
    m_leftMicroprogram = RecoveryCopy::read(m_paths.microprogramRecoveryFile());
    m_programRecovery = new RecoveryCopy(
        m_paths.programRecoveryFile(),
        [this]() -> std::optional<UnsavedText> {
            if (!hasUnsavedChanges()) {
                return std::nullopt;
            }
            return UnsavedText{QDir::fromNativeSeparators(m_programPath->text()),
                               m_programEditor->toPlainText()};
        },
        this);
    m_microprogramRecovery = new RecoveryCopy(
        m_paths.microprogramRecoveryFile(),
        [this]() -> std::optional<UnsavedText> {
            if (m_microprogramWindow == nullptr ||
                !m_microprogramWindow->isMicroprogramModified()) {
                return std::nullopt;
            }
            return UnsavedText{m_microprogramWindow->filePath(),
                               m_microprogramWindow->editor()->toPlainText()};
        },
        this);
    keepInstructionSetRecoveryCopy();
}

bool MainWindow::askToRestore(const QString& question) {
    emit messageShown(QStringLiteral("Tessaro"), question);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tessaro"), question,
                    QMessageBox::NoButton, this);
    box.setTextFormat(Qt::PlainText);
    QPushButton* restore = box.addButton(tr("Ripristina"), QMessageBox::AcceptRole);
    box.addButton(tr("Scarta"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.exec();
    return box.clickedButton() == restore;
}

bool MainWindow::offerRecovery(const UnsavedText& unsaved, bool microprogram) {
    const QString name =
        unsaved.filePath.isEmpty() ? tr("(nuovo)") : QDir::toNativeSeparators(unsaved.filePath);
    const QString text =
        microprogram ? tr("Tessaro si è chiuso senza salvare le modifiche al microprogramma %1. "
                          "Ripristinarle nell'editor?")
                           .arg(name)
                     : tr("Tessaro si è chiuso senza salvare le modifiche al programma %1. "
                          "Ripristinarle nell'editor?")
                           .arg(name);
    if (!askToRestore(text)) {
        QFile::remove(microprogram ? m_paths.microprogramRecoveryFile()
                                   : m_paths.programRecoveryFile());
        return false;
    }
    if (microprogram) {
        openMicroprogramWindow();
        m_microprogramWindow->restoreUnsaved(unsaved.filePath, unsaved.text);
        m_microprogramRecovery->update();
        return true;
    }
    // The file as saved, if it is still there, tells what is unsaved.
    const TextFileResult saved =
        unsaved.filePath.isEmpty() ? TextFileResult{} : TextFile::read(unsaved.filePath);
    m_programPath->setText(saved.ok ? QDir::toNativeSeparators(unsaved.filePath) : QString());
    m_savedText = saved.ok ? saved.text : QString();
    setEditorText(unsaved.text);
    m_programEditor->document()->setModified(true);
    m_programRecovery->update();
    return true;
}

} // namespace tessaro
