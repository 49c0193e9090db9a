// Layout of the assembled image, numbering of the tables and the bytes of every instruction
// form.

#include "tests/ijvm/assembler.h"

#include <gtest/gtest.h>

namespace tessaro::testing {
namespace {

const std::string kTwoMethods = ".constant\nk1 7\nk2 -1\n.end-constant\n"
                                ".method f(a, b)\n.var\nx y\n.end-var\n"
                                "ILOAD a\nILOAD y\nIADD\nIRETURN\n.end-method\n"
                                ".main\nBIPUSH 1\nBIPUSH 2\nINVOKEVIRTUAL f\nHALT\n.end-main\n";

TEST(IjvmLayout, PrologueHeadersCodePoolAndTables) {
    auto a = assemble(kTwoMethods);
    ASSERT_TRUE(a->errors.empty()) << firstError(*a);
    EXPECT_EQ(a->codeOffset, 14);
    EXPECT_EQ(bytes(a->methodArea), (Bytes{0x52, 0x00, 0x03,       // call main (C + 1)
                                           0x00, 0x03, 0x00, 0x02, // f: 3 params, 2 vars
                                           0x1C, 0x01, 0x1C, 0x04, 0x02, 0x68, // f's code
                                           0x00, 0x01, 0x00, 0x00,             // main's header
                                           0x19, 0x01, 0x19, 0x02, 0x52, 0x00, 0x02, 0x70}));
    ASSERT_EQ(a->constantPool.length, 16);
    EXPECT_EQ((std::vector<std::int32_t>{poolWord(*a, 0), poolWord(*a, 1), poolWord(*a, 2),
                                         poolWord(*a, 3)}),
              (std::vector<std::int32_t>{7, -1, 3, 13})); // constants, then the headers
    const Method& f = methodNamed(*a, "f");
    EXPECT_EQ(f.instrCount, 4);
    EXPECT_EQ(indexOf(f, "b"), 2);
    EXPECT_EQ(indexOf(f, "x"), 3);
    // Records keep the code offset over all methods: main's first instruction follows f's.
    const IstructionTable& first = *methodNamed(*a, "main").istructions.begin();
    EXPECT_EQ(first.address, 6);
    EXPECT_EQ(first.index, 0);
    EXPECT_EQ(first.mnemonic + " " + first.operand1, "BIPUSH 1");
    EXPECT_EQ(first.sourcePos, offsetOf(kTwoMethods, "BIPUSH 1"));
}

TEST(IjvmLayout, AddressMapsCoverEveryCodeByteAndNoHeaderByte) {
    auto a = assemble(kTwoMethods);
    // Per address: source offset of its instruction / pool entry of its method.
    std::vector<std::string> expected(26, "-/-");
    const std::pair<int, const char*> instructions[] = {
        {7, "ILOAD a"},        {8, "ILOAD a"},   {9, "ILOAD y"},        {10, "ILOAD y"},
        {11, "IADD"},          {12, "IRETURN"},  {17, "BIPUSH 1"},      {18, "BIPUSH 1"},
        {19, "BIPUSH 2"},      {20, "BIPUSH 2"}, {21, "INVOKEVIRTUAL"}, {22, "INVOKEVIRTUAL"},
        {23, "INVOKEVIRTUAL"}, {24, "HALT"}};
    for (const auto& [address, text] : instructions) {
        expected[static_cast<std::size_t>(address)] =
            std::to_string(offsetOf(kTwoMethods, text)) + (address < 13 ? "/2" : "/3");
    }
    std::vector<std::string> got;
    for (std::uint32_t at = 0; at < 26; ++at) {
        const std::uint32_t* source = a->sourceMap.peek(at);
        const std::uint32_t* method = a->methodMap.peek(at);
        got.push_back((source ? std::to_string(*source) : "-") + "/" +
                      (method ? std::to_string(*method) : "-"));
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(a->sourceMap.elementCount(), 14);
    EXPECT_EQ(a->methodMap.elementCount(), 14);
}

TEST(IjvmLayout, SeveralConstantSectionsNumberOnAndMainMayComeFirst) {
    auto a = assemble(".constant a 1 .end-constant\n"
                      ".main\nINVOKEVIRTUAL g\nLDCW c\nHALT\n.end-main\n"
                      ".constant b 2 c 3 .end-constant\n"
                      ".method g()\nBIPUSH 0\nIRETURN\n.end-method\n");
    ASSERT_TRUE(a->errors.empty()) << firstError(*a);
    // Prologue calls C + 0; INVOKEVIRTUAL g is C + 1 = 4; LDCW c is constant 2.
    EXPECT_EQ(bytes(a->methodArea),
              (Bytes{0x52, 0x00, 0x03, 0x00, 0x01, 0x00, 0x00, 0x52, 0x00, 0x04, 0x30,
                     0x00, 0x02, 0x70, 0x00, 0x01, 0x00, 0x00, 0x19, 0x00, 0x68}));
    EXPECT_EQ(poolWord(*a, 3), 3);
    EXPECT_EQ(poolWord(*a, 4), 14);
}

// Programs without errors and the bytes after the prologue and the first header.
TEST(IjvmEncoding, InstructionForms) {
    const std::string labelOnALine =
        ".main\n.var x .end-var\nNOP\nL1:\n\nILOAD x\nGOTO L1\n.end-main\n";
    const struct {
        const char* what;
        std::string source;
        Bytes code;
    } rows[] = {
        {"branches count from their own opcode, back and forward",
         ".main\nNOP\nNOP\nNOP\nNOP\nL: NOP\nBIPUSH 1\nBIPUSH 2\nNOP\nGOTO L\n"
         "IFEQ F\nIFLT F\nIFICMPEQ F\nF: HALT\n.end-main\n",
         {1,    1,    1, 1, 1,    0x19, 1, 0x19, 2, 1, 0x3A, 0xFF,
          0xFA, 0x44, 0, 9, 0x40, 0,    6, 0x48, 0, 3, 0x70}},
        {"BIPUSH keeps the low byte",
         ".main\nbipush 300\nBIPUSH -1\nBIPUSH 255\nBIPUSH 0x7f\n.end-main\n",
         {0x19, 0x2C, 0x19, 0xFF, 0x19, 0xFF, 0x19, 0x7F}},
        {"every opcode without operands",
         ".main\nnop iadd isub iand ior dup pop swap ireturn halt out in err\n.end-main\n",
         {0x01, 0x02, 0x05, 0x08, 0x0B, 0x0E, 0x10, 0x13, 0x68, 0x70, 0x71, 0x7C, 0x84}},
        {"constant and method operands are pool indexes",
         ".constant\nk0 10\nk1 11\nk2 12\n.end-constant\n.method f()\nLDCW k2\nIRETURN\n"
         ".end-method\n.main\nINVOKEVIRTUAL f\nHALT\n.end-main\n",
         {0x30, 0, 2, 0x68, 0, 1, 0, 0, 0x52, 0, 3, 0x70}},
        {"a method's pool entry follows the constants",
         ".constant\na 1\nb 2\n.end-constant\n.method f()\nIRETURN\n.end-method\n"
         ".main\nINVOKEVIRTUAL f\n.end-main\n",
         {0x68, 0, 1, 0, 0, 0x52, 0, 2}},
        {"label before its instruction",
         ".main\n.var x .end-var\nNOP\nL1: ILOAD x\nGOTO L1\n.end-main\n",
         {0x01, 0x1C, 0x01, 0x3A, 0xFF, 0xFE}},
        {"label on a line of its own", labelOnALine, {0x01, 0x1C, 0x01, 0x3A, 0xFF, 0xFE}},
        {"label field and name are cut, the jump still meets it",
         ".main\nverylonglabelname_over_twenty: NOP\nGOTO "
         "verylonglabelname_over_twenty\n.end-main\n",
         {0x01, 0x3A, 0xFF, 0xFF}},
        {"mnemonics ignore case",
         ".main\n.var x .end-var\niload x\nGoTo e\ne: halt\n.end-main\n",
         {0x1C, 0x01, 0x3A, 0x00, 0x03, 0x70}},
        {"comments, commas and CR LF separate tokens",
         "// a program\r\n.constant /* none */ .end-constant\r\n.main\r\n.var a,b .end-var\r\n"
         "BIPUSH 5 // five\r\nISTORE b\r\n/* two\r\nlines */ ILOAD b\r\nHALT\r\n.end-main\r\n",
         {0x19, 0x05, 0x21, 0x02, 0x1C, 0x02, 0x70}},
        {"stray text between sections is ignored",
         "hello world 42\n.main\nHALT\n.end-main\ntrailing words\n",
         {0x70}},
        {"last token without a line end still closes", ".main\nHALT\n.end-main", {0x70}},
        {"long names are cut the same way where declared and where used",
         ".constant\nconstantname 9\n.end-constant\n.method twentycharactername1(parameterone)\n"
         ".var localvariable .end-var\nILOAD parameterone\nISTORE localvariable\n"
         "LDCW constantname\nIRETURN\n.end-method\n"
         ".main\nINVOKEVIRTUAL twentycharactername1\nHALT\n.end-main\n",
         {0x1C, 0x01, 0x21, 0x02, 0x30, 0x00, 0x00, 0x68, 0, 1, 0, 0, 0x52, 0, 1, 0x70}},
        {"header spread over lines with tabs",
         ".method\tsum (\ta,\n\tb )\nILOAD b\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n",
         {0x1C, 0x02, 0x68, 0, 1, 0, 0, 0x70}},
        {"parameters split like their tokens",
         ".method f(a b, 2c)\nILOAD c\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n",
         {0x1C, 0x04, 0x68, 0, 1, 0, 0, 0x70}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        auto a = assemble(row.source);
        EXPECT_TRUE(a->errors.empty()) << firstError(*a);
        EXPECT_EQ(mainCode(*a), row.code);
    }
}

TEST(IjvmEncoding, NarrowFormsCutTheIndexAndWideFormsKeepSixteenBits) {
    std::string vars;
    for (int i = 1; i <= 300; ++i) {
        vars += std::string(1, 'v').append(std::to_string(i)) + (i % 20 == 0 ? "\n" : " ");
    }
    auto a = assemble(".main\n.var\n" + vars +
                      ".end-var\nILOAD v300\nWIDE ILOAD v300\nISTORE v300\nwide istore v300\n"
                      "WIDE\nILOAD v2\nIINC v300 -128\n.end-main\n");
    ASSERT_TRUE(a->errors.empty()) << firstError(*a);
    const Bytes area = bytes(a->methodArea);
    EXPECT_EQ(Bytes(area.begin() + 3, area.begin() + 7), (Bytes{0x00, 0x01, 0x01, 0x2C}));
    EXPECT_EQ(mainCode(*a), (Bytes{0x1C, 0x2C, 0x28, 0x01, 0x2C, 0x21, 0x2C, 0x2C, 0x01, 0x2C, 0x28,
                                   0x00, 0x02, 0x34, 0x2C, 0x80}));
    std::vector<std::string> mnemonics;
    for (const IstructionTable& r : methodNamed(*a, "main").istructions) {
        mnemonics.push_back(r.mnemonic);
    }
    EXPECT_EQ(mnemonics, (std::vector<std::string>{"ILOAD", "WIDEILOAD", "ISTORE", "WIDEISTORE",
                                                   "WIDEILOAD", "IINC"}));
}

std::string record(const IstructionTable& r) {
    return r.label + "|" + r.mnemonic + "|" + r.operand1 + "|@" + std::to_string(r.sourcePos) +
           "|#" + std::to_string(r.index) + "|a" + std::to_string(r.address);
}

TEST(IjvmRecording, RecordsAndTablesKeepWhatTheSourceSays) {
    const std::string inline_ = ".main\n.var x .end-var\nNOP\nL1: ILOAD x\nGOTO L1\n.end-main\n";
    const std::string ownLine = ".main\n.var x .end-var\nNOP\nL1:\n\nILOAD x\nGOTO L1\n.end-main\n";
    auto one = assemble(inline_);
    auto two = assemble(ownLine);
    const Method& m1 = methodNamed(*one, "main");
    const Method& m2 = methodNamed(*two, "main");
    EXPECT_EQ(record(*std::next(m1.istructions.begin())),
              "L1:|ILOAD|x|@" + std::to_string(offsetOf(inline_, "ILOAD")) + "|#1|a1");
    EXPECT_EQ(record(*std::next(m2.istructions.begin())),
              "L1:|ILOAD|x|@" + std::to_string(offsetOf(ownLine, "ILOAD")) + "|#1|a1");
    EXPECT_EQ(m2.labels.begin()->value, 1);

    auto cut = assemble(".main\nverylonglabelname_over_twenty: NOP\n"
                        "GOTO verylonglabelname_over_twenty\n.end-main\n");
    EXPECT_EQ(methodNamed(*cut, "main").istructions.begin()->label, "verylon");
    EXPECT_EQ(methodNamed(*cut, "main").labels.begin()->name, "verylonglabelname_ov");

    auto names = assemble(".constant\nconstantname 9\n.end-constant\n"
                          ".method twentycharactername1(parameterone)\n"
                          ".var localvariable .end-var\nIRETURN\n.end-method\n"
                          ".main\nHALT\n.end-main\n");
    const Method& f = methodNamed(*names, "twentycharactername1");
    EXPECT_EQ(indexOf(f, "parameter"), 1);
    EXPECT_EQ(indexOf(f, "localvari"), 2);
    EXPECT_EQ(names->constants.begin()->name, "constantn");

    auto split = assemble(".method f(a b, 2c)\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n");
    EXPECT_EQ(methodNamed(*split, "f").paramCount, 5);
    EXPECT_EQ(indexOf(methodNamed(*split, "f"), "2"), 3);

    auto tabs =
        assemble(".method\tsum (\ta,\n\tb )\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n");
    EXPECT_EQ(methodNamed(*tabs, "sum").paramCount, 3);
}

} // namespace
} // namespace tessaro::testing
