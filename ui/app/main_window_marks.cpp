// The main window's margins: breakpoint marks and the current-line arrows beside the program
// and the microprogram listing, clicks that toggle breakpoints, and the Back buttons.

#include "ui/app/main_window.h"

#include "ijvm/image_layout.h"

#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace tessaro {

void MainWindow::createDebugControls() {
    m_programEditor->margin()->setObjectName(QStringLiteral("ProgramMargin"));
    m_programEditor->margin()->setToolTip(
        tr("Clic: punto di arresto sull'istruzione di questa riga"));
    m_microprogramListing->margin()->setObjectName(QStringLiteral("ListingMargin"));
    m_microprogramListing->margin()->setToolTip(
        tr("Clic: punto di arresto su questo micro-indirizzo"));
    connect(m_programEditor, &MarginEditor::marginClicked, this, &MainWindow::toggleLineBreakpoint);
    connect(m_microprogramListing, &MarginEditor::marginClicked, this,
            &MainWindow::toggleMicroBreakpoint);

    auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, m_central);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    m_backMicButton =
        button("BackMicButton", tr("◀ Mic"), tr("Indietro di una micro-istruzione (Ctrl+F7)"));
    m_backStepButton =
        button("BackStepButton", tr("◀ IJVM"), tr("Indietro di un'istruzione IJVM (Ctrl+F8)"));
    connect(m_backMicButton, &QPushButton::clicked, this, &MainWindow::stepBackMicroCommand);
    connect(m_backStepButton, &QPushButton::clicked, this, &MainWindow::stepBackIjvmCommand);
}

namespace {

struct LineRange {
    int first = -1; // the first comment line above the instruction
    int last = -1;  // the instruction's own line
};

LineRange listingRange(const AssembledMicroprogram& t, const SourceOffsets& offsets,
                       const QTextDocument& listing, int address) {
    const auto at = static_cast<std::size_t>(address);
    if (t.lineLength[at] <= 0) {
        return {};
    }
    const CharSpan span = offsets.span(t.lineStart[at], t.lineLength[at]);
    // The span may end with the line break, which still belongs to the instruction's line.
    const int end = std::max(span.start, span.start + span.length - 1);
    return {listing.findBlock(span.start).blockNumber(), listing.findBlock(end).blockNumber()};
}

} // namespace

int MainWindow::microAddressAtListingLine(int line) const {
    if (line < 0) {
        return -1;
    }
    for (int a = 0; a < MicroAssembler::kAddresses; ++a) {
        const LineRange range =
            listingRange(microprogram, m_listingOffsets, *m_microprogramListing->document(), a);
        if (range.first >= 0 && range.first <= line && line <= range.last) {
            return a;
        }
    }
    return -1;
}

int MainWindow::listingLineOf(int address) const {
    if (address < 0 || address >= MicroAssembler::kAddresses) {
        return -1;
    }
    // A trampoline has no line of its own: the IF line that placed it stands for it.
    const auto trampoline = microprogram.trampolines.find(address);
    if (microprogram.lineLength[static_cast<std::size_t>(address)] == 0 &&
        trampoline != microprogram.trampolines.end()) {
        address = trampoline->second;
    }
    return listingRange(microprogram, m_listingOffsets, *m_microprogramListing->document(), address)
        .last;
}

void MainWindow::labelListing() {
    std::vector<QString> labels(static_cast<std::size_t>(m_microprogramListing->blockCount()));
    for (int a = 0; a < MicroAssembler::kAddresses; ++a) {
        const int line =
            listingRange(microprogram, m_listingOffsets, *m_microprogramListing->document(), a)
                .last;
        if (line >= 0 && line < static_cast<int>(labels.size())) {
            labels[static_cast<std::size_t>(line)] = QString::number(a);
        }
    }
    m_microprogramListing->setLineLabels(std::move(labels));
    showBreakpointMarks();
    showCurrentMarks();
}

void MainWindow::showBreakpointMarks() {
    // The session's lines count from 1, the editor's blocks from 0.
    std::set<int> programLines;
    for (const int line : session.debugger().markedLines()) {
        programLines.insert(line - 1);
    }
    m_programEditor->setMarkedLines(std::move(programLines));
    std::set<int> listingLines;
    for (const std::uint32_t address : session.debugger().microBreakpoints()) {
        if (const int line = listingLineOf(static_cast<int>(address)); line >= 0) {
            listingLines.insert(line);
        }
    }
    m_microprogramListing->setMarkedLines(std::move(listingLines));
}

void MainWindow::showCurrentMarks() {
    if (!session.isLoaded()) {
        m_programEditor->setCurrentLine(-1);
        m_microprogramListing->setCurrentLine(-1);
        return;
    }
    m_microprogramListing->setCurrentLine(listingLineOf(machine().MPC));
    // Inside an instruction the arrow stays on it, as the selection does.
    const std::int32_t at = currentInstructionAddress();
    int current = -1;
    for (const InstructionLine& instruction : session.debugger().instructionLines()) {
        if (instruction.address > at) {
            break;
        }
        current = instruction.line - 1;
    }
    m_programEditor->setCurrentLine(current);
}

} // namespace tessaro
