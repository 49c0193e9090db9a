#pragma once

#include "ijvm/instruction_set.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

namespace tessaro {

class MalEditor;

/// An instruction set read from the page's text: the set, or the errors that refuse it.
struct EditedInstructionSet {
    std::shared_ptr<const InstructionSet> set; ///< null when the text has errors
    /// "FILE:LINE: message" with the line apart, in line order.
    struct Error {
        int line = 0;
        QString text;
    };
    std::vector<Error> errors;
};

/// The microprogram window's page on an instruction-set file (the data root's
/// MP/instructions.txt to begin with): an editor with line numbers and the file it shows. The
/// window decides when the text is read, saved or put in force.
class InstructionSetPage : public QWidget {
    Q_OBJECT
public:
    explicit InstructionSetPage(QWidget* parent);

    /// Reads path into the editor; false with the reason in error when it cannot.
    bool openFile(const QString& path, QString* error);
    /// Writes the editor to path, which becomes the page's file; false with the reason.
    bool saveFile(const QString& path, QString* error);
    /// The file the editor shows.
    QString filePath() const { return m_path; }
    /// Whether the editor holds text not saved to the file.
    bool isModified() const;
    /// Puts the instruction set shipped with Tessaro in the editor, unsaved.
    void showBuiltin();
    /// Goes back to the file's text (the changes are dropped).
    void discardChanges();
    /// Reads the editor's text, saved or not; the errors name the page's file.
    EditedInstructionSet read() const;
    /// The editor's text as the file holds it (UTF-8, a line feed after every line).
    QByteArray bytes() const;
    MalEditor* editor() const { return m_editor; }

signals:
    /// The text or the file changed: whether it is saved may have changed with it.
    void changed();

private:
    MalEditor* m_editor = nullptr;
    QString m_path;
    QString m_savedText;
};

} // namespace tessaro
