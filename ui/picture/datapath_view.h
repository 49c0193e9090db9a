#pragma once

#include "ui/picture/datapath_geometry.h"
#include "ui/picture/datapath_painter.h"

#include <QColor>
#include <QImage>
#include <QWidget>

class QLabel;

namespace tessaro {

class BusTraceAnimator;
class ControlPath;
class PaintLayer;

/// The 801 x 481 datapath picture: a figure of the Mic-1 datapath whose decoder and control
/// lines are coloured from the micro-instruction executed last, with a transparent child
/// overlay on which the B and C buses are traced in blue, and the ALU panel "Panel2".
///
/// The coloured lines persist in the picture until the next draw step resets them; the blue
/// traces persist until the picture is repainted (every draw step repaints it).
///
/// Bus traces run on a timer, one pixel row per tick, so the window stays responsive. A trace
/// requested while another runs first completes the running one at once; in sub-cycle phase 3
/// call animateCBus once (a second call would finish the slow trace immediately).
class DatapathView : public QWidget {
    Q_OBJECT
public:
    /// Creates the picture at its layout size; place it at geometry::kPictureRect.
    explicit DatapathView(QWidget* parent = nullptr);
    ~DatapathView() override;

    /// Shows the picture scale times its layout size, drawn afresh at that size so that it
    /// stays sharp; every coordinate the view takes or gives stays a layout one. A change
    /// drops the bus traces, as a repaint does.
    void setScale(qreal scale);

    /// All B-decoder lines black, the line of the current B code red; repaints the picture.
    void drawBDecoder(const ControlPath& machine);
    /// All nine C-decoder lines black, the line of every set C bit red; repaints the picture.
    void drawCDecoder(const ControlPath& machine);
    /// SRA1, SLL8, JMPC, N, Z and the shared flag line black, then SRA1 (bit 22), SLL8
    /// (bit 23) and JMPC (bit 26) red when set; repaints the picture.
    void drawControlLines(const ControlPath& machine);
    /// N line red if N = 1, Z line red if Z = 1, shared line red if either; repaints.
    void drawFlagLines(const ControlPath& machine);
    /// Emits bBusValueShown, then traces in blue the register's connection and the B bus
    /// down to the ALU (only for B codes with a register row) and the stub into the ALU,
    /// pausing delayMs after each pixel row (0: as fast as the event loop allows).
    void animateBBus(const ControlPath& machine, int delayMs);
    /// ALU panel text: the prefix of the ALU function code and the decimal C bus; yellow.
    void showALU(const ControlPath& machine);
    /// Emits cBusValueShown, then traces the C bus: the drop below the shifter, the bottom
    /// run, the vertical run up to the row of the lowest set C bit (MAR when none) with
    /// delayMs per row, then the stub of every set C bit with 1 ms per row.
    void animateCBus(const ControlPath& machine, int delayMs);
    /// Repaints the picture, which clears the bus overlay and drops any running trace.
    void repaintPicture();
    /// Completes any running trace at once.
    void finishAnimations();
    /// True while a trace is still being drawn.
    bool isAnimating() const;
    /// The ALU panel (object name "Panel2"); its caption is "ALU" until the first showALU.
    QLabel* aluPanel() const;
    /// The transparent child on which the buses are traced (object name "busOverlay").
    QWidget* busOverlay() const;

    /// Colour of the B-decoder line of a B code (1-7, 9, 10) in the picture.
    QColor bLineColor(int code) const;
    /// Colour of the C-decoder line of a C bit (0-8) in the picture.
    QColor cLineColor(int bit) const;
    /// Colour of a control or flag line in the picture.
    QColor controlLineColor(geometry::ControlLine line) const;
    /// The picture bitmap (at the device pixel ratio of the widget).
    QImage pictureImage() const;
    /// The bus overlay bitmap (transparent where nothing is traced).
    QImage overlayImage() const;
    /// Colour of the picture at a point in picture (layout) coordinates.
    QColor pictureColorAt(QPoint point) const;
    /// Colour of the overlay at a point in picture coordinates (alpha 0 where nothing).
    QColor overlayColorAt(QPoint point) const;

signals:
    /// animateBBus has begun: the main window shows the B-bus value now.
    void bBusValueShown();
    /// animateCBus has begun: the main window shows the C-bus value now.
    void cBusValueShown();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void renderPicture();

    DatapathPainter m_painter;
    DatapathLines m_lines;
    QImage m_picture; ///< the figure with the lines in their current colours
    PaintLayer* m_overlay = nullptr;
    BusTraceAnimator* m_animator = nullptr;
    QLabel* m_aluPanel = nullptr;
    qreal m_scale = 1;
};

} // namespace tessaro
