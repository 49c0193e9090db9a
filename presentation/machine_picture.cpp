#include "presentation/machine_picture.h"

#include "core/number_text.h"
#include "machine/alu.h"
#include "machine/control_path.h"

namespace tessaro {

namespace {

bool bit(std::uint32_t word, int n) {
    return ((word >> n) & 1u) != 0;
}

} // namespace

int bSourceOf(int bCode) {
    static constexpr int kSourceOfCode[16] = {-1, kMDR, kPC,  kSP, kLV, kCPP, kTOS, kOPC,
                                              -1, kMBR, kMBR, -1,  -1,  -1,   -1,   -1};
    return bCode >= 0 && bCode < 16 ? kSourceOfCode[bCode] : -1;
}

const std::array<const char*, 10>& registerNames() {
    static constexpr std::array<const char*, 10> kNames{"MAR", "MDR", "PC",  "SP", "LV",
                                                        "CPP", "TOS", "OPC", "H",  "MBR"};
    return kNames;
}

MachinePicture machinePicture(const ControlPath& machine, SubCyclePhase shown) {
    MachinePicture p;
    p.phase = static_cast<int>(shown);
    // Read with peek so that showing never adds entries to the control store.
    const Mic* mic = machine.controlStore.peek(static_cast<std::uint32_t>(machine.lastMPC));
    if (mic != nullptr) {
        p.word = static_cast<std::uint32_t>(mic->word) & 0x7FFFFFFu;
        p.nextAddr = static_cast<std::uint32_t>(mic->NextAddr) & 0x1FFu;
    }
    p.mirBits = digitString(p.nextAddr, 2, 9) + digitString(p.word, 2, 27);
    p.bCode = static_cast<int>(p.word & 0xFu);
    p.bSource = bSourceOf(p.bCode);
    p.cBits = (p.word >> 7) & 0x1FFu;
    p.fetch = bit(p.word, 4);
    p.read = bit(p.word, 5);
    p.write = bit(p.word, 6);
    p.sra1 = bit(p.word, 22);
    p.sll8 = bit(p.word, 23);
    p.jamz = bit(p.word, 24);
    p.jamn = bit(p.word, 25);
    p.jmpc = bit(p.word, 26);
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
