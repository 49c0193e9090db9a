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

TEST(IjvmLayout, TablesAndAddressMaps) {
    auto a = assemble(kTwoMethods);
    ASSERT_TRUE(a->errors.empty()) << firstError(*a);
    EXPECT_EQ(a->codeOffset, 14);
    const Method& f = methodNamed(*a, "f");
    EXPECT_EQ(f.instrCount, 4);
    EXPECT_EQ(indexOf(f, "b"), 2);
    EXPECT_EQ(indexOf(f, "x"), 3);
    // Records keep the code offset over all methods: main's first instruction follows f's.
    const InstructionRecord& first = *methodNamed(*a, "main").instructions.begin();
    EXPECT_EQ(first.opcode, opcode::BIPUSH);
    EXPECT_EQ(first.operand1(a->source()), "1");
    EXPECT_EQ((std::vector<int>{first.address, first.sourcePos}),
              (std::vector<int>{6, offsetOf(kTwoMethods, "BIPUSH 1")}));
    // Per address: the source offset of its instruction and the pool entry of its method;
    // header bytes have neither.
    const char* const owners[26] = {
        nullptr,    nullptr,    nullptr,    nullptr,         nullptr,         nullptr,
        nullptr,    "ILOAD a",  "ILOAD a",  "ILOAD y",       "ILOAD y",       "IADD",
        "IRETURN",  nullptr,    nullptr,    nullptr,         nullptr,         "BIPUSH 1",
        "BIPUSH 1", "BIPUSH 2", "BIPUSH 2", "INVOKEVIRTUAL", "INVOKEVIRTUAL", "INVOKEVIRTUAL",
        "HALT",     nullptr};
    for (std::uint32_t at = 0; at < 26; ++at) {
        const std::uint32_t* source = a->sourceMap.peek(at);
        const std::uint32_t* method = a->methodMap.peek(at);
        const char* owner = owners[at];
        EXPECT_EQ(source ? static_cast<int>(*source) : -1,
                  owner ? offsetOf(kTwoMethods, owner) : -1)
            << at;
        EXPECT_EQ(method ? static_cast<int>(*method) : -1, owner ? (at < 13 ? 2 : 3) : -1) << at;
    }
    EXPECT_EQ(a->sourceMap.byteCount(), 14);
    EXPECT_EQ(a->methodMap.byteCount(), 14);
}

