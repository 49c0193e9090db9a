// The microprogram window's instruction-set tab: opening, saving and reading the set, and the
// problems it adds to the window's list.

#include "machine/routine_lines.h"
#include "ui/app/main_window.h"
#include "ui/editor/mal_editor.h"
#include "ui/workbench/instruction_set_page.h"
#include "ui/workbench/microprogram_window.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>

namespace tessaro {

namespace {

QString instructionSetFilter() {
    return MicroprogramWindow::tr("Insiemi di istruzioni (*.txt);;Tutti i file (*)");
}

// Problems of the instruction set carry this flag, so that a click goes to the right tab.
constexpr int kInInstructionSetRole = Qt::UserRole + 1;

} // namespace

QWidget* MicroprogramWindow::createEditorTabs() {
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("EditorTabs"));
    m_tabs->setDocumentMode(true);
    m_instructions = new InstructionSetPage(m_tabs);
    m_instructions->editor()->setFont(m_editor->font());
    m_tabs->addTab(m_editor, QString());
    m_tabs->addTab(m_instructions, QString());
    m_tabs->setTabToolTip(0, tr("Il microprogramma: una routine per ogni istruzione IJVM"));
    m_tabs->setTabToolTip(1, tr("Le istruzioni IJVM: opcode, mnemonico, operandi ed effetto "
                                "sulla pila"));
    connect(m_instructions, &InstructionSetPage::changed, this, &MicroprogramWindow::updateTitle);
    const QString path = m_form->paths().instructionSetFile();
    QString error;
    if (!m_instructions->openFile(path, &error)) {
        // The window still opens: the microprogram is worth editing without the set.
        m_status->setText(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), error));
    }
    return m_tabs;
}

void MicroprogramWindow::restoreUnsavedInstructionSet(const QString& path, const QString& text) {
    QString error;
    if (path != m_instructions->filePath() && QFileInfo::exists(path)) {
        m_instructions->openFile(path, &error);
    }
    m_instructions->editor()->setPlainText(text);
    m_tabs->setCurrentWidget(m_instructions);
}

bool MicroprogramWindow::showsInstructionSet() const {
    return m_tabs->currentWidget() == m_instructions;
}

void MicroprogramWindow::openInstructionSet() {
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Apri insieme di istruzioni"),
        QFileInfo(m_instructions->filePath()).absolutePath(), instructionSetFilter());
    QString error;
    if (!path.isEmpty() && !m_instructions->openFile(path, &error)) {
        showBox(QStringLiteral("%1\n\n%2").arg(QDir::toNativeSeparators(path), error));
    }
}

bool MicroprogramWindow::saveInstructionSetAs() {
    QString path = QFileDialog::getSaveFileName(this, tr("Salva insieme di istruzioni"),
                                                m_instructions->filePath(), instructionSetFilter());
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".txt");
    }
    QString error;
    if (!m_instructions->saveFile(path, &error)) {
        showBox(QStringLiteral("%1\n\n%2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    m_status->setText(tr("Salvato in %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

bool MicroprogramWindow::saveInstructionSet() {
    if (!m_instructions->isModified()) {
        return true;
    }
    const QString path = m_instructions->filePath();
    QString error;
    if (!m_instructions->saveFile(path, &error)) {
        showBox(QStringLiteral("%1\n\n%2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    m_status->setText(m_status->text() + QStringLiteral("; ") +
                      tr("Salvato in %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

EditedInstructionSet MicroprogramWindow::readInstructionSet() {
    EditedInstructionSet edited = m_instructions->read();
    for (const EditedInstructionSet::Error& error : edited.errors) {
        auto* item = new QListWidgetItem(error.text, m_problems);
        item->setToolTip(error.text);
        item->setData(Qt::UserRole, error.line);
        item->setData(kInInstructionSetRole, true);
    }
    if (!edited.errors.empty() && m_problems->currentRow() < 0) {
        // No problem of the microprogram came first: show the first one of the set.
        m_problems->setCurrentRow(m_problems->count() - static_cast<int>(edited.errors.size()));
        problemClicked(m_problems->currentItem());
    }
    return edited;
}

int MicroprogramWindow::listMissingRoutines(const InstructionSet& set) {
    const std::vector<std::string> warnings =
        missingRoutineWarnings(set, m_form->machine().controlStore);
    for (const std::string& warning : warnings) {
        auto* item = new QListWidgetItem(QString::fromStdString(warning), m_problems);
        item->setToolTip(item->text());
        item->setForeground(QColor(0x8A, 0x5A, 0x00));
        const Instruction* instruction = set.findWritten(warning.substr(0, warning.find(" (")));
        item->setData(Qt::UserRole, instruction != nullptr ? instruction->line : 0);
        item->setData(kInInstructionSetRole, true);
    }
    return static_cast<int>(warnings.size());
}

void MicroprogramWindow::selectInstructionSetLine(int line) {
    m_tabs->setCurrentWidget(m_instructions);
    m_instructions->editor()->selectLine(line);
}

} // namespace tessaro
