#include "ui/app/main_window.h"

#include "core/number_text.h"
#include "ijvm/image_layout.h"
#include "ui/app/text_file.h"
#include "ui/app/window_layout.h"
#include "ui/picture/clock_view.h"
#include "ui/picture/datapath_geometry.h"
#include "ui/picture/datapath_view.h"
#include "ui/picture/info_dialog.h"
#include "ui/picture/message_dialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>

namespace tessaro {

// ---------------------------------------------------------------------------------------------
// Views

ViewFormat MainWindow::viewFormat() const {
    ViewFormat f;
    f.addressRadix = addressRadix;
    f.valueRadix = valueRadix;
    f.rawMethodArea = rawMethodArea;
    return f;
}

void MainWindow::fillList(QListWidget* list, const QStringList& lines, Qt::TextElideMode elide) {
    // Room for the text beside a vertical scroll bar, whether or not one is shown.
    const int room = list->width() - 2 * list->frameWidth() -
                     list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list) - 6;
    const QFontMetrics metrics(list->font());
    // A line of no more characters than the widest character fits needs no measuring.
    const qsizetype surelyFits = metrics.maxWidth() > 0 ? room / metrics.maxWidth() : 0;
    list->setUpdatesEnabled(false);
    list->clearSelection();
    // The items are kept and only changed texts set: a step changes few of thousands of lines.
    while (list->count() > lines.size()) {
        delete list->takeItem(list->count() - 1);
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        // The padding that aligns the columns goes first, then the middle or the end.
        QString shown = line;
        if (line.size() > surelyFits && metrics.horizontalAdvance(shown) > room) {
            shown = metrics.elidedText(line.simplified(), elide, room);
        }
        QListWidgetItem* item =
            i < list->count() ? list->item(static_cast<int>(i)) : new QListWidgetItem(list);
        if (item->text() != shown) {
            item->setText(shown);
        }
        const QString tip = shown != line ? line : QString();
        if (item->toolTip() != tip) {
            item->setToolTip(tip);
        }
    }
    list->setUpdatesEnabled(true);
}

void MainWindow::resetRegisterColours() {
    if (QLabel* panel = m_picture->aluPanel()) {
        RegisterPanel::setFontColour(panel, Qt::black);
    }
    m_registers->resetColours();
}

void MainWindow::selectSpan(QPlainTextEdit* editor, CharSpan span) {
    const int length = editor->document()->characterCount() - 1;
    const int start = std::clamp(span.start, 0, std::max(0, length));
    const int end = std::clamp(span.start + span.length, start, std::max(0, length));
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    // A listing span begins with the comment lines above its instruction: what must be in
    // view is the last line of the span, the instruction itself.
    QScrollBar* bar = editor->verticalScrollBar();
    const int lastLine = editor->document()->findBlock(std::max(start, end - 1)).blockNumber();
    const int lineHeight = std::max(1, editor->fontMetrics().lineSpacing());
    const int visibleLines = std::max(1, editor->viewport()->height() / lineHeight);
    if (lastLine < bar->value()) {
        bar->setValue(lastLine);
    } else if (lastLine >= bar->value() + visibleLines) {
        bar->setValue(lastLine - visibleLines + 1);
    }
}

void MainWindow::selectSourceAt(std::uint32_t address) {
    const std::uint32_t* offset = machine().sourceMap.peek(address);
    if (offset == nullptr) {
        return;
    }
    const std::string line = session.sourceLine(address);
    selectSpan(m_programEditor,
               m_scratchOffsets.span(*offset, static_cast<long long>(line.size())));
}

std::int32_t MainWindow::currentInstructionAddress() {
    const std::int32_t pc = machine().PC();
    if (session.atHalt()) {
        return pc - 1;
    }
    if (session.atInstructionBoundary()) {
        m_instructionStart = pc;
    } else if (m_instructionStart < 0) {
        // Inside an instruction PC has moved past its opcode, and every byte of an instruction
        // maps to its line.
        m_instructionStart = pc - 1;
    }
    return image_layout::isPastPrologue(m_instructionStart) ? m_instructionStart : -1;
}

