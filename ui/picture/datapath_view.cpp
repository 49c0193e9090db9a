#include "ui/picture/datapath_view.h"

#include "machine/registers.h"

#include "machine/control_path.h"
#include "presentation/machine_picture.h"
#include "ui/picture/bus_trace_animator.h"
#include "ui/picture/paint_layer.h"
#include "ui/picture/sans_font.h"

#include <QLabel>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace tessaro {

namespace g = geometry;

namespace {

const QColor kPanelText(0, 0, 0);
const QColor kResult(255, 255, 0);
// A mid grey on which both the yellow result and the black of a reset caption read.
const QColor kPanelBackground(88, 104, 122);

// What the picture shows of the micro-instruction executed last, read from the core's model.
MachinePicture shown(const ControlPath& machine) {
    return machinePicture(machine, SubCyclePhase::CBus);
}

QColor& controlLine(DatapathLines& lines, g::ControlLine line) {
    return lines.control[static_cast<std::size_t>(line)];
}

} // namespace

DatapathView::DatapathView(QWidget* parent) : QWidget(parent) {
    setFixedSize(g::qt(g::kPictureRect.size()));
    setAttribute(Qt::WA_OpaquePaintEvent);

    m_aluPanel = new QLabel(tr("ALU"), this);
    m_aluPanel->setObjectName(QStringLiteral("Panel2"));
    m_aluPanel->setGeometry(g::qt(g::kLayout.aluPanel));
    m_aluPanel->setAlignment(Qt::AlignCenter);
    m_aluPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_aluPanel->setLineWidth(1);
    m_aluPanel->setAutoFillBackground(true);
    m_aluPanel->setFont(sansFont(13, true));
    QPalette palette = m_aluPanel->palette();
    palette.setColor(QPalette::Window, kPanelBackground);
    palette.setColor(QPalette::WindowText, kPanelText);
    m_aluPanel->setPalette(palette);

    m_overlay = new PaintLayer(this);
    m_overlay->setObjectName(QStringLiteral("busOverlay"));
    m_overlay->setGeometry(rect());
    m_overlay->raise();

    m_animator = new BusTraceAnimator(m_overlay, this);

    renderPicture();
}

DatapathView::~DatapathView() = default;

void DatapathView::setScale(qreal scale) {
    if (scale == m_scale) {
        return;
    }
    m_scale = scale;
    m_animator->cancel();
    setFixedSize(qRound(g::kPictureRect.width() * scale), qRound(g::kPictureRect.height() * scale));
    const QRect panel = g::qt(g::kLayout.aluPanel);
    m_aluPanel->setGeometry(QRect(
        QPoint(qRound(panel.x() * scale), qRound(panel.y() * scale)),
        QPoint(qRound((panel.right() + 1) * scale) - 1, qRound((panel.bottom() + 1) * scale) - 1)));
    m_overlay->setGeometry(rect());
    m_overlay->setContentScale(scale);
    renderPicture();
    update();
}

// ---------------------------------------------------------------------------------------------
// Drawing steps
// ---------------------------------------------------------------------------------------------

void DatapathView::drawBDecoder(const ControlPath& machine) {
    m_lines.b.fill(kLineIdle);
    const int code = shown(machine).bCode;
    if (g::rowOfBCode(code) >= 0) {
        m_lines.b[static_cast<std::size_t>(code)] = kLineActive;
    }
    renderPicture();
    repaintPicture();
}

void DatapathView::drawCDecoder(const ControlPath& machine) {
    m_lines.c.fill(kLineIdle);
    const auto field = static_cast<int>(shown(machine).cBits);
    for (int i = 0; i < register_file::kCBits; ++i) {
        if ((field >> i) & 1) {
            m_lines.c[static_cast<std::size_t>(i)] = kLineActive;
        }
    }
    renderPicture();
    repaintPicture();
}

void DatapathView::drawControlLines(const ControlPath& machine) {
    m_lines.control.fill(kLineIdle);
    const MachinePicture picture = shown(machine);
    if (picture.sra1) {
        controlLine(m_lines, g::ControlLine::SRA1) = kLineActive;
    }
    if (picture.sll8) {
        controlLine(m_lines, g::ControlLine::SLL8) = kLineActive;
    }
    if (picture.jmpc) {
        controlLine(m_lines, g::ControlLine::JMPC) = kLineActive;
    }
    renderPicture();
    repaintPicture();
}

