// The instruction set read both ways, and the text the trace shows for the bytes of a method
// area.

#include "ijvm/disassembler.h"
#include "ijvm/instruction_set.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace tessaro {
namespace {

TEST(InstructionSet, EntriesAreUniqueFindThemselvesAndSizeTheirOperands) {
    const InstructionSet& set = builtinInstructionSet();
    EXPECT_EQ(set.instructions().size(), 25u);
    std::set<int> codes;
    std::set<std::string> names;
    for (const Instruction& in : set.instructions()) {
        SCOPED_TRACE(in.mnemonic);
        EXPECT_TRUE(codes.insert(in.opcode).second && names.insert(in.mnemonic).second);
        EXPECT_EQ(set.find(in.opcode), &in);
        EXPECT_EQ(set.find(std::string_view(in.mnemonic)), &in);
        EXPECT_EQ(set.findWritten(in.display), &in);
        EXPECT_TRUE(InstructionSet::isBuiltin(in));
        const bool oneByte =
            in.operands == OperandKind::SignedByte || in.operands == OperandKind::Variable;
        EXPECT_EQ(in.size, in.operands == OperandKind::None ? 1 : oneByte ? 2 : 3);
    }
    EXPECT_EQ(set.find(std::string_view("LDC_W")), nullptr);
    EXPECT_EQ(set.find(std::string_view("WIDE")), nullptr);
    EXPECT_EQ(set.find(std::uint8_t{0x00}), nullptr);
    EXPECT_EQ(set.displayMnemonic("WIDEISTORE") + set.displayMnemonic("IADD"), "WIDE ISTOREIADD");
    EXPECT_TRUE(set.isPrefixWord("WIDE"));
    EXPECT_FALSE(set.isPrefixWord("WID") || set.isPrefixWord("ILOAD"));
}

TEST(Describe, InstructionAtAddress) {
    // Method 1 is "fact"; with two constants its pool entry is word 3.
    List<Method> methods;
    Method method;
    methods.insertTail(method);
    method.name = "fact";
    method.number = 1;
    methods.insertTail(method);
    const struct {
        std::vector<std::uint8_t> bytes;
        std::int32_t address;
        std::string expected;
    } rows[] = {
        // clang-format off
        {{0x60, 0x02}, 1, "IADD"},                {{0x19, 0x05}, 0, "BIPUSH 5"},
        {{0x19, 0xFD}, 0, "BIPUSH -3"},           {{0x15, 0x1C, 0xC8}, 1, "ILOAD 200"}, // unsigned
        {{0x21, 0x03}, 0, "ISTORE 3"},            {{0x34, 0x02, 0xFB}, 0, "IINC 2 -5"},
        {{0x28, 0x01, 0x2C}, 0, "WIDE ILOAD 300"}, {{0x2C, 0x00, 0x07}, 0, "WIDE ISTORE 7"},
        {{0x30, 0x00, 0x02}, 0, "LDCW 2"},        {{0x44, 0x00, 0x09}, 0, "IFEQ 9 (to 9)"},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3A, 0xFF, 0xFA}, 10, "GOTO -6 (to 4)"},
        {{0x48, 0x00, 0x00}, 0, "IFICMPEQ 0 (to 0)"},
        {{0x52, 0x00, 0x03}, 0, "INVOKEVIRTUAL 3 (fact)"},
        {{0x52, 0x00, 0x09}, 0, "INVOKEVIRTUAL 9"}, // no method has that entry
        {{0xFF}, 0, "byte 0xFF"},  {{0x00}, 0, "byte 0x00"},
        {{0x10}, 5, "byte 0x00"},  {{0x10}, -1, "byte 0x00"}, // outside the area
        {{0x3A, 0xFF}, 0, "GOTO -256 (to -256)"},             // operands cut by the end
        // clang-format on
    };
    for (const auto& row : rows) {
        EXPECT_EQ(describeInstruction(row.bytes, static_cast<std::int32_t>(row.bytes.size()),
                                      row.address, methods, 2),
                  row.expected);
    }
}

} // namespace
} // namespace tessaro
