#include "ui/app/machine_views.h"

#include "core/number_text.h"
#include "ijvm/instruction_set.h"
#include "machine/control_path.h"
#include "machine/memory_map.h"

#include <QCoreApplication>

#include <algorithm>

namespace tessaro {

namespace {

using memory_map::wordKey;

constexpr std::uint32_t kStackBase = wordKey(memory_map::kStackBase);

std::int32_t word(const ControlPath& m, std::uint32_t address) {
    const std::int32_t* value = m.wordMemory.peek(address);
    return value != nullptr ? *value : 0;
}

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

QString addressText(std::uint32_t a, const ViewFormat& f, int width) {
    return text(radixTextPadded(static_cast<std::int32_t>(a), f.addressRadix, width));
}

QString valueText(std::int32_t v, const ViewFormat& f) {
    return text(radixText(v, f.valueRadix));
}

int nameLength(const std::string& name) {
    return static_cast<int>(name.size());
}

// The method at position index of the method table, or nullptr when there is none.
const Method* methodAt(const ControlPath& m, long long index) {
    if (index < 0 || index >= m.methods.size()) {
        return nullptr;
    }
    auto it = m.methods.begin();
    std::advance(it, index);
    return &*it;
}

// The method owning method-area byte address, through the address-to-method map.
const Method* methodOwning(const ControlPath& m, std::uint32_t address) {
    const std::uint32_t* pool = m.methodMap.peek(address);
    if (pool == nullptr) {
        return nullptr;
    }
    return methodAt(m, static_cast<long long>(*pool) - m.constants.size());
}

// The byte before PC, or -1 when PC - 1 is outside the method area.
int byteBefore(const ControlPath& m) {
    const auto before = static_cast<std::uint32_t>(m.PC()) - 1U;
    const auto size = std::min<std::size_t>(static_cast<std::size_t>(std::max(0, m.methodAreaSize)),
                                            m.methodArea.size());
    return before < size ? m.methodArea[before] : -1;
}

} // namespace

const char* MachineViews::mnemonic(const InstructionSet& instructions, std::uint8_t byte,
                                   int* operandBytes) {
    const Instruction* instruction = instructions.find(byte);
    if (instruction == nullptr) {
        return nullptr;
    }
    if (operandBytes != nullptr) {
        *operandBytes = instruction->size - 1;
    }
    return instruction->mnemonic.c_str();
}

QStringList MachineViews::constantPool(const ControlPath& m, const ViewFormat& f) const {
    const int width = digitCount(static_cast<std::uint32_t>(m.constantPoolWords), f.addressRadix);
    int longest = 0;
    for (const Symbol& c : m.constants) {
        longest = std::max(longest, nameLength(c.name));
    }
    for (const Method& method : m.methods) {
        longest = std::max(longest, nameLength(method.name));
    }
    const int nameWidth = longest + 1;

    QStringList lines; // bottom line first; reversed at the end
    for (const Symbol& c : m.constants) {
        lines.append(addressText(static_cast<std::uint32_t>(c.index), f, width) +
                     QStringLiteral(": ") + text(padRight(c.name, nameWidth)) +
                     QStringLiteral(" = ") + valueText(c.value, f));
    }
    int position = 0;
    for (const Method& method : m.methods) {
        const auto index = static_cast<std::uint32_t>(m.constants.size() + position);
        lines.append(addressText(index, f, width) + QStringLiteral(": ") +
                     text(padRight(method.name, nameWidth)) + QStringLiteral(" : ") +
                     valueText(word(m, index), f));
        ++position;
    }
    while (lines.size() < 13) {
        lines.append(QString());
    }
    std::reverse(lines.begin(), lines.end());
    return lines;
}

QStringList MachineViews::methodArea(const ControlPath& m, const ViewFormat& f) const {
    const auto size = static_cast<std::uint32_t>(std::min<std::size_t>(
        static_cast<std::size_t>(std::max(0, m.methodAreaSize)), m.methodArea.size()));
    const int width = digitCount(static_cast<std::uint32_t>(m.methodAreaSize), f.addressRadix);
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(size));
    int pending = 0;
    for (std::uint32_t i = 0; i < size; ++i) {
        QString line = addressText(i, f, width) + QStringLiteral(": ");
        if (i >= 3) {
            const std::uint8_t byte = m.methodArea[i];
            const QString value = valueText(byte, f);
            if (f.rawMethodArea) {
                line += value;
            } else if (pending > 0) {
                line += value;
                --pending;
            } else if (const char* name = mnemonic(*m.instructionSet, byte, &pending)) {
                line += QString::fromLatin1(name);
            } else {
                line += value;
                pending = 3;
            }
        }
        lines.append(line);
    }
    return lines;
}

