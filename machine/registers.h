#pragma once

#include <array>
#include <cstdint>
#include <string_view>

/// The Mic-1's registers: their names, the C-field bit that writes each one and the B codes
/// that put each one on the B bus. The micro-assembler, the datapath and the views read them
/// from here.
namespace tessaro {

/// Register indexes, in the order of the machine's register file.
enum RegisterIndex : int {
    kMAR = 0,
    kMDR = 1,
    kPC = 2,
    kSP = 3,
    kLV = 4,
    kCPP = 5,
    kTOS = 6,
    kOPC = 7,
    kH = 8,
    kMBR = 9
};

namespace register_file {

inline constexpr int kCount = 10;

/// One register: its name and the C-field bit that writes it (-1: none, MBR is written by
/// fetches only).
struct Register {
    std::string_view name;
    int cBit;
};

inline constexpr std::array<Register, kCount> kRegisters{{
    {"MAR", 0},
    {"MDR", 1},
    {"PC", 2},
    {"SP", 3},
    {"LV", 4},
    {"CPP", 5},
    {"TOS", 6},
    {"OPC", 7},
    {"H", 8},
    {"MBR", -1},
}};

/// Number of C-field bits, one per writable register.
inline constexpr int kCBits = 9;

/// A B code the micro-assembler names: what it puts on the B bus.
struct BSource {
    std::string_view name;
    std::uint32_t code;
    RegisterIndex reg;
};

/// The B codes a microprogram can name. The datapath itself reads codes 0 to 9 as the register
/// of that index and code 10 as MBR sign-extended; every other code gives 0.
inline constexpr auto kBSources = std::to_array<BSource>({
    {"MDR", 1, kMDR},
    {"PC", 2, kPC},
    {"SP", 3, kSP},
    {"LV", 4, kLV},
    {"CPP", 5, kCPP},
    {"TOS", 6, kTOS},
    {"OPC", 7, kOPC},
    {"MBRU", 9, kMBR},
    {"MBR", 10, kMBR},
});

/// The B code that puts MBR's byte sign-extended on the bus; codes below it read the register
/// of their index.
inline constexpr std::uint32_t kBSignedMbr = 10;

/// The named B source of code, or nullptr (codes 0, 8 and 11 to 15).
constexpr const BSource* bSourceOf(std::uint32_t code) {
    for (const BSource& source : kBSources) {
        if (source.code == code) {
            return &source;
        }
    }
    return nullptr;
}

/// The register named name, or nullptr.
constexpr const Register* registerNamed(std::string_view name) {
    for (const Register& reg : kRegisters) {
        if (reg.name == name) {
            return &reg;
        }
    }
    return nullptr;
}

/// The B source named name, or nullptr.
constexpr const BSource* bSourceNamed(std::string_view name) {
    for (const BSource& source : kBSources) {
        if (source.name == name) {
            return &source;
        }
    }
    return nullptr;
}

/// The C-field bit of a register index, -1 for none.
constexpr int cBitOf(int reg) {
    return reg >= 0 && reg < kCount ? kRegisters[static_cast<std::size_t>(reg)].cBit : -1;
}

/// The register written by C-field bit, -1 when out of range.
constexpr int registerOfCBit(int bit) {
    for (int r = 0; r < kCount; ++r) {
        if (kRegisters[static_cast<std::size_t>(r)].cBit == bit && bit >= 0) {
            return r;
        }
    }
    return -1;
}

} // namespace register_file
} // namespace tessaro
