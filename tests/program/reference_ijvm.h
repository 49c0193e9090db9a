#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace tessaro::testing {

/// A direct IJVM interpreter written from the instruction set's meaning, with no micro-
/// instructions: the yardstick the microprogrammed machine is compared with. It uses the
/// machine's conventions (stack from word 2000, PC at the next opcode, the frame layout with
/// the link pointer at LV, output words -5 .. -1, input word -6).
class ReferenceIjvm {
public:
    /// Takes the assembled image and performs the start-up call of main at byte 0.
    ReferenceIjvm(std::vector<std::uint8_t> methodArea, const std::vector<std::int32_t>& pool);

    /// Executes the instruction at PC. False once HALT or ERR has been executed, or for a
    /// byte that is no opcode (then nothing changes).
    bool step();

    std::int32_t word(std::int32_t address) const;
    void setWord(std::int32_t address, std::int32_t value);

    std::int32_t PC = 0;
    std::int32_t SP = 2000;
    std::int32_t LV = 2000;
    bool halted = false;
    bool stoppedByErr = false;
    std::string output; ///< low bytes of the words written by OUT

private:
    std::uint8_t byte(std::int32_t address) const;
    std::int32_t index16(std::int32_t address) const;
    void push(std::int32_t value);
    std::int32_t pop();
    void invoke(std::int32_t poolIndex, std::int32_t returnAddress);

    std::vector<std::uint8_t> m_methodArea;
    std::unordered_map<std::uint32_t, std::int32_t> m_memory;
};

} // namespace tessaro::testing
