// The main window's debugging commands: breakpoints on source lines and micro-addresses,
// going back, and the statistics window.

#include "ui/app/console_window.h"
#include "ui/app/main_window.h"
#include "ui/app/statistics_window.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace tessaro {

void MainWindow::toggleBreakpoint() {
    if (m_microprogramListing->hasFocus()) {
        toggleMicroBreakpoint(m_microprogramListing->textCursor().blockNumber());
    } else {
        toggleLineBreakpoint(m_programEditor->textCursor().blockNumber());
    }
}

void MainWindow::toggleMicroBreakpoint(int listingLine) {
    // The listing shows the whole source: comment lines above an instruction belong to it.
    const int address = microAddressAtListingLine(listingLine);
    if (address < 0) {
        m_runStatus->setText(tr("Nessuna micro-istruzione da questa riga in poi"));
        return;
    }
    const bool on = session.debugger().toggleMicroBreakpoint(static_cast<std::uint32_t>(address));
    showBreakpointMarks();
    m_runStatus->setText(on ? tr("Punto di arresto sul micro-indirizzo %1").arg(address)
                            : tr("Punto di arresto tolto dal micro-indirizzo %1").arg(address));
}

void MainWindow::toggleLineBreakpoint(int cursorLine) {
    // Lines edited since the last compile no longer match the loaded instructions.
    if (m_programEditor->document()->isModified()) {
        m_runStatus->setText(tr("Il programma è stato modificato: compilare prima"));
        return;
    }
    const std::optional<LineToggle> toggled =
        session.debugger().toggleLineBreakpoint(cursorLine + 1);
    if (!toggled) {
        m_runStatus->setText(
            tr("Nessuna istruzione caricata da questa riga in poi: compilare prima"));
        return;
    }
    showBreakpointMarks();
    m_runStatus->setText(toggled->on
                             ? tr("Punto di arresto alla riga %1").arg(toggled->line)
                             : tr("Punto di arresto tolto dalla riga %1").arg(toggled->line));
}

void MainWindow::stepBack(bool ijvm) {
    settle();
    const Outcome outcome = ijvm ? session.stepBackIjvm() : session.stepBackMicro();
    if (!takeOutcome(outcome)) {
        return;
    }
    if (outcome != Outcome::Done) {
        reportOutcome(outcome);
        return;
    }
    m_runStatus->setText(outcomeStatus(outcome, RunKind::None, true));
    refreshAll();
    refreshStatistics();
}

void MainWindow::stepBackMicroCommand() {
    stepBack(false);
}

void MainWindow::stepBackIjvmCommand() {
    stepBack(true);
}

void MainWindow::showStatistics() {
    if (m_statistics == nullptr) {
        m_statistics = new StatisticsWindow(session, this);
        connect(this, &MainWindow::executionFinished, m_statistics, &StatisticsWindow::refresh);
    }
    m_statistics->refresh();
    m_statistics->show();
    m_statistics->raise();
}

void MainWindow::showConsole() {
    if (m_console == nullptr) {
        m_console = new ConsoleWindow(session, this);
    }
    m_console->refresh();
    m_console->show();
    m_console->raise();
}

void MainWindow::refreshStatistics(bool nowAndThen) {
    if (m_console != nullptr && m_console->isVisible()) {
        m_console->refresh();
    }
    if (m_statistics == nullptr || !m_statistics->isVisible()) {
        return;
    }
    if (nowAndThen) {
        m_statistics->refreshNowAndThen();
    } else {
        m_statistics->refresh();
    }
}

} // namespace tessaro
