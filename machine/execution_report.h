#pragma once

#include "ijvm/instruction_set.h"

#include "machine/execution_counts.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaro {

/// One opcode's share of a run.
struct OpcodeFigures {
    std::uint8_t opcode{};
    std::string name;     ///< as written in a source ("WIDE ILOAD"), or "0x.." when unknown
    std::int64_t runs{};  ///< dispatches from the main loop
    std::int64_t micro{}; ///< micro-instructions of those instructions
};

/// One micro-address's share of a run.
struct AddressFigures {
    std::uint32_t address{};
    std::int64_t runs{};
};

/// The opcodes that ran, the ones that took most micro-instructions first (then by opcode).
/// microCount is the machine's count, which ends the instruction under way.
/// Opcodes are named by instructions.
std::vector<OpcodeFigures>
opcodeFigures(const ExecutionCounts& counts, std::int64_t microCount,
              const InstructionSet& instructions = builtinInstructionSet());

/// The at most limit micro-addresses that ran most often, most often first (then by address).
std::vector<AddressFigures> busiestAddresses(const ExecutionCounts& counts, std::size_t limit);

/// The opcode table as text: a heading, then one line per opcode of opcodeFigures.
std::string opcodeTable(const ExecutionCounts& counts, std::int64_t microCount,
                        const InstructionSet& instructions = builtinInstructionSet());

} // namespace tessaro
