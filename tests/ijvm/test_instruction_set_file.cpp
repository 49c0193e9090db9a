// Instruction-set files: what is refused (with its line), what a stack effect computes, and
// the built-in set read from its shipped text.

#include "core/language.h"
#include "ijvm/instruction_set_file.h"

#include <gtest/gtest.h>

#include <climits>

namespace tessaro {
namespace {

TEST(InstructionSetFile, RefusesEachWrongLineWithItsNumber) {
    const std::string good = "0x01 NOP\n0x02 IADD ( a b -- a+b )\n";
    // Italian unless English is chosen; the table reads the same in English.
    EXPECT_EQ(readInstructionSet(good + "0x01 DUP\n", "f.txt").errors.at(0),
              "f.txt:3: l'opcode 0x01 è già usato alla riga 1");
    setLanguage(Language::English);
    const struct {
        std::string line;
        std::string message;
    } cases[] = {
        {"0x02 ISUB", "f.txt:3: opcode 0x02 is already used at line 2"},
        {"5 iadd", "f.txt:3: mnemonic IADD is already used at line 2"},
        {"256 BIG", "f.txt:3: opcode 256 is outside 0-255"},
        {"0x100 BIG", "f.txt:3: opcode 0x100 is outside 0-255"},
        {"-1 NEG", "f.txt:3: '-1' is not an opcode (decimal, or 0xHH)"},
        {"0x50", "f.txt:3: no mnemonic after the opcode"},
        {"0x50 // IMUL", "f.txt:3: no mnemonic after the opcode"},
        {"0x50 PUSH word", "f.txt:3: unknown operand kind 'word'"},
        {"0x50 9X", "f.txt:3: '9X' is not a mnemonic (letters, digits and _)"},
        {"0x50 I-MUL", "f.txt:3: 'I-MUL' is not a mnemonic (letters, digits and _)"},
        {"0x50 WIDE 2X", "f.txt:3: '2X' is not a mnemonic (letters, digits and _)"},
        {"0x50 PUSH byte:9x", "f.txt:3: '9x' is not an operand name"},
        {"0x50 PUSH a ) b", "f.txt:3: malformed stack effect: a ')' without '('"},
        {"0x50 PUSH byte byte", "f.txt:3: these operands do not go together"},
        {"0x50 .main", "f.txt:3: mnemonic .MAIN collides with the directive .main"},
        {"0x50 .END-VAR", "f.txt:3: mnemonic .END-VAR collides with the directive .end-var"},
        {"0x50 IMUL ( a b a*b )", "f.txt:3: malformed stack effect: no '--'"},
        {"0x50 IMUL ( a b -- a*c )", "f.txt:3: malformed stack effect: unknown name 'c'"},
        {"0x50 IMUL ( a b -- a* )", "f.txt:3: malformed stack effect: an expression ends"},
        {"0x50 NEG ( a -- - )", "f.txt:3: malformed stack effect: an expression ends"},
        {"0x50 NEG ( a -- (a+) )", "f.txt:3: malformed stack effect: unexpected ')'"},
        {"0x50 IMUL ( a b -- (a*b )", "f.txt:3: malformed stack effect: a '(' is not closed"},
        {"0x50 IMUL ( a a -- a )", "f.txt:3: malformed stack effect: the name 'a' is used twice"},
        {"0x50 IMUL ( a b -- a*b", "f.txt:3: malformed stack effect: a '(' is not closed"},
        {"0x50 IMUL ( a -- a ) x", "f.txt:3: unexpected text after the stack effect"},
        {"0x50 IMUL ( a -- a $ 1 )", "f.txt:3: malformed stack effect: unexpected '$'"},
        {"0x50 IMUL ( a -- a+12x )", "f.txt:3: malformed stack effect: bad number '12x'"},
        {"0x50 IMUL ( a -- 0xAg )", "f.txt:3: malformed stack effect: bad number '0xAg'"},
        {"0x50 IMUL ( a -- 0x )", "f.txt:3: malformed stack effect: bad number"},
        {"0x50 IMUL ( a -- 0x100000000 )",
         "f.txt:3: malformed stack effect: number too large for 32 bits"},
        {"0x50 IMUL ( 1a -- 1 )", "f.txt:3: malformed stack effect: '1a' is not a name"},
        {"0x50 IMUL ( a b$ -- 1 )", "f.txt:3: malformed stack effect: 'b$' is not a name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const InstructionSetFile file = readInstructionSet(good + c.line + "\n0x03 OK\n", "f.txt");
        EXPECT_FALSE(file.set.has_value());
        ASSERT_EQ(file.errors.size(), 1u);
        EXPECT_EQ(file.errors[0].substr(0, c.message.size()), c.message);
    }
    setLanguage(Language::Italian);
}

TEST(InstructionSetFile, OpcodesAreDecimalOrHexadecimalInEitherCase) {
    const std::pair<const char*, int> accepted[] = {
        {"0xAb", 0xAB}, {"0XfE", 0xFE}, {"0x00000000C", 0x0C}, {"009", 9}, {"255", 255}, {"0", 0},
    };
    for (const auto& [text, code] : accepted) {
        const InstructionSetFile file = readInstructionSet(std::string(text) + " FOO\n", "f.txt");
        ASSERT_TRUE(file.set.has_value()) << text << ": " << file.errors.front();
        EXPECT_EQ(file.set->findWritten("FOO")->opcode, code) << text;
    }
    for (const char* text :
         {"0x", "0xG1", "0x1g", "12a", "1-2", "1@", "0x0000000001", "0000000001"}) {
        const InstructionSetFile file = readInstructionSet(std::string(text) + " FOO\n", "f.txt");
        EXPECT_FALSE(file.set.has_value()) << text;
        ASSERT_EQ(file.errors.size(), 1u) << text;
        EXPECT_NE(file.errors[0].find(std::string("'") + text + "'"), std::string::npos)
            << file.errors[0];
    }
}

TEST(InstructionSetFile, ReadsNewInstructionsWithTheirForms) {
    const InstructionSetFile file = readInstructionSet(
        "// a comment line\n\n70 ineg ( a -- 0-a ) // negate\n0x51 ISHRB byte:n ( a -- a>>n )\n"
        "0x28 WIDE ILOAD widevar\n0x34 IINC var:v byte:d\n0x60 POP2 ( a b -- )\n",
        "f.txt");
    ASSERT_TRUE(file.set.has_value()) << file.errors.front();
    const InstructionSet& set = *file.set;
    const Instruction* ineg = set.findWritten("INEG");
    ASSERT_NE(ineg, nullptr);
    EXPECT_EQ(ineg->opcode, 0x46);
    EXPECT_EQ(ineg->line, 3);
    EXPECT_EQ(ineg->size, 1);
    EXPECT_FALSE(InstructionSet::isBuiltin(*ineg));
    EXPECT_EQ(set.find(std::uint8_t{0x51})->size, 2);
    EXPECT_EQ(set.findWritten("WIDE ILOAD"), set.find(std::string_view("WIDEILOAD")));
    EXPECT_TRUE(InstructionSet::isBuiltin(*set.findWritten("WIDE ILOAD")));
    EXPECT_EQ(set.findWritten("IINC")->operands, OperandKind::VariableAndByte);
    EXPECT_EQ(set.findWritten("POP2")->stackEffect->pushedCount(), 0u);
    EXPECT_TRUE(set.isPrefixWord("WIDE"));
}

TEST(StackEffect, ComputesIn32BitTwosComplement) {
    const struct {
        std::string effect;
        std::int32_t a, b;
        std::vector<std::int32_t> pushed;
    } cases[] = {
        {"a -- 0-a", INT_MIN, 0, {INT_MIN}},
        {"a -- -a ~a", 5, 0, {-5, -6}},
        {"a b -- a*b", 0x10000, 0x10000, {0}},
        {"a b -- a+b*2 (a+b)*2", 1, 3, {7, 8}},
        {"a b -- a-b a (-b) a -b", 1, 3, {-2, 1, -3, -2}},
        {"a b -- a/b a%b", -7, 2, {-3, -1}},
        {"a b -- a/b a%b", INT_MIN, -1, {INT_MIN, 0}},
        {"a b -- a>>b a>>>b a<<b", -16, 2, {-4, 0x3FFFFFFC, -64}},
        {"a b -- a<<b", 1, 33, {2}},
        {"a b -- a&b|a^b", 12, 10, {14}},
        // Each operator against its neighbours in binding strength, and left to right.
        {"a b -- a-b*2 a-b-1 b*b%2 b/b*b b*b/2 1<<b+1 b>>1+1 b>>>1+1 b&2<<1 b^b&1 a|b^b "
         "b-b+b b>>1<<1",
         1,
         3,
         {-5, -3, 1, 3, 4, 16, 0, 0, 0, 2, 1, 3, 2}},
        {"a b -- 1+a<<2 0x7FFFFFFF+1 0xFFFFFFFF", 1, 0, {8, INT_MIN, -1}},
        {"a b -- b a", 1, 2, {2, 1}},
        {"a b -- 0xff+0XFF 0xFFFFFFFF 4294967295 0xaB", 0, 0, {510, -1, -1, 171}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.effect);
        std::string error;
        const std::optional<StackEffect> effect = StackEffect::parse(c.effect, {}, error);
        ASSERT_TRUE(effect.has_value()) << error;
        EXPECT_EQ(effect->apply({{"a", c.a}, {"b", c.b}}), c.pushed);
    }
    std::string error;
    // A division by zero anywhere leaves nothing to push.
    for (const char* text : {"a b -- a/b", "a b -- (a%b)+1", "a b -- 1-a/b", "a b -- a -(a/b)"}) {
        const std::optional<StackEffect> divide = StackEffect::parse(text, {}, error);
        ASSERT_TRUE(divide.has_value()) << text;
        EXPECT_FALSE(divide->apply({{"a", 1}, {"b", 0}}).has_value()) << text;
    }
    const std::optional<StackEffect> shift = StackEffect::parse("a -- a>>n", {"n"}, error);
    EXPECT_EQ(shift->apply({{"a", -8}, {"n", 1}}), std::vector<std::int32_t>{-4});
}

} // namespace
} // namespace tessaro
