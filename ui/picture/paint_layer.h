#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace tessaro {

/// A transparent child that keeps what is drawn on it in a bitmap at the screen's pixel ratio
/// and lets mouse events through to what lies beneath. The overlays of the datapath and clock
/// pictures.
class PaintLayer : public QWidget {
    Q_OBJECT
public:
    /// Covers the whole parent.
    explicit PaintLayer(QWidget* parent);

    /// Erases everything drawn.
    void clear();
    /// Fills a rectangle (logical coordinates) with a colour and schedules its repaint.
    void fill(const QRect& rect, const QColor& color);
    /// Draws a line of the given width and schedules its repaint.
    void drawLine(QPoint from, QPoint to, const QColor& color, qreal width);
    /// The bitmap.
    const QImage& image() const { return m_image; }
    /// Colour at a logical point (alpha 0 where nothing is drawn).
    QColor colorAt(QPoint point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ensureImage();

    QImage m_image;
};

} // namespace tessaro
