#include "presentation/machine_texts.h"

#include "core/number_text.h"
#include "ijvm/image_layout.h"
#include "ijvm/instruction_set.h"
#include "machine/control_path.h"
#include "machine/memory_map.h"

#include <algorithm>

namespace tessaro {

namespace {

using memory_map::wordKey;

constexpr std::uint32_t kStackBase = wordKey(memory_map::kStackBase);

std::int32_t word(const ControlPath& m, std::uint32_t address) {
    const std::int32_t* value = m.wordMemory.peek(address);
    return value != nullptr ? *value : 0;
}

std::string addressText(std::uint32_t a, const ViewFormat& f, int width) {
    return radixTextPadded(static_cast<std::int32_t>(a), f.addressRadix, width);
}

std::string valueText(std::int32_t v, const ViewFormat& f) {
    return radixText(v, f.valueRadix);
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

const char* MachineTexts::mnemonic(std::uint8_t byte, int* operandBytes) {
    const Instruction* instruction = findInstruction(byte);
    if (instruction == nullptr) {
        return nullptr;
    }
    if (operandBytes != nullptr) {
        *operandBytes = instruction->size - 1;
    }
    return instruction->mnemonic;
}

std::vector<std::string> MachineTexts::constantPool(const ControlPath& m,
                                                    const ViewFormat& f) const {
    const int width = digitCount(static_cast<std::uint32_t>(m.constantPoolWords), f.addressRadix);
    int longest = 0;
    for (const Symbol& c : m.constants) {
        longest = std::max(longest, nameLength(c.name));
    }
    for (const Method& method : m.methods) {
        longest = std::max(longest, nameLength(method.name));
    }
    const int nameWidth = longest + 1;

    std::vector<std::string> lines; // bottom line first; reversed at the end
    for (const Symbol& c : m.constants) {
        lines.push_back(addressText(static_cast<std::uint32_t>(c.index), f, width) + ": " +
                        padRight(c.name, nameWidth) + " = " + valueText(c.value, f));
    }
    int position = 0;
    for (const Method& method : m.methods) {
        const auto index = static_cast<std::uint32_t>(m.constants.size() + position);
        lines.push_back(addressText(index, f, width) + ": " + padRight(method.name, nameWidth) +
                        " : " + valueText(word(m, index), f));
        ++position;
    }
    while (lines.size() < 13) {
        lines.push_back(std::string());
    }
    std::reverse(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> MachineTexts::methodArea(const ControlPath& m, const ViewFormat& f) const {
    const auto size = static_cast<std::uint32_t>(std::min<std::size_t>(
        static_cast<std::size_t>(std::max(0, m.methodAreaSize)), m.methodArea.size()));
    const int width = digitCount(static_cast<std::uint32_t>(m.methodAreaSize), f.addressRadix);
    std::vector<std::string> lines;
    lines.reserve(size);
    int pending = 0;
    for (std::uint32_t i = 0; i < size; ++i) {
        std::string line = addressText(i, f, width) + ": ";
        if (i >= static_cast<std::uint32_t>(image_layout::kPrologueBytes)) {
            const std::uint8_t byte = m.methodArea[i];
            const std::string value = valueText(byte, f);
            if (f.rawMethodArea) {
                line += value;
            } else if (pending > 0) {
                line += value;
                --pending;
            } else if (const char* name = mnemonic(byte, &pending)) {
                line += name;
            } else {
                line += value;
                pending = 3;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> MachineTexts::stack(const ControlPath& m, const ViewFormat& f) const {
    const int width = digitCount(static_cast<std::uint32_t>(m.SP()), f.addressRadix);
    const auto lv = static_cast<std::uint32_t>(m.LV());
    std::vector<std::string> lines;
    if (lv <= kStackBase) {
        return lines;
    }
    const std::uint32_t first = std::max(kStackBase, lv - std::min(lv, kMaxStackLines));
    for (std::uint32_t i = lv; i-- > first;) {
        lines.push_back(addressText(i, f, width) + ": " + valueText(word(m, i), f));
    }
    return lines;
}

std::vector<std::string> MachineTexts::frame(const ControlPath& m, const ViewFormat& f,
                                             const FrameLabels& labels) {
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
    std::vector<std::string> lines; // bottom line first; reversed at the end
    auto plainLine = [&](std::uint32_t a) {
        return addressText(a, f, width) + ": " + valueText(word(m, a), f);
    };

    if (named == nullptr) {
        // No method to take names from: the frame words without annotation.
        // The topmost words, where the program works, when there are too many to list.
        const std::uint32_t count = sp >= lv ? std::min(sp - lv + 1U, kMaxStackLines) : 1U;
        const std::uint32_t lowest = sp >= lv ? sp - count + 1U : lv;
        for (std::uint32_t k = 0; k < count; ++k) {
            lines.push_back(plainLine(lowest + k));
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
        auto field = [&](const std::string& name) { return padRight(name, nameWidth); };

        const std::uint32_t link = lv + image_layout::kLinkPointerWord;
        lines.push_back(addressText(link, f, width) + ": " + field(labels.linkPointer) + " : " +
                        valueText(word(m, link), f));
        for (int k = 0; k < frameLocals && static_cast<std::uint32_t>(k) < kMaxStackLines; ++k) {
            const std::uint32_t a =
                lv + static_cast<std::uint32_t>(image_layout::kFirstLocalWord + k);
            lines.push_back(addressText(a, f, width) + ": " +
                            field(names[static_cast<std::size_t>(k)]) + " = " +
                            valueText(word(m, a), f));
        }
        const std::uint32_t above =
            lv + static_cast<std::uint32_t>(image_layout::savedPcWord(frameLocals));
        if (sp >= above) {
            const std::uint32_t count = std::min(sp - above + 1U, kMaxStackLines);
            for (std::uint32_t i = 0; i < count; ++i) {
                const std::uint32_t a = sp - count + 1U + i;
                const std::uint32_t k = a - above;
                std::string line = addressText(a, f, width) + ": ";
                if (k == 0) { // the saved PC, then the saved LV
                    line += field(labels.previousPc) + " : ";
                } else if (k == 1) {
                    line += field(labels.previousLv) + " : ";
                }
                lines.push_back(line + valueText(word(m, a), f));
            }
        }
    }
    std::reverse(lines.begin(), lines.end());
    return lines;
}

std::string MachineTexts::output(const ControlPath& m) {
    std::string out;
    for (std::int32_t a = memory_map::kFirstOutputWord; a <= memory_map::kLastOutputWord; ++a) {
        const auto code = static_cast<std::uint8_t>(word(m, wordKey(a)) & 0xFF);
        if (code == 0) {
            break;
        }
        out.push_back(static_cast<char>(code));
    }
    return out;
}

std::int32_t MachineTexts::input(const ControlPath& m) {
    return word(m, wordKey(memory_map::kInputWord));
}

} // namespace tessaro
