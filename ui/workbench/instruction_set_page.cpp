#include "ui/workbench/instruction_set_page.h"

#include "ijvm/instruction_set_file.h"
#include "ui/app/text_file.h"
#include "ui/editor/mal_editor.h"

#include <QFileInfo>
#include <QVBoxLayout>

namespace tessaro {

InstructionSetPage::InstructionSetPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("InstructionSetPage"));
    m_editor = new MalEditor(this);
    m_editor->setObjectName(QStringLiteral("InstructionSetEditor"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_editor);
    connect(m_editor, &QPlainTextEdit::textChanged, this, &InstructionSetPage::changed);
}

bool InstructionSetPage::openFile(const QString& path, QString* error) {
    const TextFileResult read = TextFile::read(path);
    if (!read.ok) {
        *error = read.error;
        return false;
    }
    m_path = path;
    m_savedText = read.text;
    m_editor->setPlainText(read.text);
    emit changed();
    return true;
}

bool InstructionSetPage::saveFile(const QString& path, QString* error) {
    const QString text = m_editor->toPlainText();
    const TextFileResult written = TextFile::write(path, text);
    if (!written.ok) {
        *error = written.error;
        return false;
    }
    m_path = path;
    m_savedText = text;
    emit changed();
    return true;
}

bool InstructionSetPage::isModified() const {
    return m_editor->toPlainText() != m_savedText;
}

void InstructionSetPage::showBuiltin() {
    const std::string_view text = builtinInstructionSetText();
    m_editor->setPlainText(
        TextFile::decode(QByteArray(text.data(), static_cast<qsizetype>(text.size()))));
}

void InstructionSetPage::discardChanges() {
    if (isModified()) {
        m_editor->setPlainText(m_savedText);
    }
}

QByteArray InstructionSetPage::bytes() const {
    return TextFile::encode(m_editor->toPlainText());
}

EditedInstructionSet InstructionSetPage::read() const {
    const QString name = QFileInfo(m_path).fileName();
    const QByteArray text = bytes();
    InstructionSetFile file = readInstructionSet(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
        name.toStdString());
    EditedInstructionSet edited;
    for (const std::string& error : file.errors) {
        // "FILE:LINE: message": the line stands right after the file name.
        const QString text = QString::fromStdString(error);
        const int line = text.mid(name.size() + 1).section(QLatin1Char(':'), 0, 0).toInt();
        edited.errors.push_back({line, text});
    }
    if (file.set) {
        edited.set = std::make_shared<const InstructionSet>(std::move(*file.set));
    }
    return edited;
}

} // namespace tessaro
