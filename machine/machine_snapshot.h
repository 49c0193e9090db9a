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
};

} // namespace tessaro
