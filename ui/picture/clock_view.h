#pragma once

#include "ui/picture/datapath_geometry.h"

#include <QColor>
#include <QImage>
#include <QWidget>

namespace tessaro {

class PaintLayer;

/// The 352 x 116 picture of the clock signal of one data-path cycle, with a transparent
/// overlay on which the sub-cycles reached are drawn in red.
class ClockView : public QWidget {
    Q_OBJECT
public:
    /// Creates the picture at its layout size; place it at geometry::kClockRect.
    explicit ClockView(QWidget* parent = nullptr);

    /// Shows the picture scale times its layout size, drawn afresh at that size; a change
    /// erases the red sub-cycles, as repaintClock does.
    void setScale(qreal scale);

    /// Repaints the clock picture, which clears the overlay.
    void repaintClock();
    /// Draws in red the part of the waveform of a phase: 0 the falling stroke and the first
    /// low segment, 1 the second, 2 the third, 3 the fourth with the rising stroke and the
    /// next high level, 4 all of them. Other phases draw nothing.
    void drawClock(int phase);

    /// True when stroke s (0-6, see geometry::clockStroke) is red on the overlay.
    bool isStrokeRed(int stroke) const;
    /// The overlay bitmap.
    QImage overlayImage() const;
    /// The clock picture bitmap.
    QImage pictureImage() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void renderPicture();
    void drawStroke(int stroke);

    QImage m_picture;
    PaintLayer* m_overlay = nullptr;
    qreal m_renderedRatio = 0;
    qreal m_scale = 1;
};

} // namespace tessaro
