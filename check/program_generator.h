#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace tessaro {

/// Writes random valid IJVM programs: arithmetic and stack operations, locals (also through
/// the WIDE forms), constants, forward branches over statements, counted loops with backward
/// branches, calls of earlier methods with parameters, IN and OUT. Every program ends: loops
/// run a few times and a method only calls methods declared before it.
class ProgramGenerator {
public:
    /// A generator whose programs all follow from seed.
    explicit ProgramGenerator(std::uint32_t seed) : m_random(seed) {}

    /// The source text of a new program.
    std::string next();

private:
    struct MethodShape {
        int params = 0;
        int locals = 0;
    };

    int pick(int low, int high); // uniform in [low, high]
    bool chance(int percent);
    void statement(int depth);
    void expression(int depth);
    void emit(const std::string& line);
    std::string local();
    std::string label();

    std::mt19937 m_random;
    std::string m_text;
    MethodShape m_shapes[4];
    int m_method = 0; // index of the method being written (its callees are below it)
    int m_params = 0; // of the method being written
    int m_locals = 0;
    int m_loopDepth = 0;
    int m_labels = 0;
    int m_constants = 0;
    int m_budget = 0; // instructions still allowed in the current body
};

} // namespace tessaro
