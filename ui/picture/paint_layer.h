#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace tessaro {

/// A transparent child that keeps what is drawn on it in a bitmap at the screen's pixel ratio
/// and lets mouse events through to what lies beneath. The overlays of the datapath and clock
/// pictures. Drawing takes the coordinates of the picture beneath, which is shown larger than
/// its layout size by the content scale.
class PaintLayer : public QWidget {
    Q_OBJECT
public:
    /// Covers the whole parent.
    explicit PaintLayer(QWidget* parent);

    /// Erases everything drawn.
    void clear();
    /// Factor from drawing coordinates to the layer's own; a change erases what was drawn.
    void setContentScale(qreal scale);
    /// Fills a rectangle (logical coordinates) with a colour and schedules its repaint.
    void fill(const QRect& rect, const QColor& color);
    /// Draws a line of the given width and schedules its repaint.
    void drawLine(QPoint from, QPoint to, const QColor& color, qreal width);
    /// The bitmap.
    const QImage& image() const { return m_image; }
    /// Colour at a point in drawing coordinates (alpha 0 where nothing is drawn).
    QColor colorAt(QPoint point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ensureImage();
    /// A rectangle in drawing coordinates as layer coordinates, for repainting it.
    QRect toLayer(const QRect& drawn) const;

    QImage m_image;
    qreal m_scale = 1;
};

} // namespace tessaro
