#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

#include <array>

class QPainter;

namespace tessaro {

// Pure colours, so that a line's state can be read back from its pixels.
inline const QColor kLineIdle(0, 0, 0);
inline const QColor kLineActive(255, 0, 0);

/// Colours of the lines that a micro-instruction drives: the B-decoder lines by B code, the
/// C-decoder lines by C bit and the control and flag lines by geometry::ControlLine. All
/// kLineIdle until a drawing step activates some.
struct DatapathLines {
    std::array<QColor, 16> b;
    std::array<QColor, 9> c;
    std::array<QColor, 6> control;

    DatapathLines();
};

/// Paints the datapath figure: the buses, boxes, captions and fixed wires, and over them the
/// decoder and control lines in the colours of a DatapathLines.
///
/// The figure beneath the lines changes only with the pixel ratio, so it is painted once per
/// ratio and kept; each render copies it and paints the lines on the copy.
class DatapathPainter {
public:
    /// The picture of a logical size at a device pixel ratio, with the lines in their colours.
    QImage render(QSize size, qreal ratio, const DatapathLines& lines);

private:
    QImage m_figure; ///< the figure without its coloured lines, at m_ratio
    qreal m_ratio = 0;
};

} // namespace tessaro
