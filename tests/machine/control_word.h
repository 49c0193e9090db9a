#pragma once

// Micro-instructions built by hand, for tests that drive the machine below the micro-assembler.

#include <cstdint>
#include <string>

namespace tessaro::testing_support {

// Control-word fields, named as the micro-assembler's programmer thinks of them.
namespace bus {
constexpr std::uint32_t MAR = 0, MDR = 1, PC = 2, SP = 3, LV = 4, CPP = 5, TOS = 6, OPC = 7, H = 8,
                        MBRU = 9, MBR = 10;
} // namespace bus
namespace to {
constexpr std::uint32_t MAR = 1, MDR = 2, PC = 4, SP = 8, LV = 16, CPP = 32, TOS = 64, OPC = 128,
                        H = 256;
} // namespace to
namespace mem {
constexpr std::uint32_t none = 0, fetch = 1, read = 2, write = 4;
} // namespace mem
namespace alu {
constexpr std::uint32_t A = 24, B = 20, notA = 26, notB = 44, AplusB = 60, AplusBplus1 = 61,
                        Aplus1 = 57, Bplus1 = 53, BminusA = 63, Bminus1 = 55, minusA = 59,
                        AandB = 12, AorB = 28, zero = 16, one = 17, minusOne = 18, SRA1 = 0x40,
                        SLL8 = 0x80;
} // namespace alu
namespace jam {
constexpr std::uint32_t none = 0, Z = 1, N = 2, MBR = 4;
} // namespace jam

/// A 27-bit control word from its fields.
constexpr std::uint32_t controlWord(std::uint32_t b, std::uint32_t memBits, std::uint32_t c,
                                    std::uint32_t aluByte, std::uint32_t jamBits = 0) {
    return b | (memBits << 4) | (c << 7) | (aluByte << 16) | (jamBits << 24);
}

/// One control-store file line as the micro-assembler writes it.
inline std::string record(int address, int nextAddr, std::uint32_t word,
                          const std::string& comment = "label: X;") {
    return std::to_string(address) + " " + std::to_string(nextAddr) + " " + std::to_string(word) +
           "\t" + comment + "\n";
}

} // namespace tessaro::testing_support
