#pragma once

#include <QPlainTextEdit>
#include <QString>

#include <set>
#include <vector>

namespace tessaro {

/// A plain-text editor with a margin on its left that shows, per line, a label (the line number
/// unless other labels are given), a red dot on the marked lines and an arrow on the current
/// line. The margin takes its room from the text, so the editor keeps its own rectangle; a click
/// in it is reported, the editor itself decides nothing about marks.
class MarginEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    /// An empty editor with its margin.
    explicit MarginEditor(QWidget* parent = nullptr);

    /// The lines (from 0) that carry a mark.
    void setMarkedLines(std::set<int> lines);
    /// The lines (from 0) that carry a mark.
    const std::set<int>& markedLines() const { return m_marked; }
    /// The line (from 0) that gets the arrow; -1 for none.
    void setCurrentLine(int line);
    /// The line with the arrow, -1 when there is none.
    int currentLine() const { return m_current; }
    /// Text shown beside each line (index = line from 0, lines past the end show nothing);
    /// an empty vector brings back the line numbers from 1.
    void setLineLabels(std::vector<QString> labels);
    /// The margin widget, a child of the editor.
    QWidget* margin() const { return m_margin; }
    /// Width the margin needs for its widest label and the marks.
    int marginWidth() const;
    /// The line (from 0) at height y of the margin; -1 below the last line.
    int lineAt(int y) const;

signals:
    /// The margin was clicked with the left button beside line (from 0).
    void marginClicked(int line);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class MarkMargin;
    void paintMargin(QPaintEvent* event);
    void updateMargin(const QRect& rect, int dy);
    void updateMarginWidth();
    QString labelOf(int line) const;

    QWidget* m_margin = nullptr;
    std::set<int> m_marked;
    std::vector<QString> m_labels;
    int m_current = -1;
};

} // namespace tessaro
