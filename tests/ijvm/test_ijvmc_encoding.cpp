// Layout of the assembled image, numbering of the tables and the bytes of every instruction
// form.

#include "ijvm_test_util.h"

#include <gtest/gtest.h>

namespace tessaro::test {
namespace {

using Bytes = std::vector<int>;

const std::string kTwoMethods = ".constant\n"
                                "k1 7\n"
                                "k2 -1\n"
                                ".end-constant\n"
                                ".method f(a, b)\n"
                                ".var\n"
                                "x y\n"
                                ".end-var\n"
                                "ILOAD a\n"
                                "ILOAD y\n"
                                "IADD\n"
                                "IRETURN\n"
                                ".end-method\n"
                                ".main\n"
                                "BIPUSH 1\n"
                                "BIPUSH 2\n"
                                "INVOKEVIRTUAL f\n"
                                "HALT\n"
                                ".end-main\n";

TEST(IjvmLayout, MethodBeforeMainGivesPrologueHeadersCodeAndPool) {
    auto a = assemble(kTwoMethods);
    ASSERT_TRUE(a->errors.empty()) << messages(*a)[0];
    EXPECT_EQ(a->methodCount, 2);
    EXPECT_EQ(a->codeOffset, 14);
    const Bytes expected = {0x52, 0x00, 0x03,                                // call main (C + 1)
                            0x00, 0x03, 0x00, 0x02,                          // f: 3 params, 2 vars
                            0x1C, 0x01, 0x1C, 0x04, 0x02, 0x68,              // f's code
                            0x00, 0x01, 0x00, 0x00,                          // main's header
                            0x19, 0x01, 0x19, 0x02, 0x52, 0x00, 0x02, 0x70}; // main's code
    EXPECT_EQ(bytes(a->methodArea), expected);
    EXPECT_EQ(a->methodArea.capacity, a->methodArea.length);
    ASSERT_EQ(a->constantPool.length, 16);
    EXPECT_EQ(poolWord(*a, 0), 7);
    EXPECT_EQ(poolWord(*a, 1), -1);
    EXPECT_EQ(poolWord(*a, 2), 3);  // f's header
    EXPECT_EQ(poolWord(*a, 3), 13); // main's header
}

TEST(IjvmLayout, TablesNumberParametersVariablesAndMethods) {
    auto a = assemble(kTwoMethods);
    const Method* f = methodNamed(*a, "f");
    const Method* m = methodNamed(*a, "main");
    ASSERT_NE(f, nullptr);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(f->number, 0);
    EXPECT_EQ(m->number, 1);
    EXPECT_EQ(f->paramCount, 3);
    EXPECT_EQ(f->varCount, 2);
    EXPECT_EQ(f->instrCount, 4);
    EXPECT_EQ(f->length, 6);
    EXPECT_EQ(m->paramCount, 1);
    EXPECT_EQ(m->varCount, 0);
    EXPECT_EQ(variableNamed(*f, "a")->index, 1);
    EXPECT_EQ(variableNamed(*f, "b")->index, 2);
    EXPECT_EQ(variableNamed(*f, "x")->index, 3);
    EXPECT_EQ(variableNamed(*f, "y")->index, 4);
    // Records keep the code offset over all methods: main's first instruction follows f's.
    const IstructionTable& first = *m->istructions.begin();
    EXPECT_EQ(first.address, 6);
    EXPECT_EQ(first.index, 0);
    EXPECT_EQ(first.mnemonic, "BIPUSH");
    EXPECT_EQ(first.operand1, "1");
    EXPECT_EQ(first.sourcePos, offsetOf(kTwoMethods, "BIPUSH 1"));
    int i = 0;
    for (const SymbolTable& c : a->constants) {
        EXPECT_EQ(c.index, i++);
    }
}

TEST(IjvmLayout, AddressMapsCoverEveryCodeByteAndNoHeaderByte) {
    auto a = assemble(kTwoMethods);
    const int iloadA = offsetOf(kTwoMethods, "ILOAD a");
    ASSERT_NE(a->sourceMap.peek(7), nullptr);
    EXPECT_EQ(*a->sourceMap.peek(7), static_cast<std::uint32_t>(iloadA));
    EXPECT_EQ(*a->sourceMap.peek(8), static_cast<std::uint32_t>(iloadA));
    EXPECT_EQ(*a->sourceMap.peek(23),
              static_cast<std::uint32_t>(offsetOf(kTwoMethods, "INVOKEVIRTUAL f")));
    EXPECT_EQ(*a->methodMap.peek(7), 2U);
    EXPECT_EQ(*a->methodMap.peek(12), 2U);
    EXPECT_EQ(*a->methodMap.peek(17), 3U);
    EXPECT_EQ(*a->methodMap.peek(24), 3U);
    for (std::uint32_t header : {0U, 1U, 2U, 3U, 6U, 13U, 16U, 25U}) {
        EXPECT_EQ(a->sourceMap.peek(header), nullptr) << header;
        EXPECT_EQ(a->methodMap.peek(header), nullptr) << header;
    }
    EXPECT_EQ(a->sourceMap.elementCount(), 14);
    EXPECT_EQ(a->methodMap.elementCount(), 14);
    // The maps are searched through the buckets' order: it must still be ascending.
    EXPECT_EQ(a->sourceMap[17], static_cast<std::uint32_t>(offsetOf(kTwoMethods, "BIPUSH 1")));
    EXPECT_EQ(a->sourceMap.elementCount(), 14);
}

TEST(IjvmLayout, SeveralConstantSectionsNumberOnAndMainMayComeFirst) {
    auto a = assemble(".constant a 1 .end-constant\n"
                      ".main\nINVOKEVIRTUAL g\nLDCW c\nHALT\n.end-main\n"
                      ".constant b 2 c 3 .end-constant\n"
                      ".method g()\nBIPUSH 0\nIRETURN\n.end-method\n");
    ASSERT_TRUE(a->errors.empty()) << messages(*a)[0];
    EXPECT_EQ(methodNamed(*a, "main")->number, 0);
    EXPECT_EQ(methodNamed(*a, "g")->number, 1);
    // Prologue calls C + 0; INVOKEVIRTUAL g is C + 1 = 4; LDCW c is constant 2.
    const Bytes expected = {0x52, 0x00, 0x03, 0x00, 0x01, 0x00, 0x00, 0x52, 0x00, 0x04, 0x30,
                            0x00, 0x02, 0x70, 0x00, 0x01, 0x00, 0x00, 0x19, 0x00, 0x68};
    EXPECT_EQ(bytes(a->methodArea), expected);
    EXPECT_EQ(poolWord(*a, 3), 3);
    EXPECT_EQ(poolWord(*a, 4), 14);
}

TEST(IjvmEncoding, BranchesCountFromTheirOwnOpcodeBackAndForward) {
    auto a = assemble(".main\nNOP\nNOP\nNOP\nNOP\nL: NOP\nBIPUSH 1\nBIPUSH 2\nNOP\nGOTO L\n"
                      "IFEQ F\nIFLT F\nIFICMPEQ F\nF: HALT\n.end-main\n");
    ASSERT_TRUE(a->errors.empty()) << messages(*a)[0];
    const Bytes code = mainCode(*a);
    ASSERT_EQ(code.size(), 23U);
    EXPECT_EQ(Bytes(code.begin() + 10, code.begin() + 13), (Bytes{0x3A, 0xFF, 0xFA}));
    EXPECT_EQ(Bytes(code.begin() + 13, code.begin() + 16), (Bytes{0x44, 0x00, 0x09}));
    EXPECT_EQ(Bytes(code.begin() + 16, code.begin() + 19), (Bytes{0x40, 0x00, 0x06}));
    EXPECT_EQ(Bytes(code.begin() + 19, code.begin() + 22), (Bytes{0x48, 0x00, 0x03}));
    EXPECT_EQ(code[22], 0x70);
}

TEST(IjvmEncoding, BipushKeepsTheLowByte) {
    auto a = assemble(".main\nbipush 300\nBIPUSH -1\nBIPUSH 255\nBIPUSH 0x7f\n.end-main\n");
    ASSERT_TRUE(a->errors.empty());
    EXPECT_EQ(mainCode(*a), (Bytes{0x19, 0x2C, 0x19, 0xFF, 0x19, 0xFF, 0x19, 0x7F}));
}

TEST(IjvmEncoding, NarrowFormsCutTheIndexAndWideFormsKeepSixteenBits) {
    std::string vars;
    for (int i = 1; i <= 300; ++i) {
        vars += "v" + std::to_string(i) + (i % 20 == 0 ? "\n" : " ");
    }
    auto a = assemble(".main\n.var\n" + vars +
                      ".end-var\nILOAD v300\nWIDE ILOAD v300\n"
                      "ISTORE v300\nwide istore v300\nWIDE\nILOAD v2\nIINC v300 -128\n.end-main\n");
    ASSERT_TRUE(a->errors.empty()) << messages(*a)[0];
    EXPECT_EQ(methodNamed(*a, "main")->varCount, 300);
    EXPECT_EQ(bytes(a->methodArea)[5], 0x01); // varCount 300 = 0x012C in the header
    EXPECT_EQ(bytes(a->methodArea)[6], 0x2C);
    EXPECT_EQ(mainCode(*a), (Bytes{0x1C, 0x2C, 0x28, 0x01, 0x2C, 0x21, 0x2C, 0x2C, 0x01, 0x2C, 0x28,
                                   0x00, 0x02, 0x34, 0x2C, 0x80}));
    const Method* m = methodNamed(*a, "main");
    int i = 0;
    const char* expected[] = {"ILOAD", "WIDEILOAD", "ISTORE", "WIDEISTORE", "WIDEILOAD", "IINC"};
    for (const IstructionTable& r : m->istructions) {
        EXPECT_EQ(r.mnemonic, expected[i++]);
    }
}

TEST(IjvmEncoding, ConstantAndMethodOperandsArePoolIndexes) {
    auto a = assemble(".constant\nk0 10\nk1 11\nk2 12\n.end-constant\n"
                      ".method f()\nLDCW k2\nIRETURN\n.end-method\n"
                      ".main\nINVOKEVIRTUAL f\nHALT\n.end-main\n");
    ASSERT_TRUE(a->errors.empty());
    const Bytes area = bytes(a->methodArea);
    EXPECT_EQ(Bytes(area.begin() + 7, area.begin() + 10), (Bytes{0x30, 0x00, 0x02}));
    EXPECT_EQ(Bytes(area.begin() + 15, area.begin() + 18), (Bytes{0x52, 0x00, 0x03}));

    auto b = assemble(".constant\na 1\nb 2\n.end-constant\n.method f()\nIRETURN\n.end-method\n"
                      ".main\nINVOKEVIRTUAL f\n.end-main\n");
    ASSERT_TRUE(b->errors.empty());
    const Bytes area2 = bytes(b->methodArea);
    EXPECT_EQ(Bytes(area2.begin() + 12, area2.begin() + 15), (Bytes{0x52, 0x00, 0x02}));
}

TEST(IjvmEncoding, EveryNoOperandOpcode) {
    auto a = assemble(".main\nnop iadd isub iand ior dup pop swap ireturn halt out in err\n"
                      ".end-main\n");
    ASSERT_TRUE(a->errors.empty());
    EXPECT_EQ(mainCode(*a), (Bytes{0x01, 0x02, 0x05, 0x08, 0x0B, 0x0E, 0x10, 0x13, 0x68, 0x70, 0x71,
                                   0x7C, 0x84}));
}

TEST(IjvmRecording, LabelOnItsOwnLineGivesTheSameRecord) {
    auto one = assemble(".main\n.var x .end-var\nNOP\nL1: ILOAD x\nGOTO L1\n.end-main\n");
    auto two = assemble(".main\n.var x .end-var\nNOP\nL1:\n\nILOAD x\nGOTO L1\n.end-main\n");
    ASSERT_TRUE(one->errors.empty());
    ASSERT_TRUE(two->errors.empty());
    const IstructionTable& r1 = *std::next(methodNamed(*one, "main")->istructions.begin());
    const IstructionTable& r2 = *std::next(methodNamed(*two, "main")->istructions.begin());
    EXPECT_EQ(r1.label, "L1:");
    EXPECT_EQ(r2.label, r1.label);
    EXPECT_EQ(r2.mnemonic, r1.mnemonic);
    EXPECT_EQ(r2.operand1, r1.operand1);
    EXPECT_EQ(r2.address, r1.address);
    EXPECT_EQ(r2.index, r1.index);
    EXPECT_EQ(mainCode(*one), mainCode(*two));
    EXPECT_EQ(methodNamed(*two, "main")->labels.begin()->value, 1);
}

TEST(IjvmRecording, LabelFieldKeepsSevenBytesAndNamesTwenty) {
    auto a = assemble(".main\nverylonglabelname_over_twenty: NOP\n"
                      "GOTO verylonglabelname_over_twenty\n.end-main\n");
    ASSERT_TRUE(a->errors.empty()) << messages(*a)[0];
    const Method* m = methodNamed(*a, "main");
    EXPECT_EQ(m->istructions.begin()->label, "verylon");
    EXPECT_EQ(m->labels.begin()->name, "verylonglabelname_ov");
    EXPECT_EQ(mainCode(*a), (Bytes{0x01, 0x3A, 0xFF, 0xFF}));
}

TEST(IjvmRecording, RepeatedLabelIsReportedAndTheLaterOneWins) {
    const std::string src = ".main\nL: NOP\nL: NOP\nGOTO L\n.end-main\n";
    auto a = assemble(src);
    ASSERT_EQ(a->errors.size(), 1);
    const ErrorTable e = errorList(*a)[0];
    EXPECT_EQ(e.message, "Errore nel metodo main. L'etichetta L: esiste già");
    EXPECT_EQ(e.position, offsetOf(src, "L:", 1));
    EXPECT_EQ(e.length, 2);
    EXPECT_EQ(methodNamed(*a, "main")->labels.size(), 2);
    EXPECT_EQ(mainCode(*a), (Bytes{0x01, 0x01, 0x3A, 0xFF, 0xFF}));
}

TEST(IjvmRecording, MnemonicsIgnoreCaseButKeywordsDoNot) {
    auto lower = assemble(".main\n.var x .end-var\niload x\nGoTo e\ne: halt\n.end-main\n");
    auto upperCase = assemble(".main\n.var x .end-var\nILOAD x\nGOTO e\ne: HALT\n.end-main\n");
    ASSERT_TRUE(lower->errors.empty());
    EXPECT_EQ(bytes(lower->methodArea), bytes(upperCase->methodArea));
    // ".METHOD" is a stray word outside a section, and names are compared exactly.
    auto a = assemble(".METHOD f()\n.main\n.var X .end-var\nILOAD x\n.end-main\n");
    ASSERT_EQ(a->errors.size(), 1);
    EXPECT_EQ(a->errors.begin()->message, "Errore nel metodo main. La variabile x non esiste.");
    EXPECT_EQ(a->methodCount, 1);
}

TEST(IjvmRecording, CommentsCommasAndCrLfSeparateTokens) {
    const std::string src = "// a program\r\n.constant /* none */ .end-constant\r\n"
                            ".main\r\n.var a,b .end-var\r\nBIPUSH 5 // five\r\nISTORE b\r\n"
                            "/* two\r\nlines */ ILOAD b\r\nHALT\r\n.end-main\r\n";
    auto a = assemble(src);
    ASSERT_TRUE(a->errors.empty()) << messages(*a)[0];
    EXPECT_EQ(mainCode(*a), (Bytes{0x19, 0x05, 0x21, 0x02, 0x1C, 0x02, 0x70}));
    const IstructionTable& load = *std::next(methodNamed(*a, "main")->istructions.begin(), 2);
    EXPECT_EQ(load.sourcePos, offsetOf(src, "ILOAD b"));
}

TEST(IjvmRecording, StrayTextBetweenSectionsIsIgnored) {
    auto a = assemble("hello world 42\n.main\nHALT\n.end-main\ntrailing words\n");
    EXPECT_TRUE(a->errors.empty());
    EXPECT_EQ(mainCode(*a), Bytes{0x70});
}

TEST(IjvmRecording, LastTokenWithoutLineEndStillCloses) {
    auto a = assemble(".main\nHALT\n.end-main");
    EXPECT_TRUE(a->errors.empty()) << messages(*a)[0];
    EXPECT_EQ(a->methodCount, 1);
}

TEST(IjvmRecording, LongNamesAreCutTheSameWayWhereDeclaredAndWhereUsed) {
    auto a = assemble(".constant\nconstantname 9\n.end-constant\n"
                      ".method twentycharactername1(parameterone)\n"
                      ".var localvariable .end-var\n"
                      "ILOAD parameterone\nISTORE localvariable\nLDCW constantname\n"
                      "IRETURN\n.end-method\n"
                      ".main\nINVOKEVIRTUAL twentycharactername1\nHALT\n.end-main\n");
    ASSERT_TRUE(a->errors.empty()) << messages(*a)[0];
    const Method* f = methodNamed(*a, "twentycharactername1");
    ASSERT_NE(f, nullptr);
    EXPECT_NE(variableNamed(*f, "parameter"), nullptr);
    EXPECT_NE(variableNamed(*f, "localvari"), nullptr);
    EXPECT_EQ(a->constants.begin()->name, "constantn");
    const Bytes area = bytes(a->methodArea);
    EXPECT_EQ(Bytes(area.begin() + 7, area.begin() + 14),
              (Bytes{0x1C, 0x01, 0x21, 0x02, 0x30, 0x00, 0x00}));

    // Two long names that agree in their first nine bytes are one name, so this is reported.
    auto b = assemble(".main\n.var longname1x longname1y .end-var\nHALT\n.end-main\n");
    ASSERT_EQ(b->errors.size(), 1);
    EXPECT_EQ(b->errors.begin()->message,
              "Errore nella dichiarazione delle variabili nel metodo main: longname1: già "
              "esistente");
}

TEST(IjvmRecording, HeaderSpreadOverLinesWithTabs) {
    auto a = assemble(".method\tsum (\ta,\n\tb )\nILOAD b\nIRETURN\n.end-method\n"
                      ".main\nHALT\n.end-main\n");
    ASSERT_TRUE(a->errors.empty()) << messages(*a)[0];
    const Method* f = methodNamed(*a, "sum");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->paramCount, 3);
    EXPECT_EQ(variableNamed(*f, "b")->index, 2);
}

} // namespace
} // namespace tessaro::test
