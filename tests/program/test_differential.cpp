// The microprogrammed machine against the direct interpreter, instruction boundary by
// instruction boundary, on generated programs.

#include "check/program_generator.h"
#include "check/reference_ijvm.h"
#include "ijvm/instruction_set.h"
#include "tests/support/machine.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace tessaro::testing {
namespace {

constexpr int kPrograms = 2500;
constexpr int kMaxInstructions = 4000;

// The first difference between the two machines, or an empty text.
std::string difference(const ControlPath& machine, const ReferenceIjvm& reference) {
    const std::int32_t mpc = reference.halted ? ControlPath::kHaltAddress : 0;
    const std::tuple<const char*, std::int32_t, std::int32_t> scalars[] = {
        {"MPC", machine.MPC, mpc},
        {"PC", machine.PC(), reference.PC},
        {"SP", machine.SP(), reference.SP},
        {"LV", machine.LV(), reference.LV},
        {"TOS", machine.TOS(), reference.word(reference.SP)}};
    for (const auto& [name, got, expected] : scalars) {
        if (got != expected) {
            return std::string(name) + " " + std::to_string(got) + ", expected " +
                   std::to_string(expected);
        }
    }
    // The stack, then the input and output words -6 to -1.
    for (std::int32_t a = 2000; a <= reference.SP + 6; ++a) {
        const std::int32_t at = a <= reference.SP ? a : a - reference.SP - 7;
        if (peekWord(machine, at) != reference.word(at)) {
            return "word " + std::to_string(at) + " is " + std::to_string(peekWord(machine, at)) +
                   ", expected " + std::to_string(reference.word(at));
        }
    }
    return "";
}

TEST(Differential, GeneratedProgramsAgreeWithTheDirectInterpreter) {
    ProgramGenerator generator(20261206);
    std::mt19937 inputs(7);
    int halted = 0;
    for (int n = 0; n < kPrograms; ++n) {
        const std::string source = generator.next();
        auto machine = makeMachine();
        loadSource(*machine, source);
        ASSERT_TRUE(machine->errors.empty())
            << machine->errors.begin()->message << "\nin program " << n << ":\n"
            << source;
        ReferenceIjvm reference(methodAreaOf(*machine), poolOf(*machine));
        ASSERT_EQ(difference(*machine, reference), "") << "after loading program " << n << ":\n"
                                                       << source;
        for (int i = 0; i < kMaxInstructions && !reference.halted; ++i) {
            const std::int32_t pc = reference.PC;
            if (machine->methodArea[static_cast<std::size_t>(pc)] == opcode::IN) {
                const std::int32_t value = static_cast<std::int32_t>(inputs());
                reference.setWord(-6, value);
                machine->wordMemory[static_cast<std::uint32_t>(-6)] = value;
            }
            reference.step();
            ASSERT_TRUE(machine->ijvmStepBounded(100000))
                << "instruction at " << pc << " never ended; program " << n << ":\n"
                << source;
            const std::string diff = difference(*machine, reference);
            ASSERT_EQ(diff, "") << "after the instruction at " << pc << " (step " << i
                                << ") of program " << n << ":\n"
                                << source;
        }
        halted += reference.halted ? 1 : 0;
    }
    // Nearly every generated program must reach its HALT, or the comparison proves little.
    EXPECT_GT(halted, kPrograms * 9 / 10);
}

// The generator must really produce what the comparison is meant to cover: every instruction
// but ERR, as a whole mnemonic after the indentation (so that IN is not found in INVOKEVIRTUAL).
TEST(Differential, GeneratedProgramsUseEveryKindOfInstruction) {
    ProgramGenerator generator(20261206);
    std::string all;
    for (int n = 0; n < 200; ++n) {
        all += generator.next();
    }
    for (const Instruction& instruction : builtinInstructionSet().instructions()) {
        const std::string word = "\n    " + std::string(instruction.display);
        EXPECT_EQ(all.find(word + "\n") != std::string::npos ||
                      all.find(word + " ") != std::string::npos,
                  instruction.opcode != opcode::ERR)
            << word;
    }
}

} // namespace
} // namespace tessaro::testing
