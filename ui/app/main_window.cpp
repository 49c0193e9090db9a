#include "ui/app/main_window.h"

#include "core/fatal.h"
#include "core/language.h"
#include "core/number_text.h"
#include "core/reader/whole_file.h"
#include "presentation/error_list.h"
#include "presentation/outcome_message.h"
#include "ui/app/text_file.h"
#include "ui/app/user_settings.h"
#include "ui/app/window_layout.h"
#include "ui/editor/ijvm_highlighter.h"
#include "ui/picture/clock_view.h"
#include "ui/picture/datapath_geometry.h"
#include "ui/picture/datapath_view.h"
#include "ui/picture/info_dialog.h"
#include "ui/picture/message_dialog.h"

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
#include <QKeyEvent>
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
#include <QToolTip>

#include <algorithm>

namespace tessaro {

namespace {

QString notLoadedText() {
    return MainWindow::tr("Il programma deve prima essere compilato e caricato in memoria");
}
QString loadedText() {
    return MainWindow::tr("Il programma è stato compilato e caricato in memoria");
}
QString decimal(std::int32_t v) {
    return QString::fromStdString(decimalText(v));
}

} // namespace

MainWindow::MainWindow(const AppPaths& paths, QWidget* parent)
    : QMainWindow(parent), m_paths(paths), m_settings(std::make_unique<UserSettings>(paths)) {
    // 1. The window and its controls; 2. the machine is built with the window.
    createControls();
    createMenus();
    // 3. The Info window shown when start-up ends.
    m_startupInfo = new InfoDialog(this);
    // 4. Microprogram: translate, list, load into the control store.
    loadMicroprogram();
    loadInstructionSet();
    labelListing();
    // 5. Defaults.
    rawMethodArea = false;
    valueRadix = 10;
    addressRadix = 10;
    // 6. Even an empty editor is assembled by the first command that needs a program.
    m_programEditor->document()->setModified(true);
    // 7. The full layout.
    applyLayout();
    restoreSettings();
    keepRecoveryCopies();
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() = default;

void MainWindow::runStartupDialogs(bool showInfo) {
    if (!m_problems.empty()) {
        QString text = tr("Il microprogramma %1 contiene errori:\n")
                           .arg(QDir::toNativeSeparators(m_paths.microprogramSource()));
        int shown = 0;
        for (const MalProblem& problem : m_problems) {
            if (++shown > 30) {
                text += tr("\n... (%1 in tutto)").arg(m_problems.size());
                break;
            }
            text +=
                tr("\nRiga %1: %2").arg(problem.line).arg(QString::fromStdString(problem.message));
        }
        showBox(tr("MicroProgram"), text);
    }
    showInstructionSetMessages();
    // What a crashed session left unsaved comes back before anything else is shown.
    if (m_leftProgram) {
        offerRecovery(*m_leftProgram, false);
        m_leftProgram.reset();
    }
    if (m_leftMicroprogram) {
        offerRecovery(*m_leftMicroprogram, true);
        m_leftMicroprogram.reset();
    }
    offerInstructionSetRecovery();
    if (showInfo && m_startupInfo != nullptr) {
        m_startupInfo->exec();
    }
    // The start-up Info window serves this one showing only.
    delete m_startupInfo;
    m_startupInfo = nullptr;
}
// ---------------------------------------------------------------------------------------------
// Start-up

void MainWindow::loadMicroprogram() {
    const QString source = m_paths.microprogramSource();
    const WholeFile file = readWholeFile(QFile::encodeName(source).toStdString());
    if (file.failure == ReadFailure::CannotOpen) {
        fatal(localized(MessageId::MicroprogramReaderCannotOpen));
    }
    if (file.ok()) {
        microprogram = MicroAssembler::assemble(file.text);
    } else {
        microprogram.problems.push_back({1, localized(MessageId::MalReadError)});
    }
    m_problems = microprogram.problems;
    // MP/velkora.bin is written for whoever looks at it; the machine takes the store from
    // memory, so that an instance starting at the same moment on this data root cannot swap it.
    const QString bin = m_paths.controlStoreFile();
    if (!TextFile::writeBytes(bin,
                              QByteArray::fromStdString(controlStoreText(microprogram.records)))
             .ok) {
        m_problems.insert(
            m_problems.begin(),
            {0, localized(MessageId::MalCannotWriteFile, {QFile::encodeName(bin).toStdString()})});
    }
    m_microprogramPath->setText(QDir::toNativeSeparators(source));
    const QByteArray bytes = QByteArray::fromStdString(file.text);
    m_listingOffsets = SourceOffsets(byteView(bytes));
    m_microprogramListing->setPlainText(TextFile::decode(bytes));
    session.loadControlStore(microprogram.records);
}

// ---------------------------------------------------------------------------------------------
// Messages

void MainWindow::showMessageWindow(const QString& text) {
    emit messageShown(QStringLiteral("Tessaro"), text);
    MessageDialog window(this);
    window.setText(text);
    window.exec();
}

void MainWindow::showBox(const QString& caption, const QString& text) {
    emit messageShown(caption, text);
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void MainWindow::showFileError(const QString& path, const QString& reason) {
    showBox(QStringLiteral("Tessaro"),
            QStringLiteral("%1\n\n%2").arg(QDir::toNativeSeparators(path), reason));
}

bool MainWindow::hasUnsavedChanges() const {
    const QString text = m_programEditor->toPlainText();
    return !text.isEmpty() && text != m_savedText;
}

bool MainWindow::maybeSave() {
    if (!hasUnsavedChanges()) {
        return true;
    }
    const QString text = tr("Il programma è stato modificato. Salvare le modifiche?");
    emit messageShown(QStringLiteral("Tessaro"), text);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tessaro"), text, QMessageBox::NoButton,
                    this);
    QPushButton* yes = box.addButton(tr("Salva"), QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(tr("Non salvare"), QMessageBox::DestructiveRole);
    box.addButton(tr("Annulla"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.exec();
    if (box.clickedButton() == yes) {
        return save();
    }
    return box.clickedButton() == no;
}

// ---------------------------------------------------------------------------------------------
// Compiling

void MainWindow::setEditorText(const QString& text) {
    m_programEditor->setPlainText(text);
}

bool MainWindow::compileIfModified() {
    if (!m_programEditor->document()->isModified()) {
        return true;
    }
    session.unload();
    const QString scratch = m_paths.scratchFile();
    const QString text = m_programEditor->toPlainText();
    const TextFileResult written = TextFile::write(scratch, text);
    if (!written.ok) {
        // Nothing is assembled; the editor stays modified so that the next command retries.
        showFileError(scratch, written.error);
        return false;
    }
    // The scratch file is only a copy for the user: another window on the same data folder may
    // overwrite it at any moment, so the program assembled is this editor's own text. The
    // editor then holds exactly the text the assembler reads, so that the byte offsets it
    // records can be turned into editor positions.
    const QByteArray bytes = TextFile::encode(text);
    const int caret = m_programEditor->textCursor().position();
    const int scroll = m_programEditor->verticalScrollBar()->value();
    setEditorText(TextFile::decode(bytes));
    QTextCursor cursor = m_programEditor->textCursor();
    cursor.setPosition(std::min(caret, m_programEditor->document()->characterCount() - 1));
    m_programEditor->setTextCursor(cursor);
    m_programEditor->verticalScrollBar()->setValue(scroll);
    m_programEditor->document()->setModified(false);
    m_scratchOffsets = SourceOffsets(byteView(bytes));
    // The session keeps the marks on the lines that still hold an instruction.
    session.assembleText(bytes.toStdString());
    showBreakpointMarks();
    return true;
}

bool MainWindow::checkLoaded() {
    if (session.isLoaded()) {
        return true;
    }
    reportOutcome(Outcome::NotLoaded);
    return false;
}

void MainWindow::compileAndLoad() {
    settle();
    // A new program would end a run the session is carrying out (Open and New mean to).
    if (isRunning()) {
        return;
    }
    m_runStatus->clear();
    if (!compileIfModified()) {
        return;
    }
    m_errorList->hide();
    const std::vector<ListedError> errors = errorList(machine().errors, m_scratchOffsets);
    if (!errors.empty()) {
        m_errorList->blockSignals(true);
        m_errorList->clear();
        for (const ListedError& error : errors) {
            m_errorList->addItem(QString::fromStdString(error.message));
        }
        m_errorList->blockSignals(false);
        m_errorList->show();
        m_errorList->raise();
        // Every error's span gets a wavy underline with its message as the tooltip.
        QList<IjvmHighlighter::ErrorMark> marks;
        for (const ListedError& error : errors) {
            marks.append({error.selected.start, error.selected.length,
                          QString::fromStdString(error.message)});
        }
        m_highlighter->setErrorMarks(marks);
        selectSpan(m_programEditor, errors.front().selected);
        return;
    }
    refreshAll();
    showMessageWindow(loadedText());
    session.acceptProgram();
}

void MainWindow::errorClicked(int row) {
    const std::vector<ListedError> errors = errorList(machine().errors, m_scratchOffsets);
    if (row < 0 || static_cast<std::size_t>(row) >= errors.size()) {
        return;
    }
    selectSpan(m_programEditor, errors[static_cast<std::size_t>(row)].selected);
}

// ---------------------------------------------------------------------------------------------
// Execution

void MainWindow::settle() {
    m_picture->finishAnimations();
    if (m_inputBox->isModified()) {
        inputLeft();
    }
}

bool MainWindow::compileBeforeExecuting() {
    settle();
    // Compiling replaces the program, which would end a run the session is carrying out.
    if (isRunning()) {
        return false;
    }
    m_runStatus->clear();
    return compileIfModified();
}

bool MainWindow::takeOutcome(Outcome outcome) {
    switch (outcome) {
    case Outcome::Busy:
        // The run's own status line stays.
        return false;
    case Outcome::NotLoaded:
        m_runStatus->clear();
        reportOutcome(outcome);
        return false;
    default:
        // The status line tells about the command that went before; this one makes it stale.
        m_runStatus->clear();
        return true;
    }
}

QString MainWindow::outcomeStatus(Outcome outcome, RunKind kind, bool steppedBack) const {
    if (outcome == Outcome::NotLoaded) {
        return notLoadedText();
    }
    if (outcome == Outcome::Busy) {
        return QString();
    }
    OutcomeFacts facts;
    facts.kind = kind;
    facts.steppedBack = steppedBack;
    facts.executed = session.runMicroInstructions();
    facts.seconds = session.runSeconds();
    facts.memoryLimit = session.memoryLimit();
    facts.microInstructions = session.microInstructions();
    if (outcome == Outcome::BreakpointHit) {
        facts.breakpoint = session.lastBreakpoint();
        if (facts.breakpoint.kind == BreakpointStop::Kind::Pc) {
            facts.breakpointLine = session.debugger().lineOf(facts.breakpoint.address);
        }
    }
    const std::optional<Message> message = outcomeMessage(outcome, facts, OutcomeAudience::Window);
    return message ? QString::fromStdString(messageText(*message, language())) : QString();
}

void MainWindow::reportOutcome(Outcome outcome, RunKind kind) {
    if (outcome == Outcome::NotLoaded) {
        showMessageWindow(outcomeStatus(outcome, kind));
        return;
    }
    if (outcome != Outcome::Busy) {
        m_runStatus->setText(outcomeStatus(outcome, kind));
    }
}

void MainWindow::microStepCommand() {
    if (!compileBeforeExecuting()) {
        return;
    }
    const Outcome outcome = session.microStep();
    if (!takeOutcome(outcome)) {
        return;
    }
    refreshAfterStep();
    refreshStatistics();
    reportOutcome(outcome);
}

void MainWindow::ijvmStepCommand() {
    if (compileBeforeExecuting()) {
        startExecution(RunKind::IjvmStep);
    }
}

void MainWindow::runCommand() {
    if (compileBeforeExecuting()) {
        startExecution(RunKind::Run);
    }
}

void MainWindow::resetCommand() {
    settle();
    if (takeOutcome(session.reset())) {
        refreshAll();
    }
}

void MainWindow::subCycleStep() {
    settle();
    SubCyclePhase shown = SubCyclePhase::Execute;
    const Outcome outcome = session.subCycle(shown);
    if (!takeOutcome(outcome)) {
        return;
    }
    if (outcome != Outcome::Done) {
        reportOutcome(outcome);
        return;
    }
    switch (shown) {
    case SubCyclePhase::Execute:
        m_registers->showMirBits(machine());
        resetRegisterColours();
        m_registers->markBSource(machine());
        drawPicture(false);
        m_clock->repaintClock();
        m_clock->drawClock(0);
        break;
    case SubCyclePhase::BBus:
        m_picture->animateBBus(machine(), 1);
        m_clock->drawClock(1);
        break;
    case SubCyclePhase::Alu:
        m_picture->showALU(machine());
        m_clock->drawClock(2);
        break;
    case SubCyclePhase::CBus:
        // One slow trace: a second, immediate one would only cut the slow one short.
        m_picture->animateCBus(machine(), 1);
        m_registers->markCDestinations(machine());
        m_clock->drawClock(3);
        m_registers->showRegisters(machine(), valueRadix);
        selectCurrentInstruction();
        showStack();
        showFrame();
        showIO();
        selectCurrentLines();
        break;
    }
}

void MainWindow::startExecution(RunKind kind) {
    if (const Outcome outcome = session.startRun(kind); outcome != Outcome::SliceDone) {
        if (takeOutcome(outcome)) {
            reportOutcome(outcome);
        }
        return;
    }
    executeSlice();
    if (isRunning()) {
        setExecutionControlsEnabled(false);
    }
}

void MainWindow::executeSlice() {
    if (!isRunning()) {
        return;
    }
    const RunKind kind = session.runKind();
    const Outcome outcome = session.runSlice();
    if (outcome == Outcome::SliceDone) {
        refreshStatistics(true);
        reportOutcome(outcome, kind);
        QTimer::singleShot(0, this, &MainWindow::executeSlice);
        return;
    }
    finishExecution(kind, outcome);
}

void MainWindow::finishExecution(RunKind kind, Outcome outcome) {
    setExecutionControlsEnabled(true);
    reportOutcome(outcome, kind);
    if (kind == RunKind::Run) {
        refreshAll();
    } else {
        refreshAfterStep();
    }
    emit executionFinished();
}

void MainWindow::stopRun() {
    session.requestStop();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_central && event->type() == QEvent::Resize) {
        arrangeControls();
        return false;
    }
    if (event->type() == QEvent::ToolTip && watched == m_programEditor->viewport()) {
        const QPoint at = static_cast<QHelpEvent*>(event)->pos();
        const QString message =
            m_highlighter->errorMessageAt(m_programEditor->cursorForPosition(at).position());
        if (message.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), message,
                               m_programEditor->viewport());
        }
        return true;
    }
    // Esc stops a run whenever this window is active. The Esc shortcut alone is not enough: after
    // a menu was closed with Esc, the menu bar keeps the keyboard and takes the next Esc.
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (key && isRunning() && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        QApplication::activePopupWidget() == nullptr && QApplication::activeWindow() == this) {
        stopRun();
        event->accept();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::abandonExecution() {
    if (!isRunning()) {
        return;
    }
    session.abandonRun();
    setExecutionControlsEnabled(true);
    m_runStatus->setText(tr("Esecuzione fermata: il programma è stato sostituito"));
    emit executionFinished();
}

void MainWindow::setExecutionControlsEnabled(bool enabled) {
    for (QPushButton* b : {m_buttons[0], m_buttons[1], m_buttons[2], m_buttons[3], m_buttons[4],
                           m_buttons[5], m_backMicButton, m_backStepButton}) {
        b->setEnabled(enabled);
    }
    for (QAction* a : {m_subCycleAction, m_micAction, m_ijvmAction, m_runAction, m_resetAction}) {
        a->setEnabled(enabled);
    }
    m_stopButton->setEnabled(!enabled);
    m_stopAction->setEnabled(!enabled);
}

// ---------------------------------------------------------------------------------------------
// Other commands

void MainWindow::formatChanged(int index) {
    settle();
    m_settings->setViewFormat(index);
    valueRadix = index == 0 ? 10 : 16;
    addressRadix = index == 0 ? 10 : 16;
    rawMethodArea = index == 2;
    // A running program refreshes every view when it stops.
    if (!isRunning() && checkLoaded()) {
        refreshAll();
    }
}

void MainWindow::inputLeft() {
    const std::string text = m_inputBox->text().trimmed().toStdString();
    const NumberResult number = checkedAtolong(text);
    if (number.ok && wellFormedNumber(text)) {
        session.setInput(number.value);
        m_inputBox->setModified(false);
        return;
    }
    // The input word keeps its value; the box shows it again before the message appears so
    // that the focus change caused by the message finds a valid number.
    m_inputBox->setText(decimal(session.input()));
    m_inputBox->setModified(false);
    showBox(tr("IJVM Error:"),
            tr("Errore: il numero %1 non è valido. Resta il valore precedente, %2.")
                .arg(text.empty() ? tr("(vuoto)") : QString::fromStdString(text),
                     decimal(session.input())));
}

void MainWindow::backColor() {
    const QPalette palette = m_programEditor->palette();
    const QColor base = QColorDialog::getColor(palette.color(QPalette::Base), this,
                                               tr("Colore dello sfondo dell'editor"));
    if (base.isValid() && keepsTextVisible(base, palette.color(QPalette::Text))) {
        setEditorColours(base, palette.color(QPalette::Text));
    }
    const QColor kept = m_programEditor->palette().color(QPalette::Base);
    const QColor text = QColorDialog::getColor(palette.color(QPalette::Text), this,
                                               tr("Colore del testo dell'editor"));
    if (text.isValid() && keepsTextVisible(kept, text)) {
        setEditorColours(kept, text);
    }
}

bool MainWindow::keepsTextVisible(const QColor& base, const QColor& text) {
    if (base.rgb() != text.rgb()) {
        return true;
    }
    showBox(QStringLiteral("Tessaro"),
            tr("Il testo avrebbe lo stesso colore dello sfondo e non si vedrebbe: "
               "resta il colore di prima."));
    return false;
}

void MainWindow::setEditorColours(const QColor& base, const QColor& text) {
    QPalette palette = m_programEditor->palette();
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Text, text);
    m_programEditor->setPalette(palette);
    m_settings->setColour(QStringLiteral("editorBase"), base);
    m_settings->setColour(QStringLiteral("editorText"), text);
}

void MainWindow::windowColor() {
    const QColor colour =
        QColorDialog::getColor(m_central->palette().color(QPalette::Window), this);
    if (colour.isValid()) {
        setWindowColour(colour);
        m_settings->setColour(QStringLiteral("window"), colour);
    }
}

void MainWindow::setWindowColour(const QColor& colour) {
    QPalette palette = m_central->palette();
    palette.setColor(QPalette::Window, colour);
    m_central->setPalette(palette);
    QPalette own = this->palette();
    own.setColor(QPalette::Window, colour);
    setPalette(own);
}

void MainWindow::restoreSettings() {
    const int format = m_settings->viewFormat();
    m_formatBox->setCurrentIndex(format);
    valueRadix = format == 0 ? 10 : 16;
    addressRadix = format == 0 ? 10 : 16;
    rawMethodArea = format == 2;
    const QColor base = m_settings->colour(QStringLiteral("editorBase"));
    const QColor text = m_settings->colour(QStringLiteral("editorText"));
    // Text the colour of its background would be invisible at every start.
    if (base.isValid() && text.isValid() && base.rgb() != text.rgb()) {
        setEditorColours(base, text);
    }
    const QColor window = m_settings->colour(QStringLiteral("window"));
    if (window.isValid()) {
        setWindowColour(window);
    }
}

void MainWindow::toggleClock() {
    m_clockShown = !m_clockShown;
    showEditorOrClock();
}

void MainWindow::info() {
    InfoDialog window(this);
    window.exec();
}

} // namespace tessaro
