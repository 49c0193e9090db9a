#pragma once

#include "machine/machine_session.h"
#include "mal/micro_assembler.h"
#include "presentation/source_offsets.h"
#include "ui/app/app_paths.h"
#include "ui/app/machine_views.h"
#include "ui/app/recovery_copy.h"
#include "ui/app/register_panel.h"
#include "ui/editor/margin_editor.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tessaro {

class ClockView;
class IjvmHighlighter;
class UserSettings;
class DatapathView;
class MicroprogramWindow;
class InfoDialog;

/// The main window: the IJVM editor, the microprogram listing, the datapath picture with its
/// value labels, the machine views and every command. Commands call the machine session,
/// views read it afterwards; the window holds no machine logic itself.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MachineSession session;             ///< the simulated Mic-1 and its execution
    AssembledMicroprogram microprogram; ///< the microprogram in use, with its line table
    int addressRadix = 10;              ///< radix of addresses in the views
    int valueRadix = 10;                ///< radix of values in the views
    bool rawMethodArea = false;         ///< method area as bytes only

    /// Builds the window on the data folders of paths: translates and loads the microprogram
    /// and applies the layout. Does not show itself or any dialog.
    explicit MainWindow(const AppPaths& paths, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Problems the translation of the microprogram reported.
    const std::vector<MalProblem>& microprogramProblems() const { return m_problems; }
    /// The start-up dialogs, before the window is shown: the translation problems (if any)
    /// and, when showInfo, the Info window.
    void runStartupDialogs(bool showInfo);

    /// The machine the views show.
    const ControlPath& machine() const { return session.machine(); }
    /// A Compile and Load without errors, nothing reassembled since.
    bool programLoaded() const { return session.isLoaded(); }

    /// Black text for the ALU panel and the ten register labels.
    void resetRegisterColours();
    /// Selects the current source line and the current microprogram line.
    void selectCurrentLines();
    /// Rebuilds the constant-pool list.
    void showConstantPool();
    /// Rebuilds the method-area list.
    void showMethodArea();
    /// Moves the highlight of the method-area list to PC.
    void selectCurrentInstruction();
    /// The method-area address of the instruction the machine stands at or inside (-1 when
    /// none: the start-up call).
    std::int32_t currentInstructionAddress();
    /// Whether text stands out from base; otherwise says so and refuses the choice.
    bool keepsTextVisible(const QColor& base, const QColor& text);
    /// Rebuilds the stack list.
    void showStack();
    /// Rebuilds the frame list and selects its top line (or the stack's).
    void showFrame();
    /// Output line and input box.
    void showIO();
    /// Empties the lists, hides the error list and zeroes the input word.
    void clearViews();
    /// The part both refreshes share: bits, colours, the picture with its traces, the clock,
    /// the register labels.
    void refreshMachinePicture();
    /// Every view and the picture.
    void refreshAll();
    /// Every view but the constant pool, with the method-area highlight instead of a rebuild.
    void refreshAfterStep();

    /// Reassembles the editor text through the scratch file when it was modified; false when
    /// the scratch file could not be written (the command then stops).
    bool compileIfModified();
    /// True when a program is loaded; otherwise shows the not-loaded message.
    bool checkLoaded();
    /// Opens path into the editor (the Open command after its dialog).
    bool openProgramFile(const QString& path);
    /// Writes the editor to path and makes it the program file (Save and Save As after their
    /// dialogs).
    bool saveProgramFile(const QString& path);

    /// Whether a Run or a long IJVM step is executing in slices.
    bool isRunning() const { return session.isRunning(); }
    /// Whether the editor holds text not saved to a file since the last open or save.
    bool hasUnsavedChanges() const;
    const AppPaths& paths() const { return m_paths; }
    DatapathView* datapathView() const { return m_picture; }
    IjvmHighlighter* highlighter() const { return m_highlighter; }
    /// The microprogram window, once it has been opened.
    MicroprogramWindow* microprogramWindow() const { return m_microprogramWindow; }
    /// Puts a translated microprogram in use without a restart: a run is stopped, the control
    /// store is replaced by translated's, the listing shows the translated text (listing, the
    /// bytes translated) with path in its caption, and a loaded program is reset.
    void installMicroprogram(AssembledMicroprogram translated, const QByteArray& listing,
                             const QString& path);
    ClockView* clockView() const { return m_clock; }
    /// Puts an instruction set in use without a restart, read from text (the file's bytes):
    /// the assembler, the views, the statistics and the editor's colours follow it, and a
    /// program assembled with the set before is assembled again. Nothing happens when text is
    /// the set already in use.
    void installInstructionSet(std::shared_ptr<const InstructionSet> set, const QByteArray& text);
    /// What reading the instruction-set file at start-up reported: its errors (the built-in
    /// set is then in use) or the instructions without a routine.
    const QStringList& instructionSetMessages() const { return m_instructionSetMessages; }

public slots:
    void newProgram();
    void openProgram();
    void skeleton();
    bool save();
    bool saveAs();
    void exitProgram();
    void resetCommand();
    void subCycleStep();
    void microStepCommand();
    void ijvmStepCommand();
    void runCommand();
    /// Stops a running Run or IJVM step after the current slice.
    void stopRun();
    void compileAndLoad();
    void errorClicked(int row);
    void formatChanged(int index);
    /// The input box lost the focus: its number becomes the input word.
    void inputLeft();
    void backColor();
    void windowColor();
    void toggleClock();
    void info();
    /// Opens (or brings forward) the microprogram window.
    void openMicroprogramWindow();
    /// Puts every control at its place and shows the controls of the full layout.
    void applyLayout();
    /// Goes back one micro-instruction (Ctrl+F7).
    void stepBackMicroCommand();
    /// Goes back one IJVM instruction (Ctrl+F8).
    void stepBackIjvmCommand();
    /// Marks or unmarks the program line or micro-address at the cursor (F5).
    void toggleBreakpoint();
    /// Opens the statistics window.
    void showStatistics();
    /// Opens the console: everything the program has printed.
    void showConsole();

signals:
    /// A message window or box is about to be shown (caption, text).
    void messageShown(const QString& caption, const QString& text);
    /// A Run or a sliced IJVM step has ended and the views are refreshed.
    void executionFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    /// Places and scales every control for the window's present size.
    void arrangeControls();
    /// Below the picture the editor or, after the Clock button, the clock; both when the editor
    /// has a column of its own.
    void showEditorOrClock();
    void loadMicroprogram();
    /// Reads the data root's instruction-set file; the built-in set stays when it is wrong.
    void loadInstructionSet();
    /// The start-up box of instructionSetMessages(), when there are any.
    void showInstructionSetMessages();
    /// Keeps a copy of the instruction-set editor's unsaved text, as for the other editors.
    void keepInstructionSetRecoveryCopy();
    /// Offers back the instruction-set text a crashed session left unsaved.
    void offerInstructionSetRecovery();
    /// Puts back the choices remembered from the last session.
    void restoreSettings();
    void setEditorColours(const QColor& base, const QColor& text);
    void setWindowColour(const QColor& colour);
    void showMessageWindow(const QString& text);
    void showBox(const QString& caption, const QString& text);
    void showFileError(const QString& path, const QString& reason);
    bool maybeSave();
    /// Before a command: completes a running bus trace and takes over a typed input number.
    void settle();
    /// The start of Mic, Step and Run: completes a trace and reassembles the editor's text if
    /// it was edited; false, with nothing done, while a run goes on or when that fails.
    bool compileBeforeExecuting();
    /// What the window does on a command's outcome before anything else: false when nothing
    /// was done (a run goes on, or no program: then the user is told); otherwise the stale
    /// status line is cleared and the command goes on.
    bool takeOutcome(Outcome outcome);
    /// The words of an outcome for the status line (or, for NotLoaded, the message window);
    /// kind tells which sliced execution ended with it, steppedBack that a step back did.
    QString outcomeStatus(Outcome outcome, RunKind kind, bool steppedBack = false) const;
    /// Tells the user of an outcome: the message window for NotLoaded, the status line
    /// otherwise; nothing while a run goes on.
    void reportOutcome(Outcome outcome, RunKind kind = RunKind::None);
    void setEditorText(const QString& text);
    void selectSpan(QPlainTextEdit* editor, CharSpan span);
    void selectSourceAt(std::uint32_t address);
    /// Fills a view list, cutting lines too long for it (elide) and showing them whole as
    /// tooltips.
    void fillList(QListWidget* list, const QStringList& lines, Qt::TextElideMode elide);
    ViewFormat viewFormat() const;
    void drawPicture(bool withFlags);
    QString chooseFile(bool forSave);
    void startExecution(RunKind kind);
    void executeSlice();
    void finishExecution(RunKind kind, Outcome outcome);
    /// Ends a running execution without refreshing: the program it ran is being replaced.
    void abandonExecution();
    void setExecutionControlsEnabled(bool enabled);
    /// Marks or unmarks the instruction at editor line (from 0) or the next one below it.
    void toggleLineBreakpoint(int line);
    /// Marks or unmarks the micro-address whose listing span holds line (from 0).
    void toggleMicroBreakpoint(int line);
    /// The margins' clicks and the Back buttons.
    void createDebugControls();
    /// The micro-address whose listing span (its comment lines and its own) holds line; -1.
    int microAddressAtListingLine(int line) const;
    /// The listing line of a micro-address's instruction (a trampoline's IF line); -1.
    int listingLineOf(int address) const;
    /// Puts the micro-addresses beside their lines in the listing's margin.
    void labelListing();
    /// Shows the breakpoints as marks in both margins.
    void showBreakpointMarks();
    /// Moves the margins' arrows to the instruction and micro-instruction about to execute.
    void showCurrentMarks();
    /// Starts keeping recovery copies of both editors' unsaved text.
    void keepRecoveryCopies();
    /// Offers to put back the unsaved text a crashed session left; true when it was put back.
    bool offerRecovery(const UnsavedText& unsaved, bool microprogram);
    /// Asks whether to put a recovery copy back into its editor: true for Ripristina.
    bool askToRestore(const QString& question);
    void stepBack(bool ijvm);
    void refreshStatistics(bool nowAndThen = false);

    AppPaths m_paths;
    std::unique_ptr<UserSettings> m_settings;
    MachineViews m_views;
    /// Method-area address of the instruction the machine is inside, as last seen at an
    /// instruction boundary; -1 after a jump in position (a run, a step back, a reset), when
    /// the next view guesses it from PC.
    std::int32_t m_instructionStart = -1;
    std::vector<MalProblem> m_problems;
    QByteArray m_instructionSetText; // the file the set in use was read from; empty: built-in
    QStringList m_instructionSetMessages;
    bool m_instructionSetRefused = false; // the start-up messages are errors, not warnings
    SourceOffsets m_scratchOffsets;       // the text assembled last
    SourceOffsets m_listingOffsets;       // the microprogram listing
    QString m_savedText;                  // editor text at the last open or save
    RecoveryCopy* m_programRecovery = nullptr;
    RecoveryCopy* m_microprogramRecovery = nullptr;
    RecoveryCopy* m_instructionSetRecovery = nullptr;
    std::optional<UnsavedText> m_leftInstructionSet;
    // What the last session left unsaved, read before this one writes its own copies.
    std::optional<UnsavedText> m_leftProgram;
    std::optional<UnsavedText> m_leftMicroprogram;

    InfoDialog* m_startupInfo = nullptr;
    DatapathView* m_picture = nullptr;
    IjvmHighlighter* m_highlighter = nullptr; // colours the editor, marks its errors
    ClockView* m_clock = nullptr;
    QWidget* m_central = nullptr;
    MarginEditor* m_programEditor = nullptr; // the program, breakpoints in its margin
    MarginEditor* m_microprogramListing =
        nullptr; // the microprogram listing, micro-addresses in its margin
    QListWidget* m_constantPoolList = nullptr;
    QListWidget* m_methodAreaList = nullptr;
    QListWidget* m_stackList = nullptr;
    QListWidget* m_frameList = nullptr;
    QListWidget* m_errorList = nullptr;
    QComboBox* m_formatBox = nullptr;
    QGroupBox* m_ioGroup = nullptr;
    QLineEdit* m_inputBox = nullptr;
    QLabel* m_outputLine = nullptr;
    QLabel* m_microprogramPath = nullptr;
    QLabel* m_programPath = nullptr;
    QLabel* m_microCaption = nullptr;
    QLabel* m_programCaption = nullptr;
    QLabel* m_poolCaption = nullptr;
    QLabel* m_methodCaption = nullptr;
    QLabel* m_stackCaption = nullptr;
    QLabel* m_markers[3] = {}; // Label2, Label3, Label4
    std::unique_ptr<RegisterPanel> m_registers;
    QPushButton* m_buttons[7] = {}; // BitBtn1..BitBtn7
    QPushButton* m_layoutButton = nullptr;
    qreal m_layoutScale = 1;     // the scale the controls were last arranged at
    bool m_editorBeside = false; // the program editor in its own column
    bool m_clockShown = false;   // the Clock button put the clock in the editor's place
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_backMicButton = nullptr;
    QPushButton* m_backStepButton = nullptr;
    QLabel* m_runStatus = nullptr;
    QAction* m_subCycleAction = nullptr;
    QAction* m_micAction = nullptr;
    QAction* m_ijvmAction = nullptr;
    QAction* m_runAction = nullptr;
    QAction* m_resetAction = nullptr;
    QAction* m_stopAction = nullptr;
    class StatisticsWindow* m_statistics = nullptr;
    class ConsoleWindow* m_console = nullptr;
    MicroprogramWindow* m_microprogramWindow = nullptr;
};

} // namespace tessaro
