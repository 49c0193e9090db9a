#include "ui/tform1.h"

#include "core/number_text.h"
#include "ui/picture/clock_view.h"
#include "ui/picture/datapath_geometry.h"
#include "ui/picture/datapath_view.h"
#include "ui/picture/info_dialog.h"
#include "ui/picture/message_dialog.h"
#include "ui/text_file.h"
#include "ui/window_layout.h"

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

ViewFormat TForm1::viewFormat() const {
    ViewFormat f;
    f.addressRadix = addressRadix;
    f.valueRadix = valueRadix;
    f.rawMethodArea = rawMethodArea;
    return f;
}

void TForm1::fillList(QListWidget* list, const QStringList& lines, Qt::TextElideMode elide) {
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

void TForm1::resetRegisterColours() {
    if (QLabel* panel = m_picture->aluPanel()) {
        RegisterPanel::setFontColour(panel, Qt::black);
    }
    m_registers->resetColours();
}

void TForm1::selectSpan(QPlainTextEdit* editor, CharSpan span) {
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

void TForm1::selectSourceAt(std::uint32_t address) {
    const std::uint32_t* offset = machine().sourceMap.peek(address);
    // The machine re-reads the line from the scratch file; without the file (deleted behind
    // our back) the selection is simply left alone rather than ending the program.
    if (offset == nullptr || !QFileInfo::exists(m_paths.scratchFile())) {
        return;
    }
    const std::string line =
        session.sourceLine(QFile::encodeName(m_paths.scratchFile()).toStdString(), address);
    selectSpan(m_memo1, m_scratchOffsets.span(*offset, static_cast<long long>(line.size())));
}

void TForm1::selectCurrentLines() {
    const auto pc = static_cast<std::uint32_t>(machine().PC());
    if (session.atHalt()) {
        selectSourceAt(pc - 1U);
    } else if (session.atInstructionBoundary() && pc > 3U) {
        selectSourceAt(pc);
    }
    const std::int32_t mpc = machine().MPC;
    if (translator != nullptr && mpc >= 0 && mpc < 512) {
        int address = mpc;
        // A trampoline has no source line of its own: show the IF line that placed it.
        const auto trampoline = translator->trampolines.find(address);
        if (translator->lineLength[address] == 0 && trampoline != translator->trampolines.end()) {
            address = trampoline->second;
        }
        selectSpan(m_memo2, m_listingOffsets.span(translator->lineStart[address],
                                                  translator->lineLength[address]));
    }
    showCurrentMarks();
}

void TForm1::showConstantPool() {
    fillList(m_listBox1, m_views.constantPool(machine(), viewFormat()), Qt::ElideMiddle);
    // Entry 0 is the bottom line: a pool longer than the list is seen from its start.
    m_listBox1->scrollToBottom();
}

void TForm1::showMethodArea() {
    fillList(m_listBox2, m_views.methodArea(machine(), viewFormat()), Qt::ElideRight);
}

void TForm1::selectCurrentInstruction() {
    const InstructionSelection s = m_views.selectCurrentInstruction(machine(), m_listBox2->count());
    if (s.scrollTo >= 0) {
        m_listBox2->scrollToItem(m_listBox2->item(s.scrollTo));
    }
    if (s.select >= 0) {
        m_listBox2->item(s.select)->setSelected(true);
        m_listBox2->scrollToItem(m_listBox2->item(s.select));
    }
    if (s.deselect >= 0) {
        m_listBox2->item(s.deselect)->setSelected(false);
    }
}

void TForm1::showStack() {
    fillList(m_listBox3, m_views.stack(machine(), viewFormat()), Qt::ElideMiddle);
}

void TForm1::showFrame() {
    fillList(m_listBox4, m_views.frame(machine(), viewFormat()), Qt::ElideMiddle);
    if (m_listBox4->count() > 0) {
        m_listBox4->item(0)->setSelected(true);
        m_listBox4->scrollToTop();
    } else if (m_listBox3->count() > 0) {
        m_listBox3->item(0)->setSelected(true);
        m_listBox3->scrollToTop();
    }
}

void TForm1::showIO() {
    m_label5->setText(MachineViews::printable(MachineViews::output(machine())));
    m_edit1->setText(MachineViews::input(machine()));
    m_edit1->setModified(false);
}

void TForm1::clearViews() {
    m_listBox1->clear();
    m_listBox2->clear();
    m_listBox3->clear();
    m_listBox4->clear();
    m_listBox5->hide();
    session.setInput(0);
    m_edit1->setText(QStringLiteral("0"));
    m_edit1->setModified(false);
}

void TForm1::drawPicture(bool withFlags) {
    m_picture->drawBDecoder(machine());
    m_picture->drawCDecoder(machine());
    m_picture->drawControlLines(machine());
    if (withFlags) {
        m_picture->drawFlagLines(machine());
    }
}

void TForm1::refreshMachinePicture() {
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

void TForm1::refreshAll() {
    refreshMachinePicture();
    showConstantPool();
    showMethodArea();
    showStack();
    showFrame();
    selectCurrentLines();
    showIO();
}

void TForm1::refreshAfterStep() {
    refreshMachinePicture();
    selectCurrentInstruction();
    showStack();
    showFrame();
    showIO();
    selectCurrentLines();
}

} // namespace tessaro
