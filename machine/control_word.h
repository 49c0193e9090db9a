#pragma once

#include <array>
#include <cstdint>

/// The layout of a micro-instruction: the 27-bit control word (JAM, ALU, C, Mem, B from the
/// top down), the 9-bit NextAddr beside it, and the control store those addresses reach. The
/// encoder, both decoders, the views and the control-store file all read them from here.
namespace tessaro::control_word {

/// One field of the control word: its lowest bit and its width.
struct Field {
    unsigned shift;
    unsigned width;

    constexpr std::uint32_t mask() const { return (1u << width) - 1u; }
    /// The field's value, right-aligned.
    constexpr std::uint32_t of(std::uint32_t word) const { return (word >> shift) & mask(); }
    /// A value put in the field's place (bits beyond the width are dropped).
    constexpr std::uint32_t place(std::uint32_t value) const { return (value & mask()) << shift; }
};

inline constexpr Field kB{0, 4};
inline constexpr Field kMem{4, 3};
inline constexpr Field kC{7, 9};
/// The ALU byte: the six function bits, then the two shifter bits.
inline constexpr Field kAlu{16, 8};
inline constexpr Field kAluFunction{16, 6};
inline constexpr Field kShift{22, 2};
inline constexpr Field kJam{24, 3};

/// Bits of the control word (NextAddr is kept beside it).
inline constexpr unsigned kWordBits = kJam.shift + kJam.width;
inline constexpr std::uint32_t kWordMask = (1u << kWordBits) - 1u;

/// The control store: 512 micro-addresses, reached by a 9-bit NextAddr and MPC.
inline constexpr unsigned kAddressBits = 9;
inline constexpr std::uint32_t kStoreSize = 1u << kAddressBits;
inline constexpr std::uint32_t kAddressMask = kStoreSize - 1u;
/// The bit JAMZ and JAMN set in the next address: the upper half of the store.
inline constexpr std::uint32_t kHighHalf = kStoreSize >> 1;

/// A micro-instruction as shown: NextAddr, then the control word, most significant bit first.
inline constexpr unsigned kShownBits = kAddressBits + kWordBits;

/// Bits of the Mem field.
inline constexpr std::uint32_t kMemFetch = 1u;
inline constexpr std::uint32_t kMemRead = 2u;
inline constexpr std::uint32_t kMemWrite = 4u;
/// Bits of the JAM field.
inline constexpr std::uint32_t kJamZ = 1u;
inline constexpr std::uint32_t kJamN = 2u;
inline constexpr std::uint32_t kJmpC = 4u;
/// Shifter codes (the shift field).
inline constexpr std::uint32_t kShiftSra1 = 1u;
inline constexpr std::uint32_t kShiftSll8 = 2u;

/// Fields in the order a micro-instruction is shown, NextAddr first.
enum class ShownField { NextAddr, Jam, Alu, C, Mem, B };
inline constexpr int kShownFieldCount = 6;

/// Index, counted from the most significant shown bit, of the first bit of each shown field,
/// with kShownBits at the end.
inline constexpr std::array<int, kShownFieldCount + 1> kShownFieldStart{
    0,
    static_cast<int>(kShownBits - kJam.shift - kJam.width),
    static_cast<int>(kShownBits - kAlu.shift - kAlu.width),
    static_cast<int>(kShownBits - kC.shift - kC.width),
    static_cast<int>(kShownBits - kMem.shift - kMem.width),
    static_cast<int>(kShownBits - kB.shift - kB.width),
    static_cast<int>(kShownBits)};

} // namespace tessaro::control_word
