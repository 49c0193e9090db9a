#include "ui/picture/clock_view.h"

#include "ui/picture/paint_layer.h"
#include "ui/picture/sans_font.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace tessaro {

namespace g = geometry;

namespace {

const QColor kRed(255, 0, 0);
const QColor kInk(32, 36, 44);
const QColor kGuide(176, 182, 192);
const QColor kCaption(70, 76, 90);
constexpr qreal kWaveWidth = 2.0;

// Strokes drawn by each phase; phase 4 is the whole cycle.
constexpr int kPhaseStrokes[5][8] = {
    {0, 1, -1}, {2, -1}, {3, -1}, {4, 5, 6, -1}, {0, 1, 2, 3, 4, 5, 6, -1},
};

} // namespace

ClockView::ClockView(QWidget* parent) : QWidget(parent) {
    setFixedSize(g::qt(g::kClockRect.size()));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_overlay = new PaintLayer(this);
    m_overlay->setObjectName(QStringLiteral("clockOverlay"));
    m_overlay->setGeometry(rect());
    renderPicture();
}

void ClockView::setScale(qreal scale) {
    if (scale == m_scale) {
        return;
    }
    m_scale = scale;
    setFixedSize(qRound(g::kClockRect.width() * scale), qRound(g::kClockRect.height() * scale));
    m_overlay->setGeometry(rect());
    m_overlay->setContentScale(scale);
    renderPicture();
    update();
}

void ClockView::repaintClock() {
    m_overlay->clear();
    update();
}

void ClockView::drawClock(int phase) {
    if (phase < 0 || phase > 4) {
        return;
    }
    for (int stroke : kPhaseStrokes[phase]) {
        if (stroke < 0) {
            break;
        }
        drawStroke(stroke);
    }
}

void ClockView::drawStroke(int stroke) {
    const auto [from, to] = g::clockStroke(stroke);
    m_overlay->drawLine(g::qt(from), g::qt(to), kRed, kWaveWidth);
}

bool ClockView::isStrokeRed(int stroke) const {
    if (stroke < 0 || stroke >= g::kClockStrokes) {
        return false;
    }
    const auto [from, to] = g::clockStroke(stroke);
    // The middle of the stroke, away from the corners it shares with its neighbours.
    const QPoint middle((from.x() + to.x()) / 2, (from.y() + to.y()) / 2);
    return m_overlay->colorAt(middle) == kRed;
}

QImage ClockView::overlayImage() const {
    return m_overlay->image();
}
QImage ClockView::pictureImage() const {
    return m_picture;
}

void ClockView::paintEvent(QPaintEvent* event) {
    if (devicePixelRatioF() != m_renderedRatio) {
        renderPicture();
    }
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPoint(0, 0), m_picture);
}

void ClockView::renderPicture() {
    const qreal ratio = devicePixelRatioF();
    m_renderedRatio = ratio;
    m_picture = QImage(QSize(static_cast<int>(std::ceil(width() * ratio)),
                             static_cast<int>(std::ceil(height() * ratio))),
                       QImage::Format_ARGB32_Premultiplied);
    m_picture.setDevicePixelRatio(ratio);
    m_picture.fill(Qt::white);
    QPainter painter(&m_picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(m_scale, m_scale);

    const g::ClockLayout& c = g::kClock;
    const int end = c.cycleStartX + 4 * c.segmentWidth;

    // Sub-cycle boundaries and their names.
    static const char* const kNames[4] = {QT_TRANSLATE_NOOP("tessaro::ClockView", "decoder"),
                                          QT_TRANSLATE_NOOP("tessaro::ClockView", "B bus"),
                                          QT_TRANSLATE_NOOP("tessaro::ClockView", "ALU"),
                                          QT_TRANSLATE_NOOP("tessaro::ClockView", "C bus")};
    static const char* const kDeltas[4] = {"Δw", "Δx", "Δy", "Δz"};
    for (int s = 0; s < 4; ++s) {
        const int x0 = c.cycleStartX + s * c.segmentWidth;
        painter.setPen(QPen(kGuide, 1, Qt::DashLine));
        if (s > 0) {
            painter.drawLine(QPointF(x0 + 0.5, c.highY - 6), QPointF(x0 + 0.5, c.lowY + 4));
        }
        painter.setPen(kInk);
        painter.setFont(sansFont(11, true));
        painter.drawText(QRect(x0, c.lowY + 6, c.segmentWidth, 14), Qt::AlignCenter,
                         QString::fromUtf8(kDeltas[s]));
        painter.setPen(kCaption);
        painter.setFont(sansFont(10));
        painter.drawText(QRect(x0, c.lowY + 21, c.segmentWidth, 13), Qt::AlignCenter,
                         ClockView::tr(kNames[s]));
    }
    // One cycle, marked under the waveform.
    painter.setPen(QPen(kCaption, 1));
    const int y = c.lowY + 42;
    painter.drawLine(QPointF(c.cycleStartX, y + 0.5), QPointF(end, y + 0.5));
    painter.drawLine(QPointF(c.cycleStartX + 0.5, y - 4), QPointF(c.cycleStartX + 0.5, y + 5));
    painter.drawLine(QPointF(end + 0.5, y - 4), QPointF(end + 0.5, y + 5));
    painter.setFont(sansFont(10));
    painter.fillRect(QRect((c.cycleStartX + end) / 2 - 50, y - 6, 100, 13), Qt::white);
    painter.drawText(QRect((c.cycleStartX + end) / 2 - 50, y - 6, 100, 13), Qt::AlignCenter,
                     ClockView::tr("one cycle"));
    painter.setFont(sansFont(10, true));
    painter.setPen(kInk);
    painter.drawText(QRect(end + 4, c.highY + 6, 50, 26), Qt::AlignLeft | Qt::AlignTop,
                     ClockView::tr("registers\nloaded"));

    // The waveform itself in black; the overlay paints over it in red.
    painter.setPen(QPen(kInk, kWaveWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawLine(QPoint(c.leadingHighX, c.highY), QPoint(c.cycleStartX, c.highY));
    for (int s = 0; s < g::kClockStrokes; ++s) {
        const auto [from, to] = g::clockStroke(s);
        painter.drawLine(g::qt(from), g::qt(to));
    }
}

} // namespace tessaro
