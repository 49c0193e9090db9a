// What the microprogram costs and what loading leaves in the machine.

#include "tests/support/machine.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace tessaro::testing {
namespace {

// Micro-instructions per IJVM instruction, the main loop's dispatch included; a branch has
// a cost when taken and one when not taken. This is the table the documentation gives.
const std::map<std::string, int>& documentedCounts() {
    static const std::map<std::string, int> counts = {
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
    return counts;
}

std::string nameOf(std::uint8_t code) {
    static const std::map<std::uint8_t, std::string> names = {
        {0x01, "NOP"},         {0x02, "IADD"},  {0x05, "ISUB"},     {0x08, "IAND"},
        {0x0B, "IOR"},         {0x0E, "DUP"},   {0x10, "POP"},      {0x13, "SWAP"},
        {0x19, "BIPUSH"},      {0x1C, "ILOAD"}, {0x21, "ISTORE"},   {0x28, "WIDE ILOAD"},
        {0x2C, "WIDE ISTORE"}, {0x30, "LDCW"},  {0x34, "IINC"},     {0x3A, "GOTO"},
        {0x40, "IFLT"},        {0x44, "IFEQ"},  {0x48, "IFICMPEQ"}, {0x52, "INVOKEVIRTUAL"},
        {0x68, "IRETURN"},     {0x70, "HALT"},  {0x71, "OUT"},      {0x7C, "IN"},
        {0x84, "ERR"},
    };
    const auto found = names.find(code);
    return found != names.end() ? found->second : "?";
}

// Runs the program instruction by instruction and records the cost of each kind. A taken
// branch is told from a branch not taken by where PC goes, so a test program must not branch
// to the very next instruction.
std::map<std::string, int> measure(const std::string& source) {
    auto machine = makeMachine();
    loadSource(*machine, source);
    EXPECT_TRUE(machine->errors.empty()) << source;
    std::map<std::string, int> seen;
    for (int i = 0; i < 1000 && machine->MPC != ControlPath::kHaltAddress; ++i) {
        const std::int32_t pc = machine->PC();
        const std::uint8_t code = machine->methodArea[static_cast<std::size_t>(pc)];
        const std::int64_t before = machine->microCount;
        EXPECT_TRUE(machine->ijvmStepBounded(1000));
        std::string name = nameOf(code);
        if (code == 0x40 || code == 0x44 || code == 0x48) {
            name += machine->PC() == pc + 3 ? " not taken" : " taken";
        }
        const int cost = static_cast<int>(machine->microCount - before);
        const auto [at, fresh] = seen.emplace(name, cost);
        EXPECT_EQ(at->second, cost) << name << " costs differ between two executions";
        (void)fresh;
    }
    return seen;
}

TEST(MicroprogramCost, EveryInstructionTakesTheDocumentedNumberOfMicroInstructions) {
    const std::string program = R"(
.constant
    k 5
.end-constant
.method f(a)
    ILOAD a
    IRETURN
.end-method
.main
.var
    x
.end-var
    NOP
    BIPUSH 3
    BIPUSH 4
    IADD
    BIPUSH 1
    ISUB
    BIPUSH 7
    IAND
    BIPUSH 8
    IOR
    DUP
    POP
    BIPUSH 1
    SWAP
    ISTORE x
    ILOAD x
    WIDE ISTORE x
    WIDE ILOAD x
    LDCW k
    IINC x 1
    GOTO l1
l1: BIPUSH -1
    IFLT l2
    NOP
l2: BIPUSH 1
    IFLT l3
    NOP
l3: BIPUSH 0
    IFEQ l4
    NOP
l4: BIPUSH 2
    IFEQ l5
    NOP
l5: BIPUSH 6
    BIPUSH 6
    IFICMPEQ l6
    NOP
l6: BIPUSH 6
    BIPUSH 7
    IFICMPEQ l7
    NOP
l7: BIPUSH 0
    BIPUSH 9
    INVOKEVIRTUAL f
    IN
    OUT
    HALT
.end-main
)";
    std::map<std::string, int> seen = measure(program);
    const std::map<std::string, int> err = measure(".main\n    ERR\n.end-main\n");
    seen.insert(err.begin(), err.end());
    for (const auto& [name, count] : documentedCounts()) {
        const auto found = seen.find(name);
        ASSERT_NE(found, seen.end()) << name << " was not executed";
        EXPECT_EQ(found->second, count) << name;
    }
}

TEST(MicroprogramCost, LoadingRunsTheStartUpCallAndStopsAtMain) {
    auto machine = makeMachine();
    loadSource(*machine, ".main\n.var\n a b c\n.end-var\n    BIPUSH 1\n    HALT\n.end-main\n");
    ASSERT_TRUE(machine->errors.empty());
    // The first micro-instruction of reset, then INVOKEVIRTUAL main.
    EXPECT_EQ(machine->microCount, 1 + documentedCounts().at("INVOKEVIRTUAL"));
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
}

TEST(ProgramLoading, SetsTheInputAndOutputWords) {
    auto machine = makeMachine();
    machine->wordMemory[static_cast<std::uint32_t>(-6)] = 99;
    machine->wordMemory[static_cast<std::uint32_t>(-1)] = 65;
    loadSource(*machine, ".main\n    HALT\n.end-main\n");
    for (std::int32_t a = -5; a <= -1; ++a) {
        EXPECT_EQ(peekWord(*machine, a), 32) << a;
    }
    EXPECT_EQ(peekWord(*machine, -6), 0);
}

TEST(ProgramLoading, ASecondProgramOverwritesTheConstantsButKeepsHigherWords) {
    auto machine = makeMachine();
    loadSource(*machine, R"(
.constant
    a 11
    b 22
    c 33
.end-constant
.main
.var
    x
.end-var
    BIPUSH 77
    ISTORE x
    HALT
.end-main
)");
    ASSERT_TRUE(machine->errors.empty());
    machine->runFor(1000);
    ASSERT_EQ(machine->MPC, ControlPath::kHaltAddress);
    ASSERT_EQ(peekWord(*machine, 2001), 77);
    const std::int32_t oldMainEntry = peekWord(*machine, 3);

    loadSource(*machine, R"(
.constant
    d 44
.end-constant
.main
.var
    y z
.end-var
    HALT
.end-main
)");
    ASSERT_TRUE(machine->errors.empty());
    EXPECT_EQ(machine->constantPoolWords, 2);
    EXPECT_EQ(peekWord(*machine, 0), 44);
    EXPECT_EQ(peekWord(*machine, 1), 3); // main's header address
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