void MainWindow::selectCurrentLines() {
    if (const std::int32_t at = currentInstructionAddress(); at >= 0) {
        selectSourceAt(static_cast<std::uint32_t>(at));
    }
    const std::int32_t mpc = machine().MPC;
    if (mpc >= 0 && mpc < MicroAssembler::kAddresses) {
        auto address = static_cast<std::size_t>(mpc);
        // A trampoline has no source line of its own: show the IF line that placed it.
        const auto trampoline = microprogram.trampolines.find(mpc);
        if (microprogram.lineLength[address] == 0 && trampoline != microprogram.trampolines.end()) {
            address = static_cast<std::size_t>(trampoline->second);
        }
        selectSpan(m_microprogramListing, m_listingOffsets.span(microprogram.lineStart[address],
                                                                microprogram.lineLength[address]));
    }
    showCurrentMarks();
}

void MainWindow::showConstantPool() {
    fillList(m_constantPoolList, m_views.constantPool(machine(), viewFormat()), Qt::ElideMiddle);
    // Entry 0 is the bottom line: a pool longer than the list is seen from its start.
    m_constantPoolList->scrollToBottom();
}

void MainWindow::showMethodArea() {
    fillList(m_methodAreaList, m_views.methodArea(machine(), viewFormat()), Qt::ElideRight);
}

void MainWindow::selectCurrentInstruction() {
    const InstructionSelection s =
        m_views.selectCurrentInstruction(machine(), m_methodAreaList->count());
    if (s.scrollTo >= 0) {
        m_methodAreaList->scrollToItem(m_methodAreaList->item(s.scrollTo));
    }
    if (s.select >= 0) {
        m_methodAreaList->item(s.select)->setSelected(true);
        m_methodAreaList->scrollToItem(m_methodAreaList->item(s.select));
    }
    if (s.deselect >= 0) {
        m_methodAreaList->item(s.deselect)->setSelected(false);
    }
}

void MainWindow::showStack() {
    fillList(m_stackList, m_views.stack(machine(), viewFormat()), Qt::ElideMiddle);
}

void MainWindow::showFrame() {
    fillList(m_frameList, m_views.frame(machine(), viewFormat()), Qt::ElideMiddle);
    if (m_frameList->count() > 0) {
        m_frameList->item(0)->setSelected(true);
        m_frameList->scrollToTop();
    } else if (m_stackList->count() > 0) {
        m_stackList->item(0)->setSelected(true);
        m_stackList->scrollToTop();
    }
}

void MainWindow::showIO() {
    m_outputLine->setText(MachineViews::printable(MachineViews::output(machine())));
    m_inputBox->setText(MachineViews::input(machine()));
    m_inputBox->setModified(false);
}

void MainWindow::clearViews() {
    m_constantPoolList->clear();
    m_methodAreaList->clear();
    m_stackList->clear();
    m_frameList->clear();
    m_errorList->hide();
    m_instructionStart = -1;
    session.setInput(0);
    m_inputBox->setText(QStringLiteral("0"));
    m_inputBox->setModified(false);
    showCurrentMarks();
    refreshStatistics();
}

void MainWindow::drawPicture(bool withFlags) {
    m_picture->drawBDecoder(machine());
    m_picture->drawCDecoder(machine());
    m_picture->drawControlLines(machine());
    if (withFlags) {
        m_picture->drawFlagLines(machine());
    }
}

void MainWindow::refreshMachinePicture() {
    m_registers->showMirBits(machine());
    resetRegisterColours();
    m_registers->markBSource(machine());
    drawPicture(true);
    m_picture->animateBBus(machine(), 0);
    m_picture->showALU(machine());
    m_picture->animateCBus(machine(), 0);
    m_clock->repaintClock();
    m_clock->drawClock(4);
    m_registers->markCDestinations(machine());
    m_registers->showRegisters(machine(), valueRadix);
}

void MainWindow::refreshAll() {
    // Whatever came before (a run, a step back, a reset), the position may have jumped.
    m_instructionStart = -1;
    refreshMachinePicture();
    showConstantPool();
    showMethodArea();
    selectCurrentInstruction();
    showStack();
    showFrame();
    selectCurrentLines();
    showIO();
    refreshStatistics();
}

void MainWindow::refreshAfterStep() {
    refreshMachinePicture();
    selectCurrentInstruction();
    showStack();
    showFrame();
    showIO();
    selectCurrentLines();
    refreshStatistics();
}

} // namespace tessaro
