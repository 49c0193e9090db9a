#include "ui/editor/mal_editor.h"

#include <QFontDatabase>
#include <QPainter>
#include <QTextBlock>

namespace tessaro {

/// The margin beside the editor's text; it only asks the editor to paint it.
class LineNumberMargin : public QWidget {
public:
    explicit LineNumberMargin(MalEditor* editor) : QWidget(editor), m_editor(editor) {}
    QSize sizeHint() const override { return QSize(m_editor->lineNumberWidth(), 0); }

protected:
    void paintEvent(QPaintEvent* event) override { m_editor->paintMargin(event); }

private:
    MalEditor* m_editor;
};

MalEditor::MalEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    m_margin = new LineNumberMargin(this);
    m_margin->setObjectName(QStringLiteral("LineNumbers"));
    connect(this, &QPlainTextEdit::blockCountChanged, this,
            [this] { setViewportMargins(lineNumberWidth(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, &MalEditor::updateMargin);
    setViewportMargins(lineNumberWidth(), 0, 0, 0);
}

int MalEditor::lineNumberWidth() const {
    int digits = 1;
    for (int n = std::max(1, blockCount()); n >= 10; n /= 10) {
        ++digits;
    }
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(digits, 3);
}

bool MalEditor::selectLine(int line) {
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    if (line < 1 || !block.isValid()) {
        return false;
    }
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    centerCursor();
    setFocus();
    return true;
}

int MalEditor::currentLine() const {
    return textCursor().blockNumber() + 1;
}

void MalEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    m_margin->setGeometry(QRect(area.left(), area.top(), lineNumberWidth(), area.height()));
}

void MalEditor::updateMargin(const QRect& rect, int dy) {
    if (dy != 0) {
        m_margin->scroll(0, dy);
    } else {
        m_margin->update(0, rect.y(), m_margin->width(), rect.height());
    }
}

void MalEditor::paintMargin(QPaintEvent* event) {
    QPainter painter(m_margin);
    painter.fillRect(event->rect(), QColor(0xE8, 0xE8, 0xE8));
    painter.setPen(QColor(0x60, 0x60, 0x60));
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int height = qRound(blockBoundingRect(block).height());
        if (block.isVisible() && top + height >= event->rect().top()) {
            painter.drawText(0, top, m_margin->width() - 4, fontMetrics().height(), Qt::AlignRight,
                             QString::number(block.blockNumber() + 1));
        }
        block = block.next();
        top += height;
    }
}

} // namespace tessaro
