#include "ui/app/machine_views.h"

#include "core/number_text.h"
#include "machine/control_path.h"

#include <QCoreApplication>

namespace tessaro {

namespace {

QStringList lines(const std::vector<std::string>& texts) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& text : texts) {
        list.append(QString::fromStdString(text));
    }
    return list;
}

} // namespace

QStringList MachineViews::constantPool(const ControlPath& m, const ViewFormat& f) const {
    return lines(m_texts.constantPool(m, f));
}

QStringList MachineViews::methodArea(const ControlPath& m, const ViewFormat& f) const {
    return lines(m_texts.methodArea(m, f));
}

QStringList MachineViews::stack(const ControlPath& m, const ViewFormat& f) const {
    return lines(m_texts.stack(m, f));
}

QStringList MachineViews::frame(const ControlPath& m, const ViewFormat& f) {
    FrameLabels labels;
    labels.linkPointer =
        QCoreApplication::translate("tessaro::MachineViews", "Link Ptr").toStdString();
    labels.previousPc =
        QCoreApplication::translate("tessaro::MachineViews", "PC PREC").toStdString();
    labels.previousLv =
        QCoreApplication::translate("tessaro::MachineViews", "LV PREC").toStdString();
    return lines(m_texts.frame(m, f, labels));
}

QString MachineViews::output(const ControlPath& m) {
    QString out;
    for (const char code : MachineTexts::output(m)) {
        out.append(QChar(static_cast<std::uint8_t>(code)));
    }
    return out;
}

QString MachineViews::printable(QString text) {
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if (code == u'\n') {
            c = QChar(0x21B5);
        } else if (code == u'\t') {
            c = QChar(0x2192);
        } else if (code < 0x20 || (code >= 0x7F && code < 0xA0)) {
            c = QChar(0x00B7);
        }
    }
    return text;
}

QString MachineViews::input(const ControlPath& m) {
    return QString::fromStdString(decimalText(MachineTexts::input(m)));
}

InstructionSelection MachineViews::selectCurrentInstruction(const ControlPath& m, int lineCount) {
    InstructionSelection s;
    const auto pc = static_cast<std::uint32_t>(m.PC());
    const auto lines = static_cast<std::uint32_t>(std::max(0, lineCount));
    if (pc < lines) {
        if (pc + 2U < lines) {
            s.scrollTo = static_cast<int>(pc + 2U);
        }
        s.select = static_cast<int>(pc);
    }
    if (lastSelected < lines && lastSelected != pc) {
        s.deselect = static_cast<int>(lastSelected);
    }
    lastSelected = pc;
    return s;
}

} // namespace tessaro
