// What the microprogram costs and what loading leaves in the machine.

#include "ijvm/instruction_set.h"
#include "tests/support/machine.h"

#include <gtest/gtest.h>

#include <map>

namespace tessaro::testing {
namespace {

// Micro-instructions per IJVM instruction, the main loop's dispatch included; a branch has
// a cost when taken and one when not taken. This is the table the documentation gives.
const std::map<std::string, int> kDocumentedCounts = {
    {"NOP", 2},
    {"IADD", 4},
    {"ISUB", 4},
    {"IAND", 4},
    {"IOR", 4},
    {"DUP", 3},
    {"POP", 4},
    {"SWAP", 7},
    {"BIPUSH", 4},
    {"ILOAD", 6},
    {"ISTORE", 7},
    {"WIDE ILOAD", 8},
    {"WIDE ISTORE", 9},
    {"LDCW", 8},
    {"IINC", 7},
    {"GOTO", 7},
    {"IFLT taken", 11},
    {"IFLT not taken", 7},
    {"IFEQ taken", 11},
    {"IFEQ not taken", 7},
    {"IFICMPEQ taken", 13},
    {"IFICMPEQ not taken", 9},
    {"INVOKEVIRTUAL", 23},
    {"IRETURN", 9},
    {"OUT", 16},
    {"IN", 7},
    {"HALT", 1},
    {"ERR", 2},
};

// Runs the program instruction by instruction and records the cost of each kind. A taken
// branch is told from a branch not taken by where PC goes, so a test program must not branch
// to the very next instruction.
void measure(const std::string& source, std::map<std::string, int>& seen) {
    auto machine = makeMachine();
    loadSource(*machine, source);
    EXPECT_TRUE(machine->errors.empty()) << source;
    for (int i = 0; i < 1000 && machine->MPC != ControlPath::kHaltAddress; ++i) {
        const std::int32_t pc = machine->PC();
        const std::uint8_t code = machine->methodArea[static_cast<std::size_t>(pc)];
        const std::int64_t before = machine->microCount;
        EXPECT_TRUE(machine->ijvmStepBounded(1000));
        std::string name = builtinInstructionSet().find(code)->display;
        if (code == opcode::IFLT || code == opcode::IFEQ || code == opcode::IFICMPEQ) {
            name += machine->PC() == pc + 3 ? " not taken" : " taken";
        }
        const int cost = static_cast<int>(machine->microCount - before);
        EXPECT_EQ(seen.emplace(name, cost).first->second, cost) << name << " costs vary";
    }
}

TEST(MicroprogramCost, EveryInstructionTakesTheDocumentedNumberOfMicroInstructions) {
    std::map<std::string, int> seen;
    measure(".constant\n k 5\n.end-constant\n.method f(a)\n ILOAD a\n IRETURN\n.end-method\n"
            ".main\n.var\n x\n.end-var\n NOP\n BIPUSH 3\n BIPUSH 4\n IADD\n BIPUSH 1\n ISUB\n"
            " BIPUSH 7\n IAND\n BIPUSH 8\n IOR\n DUP\n POP\n BIPUSH 1\n SWAP\n ISTORE x\n"
            " ILOAD x\n WIDE ISTORE x\n WIDE ILOAD x\n LDCW k\n IINC x 1\n GOTO l1\n"
            "l1: BIPUSH -1\n IFLT l2\n NOP\nl2: BIPUSH 1\n IFLT l3\n NOP\nl3: BIPUSH 0\n IFEQ l4\n"
            " NOP\nl4: BIPUSH 2\n IFEQ l5\n NOP\nl5: BIPUSH 6\n BIPUSH 6\n IFICMPEQ l6\n NOP\n"
            "l6: BIPUSH 6\n BIPUSH 7\n IFICMPEQ l7\n NOP\nl7: BIPUSH 0\n BIPUSH 9\n"
            " INVOKEVIRTUAL f\n IN\n OUT\n HALT\n.end-main\n",
            seen);
    measure(".main\n    ERR\n.end-main\n", seen);
    EXPECT_EQ(seen, kDocumentedCounts);
}

TEST(ProgramLoading, RunsTheStartUpCallStopsAtMainAndSetsTheInputAndOutputWords) {
    auto machine = makeMachine();
    machine->wordMemory[static_cast<std::uint32_t>(-6)] = 99;
    machine->wordMemory[static_cast<std::uint32_t>(-1)] = 65;
    loadSource(*machine, ".main\n.var\n a b c\n.end-var\n    BIPUSH 1\n    HALT\n.end-main\n");
    ASSERT_TRUE(machine->errors.empty());
    // The first micro-instruction of reset, then INVOKEVIRTUAL main.
    EXPECT_EQ(machine->microCount, 1 + kDocumentedCounts.at("INVOKEVIRTUAL"));
    EXPECT_EQ(machine->MPC, 0);
    EXPECT_EQ(machine->CPP(), 0);
    // main's frame: link pointer at 2000, a b c, then the saved PC and LV.
    EXPECT_EQ(machine->LV(), 2000);
    EXPECT_EQ(machine->SP(), 2000 + 3 + 2);
    EXPECT_EQ(peekWord(*machine, 2000), 2004);
    EXPECT_EQ(peekWord(*machine, 2005), 2000);
    EXPECT_EQ(machine->TOS(), peekWord(*machine, machine->SP()));
    // main's code follows the prologue and main's 4-byte header.
    EXPECT_EQ(machine->PC(), 3 + 4);
    // The input word is cleared, the output words hold blanks.
    for (std::int32_t a = -6; a <= -1; ++a) {
        EXPECT_EQ(peekWord(*machine, a), a == -6 ? 0 : 32) << a;
    }
}

TEST(ProgramLoading, ASecondProgramOverwritesTheConstantsButKeepsHigherWords) {
    auto machine = makeMachine();
    loadSource(*machine, ".constant\n a 11\n b 22\n c 33\n.end-constant\n.main\n.var\n x\n"
                         ".end-var\n BIPUSH 77\n ISTORE x\n HALT\n.end-main\n");
    ASSERT_TRUE(machine->errors.empty());
    machine->runFor(1000);
    ASSERT_EQ(machine->MPC, ControlPath::kHaltAddress);
    ASSERT_EQ(peekWord(*machine, 2001), 77);
    const std::int32_t oldMainEntry = peekWord(*machine, 3);

    loadSource(*machine, ".constant\n d 44\n.end-constant\n.main\n.var\n y z\n.end-var\n HALT\n"
                         ".end-main\n");
    ASSERT_TRUE(machine->errors.empty());
    // d, main's header address, then what the first program left.
    EXPECT_EQ(poolOf(*machine), (std::vector<std::int32_t>{44, 3}));
    EXPECT_EQ(peekWord(*machine, 2), 33);
    EXPECT_EQ(peekWord(*machine, 3), oldMainEntry);
    // The new main's local y lies where the old x was and was never written again.
    EXPECT_EQ(peekWord(*machine, 2001), 77);
    EXPECT_EQ(machine->methodAreaSize, 3 + 4 + 1);
    EXPECT_EQ(machine->methods.size(), 1);
}

TEST(ProgramLoading, AProgramWithErrorsIsLoadedWithItsErrors) {
    auto machine = makeMachine();
    loadSource(*machine, ".main\n    BIPUSH 1\n    GOTO nowhere\n    HALT\n.end-main\n");
    ASSERT_EQ(machine->errors.size(), 1);
    EXPECT_NE(machine->errors.begin()->message.find("nowhere"), std::string::npos);
    // The image is complete anyway: prologue, header, BIPUSH, GOTO, HALT.
    EXPECT_EQ(machine->methodAreaSize, 3 + 4 + 2 + 3 + 1);
    EXPECT_EQ(machine->methodArea[machine->methodArea.size() - 1], 0x70);
}

} // namespace
} // namespace tessaro::testing
