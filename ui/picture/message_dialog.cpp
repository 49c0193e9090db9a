#include "ui/picture/message_dialog.h"

#include <QLabel>
#include <QPushButton>

namespace tessaro {

namespace {

constexpr int kWidth = 507;
constexpr int kHeight = 159;
const QColor kScrollBarGrey(200, 200, 200);
const QColor kPanelGrey(118, 118, 118);
const QColor kYellow(255, 255, 0);

} // namespace

QString MessageDialog::defaultText() {
    return tr("Il programma deve prima essere compilato e caricato in memoria");
}

MessageDialog::MessageDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Tessaro"));
    setFixedSize(kWidth, kHeight);
    setModal(true);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kScrollBarGrey);
    setPalette(palette);

    m_message = new QLabel(defaultText(), this);
    m_message->setObjectName(QStringLiteral("Panel1"));
    m_message->setGeometry(8, 8, kWidth - 16, 96);
    m_message->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_message->setLineWidth(2);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setMargin(6);
    m_message->setAutoFillBackground(true);
    QFont font;
    // Times New Roman where it exists; metric-compatible and other serif faces elsewhere.
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("Nimbus Roman"), QStringLiteral("DejaVu Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(16);
    font.setBold(true);
    m_message->setFont(font);
    QPalette panel = m_message->palette();
    panel.setColor(QPalette::Window, kPanelGrey);
    panel.setColor(QPalette::WindowText, kYellow);
    m_message->setPalette(panel);

    m_ok = new QPushButton(tr("Ok"), this);
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_ok->setGeometry((kWidth - 88) / 2, 116, 88, 30);
    m_ok->setDefault(true);
    m_ok->setFocus();
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

void MessageDialog::setText(const QString& text) {
    m_message->setText(text);
}

QString MessageDialog::text() const {
    return m_message->text();
}

} // namespace tessaro
