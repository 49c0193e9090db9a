#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace tessaro {

/// Writes small IJVM programs that exercise one instruction: its operands across their whole
/// range (signed and unsigned bytes, indexes past 127 and past 255, extreme words), branches
/// taken and not taken, forwards and backwards, near and far, calls with parameters and
/// locals, IN and OUT. The first programs of an instruction are the smallest, so that a fault
/// is first met in a program a student can read at a glance.
class CheckProgramWriter {
public:
    /// A writer whose choices all follow from seed.
    explicit CheckProgramWriter(std::uint32_t seed) : m_random(seed) {}

    /// The source of program number serial (from 0) for the instruction with this opcode.
    std::string write(std::uint8_t opcode, int serial);

private:
    struct Method {
        int params = 0;
        int locals = 0;
        std::string body;
    };

    int pick(int low, int high);
    bool chance(int percent);
    std::int32_t value();
    std::string label();
    std::string constant(std::int32_t v);
    void emit(const std::string& line);
    void push(std::int32_t v);
    void pushByte(std::int32_t v);
    int byteIndex();
    int wideIndex();
    std::string local(int index);
    void padding();
    void neverRun();
    void exercise(std::uint8_t opcode);
    void branch(const std::string& mnemonic, bool twoOperands);
    void call(bool nested);
    std::string methodText(int index);

    std::mt19937 m_random;
    int m_serial = 0;
    std::string m_body;
    std::vector<std::int32_t> m_constants;
    std::vector<Method> m_methods;
    int m_locals = 0; // locals main declares (at least the highest index used, plus one)
    int m_labels = 0;
};

} // namespace tessaro
