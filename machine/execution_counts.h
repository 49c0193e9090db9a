#pragma once

#include "machine/control_word.h"

#include <array>
#include <cstdint>

namespace tessaro {

/// Where the time of a run goes: how often each micro-address ran, and for each opcode how
/// often the main loop dispatched it and how many micro-instructions its instructions took.
/// An instruction's micro-instructions run from the main loop's dispatch (included) up to the
/// next return to the main loop or to the HALT address (excluded). The step loops add to it in
/// place; everything else only reads it.
struct ExecutionCounts {
    static constexpr std::uint32_t kAddresses = control_word::kStoreSize;
    static constexpr std::uint32_t kOpcodes = 256;

    std::array<std::int64_t, kAddresses> perAddress{}; ///< runs of each micro-address
    std::array<std::int64_t, kOpcodes> opcodeRuns{};   ///< dispatches of each opcode
    /// Micro-instructions of the finished instructions of each opcode.
    std::array<std::int64_t, kOpcodes> opcodeMicro{};
    std::int32_t currentOpcode = -1; ///< opcode of the instruction under way, -1 before any
    std::int64_t currentStart = 0;   ///< micro-instruction count when it was dispatched

    /// Forgets everything.
    void clear() { *this = ExecutionCounts{}; }

    /// The main loop dispatches opcode; countBefore is the machine's micro-instruction count
    /// before the dispatching micro-instruction. The instruction under way ends there.
    void dispatch(std::uint32_t opcode, std::int64_t countBefore) {
        if (currentOpcode >= 0) {
            opcodeMicro[static_cast<std::uint32_t>(currentOpcode)] += countBefore - currentStart;
        }
        ++opcodeRuns[opcode];
        currentOpcode = static_cast<std::int32_t>(opcode);
        currentStart = countBefore;
    }

    /// Micro-instructions of opcode's instructions, the one under way included, when the
    /// machine's count is microCount.
    std::int64_t microOf(std::uint32_t opcode, std::int64_t microCount) const {
        std::int64_t total = opcodeMicro[opcode];
        if (currentOpcode == static_cast<std::int32_t>(opcode)) {
            total += microCount - currentStart;
        }
        return total;
    }

    /// Micro-instructions counted over all addresses.
    std::int64_t microInstructions() const {
        std::int64_t total = 0;
        for (const std::int64_t n : perAddress) {
            total += n;
        }
        return total;
    }

    /// IJVM instructions dispatched.
    std::int64_t instructions() const {
        std::int64_t total = 0;
        for (const std::int64_t n : opcodeRuns) {
            total += n;
        }
        return total;
    }

    friend bool operator==(const ExecutionCounts&, const ExecutionCounts&) = default;
};

} // namespace tessaro
