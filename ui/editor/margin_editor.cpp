#include "ui/editor/margin_editor.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTextBlock>

#include <algorithm>
#include <utility>

namespace tessaro {

/// The margin beside the editor's text; it leaves painting and clicks to the editor.
class MarkMargin : public QWidget {
public:
    explicit MarkMargin(MarginEditor* editor) : QWidget(editor), m_editor(editor) {
        setCursor(Qt::PointingHandCursor);
    }
    QSize sizeHint() const override { return QSize(m_editor->marginWidth(), 0); }

protected:
    void paintEvent(QPaintEvent* event) override { m_editor->paintMargin(event); }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) {
            return;
        }
        const int line = m_editor->lineAt(qRound(event->position().y()));
        if (line >= 0) {
            emit m_editor->marginClicked(line);
        }
    }

private:
    MarginEditor* m_editor;
};

MarginEditor::MarginEditor(QWidget* parent) : QPlainTextEdit(parent) {
    m_margin = new MarkMargin(this);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &MarginEditor::updateMarginWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &MarginEditor::updateMargin);
    updateMarginWidth();
}

void MarginEditor::setMarkedLines(std::set<int> lines) {
    if (lines != m_marked) {
        m_marked = std::move(lines);
        m_margin->update();
    }
}

void MarginEditor::setCurrentLine(int line) {
    if (line != m_current) {
        m_current = line;
        m_margin->update();
    }
}

void MarginEditor::setLineLabels(std::vector<QString> labels) {
    m_labels = std::move(labels);
    updateMarginWidth();
    m_margin->update();
}

QString MarginEditor::labelOf(int line) const {
    if (m_labels.empty()) {
        return QString::number(line + 1);
    }
    return line >= 0 && line < static_cast<int>(m_labels.size())
               ? m_labels[static_cast<std::size_t>(line)]
               : QString();
}

int MarginEditor::marginWidth() const {
    // Room for three digits at the least, so that the text does not jump while lines are added.
    int characters = 3;
    if (m_labels.empty()) {
        for (int n = std::max(1, blockCount()); n >= 1000; n /= 10) {
            ++characters;
        }
    } else {
        for (const QString& label : m_labels) {
            characters = std::max(characters, static_cast<int>(label.size()));
        }
    }
    const QFontMetrics metrics = fontMetrics();
    // The mark column is one line high and as wide; the labels follow with a little air.
    return metrics.height() + metrics.horizontalAdvance(QLatin1Char('9')) * characters + 6;
}

int MarginEditor::lineAt(int y) const {
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    // The margin's top lies level with the viewport's, so the text's offsets apply unchanged.
    while (block.isValid()) {
        const qreal bottom = top + blockBoundingRect(block).height();
        if (block.isVisible() && y >= top && y < bottom) {
            return block.blockNumber();
        }
        top = bottom;
        block = block.next();
    }
    return -1;
}

void MarginEditor::updateMarginWidth() {
    setViewportMargins(marginWidth(), 0, 0, 0);
    const QRect area = contentsRect();
    m_margin->setGeometry(QRect(area.left(), area.top(), marginWidth(), area.height()));
}

void MarginEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    m_margin->setGeometry(QRect(area.left(), area.top(), marginWidth(), area.height()));
}

void MarginEditor::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateMarginWidth();
    }
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        m_margin->update();
    }
}

void MarginEditor::updateMargin(const QRect& rect, int dy) {
    if (dy != 0) {
        m_margin->scroll(0, dy);
    } else {
        m_margin->update(0, rect.y(), m_margin->width(), rect.height());
    }
}

void MarginEditor::paintMargin(QPaintEvent* event) {
    QPainter painter(m_margin);
    painter.setRenderHint(QPainter::Antialiasing);
    // A shade of the editor's own background, so that chosen colours carry over.
    const QColor base = palette().color(QPalette::Base);
    painter.fillRect(event->rect(), base.lightness() > 96 ? base.darker(110) : base.lighter(140));
    painter.setFont(font());
    const QColor labelColour =
        base.lightness() > 96 ? QColor(0x70, 0x70, 0x70) : QColor(Qt::lightGray);
    const int lineHeight = fontMetrics().height();
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int height = qRound(blockBoundingRect(block).height());
        const int line = block.blockNumber();
        if (block.isVisible() && top + height >= event->rect().top()) {
            const QRectF markBox(0, top, lineHeight, height);
            if (m_marked.contains(line)) {
                const qreal d = lineHeight * 0.7;
                painter.setPen(QColor(0x90, 0x00, 0x00));
                painter.setBrush(QColor(0xE0, 0x10, 0x10));
                painter.drawEllipse(
                    QRectF(markBox.center().x() - d / 2, markBox.center().y() - d / 2, d, d));
            }
            if (line == m_current) {
                // A yellow arrow pointing at the text, drawn over a dot when both are there.
                const qreal h = lineHeight * 0.35;
                const QPointF c = markBox.center();
                QPainterPath arrow;
                arrow.moveTo(c.x() - h, c.y() - h);
                arrow.lineTo(c.x() + h, c.y());
                arrow.lineTo(c.x() - h, c.y() + h);
                arrow.closeSubpath();
                painter.setPen(QColor(0x60, 0x50, 0x00));
                painter.setBrush(QColor(0xFF, 0xD0, 0x20));
                painter.drawPath(arrow);
            }
            painter.setPen(labelColour);
            painter.drawText(lineHeight, top, m_margin->width() - lineHeight - 4, height,
                             Qt::AlignRight | Qt::AlignVCenter, labelOf(line));
        }
        block = block.next();
        top += height;
    }
}

} // namespace tessaro
