// Every error the assembler reports: its exact text, its span, its order, and what survives.

#include "tests/ijvm/assembler.h"

#include <gtest/gtest.h>

#include <functional>

namespace tessaro::testing {
namespace {

struct Err {
    std::string message;
    std::string at; // the span starts at the first occurrence of at, plus shift
    int shift;
    int length;
};

struct Row {
    std::string source;
    std::vector<Err> errors;
    std::string image = ""; // image(), when it matters
    std::function<void(const IjvmAssembler&)> more = nullptr;
};

std::string instr(const std::string& method, int n, const std::string& word) {
    return "Errore nel metodo " + method + " in prossimità dell'istruzione " + std::to_string(n) +
           ": " + word + " non esiste.";
}
const auto in = [](const std::string& method) { return "Errore nel metodo " + method + ". "; };
const auto unterminated = [](const std::string& method) {
    return "Errore: Il metodo " + method + " deve terminare con .end-method";
};
const auto declared = [](const std::string& method, const std::string& what) {
    return "Errore nella dichiarazione delle variabili nel metodo " + method + ": " + what;
};
const auto bad = [](const std::string& text) {
    return "Errore: il numero " + text + " non è valido.";
};
const std::string kNoMain = "Errore: Ogni programma deve contenere il metodo main";
const std::string kNoConstEnd = "Errore: L'area delle costanti deve terminare con .end-constant";
const std::string kNoVarEnd = ": L'area delle variabili deve terminare con .end-var";
std::string noOpening(const std::string& method) {
    return "Errore nel metodo " + method + ": La parentesi tonda non è stata aperta";
}
std::string noClosing(const std::string& method) {
    return "Errore nel metodo " + method + ": La parentesi è stata aperta ma non chiusa.";
}

// A header that lacks a parenthesis must not reach into the sections after it: the reader
// looks at most 20 characters ahead for "(" and 50 for ")", and a second word or a second "("
// ends the look early. g before it and h after it survive whole.
Row brokenHeader(const std::string& header, const std::string& message) {
    return {
        ".method g(p)\nILOAD p\nIRETURN\n.end-method\n" + header +
            "\n.method h(aZ, zA)\nILOAD zA\nIRETURN\n.end-method\n"
            ".main\nBIPUSH 1\nBIPUSH 2\nINVOKEVIRTUAL h\nINVOKEVIRTUAL g\nHALT\n.end-main\n",
        {{message, header, 8, -1}},
        "52 00 02 00 02 00 00 1C 01 68 00 03 00 00 1C 02 68 00 01 00 00 19 01 19 02 52 00 01 52 "
        "00 00 70 | 3 10 17"};
}

// A parameter with a foreign character is named with it; the others keep their indexes.
Row foreignParameter(const std::string& piece, const std::string& character) {
    return {".method f(" + piece + ", c)\nILOAD c\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n",
            {{declared("f", piece + ": il carattere '" + character + "' non è ammesso"),
              piece + ", c", 0, static_cast<int>(piece.size()) + 3}},
            "52 00 01 00 03 00 00 1C 02 68 00 01 00 00 70 | 3 10"};
}

std::vector<Row> rows() {
    const std::string kMain = "52 00 00 00 01 00 0"; // the prologue and main's header, up to
                                                     // the last digit of its variable count
    return {
        // A refused line gives two records (mnemonic and operand) and takes no space.
        {".main\n.var x .end-var\nBIPUSH 1\nBIPUSH 2\nILAOD x\nHALT\n.end-main\n",
         {{instr("main", 2, "ILAOD"), "ILAOD", 0, 5}, {instr("main", 2, "X"), "x\nHALT", 0, 1}},
         kMain + "1 19 01 19 02 70 | 3"},
        {".constant k 1 .end-constant\n.main\nLDC_W k\nHALT\n.end-main\n",
         {{instr("main", 0, "LDC_W"), "LDC_W", 0, 5}, {instr("main", 0, "K"), "k\nHALT", 0, 1}},
         "52 00 01 00 01 00 00 70 | 1 3"},
        // Repeated names are reported and kept; the first constant is the one used.
        {".constant\na 1\nb 2\na 300\n.end-constant\n.main\nLDCW a\n.end-main\n",
         {{"Errore nella dichiarazione delle costanti: a già esistente", "300", 0, 3}},
         "52 00 03 00 01 00 00 30 00 00 | 1 2 300 3"},
        {".method f(p, q, p)\n.var v p v .end-var\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n",
         {{declared("f", "p: già esistente"), "p, q, p", 0, 7},
          {declared("f", "p: già esistente"), "p v .", 0, 1},
          {declared("f", "v: già esistente"), "v .end-var", 0, 1}},
         "52 00 01 00 04 00 03 68 00 01 00 00 70 | 3 8",
         [](const IjvmAssembler& a) { EXPECT_EQ(methodNamed(a, "f").variables.size(), 6); }},
        {".method f()\nIRETURN\n.end-method\n.method f()\nIRETURN\n.end-method\n"
         ".main\nHALT\n.end-main\n.main\nHALT\n.end-main\n",
         {{"Errore. Metodo f già esistente.", ".end-method\n.main", 0, 11},
          {"Errore. Metodo main già esistente.", ".end-main\n.main", 21, 9}},
         "52 00 02 00 01 00 00 68 00 01 00 00 68 00 01 00 00 70 00 01 00 00 70 | 3 8 13 18"},
        {".main\nL: NOP\nL: NOP\nGOTO L\n.end-main\n",
         {{in("main") + "L'etichetta L: esiste già", "L: NOP\nGOTO", 0, 2}},
         kMain + "0 01 01 3A FF FF | 3", // the later one wins
         [](const IjvmAssembler& a) { EXPECT_EQ(methodNamed(a, "main").labels.size(), 2); }},
        {".main\n.var longname1x longname1y .end-var\nHALT\n.end-main\n", // the same 9 bytes
         {{declared("main", "longname1: già esistente"), "longname1y", 0, 10}},
         kMain + "2 70 | 3"},
        // Keywords are not case-blind, and names are compared exactly.
        {".METHOD f()\n.main\n.var X .end-var\nILOAD x\n.end-main\n",
         {{in("main") + "La variabile x non esiste.", "x\n.end-main", 0, 1}},
         kMain + "1 1C 00 | 3"},
        // Sections that do not end.
        {".method f()\nIRETURN\n.method g()\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n",
         {{unterminated("f"), "", 0, 0},
          {instr("f", 1, ".METHOD"), ".method g", 0, 7},
          {instr("f", 1, "G()"), "g()", 0, 3}},
         "52 00 01 00 01 00 00 68 68 00 01 00 00 70 | 3 9"},
        {".method f()\nFOO\nGOTO nowhere\n.end-method\n.constant x 1\n", // main missing
         {{instr("f", 0, "FOO"), "FOO", 0, 3},
          {kNoConstEnd, ".constant", 10, 2},
          {kNoMain, "1\n", 0, 1},
          {in("f") + "L'etichetta nowhere non esiste.", "nowhere", 0, 7}},
         "52 00 00 00 01 00 00 3A 00 00 | 3"},
        {".main\nHALT\n.end-main\n.constant\na 1\nb 2\n",
         {{kNoConstEnd, ".constant", 10, 2}},
         kMain + "0 70 | 3"},
        {".method f()\n.var x y\nIRETURN\n.end-method\n.main\n.var a .var b .end-var\nHALT\n"
         ".end-main\n.main\n.var c\n",
         {{"Errore nel metodo f" + kNoVarEnd, ".var", 5, 2},
          {"Errore nel metodo main" + kNoVarEnd, ".var a", 5, 2},
          {"Errore nel metodo main" + kNoVarEnd, ".var c", 5, 2},
          {kNoMain, "c\n", 0, 1}},
         "52 00 00 |"},
        // A label before the closing keyword swallows it: the body reads on to the end.
        {".method f()\nIRETURN\nL:\n.end-method\n.main\nHALT\n.end-main\n",
         {{instr("f", 1, ".END-METHOD"), ".end-method", 0, 11},
          {instr("f", 1, ".MAIN"), ".main", 0, 5},
          {instr("f", 2, ".END-MAIN"), ".end-main", 0, 9},
          {unterminated("f"), "", 0, 0},
          {kNoMain, ".end-main", 0, 9}},
         kMain + "0 68 70 | 3"},
        // Method headers.
        {".main\nHALT\n.end-main\n.method f\nIRETURN\n",
         {{noOpening("f"), "f\nIRETURN", 0, -1}},
         kMain + "0 70 | 3"},
        brokenHeader(".method f", noOpening("f")),
        brokenHeader(".method f\nIRETURN\n.end-method", noOpening("f")),
        // A tab or a carriage return ends the name as a space does: "x(p)" is a second word.
        brokenHeader(".method f\tx(p)\nIRETURN\n.end-method", noOpening("f")),
        brokenHeader(".method f\rx(p)\nIRETURN\n.end-method", noOpening("f")),
        brokenHeader(".method abcdefghijklmnopqrstu(x)\nIRETURN\n.end-method",
                     noOpening("abcdefghijklmnopqrst")),
        brokenHeader(".method f(a", noClosing("f")),
        brokenHeader(".method f(a\nILOAD a\nIRETURN\n.end-method", noClosing("f")),
        brokenHeader(".method f(" + std::string(51, 'p') + ")\nIRETURN\n.end-method",
                     noClosing("f")),
        // A call to the dropped method is no second error.
        {".method f(a\nIRETURN\n.end-method\n.main\nBIPUSH 0\nINVOKEVIRTUAL f\nHALT\n.end-main\n",
         {{noClosing("f"), "f(a\nIRETURN", 0, -1}},
         kMain + "0 19 00 52 00 00 70 | 3"},
        {".method " + std::string(20, 'n') + "(a," + std::string(48, ' ') +
             ")\nILOAD a\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n", // at the bounds
         {},
         "52 00 01 00 02 00 00 1C 01 68 00 01 00 00 70 | 3 10"},
        foreignParameter("a_b", "_"),
        foreignParameter("x.y", "."),
        foreignParameter("n\xC3\xA9", "\xC3\xA9"),
        foreignParameter("n\xE2\x82\xAC", "\xE2\x82\xAC"),
        // A sequence cut short is named by its lead byte alone.
        foreignParameter("n\xE2\x82z", "\xE2"),
        foreignParameter("n\xE2z\x82", "\xE2"),
        foreignParameter("n\xC3", "\xC3"),
        foreignParameter("ab cd$", "$"),
        // Undeclared names in every operand position encode index 0.
        {".method f()\nGOTO l1\nIFEQ l2\nIFLT l3\nIFICMPEQ l4\nILOAD v1\nISTORE v2\n"
         "WIDE ILOAD v3\nWIDE ISTORE v4\nIINC v5 1\nLDCW c1\nINVOKEVIRTUAL g\nIRETURN\n"
         ".end-method\n.main\nINVOKEVIRTUAL f\nHALT\n.end-main\n",
         {{in("f") + "L'etichetta l1 non esiste.", "GOTO", 5, 2},
          {in("f") + "L'etichetta l2 non esiste.", "IFEQ", 5, 2},
          {in("f") + "L'etichetta l3 non esiste.", "IFLT", 5, 2},
          {in("f") + "L'etichetta l4 non esiste.", "IFICMPEQ", 9, 2},
          {in("f") + "La variabile v1 non esiste.", "ILOAD v1", 6, 2},
          {in("f") + "La variabile v2 non esiste.", "ISTORE v2", 7, 2},
          {in("f") + "La variabile v3 non esiste.", "WIDE ILOAD", 11, 2},
          {in("f") + "La variabile v4 non esiste.", "WIDE ISTORE", 12, 2},
          {in("f") + "La variabile v5 non esiste.", "IINC", 5, 2},
          {in("f") + "La costante c1 non esiste.", "LDCW", 5, 2},
          {"Errore nel metodo fAll'istruzione INVOKEVIRTUAL. Il metodo g non esiste.",
           "INVOKEVIRTUAL g", 14, 1}},
         "52 00 01 00 01 00 00 3A 00 00 44 FF FD 40 FF FA 48 FF F7 1C 00 21 00 28 00 00 2C 00 00 "
         "34 00 01 30 00 00 52 00 00 68 00 01 00 00 52 00 00 70 | 3 39"},
        // Numbers that cannot be read are reported, never the end of the process.
        {".constant\nk 0x\nj 7\n.end-constant\n.main\nLDCW j\nHALT\n.end-main\n",
         {{bad("0x"), "0x", 0, 2}},
         "52 00 02 00 01 00 00 30 00 01 70 | 0 7 3"},
        {".constant\nk\n.end-constant\n.main\nHALT\n.end-main\n",
         {{bad(".end-constant"), ".end-constant", 0, 13}},
         "52 00 01 00 01 00 00 70 | 0 3"},
        {".main\n.var x .end-var\nBIPUSH abc\nIINC x 0x1G\nIINC x 0b1\nHALT\n.end-main\n",
         {{bad("abc"), "abc", 0, 3}, {bad("0x1G"), "0x1G", 0, 4}, {bad("0b1"), "0b1", 0, 3}},
         kMain + "1 19 00 34 01 00 34 01 00 70 | 3"},
        // WIDE with anything but ILOAD or ISTORE is refused and the next word read again.
        {".main\nWIDE IADD\nHALT\n.end-main\n",
         {{instr("main", 0, "WIDE"), "WIDE", 0, 4}},
         kMain + "0 02 70 | 3"},
        {".method f()\nwide\n.end-method\n.main\nHALT\n.end-main\n",
         {{instr("f", 0, "WIDE"), "wide", 0, 4}},
         "52 00 01 00 01 00 00 00 01 00 00 70 | 3 7"},
        {".main\nWIDE\n",
         {{instr("main", 0, "WIDE"), "WIDE", 0, 4}, {unterminated("main"), "", 0, 0}},
         kMain + "0 | 3"},
        // The end of the file ends the last token as a line end would.
        {".main\n.var x .end-var\nBIPUSH\n",
         {{unterminated("main"), "", 0, 0}, {bad(""), "BIPUSH\n", 7, 0}},
         kMain + "1 19 00 | 3"},
        {".main\nIINC\n",
         {{unterminated("main"), "", 0, 0},
          {in("main") + "La variabile  non esiste.", "IINC\n", 5, 0},
          {bad(""), "IINC\n", 5, 0}},
         kMain + "0 34 00 00 | 3"},
        {".main\nbipush 1\nhalt", {{unterminated("main"), "", 0, 0}}, kMain + "0 19 01 70 | 3"},
        {".main\nL: halt", {{unterminated("main"), "", 0, 0}}, kMain + "0 70 | 3"},
        {".main\nbipush 7", {{unterminated("main"), "", 0, 0}}, kMain + "0 19 07 | 3"},
        {".main\nhalt\nL:", {{unterminated("main"), "", 0, 0}}, kMain + "0 70 | 3"},
        {".main\nhalt\nfoo",
         {{unterminated("main"), "", 0, 0}, {instr("main", 1, "FOO"), "foo", 0, 3}},
         kMain + "0 70 | 3"},
    };
}

std::string shown(const std::string& message, int position, int length) {
    return message + " @" + std::to_string(position) + "+" + std::to_string(length);
}

TEST(IjvmErrors, TextSpanOrderAndWhatSurvives) {
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.source);
        auto a = assemble(row.source);
        std::vector<std::string> got;
        std::vector<std::string> expected;
        for (const AssemblyError& e : a->errors) {
            got.push_back(shown(e.message, e.position, e.length));
        }
        for (const Err& e : row.errors) {
            expected.push_back(shown(e.message, offsetOf(row.source, e.at) + e.shift, e.length));
        }
        EXPECT_EQ(got, expected);
        EXPECT_EQ(image(*a), row.image);
        EXPECT_EQ(a->methodArea.length, a->methodArea.capacity);
        if (row.more) {
            row.more(*a);
        }
    }
}

