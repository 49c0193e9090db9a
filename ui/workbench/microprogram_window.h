#pragma once

#include "check/microprogram_check.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;

namespace tessaro {

class MalEditor;
class MainWindow;
struct AssembledMicroprogram;
class InstructionSetPage;
struct EditedInstructionSet;

/// The microprogram workbench: an editor on a MAL file (the data root's MP/velkora.mal to
/// begin with) and, on a second tab, one on the instruction set (MP/instructions.txt);
/// Translate and load, which puts both in use without a restart, and Check, which runs the
/// microprogram check on the edited set and lists its verdicts. The problems the
/// micro-assembler and the instruction-set reader find are listed; clicking one selects its
/// line. Save, Revert and the questions before closing cover both files; Open and Save As work
/// on the tab shown.
class MicroprogramWindow : public QWidget {
    Q_OBJECT
public:
    /// A window on the microprogram of form's data root, which it loads into form's machine.
    explicit MicroprogramWindow(MainWindow* form);

    /// Reads path into the editor (no question asked); false, after saying why, when it cannot.
    bool openFile(const QString& path);
    /// Writes the editor to path, which becomes the window's file; false after saying why.
    bool saveFile(const QString& path);
    /// The file the editor shows.
    QString filePath() const { return m_path; }
    /// Whether either editor holds text not saved to its file.
    bool isModified() const;
    /// Whether the microprogram editor holds text not saved to its file.
    bool isMicroprogramModified() const;
    /// Shows text, left unsaved by an earlier session, as an unsaved change of the file at
    /// path (the window's usual file when path is empty or cannot be read).
    void restoreUnsaved(const QString& path, const QString& text);
    /// restoreUnsaved for the instruction-set tab, which it shows.
    void restoreUnsavedInstructionSet(const QString& path, const QString& text);
    /// Asks to save unsaved changes: true when the caller may go on (saved or discarded).
    bool maybeSave();
    /// Leaves the changes unsaved, as the answer "Non salvare" does.
    void discardChanges();
    /// The microprogram editor.
    MalEditor* editor() const { return m_editor; }
    /// The instruction-set tab.
    InstructionSetPage* instructionSetPage() const { return m_instructions; }
    /// The verdicts of the last check (empty before one).
    const std::vector<InstructionCheck>& checkResults() const { return m_results; }

public slots:
    /// Open with a file dialog, after asking about unsaved changes.
    void open();
    /// Save to the window's file.
    bool save();
    /// Save under a name chosen in a dialog.
    bool saveAs();
    /// Replaces the editor's text by the microprogram shipped with Tessaro, after asking.
    void revertToBundled();
    /// Translates the editor's text; without problems the machine uses it from now on.
    bool translateAndLoad();
    /// Translates the editor's text and checks it against every IJVM instruction.
    bool check();

signals:
    /// A message box is about to be shown (caption, text).
    void messageShown(const QString& caption, const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AssembledMicroprogram translateEditor(QByteArray& source);
    void showProblems(const AssembledMicroprogram& translated);
    void problemClicked(QListWidgetItem* item);
    void showBox(const QString& text);
    void updateTitle();
    // The instruction-set side (microprogram_window_instructions.cpp).
    QWidget* createEditorTabs();
    bool showsInstructionSet() const;
    void openInstructionSet();
    bool saveInstructionSetAs();
    /// Saves the instruction set when it changed; false after saying why it could not.
    bool saveInstructionSet();
    /// Reads the edited set and appends its errors to the problem list.
    EditedInstructionSet readInstructionSet();
    /// Appends the new instructions that have no routine in the machine's control store.
    int listMissingRoutines(const InstructionSet& set);
    void selectInstructionSetLine(int line);

    MainWindow* m_form;
    QString m_path;
    QString m_savedText;
    MalEditor* m_editor = nullptr;
    QTabWidget* m_tabs = nullptr;
    InstructionSetPage* m_instructions = nullptr;
    QListWidget* m_problems = nullptr;
    QListWidget* m_checkList = nullptr;
    QLabel* m_status = nullptr;
    std::vector<InstructionCheck> m_results;
};

} // namespace tessaro
