#include "ui/picture/info_dialog.h"

#include "tessaro_version.h"
#include "ui/picture/sans_font.h"

#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>

#ifndef TESSARO_INFO_VERSION
#define TESSARO_INFO_VERSION "0.1.0"
#endif

namespace tessaro {

namespace {

constexpr int kWidth = 472;
constexpr int kHeight = 501;

QPixmap newPixmap(QSize size, qreal ratio) {
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::white);
    return pixmap;
}

// The logo: a square of mosaic tiles (the tesserae of the name) in which the darker tiles
// draw a T, beside the name.
QPixmap logoPixmap(QSize size, qreal ratio) {
    QPixmap pixmap = newPixmap(size, ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    constexpr int kTiles = 7;
    constexpr int kTile = 15;
    constexpr int kGap = 3;
    const int side = kTiles * kTile + (kTiles - 1) * kGap;
    const QPoint origin(24, (size.height() - side) / 2);
    const QColor dark(28, 72, 140);
    const QColor mid(64, 132, 206);
    const QColor light(196, 220, 244);
    const QColor accent(240, 176, 48);
    for (int row = 0; row < kTiles; ++row) {
        for (int col = 0; col < kTiles; ++col) {
            const bool bar = row <= 1;
            const bool stem = col >= 2 && col <= 4;
            QColor colour = light;
            if (bar || stem) {
                colour = ((row + col) % 2 == 0) ? dark : mid;
            }
            if (row == kTiles - 1 && col == kTiles - 1) {
                colour = accent;
            }
            const QRectF tile(origin.x() + col * (kTile + kGap), origin.y() + row * (kTile + kGap),
                              kTile, kTile);
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawRoundedRect(tile, 2.5, 2.5);
        }
    }
    painter.setPen(dark);
    painter.setFont(sansFont(52, true));
    const int textX = origin.x() + side + 22;
    painter.drawText(QRect(textX, origin.y() - 6, size.width() - textX, 70),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tessaro"));
    painter.setPen(QColor(90, 98, 112));
    painter.setFont(sansFont(15));
    painter.drawText(QRect(textX + 3, origin.y() + 64, size.width() - textX, 24),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Mic-1 · IJVM"));
    return pixmap;
}

// The version banner: a band with the version, the width of the window.
QPixmap bannerPixmap(QSize size, qreal ratio) {
    QPixmap pixmap = newPixmap(size, ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, size.width(), 0);
    band.setColorAt(0, QColor(28, 72, 140));
    band.setColorAt(1, QColor(64, 132, 206));
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 6, 6);
    painter.fillPath(shape, band);
    painter.setPen(Qt::white);
    painter.setFont(sansFont(18, true));
    painter.drawText(QRect(16, 0, size.width() - 32, size.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     InfoDialog::tr("Version %1").arg(QString::fromLatin1(kVersion)));
    painter.setFont(sansFont(13));
    painter.drawText(QRect(16, 0, size.width() - 32, size.height()),
                     Qt::AlignRight | Qt::AlignVCenter, InfoDialog::tr("microprogrammed machine"));
    return pixmap;
}

} // namespace

QStringList InfoDialog::creditLines() {
    return {QStringLiteral("Tessaro"), tr("A teaching simulator of the Mic-1 microarchitecture"),
            tr("and of the IJVM instruction set"),
            tr("Microprogram, assembler and datapath view included"),
            tr("Written by the Tessaro developers")};
}

InfoDialog::InfoDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("Info"));
    setFixedSize(kWidth, kHeight);
    setModal(true);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    const qreal ratio = screen() != nullptr ? screen()->devicePixelRatio() : devicePixelRatioF();

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setGeometry(16, 16, kWidth - 32, 150);
    logo->setPixmap(logoPixmap(logo->size(), ratio));

    auto* banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("Image2"));
    banner->setGeometry(16, 178, kWidth - 32, 44);
    banner->setPixmap(bannerPixmap(banner->size(), ratio));

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(16, 240, kWidth - 32, 180);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setAutoFillBackground(true);
    panel->setPalette(palette);
    auto* lines = new QVBoxLayout(panel);
    lines->setContentsMargins(16, 14, 16, 14);
    lines->setSpacing(4);
    const QStringList credits = creditLines();
    for (int i = 0; i < credits.size(); ++i) {
        auto* line = new QLabel(credits.at(i), panel);
        line->setObjectName(QStringLiteral("Credit%1").arg(i + 1));
        line->setAlignment(Qt::AlignCenter);
        line->setFont(sansFont(i == 0 ? 18 : 13, i == 0));
        lines->addWidget(line);
    }

    m_ok = new QPushButton(tr("Ok"), this);
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_ok->setGeometry((kWidth - 96) / 2, 444, 96, 32);
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    m_ok->setFocus();
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace tessaro
