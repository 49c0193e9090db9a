#include "presentation/machine_picture.h"

#include "core/number_text.h"
#include "machine/alu.h"
#include "machine/control_path.h"
#include "machine/control_word.h"
#include "machine/registers.h"

namespace tessaro {

namespace {

bool has(const control_word::Field& field, std::uint32_t word, std::uint32_t bits) {
    return (field.of(word) & bits) != 0;
}

} // namespace

int bSourceOf(int bCode) {
    const register_file::BSource* source =
        bCode >= 0 ? register_file::bSourceOf(static_cast<std::uint32_t>(bCode)) : nullptr;
    return source != nullptr ? source->reg : -1;
}

const std::array<const char*, register_file::kCount>& registerNames() {
    static const std::array<const char*, register_file::kCount> kNames = [] {
        std::array<const char*, register_file::kCount> names{};
        for (std::size_t r = 0; r < names.size(); ++r) {
            names[r] = register_file::kRegisters[r].name.data(); // literals: NUL-terminated
        }
        return names;
    }();
    return kNames;
}

MachinePicture machinePicture(const ControlPath& machine, SubCyclePhase shown) {
    MachinePicture p;
    p.phase = static_cast<int>(shown);
    // Read with peek so that showing never adds entries to the control store.
    const Mic* mic = machine.controlStore.peek(static_cast<std::uint32_t>(machine.lastMPC));
    if (mic != nullptr) {
        p.word = static_cast<std::uint32_t>(mic->word) & control_word::kWordMask;
        p.nextAddr = static_cast<std::uint32_t>(mic->NextAddr) & control_word::kAddressMask;
    }
    p.mirBits = digitString(p.nextAddr, 2, control_word::kAddressBits) +
                digitString(p.word, 2, control_word::kWordBits);
    p.bCode = static_cast<int>(control_word::kB.of(p.word));
    p.bSource = bSourceOf(p.bCode);
    p.cBits = control_word::kC.of(p.word);
    p.fetch = has(control_word::kMem, p.word, control_word::kMemFetch);
    p.read = has(control_word::kMem, p.word, control_word::kMemRead);
    p.write = has(control_word::kMem, p.word, control_word::kMemWrite);
    p.sra1 = has(control_word::kShift, p.word, control_word::kShiftSra1);
    p.sll8 = has(control_word::kShift, p.word, control_word::kShiftSll8);
    p.jamz = has(control_word::kJam, p.word, control_word::kJamZ);
    p.jamn = has(control_word::kJam, p.word, control_word::kJamN);
    p.jmpc = has(control_word::kJam, p.word, control_word::kJmpC);
    p.n = machine.N == 1;
    p.z = machine.Z == 1;
    p.aBus = machine.A;
    p.bBus = machine.B;
    p.cBus = machine.C;
    const std::string_view display = aluFunctionOf(machine.aluFunction).display;
    p.aluText =
        (display.empty() ? std::string() : std::string(display) + " = ") + decimalText(machine.C);
    return p;
}

} // namespace tessaro
