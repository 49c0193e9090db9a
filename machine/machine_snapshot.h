#pragma once

#include "machine/control_path.h"

#include <cstddef>
#include <cstdint>

namespace tessaro {

/// Everything a program's execution changes in a ControlPath except the word memory, copied
/// out so that the machine can be put back exactly: registers, latches, buses, flags, MPC, MIR,
/// the entry executed last and the counters. The memory is put back by undoing its changes
/// (MemoryUndoLog), so that a copy costs the same on a memory of millions of words. The
/// program image, the control store and the breakpoints are not part of it: execution never
/// changes them.
class MachineSnapshot {
public:
    /// Copies the state of machine.
    explicit MachineSnapshot(const ControlPath& machine);

    /// Puts the copied state back into machine.
    void restoreInto(ControlPath& machine) const;

    /// The machine's micro-instruction count when the copy was taken.
    std::int64_t microCount() const { return m_microCount; }
    /// Roughly what the copy occupies, in bytes.
    std::size_t bytes() const;

private:
    // Every member is set from the machine: a snapshot is never empty.
    std::int32_t m_a, m_b, m_c;
    std::uint8_t m_n, m_z, m_aluFunction, m_shiftCode;
    std::int32_t m_registers[register_file::kCount];
    std::int32_t m_readLatch, m_fetchLatch;
    std::uint32_t m_mir;
    std::uint8_t m_pendingMem;
    std::int32_t m_mpc, m_lastMpc;
    std::int64_t m_microCount;
    Mic m_currentMic;
    ExecutionCounts m_counts;
};

} // namespace tessaro
