#pragma once

#include "ijvm/instruction_set.h"
#include "machine/memory_map.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tessaro {

/// A direct IJVM interpreter written from the instruction set's meaning, with no micro-
/// instructions: the yardstick the microprogrammed machine is compared with. It uses the
/// machine's conventions (stack from word 2000, PC at the next opcode, the frame layout with
/// the link pointer at LV, output words -5 .. -1, input word -6).
class ReferenceIjvm {
public:
    /// Word address -> value of every word written so far (an absent word reads 0).
    using Words = std::unordered_map<std::uint32_t, std::int32_t>;

    /// Takes the assembled image and performs the start-up call of main at byte 0. An
    /// instruction of instructions that is not built in is carried out by its stack effect
    /// (one that divides by zero stops the machine as ERR does); the set must outlive this.
    ReferenceIjvm(std::vector<std::uint8_t> methodArea, const std::vector<std::int32_t>& pool,
                  const InstructionSet* instructions = nullptr);

    /// Executes the instruction at PC. False once HALT or ERR has been executed, or for a
    /// byte that is no opcode (then nothing changes).
    bool step();

    /// The word at address (0 when never written).
    std::int32_t word(std::int32_t address) const;
    /// Writes the word at address (the input word before an IN, for instance).
    void setWord(std::int32_t address, std::int32_t value);
    /// Every word written so far.
    const Words& words() const { return m_memory; }
    /// The byte of the method area at address (0 outside it).
    std::uint8_t byte(std::int32_t address) const;

    std::int32_t PC = 0;                      ///< address of the next opcode
    std::int32_t SP = memory_map::kStackBase; ///< address of the top of the stack
    std::int32_t LV = memory_map::kStackBase; ///< the current frame's link pointer
    bool halted = false;                      ///< HALT or ERR has been executed
    bool stoppedByErr = false;                ///< the halt came from ERR

private:
    std::int32_t index16(std::int32_t address) const;
    void push(std::int32_t value);
    std::int32_t pop();
    void invoke(std::int32_t poolIndex, std::int32_t returnAddress);
    bool applyStackEffect(std::int32_t at);

    const InstructionSet* m_instructions = nullptr;

    std::vector<std::uint8_t> m_methodArea;
    Words m_memory;
};

} // namespace tessaro
