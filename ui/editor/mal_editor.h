#pragma once

#include <QPlainTextEdit>

namespace tessaro {

/// A plain-text editor for microprograms with the line numbers in a margin on its left, since
/// the micro-assembler reports its problems by line.
class MalEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    /// An empty editor in a fixed-pitch font.
    explicit MalEditor(QWidget* parent = nullptr);

    /// Width the margin needs for the largest line number.
    int lineNumberWidth() const;
    /// Selects line (from 1) and scrolls it into view; false when there is no such line.
    bool selectLine(int line);
    /// The number of the line holding the cursor (from 1).
    int currentLine() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class LineNumberMargin;
    void paintMargin(QPaintEvent* event);
    void updateMargin(const QRect& rect, int dy);

    QWidget* m_margin = nullptr;
};

} // namespace tessaro