TEST(IjvmErrors, LongMessagesAreCutOnACharacterBoundary) {
    // The refused token fills the message beyond 99 bytes, with two-byte characters at the cut.
    std::string token = "X";
    for (int i = 0; i < 40; ++i) {
        token += "\xC3\xA9";
    }
    auto a = assemble(".main\n" + token + "\nHALT\n.end-main\n");
    ASSERT_EQ(a->errors.size(), 1);
    const std::string message = firstError(*a);
    const std::string full = instr("main", 0, token);
    EXPECT_GE(message.size(), 98U);
    EXPECT_LE(message.size(), 99U);
    EXPECT_EQ(full.compare(0, message.size(), message), 0);
    EXPECT_NE(full[message.size()] & 0xC0, 0x80); // not inside a character
    // A token over 100 bytes is cut by the reader; the message still fits.
    auto b = assemble(".main\n" + std::string(300, 'Q') + "\nHALT\n.end-main\n");
    EXPECT_LE(firstError(*b).size(), 99U);
    EXPECT_FALSE(firstError(*b).empty());
}

TEST(IjvmErrors, UnknownCodeIsStillRecordedAndVectorsKeepTheirCapacity) {
    IjvmAssembler a("unused");
    a.addErrorAt(5, 6, 12, "m", "n");
    ASSERT_EQ(a.errors.size(), 1);
    EXPECT_EQ(a.errors.begin()->position, 5);
    EXPECT_FALSE(firstError(a).empty());

    ByteImage v;
    v.allocate(3);
    v.putWord(0x01020304);
    EXPECT_EQ(v.overflow, 1);
    EXPECT_EQ((std::vector<int>{v.at(-1), v.at(0), v.at(1), v.at(2), v.at(3)}),
              (std::vector<int>{0, 4, 3, 2, 0}));
    v.allocate(2);
    v.putHalf(-2);
    EXPECT_EQ((std::vector<int>{v.length, v.at(0), v.at(1)}), (std::vector<int>{2, 0xFF, 0xFE}));
}

} // namespace
} // namespace tessaro::testing
