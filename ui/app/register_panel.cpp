#include "ui/app/register_panel.h"

#include "core/number_text.h"
#include "machine/control_path.h"
#include "ui/app/window_layout.h"
#include "ui/picture/datapath_geometry.h"

#include <QCoreApplication>
#include <QLabel>

namespace tessaro {

namespace {

// Register index -> position of its label among Label11..Label20 (MAR MDR PC MBR SP LV CPP TOS
// OPC H).
constexpr int kLabelOfRegister[10] = {0, 1, 2, 4, 5, 6, 7, 8, 9, 3};

QString decimal(std::int32_t v) {
    return QString::fromStdString(decimalText(v));
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText); // values are never markup
    return l;
}

} // namespace

RegisterPanel::RegisterPanel(QWidget* parent) {
    for (int i = 0; i < 10; ++i) {
        m_registerLabels[i] =
            makeLabel(parent, QStringLiteral("Label%1").arg(11 + i), QStringLiteral("0"));
        QFont bold = m_registerLabels[i]->font();
        bold.setBold(true);
        m_registerLabels[i]->setFont(bold);
        setFontColour(m_registerLabels[i], QColor(0, 0, 0x80));
    }
    m_busCCaption = makeLabel(parent, QStringLiteral("LabelBusC"),
                              QCoreApplication::translate("tessaro::RegisterPanel", "Bus C:"));
    m_busB = makeLabel(parent, QStringLiteral("Label27"), QStringLiteral("0"));
    m_busB->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_busC = makeLabel(parent, QStringLiteral("Label28"), QStringLiteral("0"));
    m_flagN = makeLabel(parent, QStringLiteral("Label29"), QStringLiteral("0"));
    m_flagZ = makeLabel(parent, QStringLiteral("Label30"), QStringLiteral("0"));
    m_mpc = makeLabel(parent, QStringLiteral("Label1"), QStringLiteral("0"));
    for (int i = 0; i < 36; ++i) {
        m_bits[i] = makeLabel(parent, QStringLiteral("L%1").arg(i + 1), QStringLiteral("0"));
        m_bits[i]->setAlignment(Qt::AlignCenter);
    }
}

void RegisterPanel::place(const WindowArrangement& arrangement) {
    namespace g = geometry;
    for (int i = 0; i < 10; ++i) {
        m_registerLabels[i]->setGeometry(arrangement.map(g::qt(g::registerLabelRect(i))));
        m_registerLabels[i]->show();
    }
    m_busCCaption->setGeometry(arrangement.map(g::qt(g::labelRect(g::LabelId::BusCCaption))));
    m_busC->setGeometry(arrangement.map(g::qt(g::labelRect(g::LabelId::BusC))));
    m_busB->setGeometry(arrangement.map(g::qt(g::labelRect(g::LabelId::BusB))));
    m_flagN->setGeometry(arrangement.map(g::qt(g::labelRect(g::LabelId::N))));
    m_flagZ->setGeometry(arrangement.map(g::qt(g::labelRect(g::LabelId::Z))));
    m_mpc->setGeometry(arrangement.map(g::qt(g::labelRect(g::LabelId::MPC))));
    for (int i = 0; i < 36; ++i) {
        m_bits[i]->setGeometry(arrangement.map(g::qt(g::mirBitRect(i))));
        m_bits[i]->show();
    }
    for (QLabel* l : {m_busCCaption, m_busC, m_busB, m_flagN, m_flagZ, m_mpc}) {
        l->show();
    }
    // The value labels sit on the picture, above its bus overlay.
    for (QLabel* l : m_registerLabels) {
        l->raise();
    }
    for (QLabel* l : {m_busCCaption, m_busC, m_busB, m_flagN, m_flagZ, m_mpc}) {
        l->raise();
    }
    for (QLabel* l : m_bits) {
        l->raise();
    }
}

void RegisterPanel::setFontColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->update();
}

QLabel* RegisterPanel::registerLabel(int registerIndex) const {
    return m_registerLabels[kLabelOfRegister[registerIndex]];
}

void RegisterPanel::showBBusValue(const ControlPath& machine) {
    m_busB->setText(decimal(machine.B));
    m_busB->repaint();
}

void RegisterPanel::showCBusValue(const ControlPath& machine) {
    m_busC->setText(decimal(machine.C));
    m_busC->repaint();
}

void RegisterPanel::showRegisters(const ControlPath& machine, int radix) {
    auto value = [radix](std::int32_t v) { return QString::fromStdString(radixText(v, radix)); };
    for (int r = 0; r < 10; ++r) {
        registerLabel(r)->setText(value(machine.registers[r]));
    }
    m_busB->setText(value(machine.B));
    m_busC->setText(value(machine.C));
    m_flagN->setText(decimal(machine.N));
    m_flagZ->setText(decimal(machine.Z));
    m_mpc->setText(value(machine.MPC));
}

void RegisterPanel::resetColours() {
    for (QLabel* l : m_registerLabels) {
        setFontColour(l, Qt::black);
    }
}

void RegisterPanel::markBSource(const ControlPath& machine) {
    const register_file::BSource* source =
        register_file::bSourceOf(machine.field(control_word::kB));
    if (source != nullptr) {
        setFontColour(registerLabel(source->reg), QColor(0xFF, 0x00, 0xFF));
    }
}

void RegisterPanel::markCDestinations(const ControlPath& machine) {
    const std::uint32_t c = machine.field(control_word::kC);
    for (int bit = 0; bit < register_file::kCBits; ++bit) {
        if ((c >> bit) & 1U) {
            setFontColour(registerLabel(register_file::registerOfCBit(bit)),
                          QColor(0xFF, 0x00, 0x00));
        }
    }
}

void RegisterPanel::showMirBits(const ControlPath& machine) {
    const Mic* mic = machine.controlStore.peek(static_cast<std::uint32_t>(machine.lastMPC));
    const Mic none;
    const Mic& shown = mic != nullptr ? *mic : none;
    const std::string bits =
        digitString(static_cast<std::uint32_t>(shown.NextAddr) & control_word::kAddressMask, 2,
                    control_word::kAddressBits) +
        digitString(static_cast<std::uint32_t>(shown.word) & control_word::kWordMask, 2,
                    control_word::kWordBits);
    for (int i = 0;
         i < static_cast<int>(control_word::kShownBits) && i < static_cast<int>(bits.size()); ++i) {
        m_bits[i]->setText(QString(QLatin1Char(bits[static_cast<std::size_t>(i)])));
    }
}

} // namespace tessaro
