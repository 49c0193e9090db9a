#pragma once

#include "machine/control_path.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tessaro::testing {

/// Everything of a machine that execution may change, read through its public members, for
/// comparing two machines field by field.
struct MachineState {
    std::vector<std::int64_t> scalars; // registers, latches, buses, flags, MPC, MIR, counts
    std::string currentText;           // listing text of the entry executed last
    std::vector<std::pair<std::uint32_t, std::int32_t>> words; // ascending addresses
    std::vector<std::int64_t> counts; // the non-zero counts with their places, then the
                                      // instruction under way

    MachineState() = default;
    explicit MachineState(const ControlPath& machine);
    friend bool operator==(const MachineState&, const MachineState&) = default;
};

/// Where MPC lies among MachineState::scalars.
inline constexpr std::size_t kMpcScalar = 11;

/// The first difference between two states, for a failure message ("" when equal).
std::string firstDifference(const MachineState& expected, const MachineState& actual);

/// The bundled microprogram's text with its one occurrence of from replaced by to.
std::string editedMicroprogram(const std::string& from, const std::string& to);

/// The control store of a microprogram text that translates without problems.
ControlStoreRecords translatedStore(const std::string& microprogram);

} // namespace tessaro::testing
