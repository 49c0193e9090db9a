#pragma once

#include <QObject>
#include <QRect>
#include <QTimer>

#include <deque>

namespace tessaro {

class PaintLayer;

/// Traces the B and C buses of the datapath picture in blue on its overlay, one pixel row per
/// timer tick, so that the window stays responsive while a slow trace runs.
///
/// A trace is a queue of rows, each with the pause that follows it; a new trace is queued
/// behind what is still pending.
class BusTraceAnimator : public QObject {
    Q_OBJECT
public:
    /// Draws on layer, which must outlive the animator.
    explicit BusTraceAnimator(PaintLayer* layer, QObject* parent = nullptr);

    /// The connection of the register that B code drives onto the B bus and the B bus down to
    /// the ALU (only for codes with a register row), then the stub into the ALU; delayMs after
    /// each row (0: as fast as the event loop allows).
    void traceBBus(int bCode, int delayMs);
    /// The drop below the shifter, the bottom run and the vertical run up to the row of the
    /// lowest set bit of the C field (MAR when none) with delayMs per row, then the stub of
    /// every set C bit with 1 ms per row.
    void traceCBus(int cField, int delayMs);
    /// Draws every pending row at once.
    void finish();
    /// Drops every pending row without drawing it.
    void cancel();
    /// True while rows are pending.
    bool isRunning() const;

private:
    struct TraceRow {
        QRect row;
        int delayMs;
    };
    void queueBlock(QRect block, int delayMs, bool bottomUp);
    void start();
    void traceNext();
    void fillRow(const QRect& row);

    PaintLayer* m_layer;
    std::deque<TraceRow> m_pending;
    QTimer m_timer;
};

} // namespace tessaro