QStringList MachineViews::stack(const ControlPath& m, const ViewFormat& f) const {
    const int width = digitCount(static_cast<std::uint32_t>(m.SP()), f.addressRadix);
    const auto lv = static_cast<std::uint32_t>(m.LV());
    QStringList lines;
    if (lv <= kStackBase) {
        return lines;
    }
    const std::uint32_t first = std::max(kStackBase, lv - std::min(lv, kMaxStackLines));
    for (std::uint32_t i = lv; i-- > first;) {
        lines.append(addressText(i, f, width) + QStringLiteral(": ") + valueText(word(m, i), f));
    }
    return lines;
}

QStringList MachineViews::frame(const ControlPath& m, const ViewFormat& f) {
    const int width = digitCount(static_cast<std::uint32_t>(m.SP()), f.addressRadix);
    if (!m_frameStarted) {
        framePC = m.PC();
        m_frameStarted = true;
    }
    const bool afterHalt = byteBefore(m) == opcode::HALT;
    if (m.MPC == memory_map::kMainLoop && !afterHalt) {
        framePC = m.PC();
        const Method* current = methodOwning(m, static_cast<std::uint32_t>(m.PC()));
        frameLocals = current != nullptr ? current->variables.size() : 0;
    }
    if (afterHalt) {
        Method probe;
        probe.name = "main";
        const Method* main = m.methods.find(probe);
        const Method* owner = nullptr;
        if (main != nullptr) {
            const auto poolIndex = static_cast<std::uint32_t>(m.constants.size() + main->number);
            const auto start = static_cast<std::uint32_t>(word(m, poolIndex));
            owner = methodOwning(m, start + 4U);
        }
        frameLocals = owner != nullptr ? owner->variables.size() : 0;
    }

    const auto lv = static_cast<std::uint32_t>(m.LV());
    const auto sp = static_cast<std::uint32_t>(m.SP());
    const Method* named = methodOwning(m, static_cast<std::uint32_t>(framePC));
    QStringList lines; // bottom line first; reversed at the end
    auto plainLine = [&](std::uint32_t a) {
        return addressText(a, f, width) + QStringLiteral(": ") + valueText(word(m, a), f);
    };

    if (named == nullptr) {
        // No method to take names from: the frame words without annotation.
        const std::uint32_t count = sp >= lv ? std::min(sp - lv + 1U, kMaxStackLines) : 1U;
        for (std::uint32_t k = 0; k < count; ++k) {
            lines.append(plainLine(lv + k));
        }
    } else {
        std::vector<std::string> names;
        for (const Symbol& v : named->variables) {
            if (static_cast<int>(names.size()) >= frameLocals) {
                break;
            }
            names.push_back(v.name);
        }
        names.resize(static_cast<std::size_t>(std::max(0, frameLocals)));
        int nameWidth = 8;
        for (const std::string& name : names) {
            nameWidth = std::max(nameWidth, nameLength(name));
        }
        auto field = [&](const std::string& name) { return text(padRight(name, nameWidth)); };

        lines.append(
            addressText(lv, f, width) + QStringLiteral(": ") +
            field(QCoreApplication::translate("tessaro::MachineViews", "Link Ptr").toStdString()) +
            QStringLiteral(" : ") + valueText(word(m, lv), f));
        for (int k = 0; k < frameLocals && static_cast<std::uint32_t>(k) < kMaxStackLines; ++k) {
            const std::uint32_t a = lv + static_cast<std::uint32_t>(k) + 1U;
            lines.append(addressText(a, f, width) + QStringLiteral(": ") +
                         field(names[static_cast<std::size_t>(k)]) + QStringLiteral(" = ") +
                         valueText(word(m, a), f));
        }
        const std::uint32_t above = lv + static_cast<std::uint32_t>(frameLocals) + 1U;
        if (sp >= above) {
            const std::uint32_t count = std::min(sp - above + 1U, kMaxStackLines);
            for (std::uint32_t k = 0; k < count; ++k) {
                const std::uint32_t a = above + k;
                QString line = addressText(a, f, width) + QStringLiteral(": ");
                if (k == 0) {
                    line += field(QCoreApplication::translate("tessaro::MachineViews", "PC PREC")
                                      .toStdString()) +
                            QStringLiteral(" : ");
                } else if (k == 1) {
                    line += field(QCoreApplication::translate("tessaro::MachineViews", "LV PREC")
                                      .toStdString()) +
                            QStringLiteral(" : ");
                }
                lines.append(line + valueText(word(m, a), f));
            }
        }
    }
    std::reverse(lines.begin(), lines.end());
    return lines;
}

QString MachineViews::output(const ControlPath& m) {
    QString out;
    for (std::int32_t a = memory_map::kFirstOutputWord; a <= memory_map::kLastOutputWord; ++a) {
        const auto code = static_cast<std::uint8_t>(word(m, wordKey(a)) & 0xFF);
        if (code == 0) {
            break;
        }
        out.append(QChar(code));
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
    return text(decimalText(word(m, wordKey(memory_map::kInputWord))));
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
