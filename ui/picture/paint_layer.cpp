#include "ui/picture/paint_layer.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace tessaro {

PaintLayer::PaintLayer(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    if (parent != nullptr) {
        setGeometry(parent->rect());
    }
    ensureImage();
}

void PaintLayer::ensureImage() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::ceil(width() * ratio)),
                       static_cast<int>(std::ceil(height() * ratio)));
    if (m_image.size() == pixels && m_image.devicePixelRatio() == ratio) {
        return;
    }
    // A new ratio or size loses what was drawn, like a repaint of the area beneath would.
    m_image = QImage(pixels.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    m_image.setDevicePixelRatio(ratio);
    m_image.fill(Qt::transparent);
}

void PaintLayer::clear() {
    ensureImage();
    m_image.fill(Qt::transparent);
    update();
}

void PaintLayer::setContentScale(qreal scale) {
    if (scale == m_scale) {
        return;
    }
    m_scale = scale;
    clear();
}

QRect PaintLayer::toLayer(const QRect& drawn) const {
    return QRectF(drawn.x() * m_scale, drawn.y() * m_scale, drawn.width() * m_scale,
                  drawn.height() * m_scale)
        .toAlignedRect();
}

void PaintLayer::fill(const QRect& rect, const QColor& color) {
    ensureImage();
    QPainter painter(&m_image);
    painter.scale(m_scale, m_scale);
    painter.fillRect(rect, color);
    update(toLayer(rect));
}

void PaintLayer::drawLine(QPoint from, QPoint to, const QColor& color, qreal width) {
    ensureImage();
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(m_scale, m_scale);
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(from, to);
    const int margin = static_cast<int>(std::ceil(width)) + 1;
    update(toLayer(QRect(from, to).normalized().adjusted(-margin, -margin, margin, margin)));
}

QColor PaintLayer::colorAt(QPoint point) const {
    const qreal ratio = m_image.devicePixelRatio() * m_scale;
    const QPoint pixel(static_cast<int>(std::floor((point.x() + 0.5) * ratio)),
                       static_cast<int>(std::floor((point.y() + 0.5) * ratio)));
    if (!m_image.rect().contains(pixel)) {
        return QColor(Qt::transparent);
    }
    return m_image.pixelColor(pixel);
}

void PaintLayer::paintEvent(QPaintEvent* event) {
    ensureImage();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPoint(0, 0), m_image);
}

void PaintLayer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ensureImage();
}

} // namespace tessaro