void DatapathView::drawFlagLines(const ControlPath& machine) {
    // Only activates lines: the reset belongs to drawControlLines.
    if (machine.N == 1) {
        controlLine(m_lines, g::ControlLine::N) = kLineActive;
    }
    if (machine.Z == 1) {
        controlLine(m_lines, g::ControlLine::Z) = kLineActive;
    }
    if (machine.N == 1 || machine.Z == 1) {
        controlLine(m_lines, g::ControlLine::NZ) = kLineActive;
    }
    renderPicture();
    repaintPicture();
}

void DatapathView::showALU(const ControlPath& machine) {
    m_aluPanel->setText(QString::fromStdString(shown(machine).aluText));
    QPalette palette = m_aluPanel->palette();
    palette.setColor(QPalette::WindowText, kResult);
    m_aluPanel->setPalette(palette);
}

void DatapathView::repaintPicture() {
    m_animator->cancel();
    m_overlay->clear();
    update();
}

// ---------------------------------------------------------------------------------------------
// Bus traces
// ---------------------------------------------------------------------------------------------

void DatapathView::animateBBus(const ControlPath& machine, int delayMs) {
    m_animator->finish();
    emit bBusValueShown();
    m_animator->traceBBus(shown(machine).bCode, delayMs);
}

void DatapathView::animateCBus(const ControlPath& machine, int delayMs) {
    m_animator->finish();
    emit cBusValueShown();
    m_animator->traceCBus(static_cast<int>(shown(machine).cBits), delayMs);
}

void DatapathView::finishAnimations() {
    m_animator->finish();
}

bool DatapathView::isAnimating() const {
    return m_animator->isRunning();
}

QLabel* DatapathView::aluPanel() const {
    return m_aluPanel;
}
QWidget* DatapathView::busOverlay() const {
    return m_overlay;
}

// ---------------------------------------------------------------------------------------------
// Read-back
// ---------------------------------------------------------------------------------------------

QColor DatapathView::bLineColor(int code) const {
    if (g::rowOfBCode(code) < 0) {
        return {};
    }
    return m_lines.b[static_cast<std::size_t>(code)];
}

QColor DatapathView::cLineColor(int bit) const {
    if (bit < 0 || bit >= register_file::kCBits) {
        return {};
    }
    return m_lines.c[static_cast<std::size_t>(bit)];
}

QColor DatapathView::controlLineColor(g::ControlLine line) const {
    return m_lines.control[static_cast<std::size_t>(line)];
}

QImage DatapathView::pictureImage() const {
    return m_picture;
}
QImage DatapathView::overlayImage() const {
    return m_overlay->image();
}

QColor DatapathView::pictureColorAt(QPoint point) const {
    const qreal ratio = m_picture.devicePixelRatio() * m_scale;
    const QPoint pixel(static_cast<int>(std::floor((point.x() + 0.5) * ratio)),
                       static_cast<int>(std::floor((point.y() + 0.5) * ratio)));
    if (!m_picture.rect().contains(pixel)) {
        return {};
    }
    return m_picture.pixelColor(pixel);
}

QColor DatapathView::overlayColorAt(QPoint point) const {
    return m_overlay->colorAt(point);
}

// ---------------------------------------------------------------------------------------------
// Rendering
// ---------------------------------------------------------------------------------------------

void DatapathView::paintEvent(QPaintEvent* event) {
    if (devicePixelRatioF() != m_picture.devicePixelRatio()) {
        renderPicture();
    }
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPoint(0, 0), m_picture);
}

void DatapathView::renderPicture() {
    // Drawn at the layout size on as many pixels as the scaled view has, then shown 1:1.
    const qreal ratio = devicePixelRatioF();
    m_picture = m_painter.render(g::qt(g::kPictureRect.size()), ratio * m_scale, m_lines);
    m_picture.setDevicePixelRatio(ratio);
}

} // namespace tessaro
