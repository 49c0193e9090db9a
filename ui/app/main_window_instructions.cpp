#include "ui/app/main_window.h"

#include "ijvm/instruction_set_file.h"
#include "machine/routine_lines.h"
#include "ui/app/text_file.h"
#include "ui/editor/ijvm_highlighter.h"
#include "ui/editor/mal_editor.h"
#include "ui/workbench/instruction_set_page.h"
#include "ui/workbench/microprogram_window.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>

namespace tessaro {

void MainWindow::loadInstructionSet() {
    const QString path = m_paths.instructionSetFile();
    const TextFileResult read = TextFile::read(path);
    if (!read.ok) {
        m_instructionSetRefused = true;
        m_instructionSetMessages.append(read.error);
        return;
    }
    const QByteArray text = TextFile::encode(read.text);
    InstructionSetFile file = readInstructionSet(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
        QDir::toNativeSeparators(path).toStdString());
    for (const std::string& error : file.errors) {
        m_instructionSetMessages.append(QString::fromStdString(error));
    }
    if (!file.set) {
        m_instructionSetRefused = true;
        return;
    }
    installInstructionSet(std::make_shared<const InstructionSet>(std::move(*file.set)), text);
    for (const std::string& warning :
         missingRoutineWarnings(*machine().instructionSet, machine().controlStore)) {
        m_instructionSetMessages.append(QString::fromStdString(warning));
    }
}

void MainWindow::showInstructionSetMessages() {
    if (m_instructionSetMessages.isEmpty()) {
        return;
    }
    const QString path = QDir::toNativeSeparators(m_paths.instructionSetFile());
    const QString heading =
        m_instructionSetRefused
            ? tr("L'insieme di istruzioni %1 non è usato: è in uso quello originale di Tessaro.")
                  .arg(path)
            : tr("Istruzioni di %1 senza la loro routine nel microprogramma:").arg(path);
    showBox(tr("Insieme di istruzioni"),
            heading + QStringLiteral("\n\n") + m_instructionSetMessages.join(QLatin1Char('\n')));
}

void MainWindow::installInstructionSet(std::shared_ptr<const InstructionSet> set,
                                       const QByteArray& text) {
    const std::string_view given(text.constData(), static_cast<std::size_t>(text.size()));
    if (text == m_instructionSetText ||
        (m_instructionSetText.isEmpty() && given == builtinInstructionSetText())) {
        return;
    }
    abandonExecution();
    const bool wasLoaded = session.isLoaded();
    session.setInstructionSet(set);
    m_instructionSetText = text;
    m_highlighter->setInstructionSet(std::move(set));
    // The bytes in memory were assembled with the old set and may mean something else now:
    // the next command assembles the editor again, and a loaded program is assembled at once.
    m_programEditor->document()->setModified(true);
    if (wasLoaded) {
        if (compileIfModified() && machine().errors.empty() && session.acceptProgram()) {
            refreshAll();
            selectCurrentLines();
        } else {
            clearViews();
            m_runStatus->setText(tr("Il programma non si assembla con il nuovo insieme di "
                                    "istruzioni: Compile and Load ne mostra gli errori"));
        }
    }
    refreshStatistics();
}

void MainWindow::keepInstructionSetRecoveryCopy() {
    m_leftInstructionSet = RecoveryCopy::read(m_paths.instructionSetRecoveryFile());
    m_instructionSetRecovery = new RecoveryCopy(
        m_paths.instructionSetRecoveryFile(),
        [this]() -> std::optional<UnsavedText> {
            if (m_microprogramWindow == nullptr ||
                !m_microprogramWindow->instructionSetPage()->isModified()) {
                return std::nullopt;
            }
            const InstructionSetPage* page = m_microprogramWindow->instructionSetPage();
            return UnsavedText{page->filePath(), page->editor()->toPlainText()};
        },
        this);
}

void MainWindow::offerInstructionSetRecovery() {
    if (!m_leftInstructionSet) {
        return;
    }
    const UnsavedText unsaved = *m_leftInstructionSet;
    m_leftInstructionSet.reset();
    const QString text = tr("Tessaro si è chiuso senza salvare le modifiche all'insieme di "
                            "istruzioni %1. Ripristinarle nell'editor?")
                             .arg(QDir::toNativeSeparators(unsaved.filePath));
    if (!askToRestore(text)) {
        QFile::remove(m_paths.instructionSetRecoveryFile());
        return;
    }
    openMicroprogramWindow();
    m_microprogramWindow->restoreUnsavedInstructionSet(unsaved.filePath, unsaved.text);
    m_instructionSetRecovery->update();
}

} // namespace tessaro
