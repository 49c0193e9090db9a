#pragma once

#include "machine/control_path.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tessaro {

/// Everything a program's execution changes in a ControlPath, copied out so that the machine
/// can be put back exactly: registers, latches, buses, flags, MPC, MIR, the entry executed
/// last, every word of the word memory (with the words reads created), and the counters. The
/// program image, the control store and the breakpoints are not part of it: execution never
/// changes them.
class MachineSnapshot {
public:
    /// An empty snapshot (restoring it is not meaningful).
    MachineSnapshot() = default;
    /// Copies the state of machine.
    explicit MachineSnapshot(const ControlPath& machine);

    /// Puts the copied state back into machine.
    void restoreInto(ControlPath& machine) const;

    /// The machine's micro-instruction count when the copy was taken.
    std::int64_t microCount() const { return m_microCount; }
    /// Roughly what the copy occupies, in bytes.
    std::size_t bytes() const;

private:
    std::int32_t m_a = 0, m_b = 0, m_c = 0;
    std::uint8_t m_n = 0, m_z = 0, m_aluFunction = 0, m_shiftCode = 0;
    std::int32_t m_registers[10] = {};
    std::int32_t m_readLatch = 0, m_fetchLatch = 0;
    std::uint32_t m_mir = 0;
    std::uint8_t m_pendingMem = 0;
    std::int32_t m_mpc = 0, m_lastMpc = 0;
    std::int64_t m_microCount = 0;
    Mic m_currentMic;
    ExecutionCounts m_counts;
    // The words bucket by bucket, each bucket in its ascending order, and where each bucket
    // ends: restoring appends them in the same order, so no search is needed.
    std::vector<std::pair<std::uint32_t, std::int32_t>> m_words;
    std::vector<std::uint32_t> m_bucketEnds;
};

} // namespace tessaro
