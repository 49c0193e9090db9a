#include "machine/machine_snapshot.h"

#include <algorithm>
#include <iterator>

namespace tessaro {

MachineSnapshot::MachineSnapshot(const ControlPath& machine)
    : m_a(machine.A), m_b(machine.B), m_c(machine.C), m_n(machine.N), m_z(machine.Z),
      m_aluFunction(machine.aluFunction), m_shiftCode(machine.shiftCode),
      m_readLatch(machine.readLatch), m_fetchLatch(machine.fetchLatch), m_mir(machine.MIR),
      m_pendingMem(machine.pendingMem), m_mpc(machine.MPC), m_lastMpc(machine.lastMPC),
      m_microCount(machine.microCount), m_currentMic(machine.currentMic), m_counts(machine.counts) {
    std::copy(std::begin(machine.registers), std::end(machine.registers), m_registers);
}

void MachineSnapshot::restoreInto(ControlPath& machine) const {
    machine.A = m_a;
    machine.B = m_b;
    machine.C = m_c;
    machine.N = m_n;
    machine.Z = m_z;
    machine.aluFunction = m_aluFunction;
    machine.shiftCode = m_shiftCode;
    std::copy(std::begin(m_registers), std::end(m_registers), machine.registers);
    machine.readLatch = m_readLatch;
    machine.fetchLatch = m_fetchLatch;
    machine.MIR = m_mir;
    machine.pendingMem = m_pendingMem;
    machine.MPC = m_mpc;
    machine.lastMPC = m_lastMpc;
    machine.microCount = m_microCount;
    machine.currentMic = m_currentMic;
    machine.counts = m_counts;
}

std::size_t MachineSnapshot::bytes() const {
    return sizeof(*this) + m_currentMic.text.capacity();
}

} // namespace tessaro