// Programs without errors and their images (method area, then pool).
TEST(IjvmEncoding, InstructionForms) {
    std::string vars;
    for (int i = 1; i <= 300; ++i) {
        vars += std::string(1, 'v').append(std::to_string(i)) + (i % 20 == 0 ? "\n" : " ");
    }
    const struct {
        const char* what;
        std::string source;
        std::string image;
    } rows[] = {
        // The prologue calls main's entry; f's header gives 3 parameters (with the object
        // reference) and 2 variables; the pool holds the constants, then the headers.
        {"a method before main", kTwoMethods,
         "52 00 03 00 03 00 02 1C 01 1C 04 02 68 00 01 00 00 19 01 19 02 52 00 02 70 | 7 -1 3 13"},
        {"several constant sections number on and main may come first",
         ".constant a 1 .end-constant\n.main\nINVOKEVIRTUAL g\nLDCW c\nHALT\n.end-main\n"
         ".constant b 2 c 3 .end-constant\n.method g()\nBIPUSH 0\nIRETURN\n.end-method\n",
         "52 00 03 00 01 00 00 52 00 04 30 00 02 70 00 01 00 00 19 00 68 | 1 2 3 3 14"},
        {"branches count from their own opcode, back and forward",
         ".main\nNOP\nNOP\nNOP\nNOP\nL: NOP\nBIPUSH 1\nBIPUSH 2\nNOP\nGOTO L\nIFEQ F\nIFLT F\n"
         "IFICMPEQ F\nF: HALT\n.end-main\n",
         "52 00 00 00 01 00 00 01 01 01 01 01 19 01 19 02 01 3A FF FA 44 00 09 40 00 06 48 00 03 "
         "70 "
         "| 3"},
        {"BIPUSH keeps the low byte",
         ".main\nbipush 300\nBIPUSH -1\nBIPUSH 255\nBIPUSH 0x7f\n.end-main\n",
         "52 00 00 00 01 00 00 19 2C 19 FF 19 FF 19 7F | 3"},
        {"narrow forms cut the index, wide forms keep 16 bits",
         ".main\n.var\n" + vars +
             ".end-var\nILOAD v300\nWIDE ILOAD v300\nISTORE v300\nwide istore v300\n"
             "WIDE\nILOAD v2\nIINC v300 -128\n.end-main\n",
         "52 00 00 00 01 01 2C 1C 2C 28 01 2C 21 2C 2C 01 2C 28 00 02 34 2C 80 | 3"},
        {"every opcode without operands",
         ".main\nnop iadd isub iand ior dup pop swap ireturn halt out in err\n.end-main\n",
         "52 00 00 00 01 00 00 01 02 05 08 0B 0E 10 13 68 70 71 7C 84 | 3"},
        {"constant and method operands are pool indexes",
         ".constant\nk0 10\nk1 11\nk2 12\n.end-constant\n.method f()\nLDCW k2\nIRETURN\n"
         ".end-method\n.main\nINVOKEVIRTUAL f\nHALT\n.end-main\n",
         "52 00 04 00 01 00 00 30 00 02 68 00 01 00 00 52 00 03 70 | 10 11 12 3 11"},
        {"label before its instruction",
         ".main\n.var x .end-var\nNOP\nL1: ILOAD x\nGOTO L1\n.end-main\n",
         "52 00 00 00 01 00 01 01 1C 01 3A FF FE | 3"},
        {"each method has labels of its own",
         ".method f()\nL: IRETURN\n.end-method\n.main\nL: HALT\n.end-main\n",
         "52 00 01 00 01 00 00 68 00 01 00 00 70 | 3 8"},
        {"label on a line of its own",
         ".main\n.var x .end-var\nNOP\nL1:\n\nILOAD x\nGOTO L1\n.end-main\n",
         "52 00 00 00 01 00 01 01 1C 01 3A FF FE | 3"},
        {"label field and name are cut, the jump still meets it",
         ".main\nverylonglabelname_over_twenty: NOP\nGOTO verylonglabelname_over_twenty\n"
         ".end-main\n",
         "52 00 00 00 01 00 00 01 3A FF FF | 3"},
        {"mnemonics ignore case", ".main\n.var x .end-var\niload x\nGoTo e\ne: halt\n.end-main\n",
         "52 00 00 00 01 00 01 1C 01 3A 00 03 70 | 3"},
        {"comments, commas and CR LF separate tokens",
         "// a program\r\n.constant /* none */ .end-constant\r\n.main\r\n.var a,b .end-var\r\n"
         "BIPUSH 5 // five\r\nISTORE b\r\n/* two\r\nlines */ ILOAD b\r\nHALT\r\n.end-main\r\n",
         "52 00 00 00 01 00 02 19 05 21 02 1C 02 70 | 3"},
        {"stray text between sections is ignored",
         "hello world 42\n.main\nHALT\n.end-main\ntrailing words\n", "52 00 00 00 01 00 00 70 | 3"},
        {"last token without a line end still closes", ".main\nHALT\n.end-main",
         "52 00 00 00 01 00 00 70 | 3"},
        {"long names are cut the same way where declared and where used",
         ".constant\nconstantname 9\n.end-constant\n.method twentycharactername1(parameterone)\n"
         ".var localvariable .end-var\nILOAD parameterone\nISTORE localvariable\n"
         "LDCW constantname\nIRETURN\n.end-method\n"
         ".main\nINVOKEVIRTUAL twentycharactername1\nHALT\n.end-main\n",
         "52 00 02 00 02 00 01 1C 01 21 02 30 00 00 68 00 01 00 00 52 00 01 70 | 9 3 15"},
        {"header spread over lines with tabs",
         ".method\tsum (\ta,\n\tb )\nILOAD b\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n",
         "52 00 01 00 03 00 00 1C 02 68 00 01 00 00 70 | 3 10"},
        {"parameters split like their tokens",
         ".method f(a b, 2c)\nILOAD c\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n",
         "52 00 01 00 05 00 00 1C 04 68 00 01 00 00 70 | 3 10"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        auto a = assemble(row.source);
        EXPECT_TRUE(a->errors.empty()) << firstError(*a);
        EXPECT_EQ(image(*a), row.image);
    }
}

TEST(IjvmRecording, RecordsAndTablesKeepWhatTheSourceSays) {
    const std::string source = ".constant\nconstantname 9\n.end-constant\n"
                               ".main\n.var localvariable .end-var\nL1:\n\nILOAD localvariable\n"
                               "WIDE\nILOAD x\nIINC x 1\n/* two\r\nlines */ WIDE ISTORE x\n"
                               "verylonglabelname_over_twenty: NOP\n.end-main\n";
    auto a = assemble(source);
    const Method& main = methodNamed(*a, "main");
    std::vector<std::string> records;
    for (const InstructionRecord& r : main.instructions) {
        records.push_back(builtinInstructionSet().find(r.opcode)->mnemonic + "|" +
                          r.operand1(a->source()) + "|" + r.operand2(a->source()) + "|a" +
                          std::to_string(r.address) + "|@" +
                          std::to_string(r.sourcePos - offsetOf(source, "L1:")));
    }
    EXPECT_EQ(records, (std::vector<std::string>{"ILOAD|localvariable||a0|@5",
                                                 "WIDEILOAD|x||a2|@25", "IINC|x|1|a5|@38",
                                                 "WIDEISTORE|x||a8|@64", "NOP|||a11|@109"}));
    std::vector<std::string> labels; // sorted by name, cut to 20 bytes, with their addresses
    for (const Symbol& label : main.labels) {
        labels.push_back(label.name + "=" + std::to_string(label.value));
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"L1=0", "verylonglabelname_ov=11"}));
    EXPECT_EQ(indexOf(main, "localvari"), 1); // names are cut to 9 bytes
    EXPECT_EQ(a->constants.begin()->name, "constantn");
}

} // namespace
} // namespace tessaro::testing
