#pragma once

#include <cstdint>

/// Where things live in the Mic-1 as this system sets it up: the word addresses of the
/// memory-mapped I/O, the stack base and the two micro-addresses the machine itself knows.
namespace tessaro::memory_map {

/// The word IN reads: the number typed into the input box.
inline constexpr std::int32_t kInputWord = -6;
/// The output window: OUT shifts words -4 .. -1 down by one and writes the newest character
/// into word -1; the window reads from -5 (oldest) to -1 (newest).
inline constexpr std::int32_t kFirstOutputWord = -5;
inline constexpr std::int32_t kLastOutputWord = -1;
/// What the output words hold after loading: blanks.
inline constexpr std::int32_t kOutputBlank = ' ';

/// The constant pool starts at word 0 (CPP after reset).
inline constexpr std::int32_t kConstantPoolBase = 0;
/// SP and LV after reset: the bottom of the stack.
inline constexpr std::int32_t kStackBase = 2000;
/// PC after reset: the main loop's first fetch then reads byte 0.
inline constexpr std::int32_t kResetPC = -1;

/// Micro-address where every IJVM instruction begins (the main loop).
inline constexpr std::int32_t kMainLoop = 0;
/// Micro-address of the HALT routine, where stepping and running stop.
inline constexpr std::int32_t kHaltAddress = 0x70;

/// Longest IJVM step, in micro-instructions, before it is given up: only a faulty
/// microprogram, one that never returns to the main loop or HALT, gets there. Stepping,
/// reset's prologue and the session's sliced steps all stop at it.
inline constexpr std::int64_t kIjvmStepBound = 20'000'000;

/// A word address as the key of the word memory.
constexpr std::uint32_t wordKey(std::int32_t address) {
    return static_cast<std::uint32_t>(address);
}

} // namespace tessaro::memory_map
