// The instruction set read both ways, and the text the trace shows for the bytes of a method
// area.

#include "ijvm/disassembler.h"
#include "ijvm/instruction_set.h"
#include "ijvm_test_util.h"

#include <gtest/gtest.h>

#include <set>

namespace tessaro::test {
namespace {

TEST(InstructionSet, OpcodesAndMnemonicsAreUniqueAndFindThemselves) {
    std::set<int> codes;
    std::set<std::string> names;
    for (const Instruction& instruction : kInstructionSet) {
        EXPECT_TRUE(codes.insert(instruction.opcode).second) << instruction.mnemonic;
        EXPECT_TRUE(names.insert(instruction.mnemonic).second) << instruction.mnemonic;
        EXPECT_EQ(findInstruction(instruction.opcode), &instruction);
        EXPECT_EQ(findInstruction(std::string_view(instruction.mnemonic)), &instruction);
        EXPECT_EQ(findWritten(instruction.display), &instruction);
    }
}

TEST(InstructionSet, SizeIsTheOpcodeAndTheOperandBytes) {
    auto operandBytes = [](OperandKind kind) {
        switch (kind) {
        case OperandKind::None:
            return 0;
        case OperandKind::SignedByte:
        case OperandKind::Variable:
            return 1;
        default:
            return 2;
        }
    };
    for (const Instruction& instruction : kInstructionSet) {
        EXPECT_EQ(instruction.size, 1 + operandBytes(instruction.operands)) << instruction.mnemonic;
    }
}

TEST(InstructionSet, LookupsAnswerForUnknownNames) {
    EXPECT_EQ(findInstruction(std::string_view("LDC_W")), nullptr);
    EXPECT_EQ(findInstruction(std::string_view("WIDE")), nullptr);
    EXPECT_EQ(findInstruction(std::uint8_t{0x00}), nullptr);
    EXPECT_EQ(displayMnemonic("WIDEISTORE"), "WIDE ISTORE");
    EXPECT_EQ(displayMnemonic("IADD"), "IADD");
    EXPECT_TRUE(isPrefixWord("WIDE"));
    EXPECT_FALSE(isPrefixWord("WID"));
    EXPECT_FALSE(isPrefixWord("ILOAD"));
}

struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::int32_t address;
    std::string expected;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.what;
}

class Describe : public ::testing::TestWithParam<Case> {};

TEST_P(Describe, InstructionAtAddress) {
    const Case& c = GetParam();
    // Method 1 is "fact"; with two constants its pool entry is word 3.
    List<Method> methods;
    Method f;
    f.name = "main";
    f.number = 0;
    methods.insertTail(f);
    f.name = "fact";
    f.number = 1;
    methods.insertTail(f);
    EXPECT_EQ(describeInstruction(c.bytes, static_cast<std::int32_t>(c.bytes.size()), c.address,
                                  methods, 2),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, Describe,
    ::testing::Values(
        Case{"none", {0x60, 0x02}, 1, "IADD"}, Case{"positive byte", {0x19, 0x05}, 0, "BIPUSH 5"},
        Case{"negative byte", {0x19, 0xFD}, 0, "BIPUSH -3"},
        Case{"variable unsigned", {0x15, 0x1C, 0xC8}, 1, "ILOAD 200"},
        Case{"store", {0x21, 0x03}, 0, "ISTORE 3"},
        Case{"increment", {0x34, 0x02, 0xFB}, 0, "IINC 2 -5"},
        Case{"wide variable", {0x28, 0x01, 0x2C}, 0, "WIDE ILOAD 300"},
        Case{"wide store", {0x2C, 0x00, 0x07}, 0, "WIDE ISTORE 7"},
        Case{"constant", {0x30, 0x00, 0x02}, 0, "LDCW 2"},
        Case{"branch back", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3A, 0xFF, 0xFA}, 10, "GOTO -6 (to 4)"},
        Case{"branch forward", {0x44, 0x00, 0x09}, 0, "IFEQ 9 (to 9)"},
        Case{"compare branch", {0x48, 0x00, 0x00}, 0, "IFICMPEQ 0 (to 0)"},
        Case{"method named", {0x52, 0x00, 0x03}, 0, "INVOKEVIRTUAL 3 (fact)"},
        Case{"method of no entry", {0x52, 0x00, 0x09}, 0, "INVOKEVIRTUAL 9"},
        Case{"unknown byte", {0xFF}, 0, "byte 0xFF"}, Case{"zero byte", {0x00}, 0, "byte 0x00"},
        Case{"outside the area", {0x10}, 5, "byte 0x00"},
        Case{"before the area", {0x10}, -1, "byte 0x00"},
        Case{"operands cut by the end", {0x3A, 0xFF}, 0, "GOTO -256 (to -256)"}),
    [](const ::testing::TestParamInfo<Case>& info) {
        std::string name = info.param.what;
        for (char& c : name) {
            if (c == ' ') {
                c = '_';
            }
        }
        return name;
    });

// What the assembler encodes, the disassembler reads back as the programmer wrote it.
TEST(Describe, ReadsBackAnAssembledProgram) {
    auto a = assemble(".constant\nk 7\n.end-constant\n"
                      ".method f(p)\n.var\nx\n.end-var\n"
                      "L: iinc x -1\nwide istore p\ngoto L\nireturn\n.end-method\n"
                      ".main\nbipush -2\nldcw k\ninvokevirtual f\nhalt\n.end-main\n");
    ASSERT_TRUE(a->errors.empty()) << messages(*a)[0];
    const std::vector<std::uint8_t> area(a->methodArea.data.get(),
                                         a->methodArea.data.get() + a->methodArea.length);
    const auto size = static_cast<std::int32_t>(area.size());
    std::vector<std::string> texts;
    for (const Method& method : a->methods) {
        for (const IstructionTable& istruction : method.istructions) {
            // Each method's code follows the 3-byte prologue and its own 4-byte header.
            const std::int32_t at = istruction.address + 3 + 4 * (method.number + 1);
            texts.push_back(describeInstruction(area, size, at, a->methods, a->constants.size()));
        }
    }
    const std::vector<std::string> expected = {
        "IINC 2 -1", "WIDE ISTORE 1", "GOTO -6 (to 7)",      "IRETURN",
        "BIPUSH -2", "LDCW 0",        "INVOKEVIRTUAL 1 (f)", "HALT"};
    EXPECT_EQ(texts, expected);
}

} // namespace
} // namespace tessaro::test
