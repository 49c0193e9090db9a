// Every error the assembler reports: its exact text, its span, its order, and what survives.

#include "tests/ijvm/assembler.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace tessaro::testing {
namespace {

struct Err {
    std::string message;
    std::string at; // the span starts at the first occurrence of at, plus shift
    int shift;
    int length;
};

struct Row {
    std::string what;
    std::string source;
    std::vector<Err> errors;
    std::optional<Bytes> code = std::nullopt; // mainCode(), when it matters
    int methods = -1;                         // methodCount, when it matters
    std::function<void(const IJVMC&)> more = nullptr;
};

std::string instr(const std::string& method, int n, const std::string& word) {
    return "Errore nel metodo " + method + " in prossimità dell'istruzione " + std::to_string(n) +
           ": " + word + " non esiste.";
}
std::string in(const std::string& method) {
    return "Errore nel metodo " + method + ". ";
}
std::string unterminated(const std::string& method) {
    return "Errore: Il metodo " + method + " deve terminare con .end-method";
}
std::string declared(const std::string& method, const std::string& what) {
    return "Errore nella dichiarazione delle variabili nel metodo " + method + ": " + what;
}
std::string badNumber(const std::string& text) {
    return "Errore: il numero " + text + " non è valido.";
}
const std::string kNoMain = "Errore: Ogni programma deve contenere il metodo main";
const std::string kNoConstEnd = "Errore: L'area delle costanti deve terminare con .end-constant";
const std::string kNoVarEnd = ": L'area delle variabili deve terminare con .end-var";
const std::string kNoOpening = "Errore nel metodo : La parentesi tonda non è stata aperta";
const std::string kNoClosing = "Errore nel metodo : La parentesi è stata aperta ma non chiusa.";
const auto kAny = std::nullopt;

// A header that lacks a parenthesis must not reach into the sections after it: the reader
// looks at most 20 characters ahead for "(" and 50 for ")", and a second word or a second "("
// ends the look early. g before it and h after it survive whole.
Row brokenHeader(const std::string& what, const std::string& header, const std::string& message) {
    return {what,
            ".method g(p)\nILOAD p\nIRETURN\n.end-method\n" + header +
                "\n.method h(a, b)\nILOAD b\nIRETURN\n.end-method\n"
                ".main\nBIPUSH 1\nBIPUSH 2\nINVOKEVIRTUAL h\nINVOKEVIRTUAL g\nHALT\n.end-main\n",
            {{message, header, 8, -1}},
            Bytes{0x1C, 0x01, 0x68, 0,    3, 0,    0, 0x1C, 0x02, 0x68, 0, 1,   0,
                  0,    0x19, 1,    0x19, 2, 0x52, 0, 1,    0x52, 0,    0, 0x70},
            3};
}

// A parameter with a foreign character is named with it; the others keep their indexes.
Row foreignParameter(const std::string& piece, const std::string& character) {
    return {"parameter " + piece,
            ".method f(" + piece + ", c)\nILOAD c\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n",
            {{declared("f", piece + ": il carattere '" + character + "' non è ammesso"),
              piece + ", c", 0, static_cast<int>(piece.size()) + 3}},
            Bytes{0x1C, 0x02, 0x68, 0, 1, 0, 0, 0x70},
            2,
            [](const IJVMC& a) { EXPECT_EQ(methodNamed(a, "f").paramCount, 3); }};
}

std::vector<Row> rows() {
    const std::string longName(20, 'n');
    return {
        {"misspelt mnemonic: two records, the next line still assembles",
         ".main\n.var x .end-var\nBIPUSH 1\nBIPUSH 2\nILAOD x\nHALT\n.end-main\n",
         {{instr("main", 2, "ILAOD"), "ILAOD", 0, 5}, {instr("main", 2, "X"), "x\nHALT", 0, 1}},
         Bytes{0x19, 0x01, 0x19, 0x02, 0x70}},
        {"underscored mnemonic takes no space",
         ".constant k 1 .end-constant\n.main\nLDC_W k\nHALT\n.end-main\n",
         {{instr("main", 0, "LDC_W"), "LDC_W", 0, 5}, {instr("main", 0, "K"), "k\nHALT", 0, 1}},
         Bytes{0x70}},
        {"repeated constant: reported on its value, the first one is used",
         ".constant\na 1\nb 2\na 300\n.end-constant\n.main\nLDCW a\n.end-main\n",
         {{"Errore nella dichiarazione delle costanti: a già esistente", "300", 0, 3}},
         Bytes{0x30, 0x00, 0x00},
         -1,
         [](const IJVMC& a) {
             EXPECT_EQ(a.constants.size(), 3);
             EXPECT_EQ(poolWord(a, 2), 300);
         }},
        {"repeated parameter and variable",
         ".method f(p, q, p)\n.var v p v .end-var\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n",
         {{declared("f", "p: già esistente"), "p, q, p", 0, 7},
          {declared("f", "p: già esistente"), "p v .", 0, 1},
          {declared("f", "v: già esistente"), "v .end-var", 0, 1}},
         kAny,
         -1,
         [](const IJVMC& a) {
             const Method& f = methodNamed(a, "f");
             EXPECT_EQ(f.paramCount, 4);
             EXPECT_EQ(f.varCount, 3);
             EXPECT_EQ(f.variables.size(), 6);
         }},
        {"unterminated body at the end of the file ends there",
         ".main\nBIPUSH 1\nHALT\n",
         {{unterminated("main"), "", 0, 0}},
         Bytes{0x19, 0x01, 0x70},
         1},
        {"method keyword inside a body",
         ".method f()\nIRETURN\n.method g()\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n",
         {{unterminated("f"), "", 0, 0},
          {instr("f", 1, ".METHOD"), ".method g", 0, 7},
          {instr("f", 1, "G()"), "g()", 0, 3}},
         Bytes{0x68, 0x68, 0, 1, 0, 0, 0x70},
         2},
        {"missing main comes after the declaration errors; the prologue calls entry 0",
         ".method f()\nFOO\nGOTO nowhere\n.end-method\n.constant x 1\n",
         {{instr("f", 0, "FOO"), "FOO", 0, 3},
          {kNoConstEnd, ".constant", 10, 2},
          {kNoMain, "1\n", 0, 1},
          {in("f") + "L'etichetta nowhere non esiste.", "nowhere", 0, 7}},
         Bytes{0x3A, 0x00, 0x00},
         -1,
         [](const IJVMC& a) {
             EXPECT_EQ(bytes(a.methodArea).at(2), 0x00);
             EXPECT_EQ(a.constants.size(), 0);
         }},
        {"undeclared names in every operand position encode index 0",
         ".method f()\nGOTO l1\nIFEQ l2\nIFLT l3\nIFICMPEQ l4\nILOAD v1\nISTORE v2\n"
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
         Bytes{0x3A, 0, 0,    0x44, 0xFF, 0xFD, 0x40, 0xFF, 0xFA, 0x48, 0xFF, 0xF7, 0x1C, 0,
               0x21, 0, 0x28, 0,    0,    0x2C, 0,    0,    0x34, 0,    1,    0x30, 0,    0,
               0x52, 0, 0,    0x68, 0,    1,    0,    0,    0x52, 0,    0,    0x70}},
        {"repeated method and repeated main",
         ".method f()\nIRETURN\n.end-method\n.method f()\nIRETURN\n.end-method\n"
         ".main\nHALT\n.end-main\n.main\nHALT\n.end-main\n",
         {{"Errore. Metodo f già esistente.", ".end-method\n.main", 0, 11},
          {"Errore. Metodo main già esistente.", ".end-main\n.main", 21, 9}},
         kAny,
         4},
        {"constant section without end is dropped, the sections before it count",
         ".main\nHALT\n.end-main\n.constant\na 1\nb 2\n",
         {{kNoConstEnd, ".constant", 10, 2}},
         kAny,
         1,
         [](const IJVMC& a) { EXPECT_TRUE(a.constants.empty()); }},
        {"header without ')' before main",
         ".method f(a\n.main\nHALT\n.end-main\n",
         {{kNoClosing, "f(a", 0, -1}},
         Bytes{0x70},
         1},
        {"header without '(' after main",
         ".main\nHALT\n.end-main\n.method f\nIRETURN\n.end-method\n",
         {{kNoOpening, "f\nIRETURN", 0, -1}},
         Bytes{0x70},
         1},
        brokenHeader("no parentheses", ".method f", kNoOpening),
        brokenHeader("no parentheses but a body", ".method f\nIRETURN\n.end-method", kNoOpening),
        brokenHeader("name over 20 characters",
                     ".method abcdefghijklmnopqrstu(x)\nIRETURN\n.end-method", kNoOpening),
        brokenHeader("unclosed", ".method f(a", kNoClosing),
        brokenHeader("unclosed with a body", ".method f(a\nILOAD a\nIRETURN\n.end-method",
                     kNoClosing),
        brokenHeader("parameters over 50 characters",
                     ".method f(" + std::string(51, 'p') + ")\nIRETURN\n.end-method", kNoClosing),
        {"header at its bounds is read",
         ".method " + longName + "(a," + std::string(48, ' ') +
             ")\nILOAD a\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n",
         {},
         Bytes{0x1C, 0x01, 0x68, 0, 1, 0, 0, 0x70},
         2,
         [longName](const IJVMC& a) { EXPECT_EQ(methodNamed(a, longName).paramCount, 2); }},
        {"variable block without end drops the method and parsing goes on",
         ".method f()\n.var x y\nIRETURN\n.end-method\n.main\n.var a .var b .end-var\nHALT\n"
         ".end-main\n.main\n.var c\n",
         {{"Errore nel metodo f" + kNoVarEnd, ".var", 5, 2},
          {"Errore nel metodo main" + kNoVarEnd, ".var a", 5, 2},
          {"Errore nel metodo main" + kNoVarEnd, ".var c", 5, 2},
          {kNoMain, "c\n", 0, 1}},
         kAny,
         0},
        {"label before the closing keyword swallows it and reads on to the end",
         ".method f()\nIRETURN\nL:\n.end-method\n.main\nHALT\n.end-main\n",
         {{instr("f", 1, ".END-METHOD"), ".end-method", 0, 11},
          {instr("f", 1, ".MAIN"), ".main", 0, 5},
          {instr("f", 2, ".END-MAIN"), ".end-main", 0, 9},
          {unterminated("f"), "", 0, 0},
          {kNoMain, ".end-main", 0, 9}}},
        {"repeated label: the later one wins",
         ".main\nL: NOP\nL: NOP\nGOTO L\n.end-main\n",
         {{in("main") + "L'etichetta L: esiste già", "L: NOP\nGOTO", 0, 2}},
         Bytes{0x01, 0x01, 0x3A, 0xFF, 0xFF},
         -1,
         [](const IJVMC& a) { EXPECT_EQ(methodNamed(a, "main").labels.size(), 2); }},
        {"keywords are not case-blind, names are compared exactly",
         ".METHOD f()\n.main\n.var X .end-var\nILOAD x\n.end-main\n",
         {{in("main") + "La variabile x non esiste.", "x\n.end-main", 0, 1}},
         kAny,
         1},
        {"long names that agree in their first nine bytes are one name",
         ".main\n.var longname1x longname1y .end-var\nHALT\n.end-main\n",
         {{declared("main", "longname1: già esistente"), "longname1y", 0, 10}}},
        // Numbers that cannot be read are reported, never the end of the process.
        {"bad constant value",
         ".constant\nk 0x\nj 7\n.end-constant\n.main\nLDCW j\nHALT\n.end-main\n",
         {{badNumber("0x"), "0x", 0, 2}},
         Bytes{0x30, 0x00, 0x01, 0x70},
         -1,
         [](const IJVMC& a) {
             EXPECT_EQ(a.constants.size(), 2);
             EXPECT_EQ(poolWord(a, 0), 0);
             EXPECT_EQ(poolWord(a, 1), 7);
         }},
        {"missing constant value ends the section there",
         ".constant\nk\n.end-constant\n.main\nHALT\n.end-main\n",
         {{badNumber(".end-constant"), ".end-constant", 0, 13}},
         kAny,
         1,
         [](const IJVMC& a) { EXPECT_EQ(a.constants.size(), 1); }},
        {"bad BIPUSH and IINC operands",
         ".main\n.var x .end-var\nBIPUSH abc\nIINC x 0x1G\nIINC x 0b1\nHALT\n.end-main\n",
         {{badNumber("abc"), "abc", 0, 3},
          {badNumber("0x1G"), "0x1G", 0, 4},
          {badNumber("0b1"), "0b1", 0, 3}},
         Bytes{0x19, 0x00, 0x34, 0x01, 0x00, 0x34, 0x01, 0x00, 0x70}},
        // WIDE with anything but ILOAD or ISTORE is refused and the next word read again.
        {"WIDE IADD",
         ".main\nWIDE IADD\nHALT\n.end-main\n",
         {{instr("main", 0, "WIDE"), "WIDE", 0, 4}},
         Bytes{0x02, 0x70}},
        {"WIDE before the closing keyword leaves it to close the method",
         ".method f()\nwide\n.end-method\n.main\nHALT\n.end-main\n",
         {{instr("f", 0, "WIDE"), "wide", 0, 4}},
         kAny,
         2},
        {"WIDE at the end of the file",
         ".main\nWIDE\n",
         {{instr("main", 0, "WIDE"), "WIDE", 0, 4}, {unterminated("main"), "", 0, 0}}},
        // The end of the file in the middle of things.
        {"missing operand is empty and reported by the encoder",
         ".main\n.var x .end-var\nBIPUSH\n",
         {{unterminated("main"), "", 0, 0}, {badNumber(""), "BIPUSH\n", 7, 0}}},
        {"IINC without operands",
         ".main\nIINC\n",
         {{unterminated("main"), "", 0, 0},
          {in("main") + "La variabile  non esiste.", "IINC\n", 5, 0},
          {badNumber(""), "IINC\n", 5, 0}}},
        // The end of the file ends the last token as a line end would.
        {"HALT last",
         ".main\nbipush 1\nhalt",
         {{unterminated("main"), "", 0, 0}},
         Bytes{0x19, 0x01, 0x70},
         1},
        {"labelled HALT last",
         ".main\nL: halt",
         {{unterminated("main"), "", 0, 0}},
         Bytes{0x70},
         1},
        {"operand last",
         ".main\nbipush 7",
         {{unterminated("main"), "", 0, 0}},
         Bytes{0x19, 0x07},
         1},
        {"dangling label last",
         ".main\nhalt\nL:",
         {{unterminated("main"), "", 0, 0}},
         Bytes{0x70},
         1},
        {"refused word last",
         ".main\nhalt\nfoo",
         {{unterminated("main"), "", 0, 0}, {instr("main", 1, "FOO"), "foo", 0, 3}},
         Bytes{0x70},
         1},
        foreignParameter("a_b", "_"),
        foreignParameter("x.y", "."),
        foreignParameter("a-b", "-"),
        foreignParameter("n\xC3\xA9", "\xC3\xA9"),
        foreignParameter("ab cd$", "$"),
    };
}

std::string shown(const std::string& message, int position, int length) {
    return message + " @" + std::to_string(position) + "+" + std::to_string(length);
}

TEST(IjvmErrors, TextSpanOrderAndWhatSurvives) {
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.what);
        auto a = assemble(row.source);
        std::vector<std::string> got;
        std::vector<std::string> expected;
        for (const ErrorTable& e : a->errors) {
            got.push_back(shown(e.message, e.position, e.length));
        }
        for (const Err& e : row.errors) {
            expected.push_back(shown(e.message, offsetOf(row.source, e.at) + e.shift, e.length));
        }
        EXPECT_EQ(got, expected);
        EXPECT_EQ(a->methodArea.length, a->methodArea.capacity);
        if (row.code) {
            EXPECT_EQ(mainCode(*a), *row.code);
        }
        if (row.methods >= 0) {
            EXPECT_EQ(a->methodCount, row.methods);
        }
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
    ASSERT_FALSE(b->errors.empty());
    for (const ErrorTable& e : b->errors) {
        EXPECT_LE(e.message.size(), 99U);
    }
}

TEST(IjvmErrors, UnknownErrorCodeIsStillRecorded) {
    IJVMC a("unused");
    a.addError(12, "m", "n", 0, 5, 6);
    ASSERT_EQ(a.errors.size(), 1);
    EXPECT_EQ(a.errors.begin()->position, 5);
    EXPECT_FALSE(firstError(a).empty());
}

TEST(IjvmErrors, VectorNeverWritesPastItsCapacity) {
    Vector v;
    v.allocate(3);
    v.putWord(0x01020304);
    EXPECT_EQ(v.overflow, 1);
    EXPECT_EQ(bytes(v), (Bytes{0x04, 0x03, 0x02}));
    EXPECT_EQ(v.at(3), 0);
    EXPECT_EQ(v.at(-1), 0);
    v.allocate(2);
    v.putHalf(-2);
    EXPECT_EQ(bytes(v), (Bytes{0xFF, 0xFE}));
}

} // namespace
} // namespace tessaro::testing
