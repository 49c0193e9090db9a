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

std::vector<std::pair<int, std::int32_t>> MainWindow::instructionLines() const {
    std::vector<std::pair<int, std::int32_t>> lines;
    const ControlPath& m = machine();
    const std::uint32_t* previous = nullptr;
    for (std::int32_t a = 0; a < m.methodAreaSize; ++a) {
        const std::uint32_t* offset = m.sourceMap.peek(static_cast<std::uint32_t>(a));
        // Every byte of an instruction maps to its source: the first one starts it.
        if (offset != nullptr && (previous == nullptr || *previous != *offset)) {
            const int position = m_scratchOffsets.charPosition(*offset);
            lines.emplace_back(m_programEditor->document()->findBlock(position).blockNumber(), a);
        }
        previous = offset;
    }
    return lines;
}

void MainWindow::applyBreakpoints() {
    session.clearBreakpoints();
    std::set<int> kept;
    for (const auto& [line, address] : instructionLines()) {
        if (m_breakLines.contains(line)) {
            session.setPcBreakpoint(address, true);
            kept.insert(line);
        }
    }
    // A line that no longer holds an instruction loses its breakpoint.
    m_breakLines = kept;
    for (const int address : m_breakMicro) {
        session.setMicroBreakpoint(static_cast<std::uint32_t>(address), true);
    }
    showBreakpointMarks();
}

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
    if (!m_breakMicro.erase(address)) {
        m_breakMicro.insert(address);
    }
    applyBreakpoints();
    m_runStatus->setText(m_breakMicro.contains(address)
                             ? tr("Punto di arresto sul micro-indirizzo %1").arg(address)
                             : tr("Punto di arresto tolto dal micro-indirizzo %1").arg(address));
}

void MainWindow::toggleLineBreakpoint(int cursorLine) {
    // Lines edited since the last compile no longer match the loaded instructions.
    if (m_programEditor->document()->isModified()) {
        m_runStatus->setText(tr("Il programma è stato modificato: compilare prima"));
        return;
    }
    // A line without an instruction passes its breakpoint to the next instruction line.
    for (const auto& [line, address] : instructionLines()) {
        if (line >= cursorLine) {
            if (!m_breakLines.erase(line)) {
                m_breakLines.insert(line);
            }
            applyBreakpoints();
            m_runStatus->setText(m_breakLines.contains(line)
                                     ? tr("Punto di arresto alla riga %1").arg(line + 1)
                                     : tr("Punto di arresto tolto dalla riga %1").arg(line + 1));
            return;
        }
    }
    m_runStatus->setText(tr("Nessuna istruzione caricata da questa riga in poi: compilare prima"));
}

void MainWindow::stepBack(bool ijvm) {
    settle();
    if (isRunning() || !checkLoaded()) {
        return;
    }
    const Outcome outcome = ijvm ? session.stepBackIjvm() : session.stepBackMicro();
    m_runStatus->setText(outcomeStatus(outcome, RunKind::None, true));
    if (outcome == Outcome::AtHistoryStart) {
        return;
    }
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
