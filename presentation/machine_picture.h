#pragma once

#include "machine/machine_session.h"
#include "machine/registers.h"

#include <array>
#include <cstdint>
#include <string>

namespace tessaro {

class ControlPath;

/// What the datapath picture and the register panel show of the micro-instruction executed
/// last, for the sub-cycle phase shown: every front end draws from this, none decodes the
/// control word itself.
struct MachinePicture {
    /// The four quarters, in the order a sub-cycle reveals them; a plain step shows them all.
    int phase = static_cast<int>(SubCyclePhase::CBus);

    std::uint32_t word = 0;     ///< control word of the micro-instruction executed last
    std::uint32_t nextAddr = 0; ///< its NextAddr
    std::string mirBits;        ///< the 36 MIR bits: NextAddr, JAM, ALU, C, Mem, B

    int bCode = 0;           ///< the B field
    int bSource = -1;        ///< the register on the B bus (a RegisterIndex), or -1
    std::uint32_t cBits = 0; ///< the C field: bit i set writes register i (a RegisterIndex)
    bool read = false, write = false, fetch = false;
    bool jmpc = false, jamn = false, jamz = false;
    bool sll8 = false, sra1 = false;
    bool n = false, z = false;

    std::int32_t aBus = 0, bBus = 0, cBus = 0;
    std::string aluText; ///< "A+B = 7" style: the ALU function and its result

    /// Whether the phase shown reveals what comes at or after phase p.
    bool shows(SubCyclePhase p) const { return phase >= static_cast<int>(p); }
};

/// The register that B code puts on the B bus, or -1 for a code that selects none.
int bSourceOf(int bCode);

/// The picture of the machine after the micro-instruction it executed last, at phase shown.
MachinePicture machinePicture(const ControlPath& machine, SubCyclePhase shown);

/// The register names in RegisterIndex order.
const std::array<const char*, register_file::kCount>& registerNames();

} // namespace tessaro
