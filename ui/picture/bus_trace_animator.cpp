#include "ui/picture/bus_trace_animator.h"

#include "ui/picture/datapath_geometry.h"
#include "ui/picture/paint_layer.h"

#include <QColor>

namespace tessaro {

namespace g = geometry;

namespace {

// Pure, so that a trace can be read back from the overlay's pixels.
const QColor kTrace(0, 0, 255);

// The C-bus stubs are quick whatever the speed: the slow part is the run up the bus.
constexpr int kStubDelayMs = 1;

} // namespace

BusTraceAnimator::BusTraceAnimator(PaintLayer* layer, QObject* parent)
    : QObject(parent), m_layer(layer) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &BusTraceAnimator::traceNext);
}

void BusTraceAnimator::traceBBus(int bCode, int delayMs) {
    const int row = g::rowOfBCode(bCode);
    if (row >= 0) {
        queueBlock(g::qt(g::bConnection(row)), delayMs, false);
        queueBlock(g::qt(g::bVertical(row)), delayMs, false);
    }
    queueBlock(g::qt(g::kLayout.bStub), delayMs, false);
    start();
}

void BusTraceAnimator::traceCBus(int cField, int delayMs) {
    int lowest = 0;
    while (lowest < register_file::kCBits && ((cField >> lowest) & 1) == 0) {
        ++lowest;
    }
    if (lowest == register_file::kCBits) {
        lowest = 0; // no C bit: the trace still reaches the MAR row
    }
    queueBlock(g::qt(g::kLayout.cDrop), delayMs, false);
    queueBlock(g::qt(g::cRun()), delayMs, true);
    queueBlock(g::qt(g::cVertical(g::rowOfCBit(lowest))), delayMs, true);
    for (int i = 0; i < register_file::kCBits; ++i) {
        if ((cField >> i) & 1) {
            queueBlock(g::qt(g::cStub(g::rowOfCBit(i))), kStubDelayMs, false);
        }
    }
    start();
}

void BusTraceAnimator::finish() {
    m_timer.stop();
    while (!m_pending.empty()) {
        fillRow(m_pending.front().row);
        m_pending.pop_front();
    }
}

void BusTraceAnimator::cancel() {
    m_timer.stop();
    m_pending.clear();
}

bool BusTraceAnimator::isRunning() const {
    return !m_pending.empty();
}

void BusTraceAnimator::queueBlock(QRect block, int delayMs, bool bottomUp) {
    const int delay = delayMs < 0 ? 0 : delayMs;
    for (int i = 0; i < block.height(); ++i) {
        const int y = bottomUp ? block.bottom() - i : block.top() + i;
        m_pending.push_back({QRect(block.left(), y, block.width(), 1), delay});
    }
}

void BusTraceAnimator::start() {
    if (!m_pending.empty() && !m_timer.isActive()) {
        m_timer.start(0);
    }
}

void BusTraceAnimator::traceNext() {
    if (m_pending.empty()) {
        return;
    }
    const TraceRow next = m_pending.front();
    m_pending.pop_front();
    fillRow(next.row);
    if (!m_pending.empty()) {
        m_timer.start(next.delayMs);
    }
}

void BusTraceAnimator::fillRow(const QRect& row) {
    m_layer->fill(row, kTrace);
}

} // namespace tessaro
