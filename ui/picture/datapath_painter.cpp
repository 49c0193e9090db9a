#include "ui/picture/datapath_painter.h"

#include "ui/picture/datapath_geometry.h"
#include "ui/picture/sans_font.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tessaro {

namespace g = geometry;

namespace {

// The figure's own palette.
const QColor kPaper(255, 255, 255);
const QColor kInk(32, 36, 44);
const QColor kWire(96, 100, 108);
const QColor kBusFill(194, 202, 214);
const QColor kBusEdge(140, 146, 156);
const QColor kRegisterFill(246, 248, 252);
const QColor kDecoderFill(255, 246, 214);
const QColor kAluFill(226, 236, 250);
const QColor kStoreFill(240, 240, 232);
const QColor kCaption(70, 76, 90);

constexpr qreal kLineWidth = 2.0;
constexpr qreal kBundleWidth = 3.0;

QPolygon toPolygon(const g::Polyline& line) {
    QPolygon polygon;
    for (int i = 0; i < line.count; ++i) {
        polygon << g::qt(line.points[static_cast<std::size_t>(i)]);
    }
    return polygon;
}

// A filled arrow head at the end of the last segment of a polyline.
void drawArrowHead(QPainter& painter, const QPolygon& line, const QColor& color, qreal size) {
    if (line.size() < 2) {
        return;
    }
    const QPointF tip = line.last();
    const QPointF from = line.at(line.size() - 2);
    const QPointF d = tip - from;
    const qreal length = std::hypot(d.x(), d.y());
    if (length < 1) {
        return;
    }
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    QPolygonF head;
    head << tip << tip - u * size + n * (size * 0.55) << tip - u * size - n * (size * 0.55);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(head);
    painter.restore();
}

void drawPolyline(QPainter& painter, const QPolygon& line, const QColor& color, qreal width,
                  bool arrow) {
    painter.save();
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    if (arrow && line.size() >= 2) {
        // Stop the stroke short of the tip so that the head keeps its point.
        QPolygonF shortened(line);
        const QPointF d = shortened.last() - shortened.at(shortened.size() - 2);
        const qreal length = std::hypot(d.x(), d.y());
        if (length > 6) {
            shortened.last() -= d / length * 4.0;
        }
        painter.drawPolyline(shortened);
    } else {
        painter.drawPolyline(line);
    }
    painter.restore();
    if (arrow) {
        drawArrowHead(painter, line, color, 7.0);
    }
}

// The slash and bit count that mark a bundle of lines, on its longest segment.
void drawBundleMark(QPainter& painter, const QPolygon& line, int bits) {
    if (line.size() < 2 || bits <= 1) {
        return;
    }
    int longest = 0;
    qreal longestLength = -1;
    for (int i = 0; i + 1 < line.size(); ++i) {
        const QPoint d = line.at(i + 1) - line.at(i);
        const qreal length = std::hypot(d.x(), d.y());
        if (length > longestLength) {
            longestLength = length;
            longest = i;
        }
    }
    const QPointF a = line.at(longest);
    const QPointF b = line.at(longest + 1);
    const QPointF mid = (a + b) / 2;
    const bool vertical = std::abs(b.x() - a.x()) < std::abs(b.y() - a.y());
    painter.save();
    painter.setPen(QPen(kWire, 1.2));
    painter.drawLine(mid + QPointF(-4, 4), mid + QPointF(4, -4));
    painter.setFont(sansFont(9));
    painter.setPen(kCaption);
    const QString text = QString::number(bits);
    if (vertical) {
        painter.drawText(QRectF(mid.x() + 5, mid.y() - 7, 20, 12), Qt::AlignLeft | Qt::AlignVCenter,
                         text);
    } else {
        // Above the line, unless that would cut the count at the picture's top edge.
        const qreal top = mid.y() - 16 < 0 ? mid.y() + 5 : mid.y() - 16;
        painter.drawText(QRectF(mid.x() - 10, top, 20, 11), Qt::AlignCenter, text);
    }
    painter.restore();
}

void drawBox(QPainter& painter, const g::Rect& rect, const QColor& fill, qreal edge = 1.0) {
    painter.save();
    painter.setPen(QPen(kInk, edge));
    painter.setBrush(fill);
    painter.drawRect(QRectF(g::qt(rect)).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.restore();
}

void drawBus(QPainter& painter, const g::Rect& rect) {
    painter.fillRect(g::qt(rect), kBusFill);
}

void drawRotatedText(QPainter& painter, const g::Rect& box, const QString& text, int pixelSize) {
    painter.save();
    painter.translate(box.center().x() + 1, box.center().y() + 1);
    painter.rotate(-90);
    painter.setFont(sansFont(pixelSize, true));
    painter.setPen(kInk);
    painter.drawText(QRectF(-box.height() / 2.0, -box.width() / 2.0, box.height(), box.width()),
                     Qt::AlignCenter, text);
    painter.restore();
}

// The figure without the lines that change colour.
void paintFigure(QPainter& painter) {
    const g::Layout& L = g::kLayout;

    // Buses first, so that boxes and lines sit on them.
    for (int row = 0; row < static_cast<int>(g::kRegisterRows.size()); ++row) {
        if (g::kRegisterRows[row].cBit() >= 0) {
            drawBus(painter, g::cStub(row));
        }
        if (g::kRegisterRows[row].onBBus()) {
            drawBus(painter, g::bConnection(row));
        }
    }
    drawBus(painter, g::cVertical(0));
    drawBus(painter, g::cRun());
    drawBus(painter, L.cDrop);
    drawBus(painter, g::bVertical(g::rowOfBCode(1)));
    drawBus(painter, L.bStub);
    drawBus(painter, L.aBus);
    drawBus(painter, L.aluToShifter);

    painter.save();
    painter.setFont(sansFont(10, true));
    painter.setPen(kCaption);
    const QRect cBus = g::qt(g::cVertical(0));
    painter.save();
    painter.translate(cBus.x() - 4, cBus.bottom() - 40);
    painter.rotate(-90);
    painter.drawText(QRectF(-30, -12, 60, 12), Qt::AlignCenter,
                     QCoreApplication::translate("tessaro::DatapathPainter", "C bus"));
    painter.restore();
    const QRect bBus = g::qt(g::bVertical(g::rowOfBCode(1)));
    painter.drawText(QRect(L.registerX + L.registerWidth + 3, bBus.y() - 26, 44, 12), Qt::AlignLeft,
                     QCoreApplication::translate("tessaro::DatapathPainter", "B bus"));
    painter.drawText(QRect(L.aBus.x() - 16, L.aBus.y() + 4, 14, 14), Qt::AlignCenter,
                     QStringLiteral("A"));
    painter.restore();

    // Registers.
    for (int row = 0; row < static_cast<int>(g::kRegisterRows.size()); ++row) {
        const g::Rect box = g::registerBox(row);
        drawBox(painter, box, kRegisterFill, 1.2);
        painter.setFont(sansFont(10, true));
        painter.setPen(kInk);
        painter.drawText(
            QRect(L.nameX, box.y(), 40, box.height()), Qt::AlignLeft | Qt::AlignVCenter,
            QString::fromLatin1(g::kRegisterRows[row].name().data(),
                                static_cast<qsizetype>(g::kRegisterRows[row].name().size())));
    }

    // Decoders.
    drawBox(painter, L.cDecoder, kDecoderFill);
    drawRotatedText(painter, L.cDecoder,
                    QCoreApplication::translate("tessaro::DatapathPainter", "C decoder"), 10);
    drawBox(painter, L.bDecoder, kDecoderFill);
    drawRotatedText(painter, L.bDecoder,
                    QCoreApplication::translate("tessaro::DatapathPainter", "B decoder"), 10);
    {
        // The second B line into MBR selects it zero-extended.
        const g::Polyline mbru = g::bDecoderLine(9);
        painter.setFont(sansFont(8));
        painter.setPen(kCaption);
        painter.drawText(QRect(mbru.points[0].x() - 24, mbru.points[0].y() - 11, 22, 10),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("U"));
    }

    // ALU: a trapezoid with the notch between its two inputs.
    QPolygonF alu;
    for (const g::Point corner : g::aluOutline()) {
        alu << QPointF(g::qt(corner));
    }
    painter.save();
    painter.setPen(QPen(kInk, 1.4));
    painter.setBrush(kAluFill);
    painter.drawPolygon(alu);
    painter.setFont(sansFont(13, true));
    painter.drawText(
        QRect(L.aluBottomLeft, L.aluTop + L.aluNotchDepth, L.aluBottomRight - L.aluBottomLeft,
              L.aluBottom - L.aluTop - L.aluNotchDepth),
        Qt::AlignCenter, QCoreApplication::translate("tessaro::DatapathPainter", "ALU"));
    painter.restore();

    drawBox(painter, L.shifter, kAluFill, 1.2);
    painter.setFont(sansFont(11, true));
    painter.setPen(kInk);
    painter.drawText(g::qt(L.shifter), Qt::AlignCenter,
                     QCoreApplication::translate("tessaro::DatapathPainter", "Shifter"));

    // Flip-flops and the fork that feeds them.
    drawBox(painter, L.nBox, kRegisterFill, 1.2);
    drawBox(painter, L.zBox, kRegisterFill, 1.2);
    {
        const g::WirePath fork = g::wirePath(g::Wire::FlagFork);
        drawPolyline(painter, toPolygon(fork.path), kWire, kLineWidth, false);
        const int x = g::kWiring.flagForkX;
        const int nY = L.nBox.center().y() + 1;
        const int zY = L.zBox.center().y() + 1;
        drawPolyline(painter, QPolygon({QPoint(x, nY), QPoint(x, zY)}), kWire, kLineWidth, false);
        drawPolyline(painter, QPolygon({QPoint(x, nY), QPoint(L.nBox.x(), nY)}), kWire, kLineWidth,
                     true);
        drawPolyline(painter, QPolygon({QPoint(x, zY), QPoint(L.zBox.x(), zY)}), kWire, kLineWidth,
                     true);
        painter.setFont(sansFont(10, true));
        painter.setPen(kCaption);
        painter.drawText(QRect(L.nBox.right() + 4, L.nBox.y() - 3, 14, 12), Qt::AlignCenter,
                         QStringLiteral("N"));
        painter.drawText(QRect(L.zBox.right() + 4, L.zBox.y() - 3, 14, 12), Qt::AlignCenter,
                         QStringLiteral("Z"));
    }

    // Control store (the listing lies on it), MPC, next-address logic, MIR and memory.
    drawBox(painter, L.controlStore.adjusted(-2, -2, 2, 2), kStoreFill, 1.2);
    painter.setFont(sansFont(11, true));
    painter.setPen(kInk);
    painter.drawText(QRect(L.controlStore.x(), L.controlStore.y() - 18, 240, 14),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QCoreApplication::translate("tessaro::DatapathPainter", "Control store"));
    painter.setFont(sansFont(10));
    painter.setPen(kCaption);
    painter.drawText(
        QRect(L.controlStore.x() + 110, L.controlStore.y() - 18, 200, 14),
        Qt::AlignLeft | Qt::AlignVCenter,
        QCoreApplication::translate("tessaro::DatapathPainter", "512 words of 36 bits"));

    drawBox(painter, L.mpcBox, kRegisterFill, 1.4);
    painter.setFont(sansFont(10, true));
    painter.setPen(kInk);
    painter.drawText(QRect(L.mpcBox.x() - 2, L.mpcBox.y() - 16, 26, 14),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("MPC"));

    drawBox(painter, L.nextAddress, kDecoderFill, 1.2);
    painter.setFont(sansFont(10, true));
    painter.setPen(kInk);
    painter.drawText(g::qt(L.nextAddress.adjusted(4, 2, -4, -16)), Qt::AlignCenter,
                     QCoreApplication::translate("tessaro::DatapathPainter", "Next address"));
    painter.setFont(sansFont(9));
    painter.setPen(kCaption);
    painter.drawText(g::qt(L.nextAddress.adjusted(4, 18, -4, -2)), Qt::AlignCenter,
                     QStringLiteral("JAMN · JAMZ · JMPC"));

    drawBox(painter, L.mirBox, kRegisterFill, 1.4);
    painter.setFont(sansFont(9, true));
    for (int field = 0; field < 6; ++field) {
        const int first = g::kMirFieldStart[static_cast<std::size_t>(field)];
        const int last = g::kMirFieldStart[static_cast<std::size_t>(field) + 1] - 1;
        const int left = g::mirBitCentreX(first) - 5;
        const int right = g::mirBitCentreX(last) + 5;
        painter.setPen(kCaption);
        painter.drawText(QRect(left, L.mirBox.y() + 2, right - left, 14), Qt::AlignCenter,
                         QString::fromLatin1(g::kMirFieldNames[static_cast<std::size_t>(field)]));
        if (field > 0) {
            const qreal x = (g::mirBitCentreX(first) + g::mirBitCentreX(first - 1)) / 2.0 + 0.5;
            painter.setPen(QPen(kBusEdge, 1));
            painter.drawLine(QPointF(x, L.mirBox.y() + 3), QPointF(x, L.mirBox.bottom() - 2));
        }
    }
    painter.setFont(sansFont(10, true));
    painter.setPen(kInk);
    painter.drawText(QRect(L.mirBox.x() + 4, L.mirBox.bottom() + 3, 40, 14),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("MIR"));

    drawBox(painter, L.memory, kStoreFill, 1.2);
    painter.setFont(sansFont(10, true));
    painter.setPen(kInk);
    painter.drawText(QRect(L.memory.x() + 4, L.memory.y() + 3, L.memory.width() - 8, 14),
                     Qt::AlignCenter,
                     QCoreApplication::translate("tessaro::DatapathPainter", "Main memory"));
    painter.setFont(sansFont(9));
    painter.setPen(kCaption);
    painter.drawText(
        g::qt(L.memory.adjusted(6, 18, -4, -2)), Qt::AlignLeft | Qt::AlignTop,
        QCoreApplication::translate("tessaro::DatapathPainter", "MAR, MDR: words\nPC, MBR: bytes"));

    // Wires that never change colour.
    for (g::Wire wire : g::kWires) {
        if (wire == g::Wire::FlagFork) {
            continue;
        }
        const g::WirePath w = g::wirePath(wire);
        const QPolygon line = toPolygon(w.path);
        drawPolyline(painter, line, kWire, w.bits > 1 ? kBundleWidth : kLineWidth, w.arrow);
        drawBundleMark(painter, line, w.bits);
    }
    painter.setFont(sansFont(9));
    painter.setPen(kCaption);
    {
        const g::WirePath mbr = g::wirePath(g::Wire::MbrToNext);
        painter.drawText(QRect(mbr.path.points[0].x() - 34, mbr.path.points[0].y() - 2, 30, 12),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("MBR"));
        const g::WirePath mem = g::wirePath(g::Wire::MemControl);
        painter.drawText(QRect(mem.path.points[0].x() - 66, mem.path.points[0].y() + 8, 62, 12),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("wr rd fetch"));
    }
    // Names of the shift lines, just right of the flip-flops.
    const int captionX = g::kWiring.flagJoinX + 6;
    painter.drawText(QRect(captionX, g::kWiring.sll8Y - 11, 40, 10),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("SLL8"));
    painter.drawText(QRect(captionX, g::kWiring.sra1Y + 2, 40, 10),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("SRA1"));
    const g::Polyline jmpc = g::controlLinePath(g::ControlLine::JMPC);
    painter.drawText(QRect(jmpc.points[0].x() - 34, jmpc.points[0].y() - 12, 30, 10),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("JMPC"));
}

void paintLines(QPainter& painter, const DatapathLines& lines) {
    for (int code = 0; code < 16; ++code) {
        const g::Polyline line = g::bDecoderLine(code);
        if (line.count > 0) {
            drawPolyline(painter, toPolygon(line), lines.b[static_cast<std::size_t>(code)],
                         kLineWidth, true);
        }
    }
    for (int i = 0; i < 9; ++i) {
        drawPolyline(painter, toPolygon(g::cDecoderLine(i)), lines.c[static_cast<std::size_t>(i)],
                     kLineWidth, true);
    }
    for (g::ControlLine line : g::kControlLines) {
        const bool arrow = line == g::ControlLine::SRA1 || line == g::ControlLine::SLL8 ||
                           line == g::ControlLine::JMPC || line == g::ControlLine::NZ;
        drawPolyline(painter, toPolygon(g::controlLinePath(line)),
                     lines.control[static_cast<std::size_t>(line)], kLineWidth, arrow);
    }
    // The junction of the N and Z lines: red when either flag line is.
    const g::Polyline nz = g::controlLinePath(g::ControlLine::NZ);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(lines.control[static_cast<std::size_t>(g::ControlLine::NZ)]);
    painter.drawEllipse(QPointF(g::qt(nz.points[0])), 3.0, 3.0);
    painter.restore();
}

} // namespace

DatapathLines::DatapathLines() {
    b.fill(kLineIdle);
    c.fill(kLineIdle);
    control.fill(kLineIdle);
}

QImage DatapathPainter::render(QSize size, qreal ratio, const DatapathLines& lines) {
    const QSize pixels(static_cast<int>(std::ceil(size.width() * ratio)),
                       static_cast<int>(std::ceil(size.height() * ratio)));
    if (m_figure.isNull() || ratio != m_ratio || m_figure.size() != pixels) {
        m_ratio = ratio;
        m_figure = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_figure.setDevicePixelRatio(ratio);
        m_figure.fill(kPaper);
        QPainter painter(&m_figure);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        paintFigure(painter);
    }
    QImage picture = m_figure.copy();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    paintLines(painter, lines);
    return picture;
}

} // namespace tessaro
