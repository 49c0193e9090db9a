// Every error the assembler reports: its exact text, its span, its order, and what survives.

#include "ijvm_test_util.h"

#include <gtest/gtest.h>

namespace tessaro::test {
namespace {

using Bytes = std::vector<int>;

struct Expected {
    std::string message;
    int position;
    int length;
};

void expectErrors(const IJVMC& a, const std::vector<Expected>& expected) {
    const std::vector<ErrorTable> got = errorList(a);
    ASSERT_EQ(got.size(), expected.size()) << (got.empty() ? "" : got[0].message);
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].message, expected[i].message) << "error " << i;
        EXPECT_EQ(got[i].position, expected[i].position) << "error " << i;
        EXPECT_EQ(got[i].length, expected[i].length) << "error " << i;
    }
}

bool validUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
        if (i + n > s.size()) {
            return false;
        }
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += n;
    }
    return true;
}

TEST(IjvmErrors, CorrectProgramHasNone) {
    auto a = assemble(".main\nBIPUSH 1\nOUT\nHALT\n.end-main\n");
    EXPECT_TRUE(a->errors.empty());
}

TEST(IjvmErrors, MisspeltMnemonicGivesTwoRecordsAndTheLineAfterStillAssembles) {
    const std::string src =
        ".main\n.var x .end-var\nBIPUSH 1\nBIPUSH 2\nILAOD x\nHALT\n.end-main\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore nel metodo main in prossimità dell'istruzione 2: ILAOD non esiste.",
                       offsetOf(src, "ILAOD"), 5},
                      {"Errore nel metodo main in prossimità dell'istruzione 2: X non esiste.",
                       offsetOf(src, "x\nHALT"), 1}});
    EXPECT_EQ(mainCode(*a), (Bytes{0x19, 0x01, 0x19, 0x02, 0x70}));
}

TEST(IjvmErrors, UnderscoredMnemonicIsRefusedAndTakesNoSpace) {
    const std::string src = ".constant k 1 .end-constant\n.main\nLDC_W k\nHALT\n.end-main\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore nel metodo main in prossimità dell'istruzione 0: LDC_W non esiste.",
                       offsetOf(src, "LDC_W"), 5},
                      {"Errore nel metodo main in prossimità dell'istruzione 0: K non esiste.",
                       offsetOf(src, "k\nHALT"), 1}});
    EXPECT_EQ(a->codeOffset, 1);
    EXPECT_EQ(mainCode(*a), Bytes{0x70});
}

TEST(IjvmErrors, RepeatedConstantIsReportedOnItsValueAndKept) {
    const std::string src = ".constant\na 1\nb 2\na 300\n.end-constant\n.main\nLDCW a\n.end-main\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore nella dichiarazione delle costanti: a già esistente",
                       offsetOf(src, "300"), 3}});
    EXPECT_EQ(a->constants.size(), 3);
    EXPECT_EQ(std::next(a->constants.begin(), 2)->index, 2);
    EXPECT_EQ(poolWord(*a, 2), 300);
    EXPECT_EQ(mainCode(*a), (Bytes{0x30, 0x00, 0x00})); // the first of the two
}

TEST(IjvmErrors, RepeatedParameterAndVariable) {
    const std::string src = ".method f(p, q, p)\n.var v p v .end-var\nIRETURN\n.end-method\n"
                            ".main\nHALT\n.end-main\n";
    auto a = assemble(src);
    const int text = offsetOf(src, "p, q, p");
    const std::string prefix = "Errore nella dichiarazione delle variabili nel metodo f: ";
    expectErrors(*a, {{prefix + "p: già esistente", text, 7},
                      {prefix + "p: già esistente", offsetOf(src, "p v ."), 1},
                      {prefix + "v: già esistente", offsetOf(src, "v .end-var"), 1}});
    const Method* f = methodNamed(*a, "f");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->paramCount, 4);
    EXPECT_EQ(f->varCount, 3);
    EXPECT_EQ(f->variables.size(), 6);
}

TEST(IjvmErrors, UnterminatedBodyAtTheEndOfTheFileIsReportedOnce) {
    auto a = assemble(".main\nBIPUSH 1\nHALT\n");
    expectErrors(*a, {{"Errore: Il metodo main deve terminare con .end-method", 0, 0}});
    // The method still ends there, with what it had.
    EXPECT_EQ(a->methodCount, 1);
    EXPECT_EQ(mainCode(*a), (Bytes{0x19, 0x01, 0x70}));
}

TEST(IjvmErrors, MethodKeywordInsideABodyIsReportedAndRefused) {
    const std::string src = ".method f()\nIRETURN\n.method g()\nIRETURN\n.end-method\n"
                            ".main\nHALT\n.end-main\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore: Il metodo f deve terminare con .end-method", 0, 0},
                      {"Errore nel metodo f in prossimità dell'istruzione 1: .METHOD non esiste.",
                       offsetOf(src, ".method g"), 7},
                      {"Errore nel metodo f in prossimità dell'istruzione 1: G() non esiste.",
                       offsetOf(src, "g()"), 3}});
    EXPECT_EQ(a->methodCount, 2);
    EXPECT_EQ(methodNamed(*a, "f")->instrCount, 2);
}

TEST(IjvmErrors, MissingMainComesOnceAfterAllDeclarationErrors) {
    const std::string src = ".method f()\nFOO\nGOTO nowhere\n.end-method\n.constant x 1\n";
    auto a = assemble(src);
    const int last = offsetOf(src, "1\n");
    expectErrors(*a, {{"Errore nel metodo f in prossimità dell'istruzione 0: FOO non esiste.",
                       offsetOf(src, "FOO"), 3},
                      {"Errore: L'area delle costanti deve terminare con .end-constant",
                       offsetOf(src, ".constant") + 10, 2},
                      {"Errore: Ogni programma deve contenere il metodo main", last, 1},
                      {"Errore nel metodo f. L'etichetta nowhere non esiste.",
                       offsetOf(src, "nowhere"), 7}});
    // The prologue calls pool entry C + 0.
    const Bytes area = bytes(a->methodArea);
    EXPECT_EQ(Bytes(area.begin(), area.begin() + 3), (Bytes{0x52, 0x00, 0x00}));
    EXPECT_EQ(a->constants.size(), 0);
}

TEST(IjvmErrors, UndeclaredNamesInEveryOperandPosition) {
    const std::string src = ".method f()\n"
                            "GOTO l1\nIFEQ l2\nIFLT l3\nIFICMPEQ l4\n"
                            "ILOAD v1\nISTORE v2\nWIDE ILOAD v3\nWIDE ISTORE v4\nIINC v5 1\n"
                            "LDCW c1\nINVOKEVIRTUAL g\nIRETURN\n.end-method\n"
                            ".main\nINVOKEVIRTUAL f\nHALT\n.end-main\n";
    auto a = assemble(src);
    auto at = [&](const std::string& word) { return offsetOf(src, word); };
    const std::string m = "Errore nel metodo f. ";
    expectErrors(*a, {{m + "L'etichetta l1 non esiste.", at("GOTO") + 5, 2},
                      {m + "L'etichetta l2 non esiste.", at("IFEQ") + 5, 2},
                      {m + "L'etichetta l3 non esiste.", at("IFLT") + 5, 2},
                      {m + "L'etichetta l4 non esiste.", at("IFICMPEQ") + 9, 2},
                      {m + "La variabile v1 non esiste.", at("ILOAD v1") + 6, 2},
                      {m + "La variabile v2 non esiste.", at("ISTORE v2") + 7, 2},
                      {m + "La variabile v3 non esiste.", at("WIDE ILOAD") + 11, 2},
                      {m + "La variabile v4 non esiste.", at("WIDE ISTORE") + 12, 2},
                      {m + "La variabile v5 non esiste.", at("IINC") + 5, 2},
                      {m + "La costante c1 non esiste.", at("LDCW") + 5, 2},
                      {"Errore nel metodo fAll'istruzione INVOKEVIRTUAL. Il metodo g non esiste.",
                       at("INVOKEVIRTUAL g") + 14, 1}});
    // Failed look-ups encode index 0; the image is complete.
    const Bytes area = bytes(a->methodArea);
    EXPECT_EQ(a->methodArea.length, a->methodArea.capacity);
    EXPECT_EQ(Bytes(area.begin() + 7, area.begin() + 10), (Bytes{0x3A, 0x00, 0x00}));
    EXPECT_EQ(Bytes(area.begin() + 10, area.begin() + 13), (Bytes{0x44, 0xFF, 0xFD}));
    EXPECT_EQ(Bytes(area.begin() + 35, area.begin() + 38), (Bytes{0x52, 0x00, 0x00}));
}

TEST(IjvmErrors, RepeatedMethodAndRepeatedMain) {
    const std::string src = ".method f()\nIRETURN\n.end-method\n.method f()\nIRETURN\n.end-method\n"
                            ".main\nHALT\n.end-main\n.main\nHALT\n.end-main\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore. Metodo f già esistente.", offsetOf(src, ".end-method", 1), 11},
                      {"Errore. Metodo main già esistente.", offsetOf(src, ".end-main", 1), 9}});
    EXPECT_EQ(a->methodCount, 4);
}

TEST(IjvmErrors, ConstantSectionWithoutEndIsDroppedAndLaterSectionsStillCount) {
    const std::string src = ".main\nHALT\n.end-main\n.constant\na 1\nb 2\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore: L'area delle costanti deve terminare con .end-constant",
                       offsetOf(src, ".constant") + 10, 2}});
    EXPECT_TRUE(a->constants.empty());
    EXPECT_EQ(a->methodCount, 1);
}

TEST(IjvmErrors, HeaderWithoutClosingParenthesisDropsTheMethod) {
    const std::string src = ".method f(a\n.main\nHALT\n.end-main\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore nel metodo : La parentesi è stata aperta ma non chiusa.",
                       offsetOf(src, "f(a"), -1}});
    EXPECT_EQ(methodNamed(*a, "f"), nullptr);
    EXPECT_NE(methodNamed(*a, "main"), nullptr);
}

TEST(IjvmErrors, HeaderWithoutOpeningParenthesisDropsTheMethod) {
    const std::string src = ".main\nHALT\n.end-main\n.method f\nIRETURN\n.end-method\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore nel metodo : La parentesi tonda non è stata aperta",
                       offsetOf(src, "f\nIRETURN"), -1}});
    EXPECT_EQ(a->methodCount, 1);
}

// A header that lacks a parenthesis must not reach into the sections after it: the reader
// looks at most 20 characters ahead for "(" and 50 for ")", and a second word or a second "("
// ends the look early.
struct BrokenHeader {
    const char* what;
    std::string header;
    std::string message;
};

void PrintTo(const BrokenHeader& c, std::ostream* os) {
    *os << c.what;
}

class IjvmBrokenHeader : public ::testing::TestWithParam<BrokenHeader> {};

TEST_P(IjvmBrokenHeader, DropsItsMethodAndKeepsTheMethodsAfterIt) {
    const BrokenHeader& c = GetParam();
    const std::string src = ".method g(p)\nILOAD p\nIRETURN\n.end-method\n" + c.header +
                            "\n.method h(a, b)\nILOAD b\nIRETURN\n.end-method\n"
                            ".main\nBIPUSH 1\nBIPUSH 2\nINVOKEVIRTUAL h\n"
                            "INVOKEVIRTUAL g\nHALT\n.end-main\n";
    auto a = assemble(src);
    const int headerText = offsetOf(src, c.header) + 8;
    expectErrors(*a, {{c.message, headerText, -1}});
    EXPECT_EQ(a->methodCount, 3);
    const Method* h = methodNamed(*a, "h");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->paramCount, 3);
    EXPECT_EQ(h->instrCount, 2);
    EXPECT_NE(methodNamed(*a, "g"), nullptr);
    EXPECT_NE(methodNamed(*a, "main"), nullptr);
    EXPECT_EQ(a->methodArea.length, a->methodArea.capacity);
}

const std::string kNoOpening = "Errore nel metodo : La parentesi tonda non è stata aperta";
const std::string kNoClosing = "Errore nel metodo : La parentesi è stata aperta ma non chiusa.";

INSTANTIATE_TEST_SUITE_P(
    InTheMiddle, IjvmBrokenHeader,
    ::testing::Values(
        BrokenHeader{"NoParentheses", ".method f", kNoOpening},
        BrokenHeader{"NoParenthesesButABody", ".method f\nIRETURN\n.end-method", kNoOpening},
        BrokenHeader{"NameOverTwentyCharacters",
                     ".method abcdefghijklmnopqrstu(x)\nIRETURN\n.end-method", kNoOpening},
        BrokenHeader{"Unclosed", ".method f(a", kNoClosing},
        BrokenHeader{"UnclosedWithABody", ".method f(a\nILOAD a\nIRETURN\n.end-method", kNoClosing},
        BrokenHeader{"ParametersOverFiftyCharacters",
                     ".method f(" + std::string(51, 'p') +
                         ")\nIRETURN\n"
                         ".end-method",
                     kNoClosing}),
    [](const ::testing::TestParamInfo<BrokenHeader>& info) { return info.param.what; });

TEST(IjvmErrors, HeaderAtItsBoundsIsRead) {
    const std::string name(20, 'n');
    const std::string params = "a," + std::string(48, ' ');
    auto a = assemble(".method " + name + "(" + params +
                      ")\nILOAD a\nIRETURN\n.end-method\n"
                      ".main\nHALT\n.end-main\n");
    ASSERT_TRUE(a->errors.empty()) << messages(*a)[0];
    const Method* f = methodNamed(*a, name);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->paramCount, 2);
}

TEST(IjvmErrors, VariableBlockWithoutEndDropsTheMethodAndParsingGoesOn) {
    const std::string src = ".method f()\n.var x y\nIRETURN\n.end-method\n"
                            ".main\n.var a .var b .end-var\nHALT\n.end-main\n"
                            ".main\n.var c\n";
    auto a = assemble(src);
    const std::string m = ": L'area delle variabili deve terminare con .end-var";
    expectErrors(
        *a, {{"Errore nel metodo f" + m, offsetOf(src, ".var") + 5, 2},
             {"Errore nel metodo main" + m, offsetOf(src, ".var a") + 5, 2},
             {"Errore nel metodo main" + m, offsetOf(src, ".var c") + 5, 2},
             {"Errore: Ogni programma deve contenere il metodo main", offsetOf(src, "c\n"), 1}});
    EXPECT_EQ(a->methodCount, 0);
}

TEST(IjvmErrors, LabelBeforeTheClosingKeywordSwallowsIt) {
    const std::string src = ".method f()\nIRETURN\nL:\n.end-method\n.main\nHALT\n.end-main\n";
    auto a = assemble(src);
    const std::string m = "Errore nel metodo f in prossimità dell'istruzione 1: ";
    // The body then reads on through main to the end of the file.
    expectErrors(*a, {{m + ".END-METHOD non esiste.", offsetOf(src, ".end-method"), 11},
                      {m + ".MAIN non esiste.", offsetOf(src, ".main"), 5},
                      {"Errore nel metodo f in prossimità dell'istruzione 2: .END-MAIN non esiste.",
                       offsetOf(src, ".end-main"), 9},
                      {"Errore: Il metodo f deve terminare con .end-method", 0, 0},
                      {"Errore: Ogni programma deve contenere il metodo main",
                       offsetOf(src, ".end-main"), 9}});
}

// --- numbers that cannot be read: reported, never the end of the process -------------------

TEST(IjvmNumbers, BadConstantValueIsAnErrorOnItsToken) {
    const std::string src = ".constant\nk 0x\nj 7\n.end-constant\n.main\nLDCW j\nHALT\n.end-main\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore: il numero 0x non è valido.", offsetOf(src, "0x"), 2}});
    EXPECT_EQ(a->constants.size(), 2);
    EXPECT_EQ(poolWord(*a, 0), 0);
    EXPECT_EQ(poolWord(*a, 1), 7);
    EXPECT_EQ(mainCode(*a), (Bytes{0x30, 0x00, 0x01, 0x70}));
}

TEST(IjvmNumbers, MissingConstantValueEndsTheSectionThere) {
    const std::string src = ".constant\nk\n.end-constant\n.main\nHALT\n.end-main\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore: il numero .end-constant non è valido.",
                       offsetOf(src, ".end-constant"), 13}});
    EXPECT_EQ(a->constants.size(), 1);
    EXPECT_EQ(a->methodCount, 1);
}

TEST(IjvmNumbers, BadBipushAndIincOperandsAreEncodingErrors) {
    const std::string src = ".main\n.var x .end-var\nBIPUSH abc\nIINC x 0x1G\nIINC x 0b1\nHALT\n"
                            ".end-main\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore: il numero abc non è valido.", offsetOf(src, "abc"), 3},
                      {"Errore: il numero 0x1G non è valido.", offsetOf(src, "0x1G"), 4},
                      {"Errore: il numero 0b1 non è valido.", offsetOf(src, "0b1"), 3}});
    EXPECT_EQ(mainCode(*a), (Bytes{0x19, 0x00, 0x34, 0x01, 0x00, 0x34, 0x01, 0x00, 0x70}));
}

// --- WIDE with anything but ILOAD or ISTORE -------------------------------------------------

TEST(IjvmWide, WideAloneIsRefusedAndTheNextWordIsReadAgain) {
    const std::string src = ".main\nWIDE IADD\nHALT\n.end-main\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore nel metodo main in prossimità dell'istruzione 0: WIDE non esiste.",
                       offsetOf(src, "WIDE"), 4}});
    EXPECT_EQ(mainCode(*a), (Bytes{0x02, 0x70}));
    EXPECT_EQ(a->methodArea.length, a->methodArea.capacity);
}

TEST(IjvmWide, WideBeforeTheClosingKeywordLeavesItToCloseTheMethod) {
    const std::string src = ".method f()\nwide\n.end-method\n.main\nHALT\n.end-main\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore nel metodo f in prossimità dell'istruzione 0: WIDE non esiste.",
                       offsetOf(src, "wide"), 4}});
    EXPECT_EQ(a->methodCount, 2);
}

TEST(IjvmWide, WideAtTheEndOfTheFile) {
    auto a = assemble(".main\nWIDE\n");
    ASSERT_EQ(a->errors.size(), 2);
    EXPECT_EQ(errorList(*a)[1].message, "Errore: Il metodo main deve terminare con .end-method");
}

// --- the end of the file in the middle of things --------------------------------------------

TEST(IjvmEndOfFile, MissingOperandIsEmptyAndReportedByTheEncoder) {
    const std::string src = ".main\n.var x .end-var\nBIPUSH\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore: Il metodo main deve terminare con .end-method", 0, 0},
                      {"Errore: il numero  non è valido.", static_cast<int>(src.size()), 0}});
    EXPECT_EQ(a->methodArea.length, a->methodArea.capacity);

    auto b = assemble(".main\nIINC\n");
    ASSERT_EQ(b->errors.size(), 3);
    EXPECT_EQ(errorList(*b)[1].message, "Errore nel metodo main. La variabile  non esiste.");
    EXPECT_EQ(errorList(*b)[2].message, "Errore: il numero  non è valido.");
}

// The end of the file ends the last token as a line end would: it is still an instruction
// of the unterminated body.
struct LastToken {
    const char* what;
    std::string source;
    std::vector<std::string> messages;
    Bytes code;
};

void PrintTo(const LastToken& c, std::ostream* os) {
    *os << c.what;
}

class IjvmLastToken : public ::testing::TestWithParam<LastToken> {};

TEST_P(IjvmLastToken, ReachesTheRecorderWithoutAFinalLineFeed) {
    const LastToken& c = GetParam();
    auto a = assemble(c.source);
    EXPECT_EQ(messages(*a), c.messages);
    EXPECT_EQ(a->methodCount, 1);
    EXPECT_EQ(mainCode(*a), c.code);
    EXPECT_EQ(a->methodArea.length, a->methodArea.capacity);
}

const std::string kMainUnterminated = "Errore: Il metodo main deve terminare con .end-method";

INSTANTIATE_TEST_SUITE_P(
    Sources, IjvmLastToken,
    ::testing::Values(
        LastToken{"Halt", ".main\nbipush 1\nhalt", {kMainUnterminated}, {0x19, 0x01, 0x70}},
        LastToken{"LabelledHalt", ".main\nL: halt", {kMainUnterminated}, {0x70}},
        LastToken{"OperandLast", ".main\nbipush 7", {kMainUnterminated}, {0x19, 0x07}},
        LastToken{"DanglingLabel", ".main\nhalt\nL:", {kMainUnterminated}, {0x70}},
        LastToken{"Refused",
                  ".main\nhalt\nfoo",
                  {kMainUnterminated,
                   "Errore nel metodo main in prossimità dell'istruzione 1: FOO non esiste."},
                  {0x70}}),
    [](const ::testing::TestParamInfo<LastToken>& info) { return info.param.what; });

TEST(IjvmEndOfFile, DanglingLabelAndDroppedSectionsNeverLoop) {
    const char* sources[] = {".main\nL:",        ".main\nL:\n",      ".method",
                             ".method f(",       ".method f() .var", ".main .var x",
                             ".constant a",      ".constant a 1",    ".main GOTO",
                             ".method f()\nL: ", ".main\n.var\n",    "/* .main"};
    for (const char* src : sources) {
        auto a = assemble(src);
        EXPECT_FALSE(a->errors.empty()) << src;
        EXPECT_EQ(a->methodArea.length, a->methodArea.capacity) << src;
        int threes = 0;
        for (const std::string& msg : messages(*a)) {
            threes += msg.find("deve terminare con .end-method") != std::string::npos ? 1 : 0;
        }
        EXPECT_LE(threes, 1) << src;
    }
}

// --- texts too long, names with foreign characters ------------------------------------------

TEST(IjvmLimits, LongMessagesAreCutOnACharacterBoundary) {
    // The refused token fills the message beyond 99 bytes, with two-byte characters at the cut.
    std::string token = "X";
    for (int i = 0; i < 40; ++i) {
        token += "\xC3\xA9"; // é
    }
    auto a = assemble(".main\n" + token + "\nHALT\n.end-main\n");
    ASSERT_EQ(a->errors.size(), 1);
    const std::string msg = a->errors.begin()->message;
    const std::string full =
        "Errore nel metodo main in prossimità dell'istruzione 0: " + token + " non esiste.";
    EXPECT_LE(msg.size(), 99U);
    EXPECT_GE(msg.size(), 98U);
    EXPECT_EQ(full.compare(0, msg.size(), msg), 0);
    EXPECT_TRUE(validUtf8(msg));

    // A token over 100 bytes is cut by the reader; the message still fits.
    auto b = assemble(".main\n" + std::string(300, 'Q') + "\nHALT\n.end-main\n");
    ASSERT_FALSE(b->errors.empty());
    for (const std::string& m : messages(*b)) {
        EXPECT_LE(m.size(), 99U);
    }
}

struct ForeignParameter {
    std::string piece;
    std::string character;
};

class IjvmForeignParameter : public ::testing::TestWithParam<ForeignParameter> {};

TEST_P(IjvmForeignParameter, IsNamedWithItsCharacterAndTheOthersKeepTheirIndexes) {
    const ForeignParameter& c = GetParam();
    const std::string text = c.piece + ", c";
    const std::string src =
        ".method f(" + text + ")\nILOAD c\nIRETURN\n.end-method\n" + ".main\nHALT\n.end-main\n";
    auto a = assemble(src);
    expectErrors(*a, {{"Errore nella dichiarazione delle variabili nel metodo f: " + c.piece +
                           ": il carattere '" + c.character + "' non è ammesso",
                       offsetOf(src, text), static_cast<int>(text.size())}});
    const Method* f = methodNamed(*a, "f");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->paramCount, 3);
    EXPECT_EQ(variableNamed(*f, "c")->index, 2);
    EXPECT_EQ(bytes(a->methodArea)[8], 0x02);
}

INSTANTIATE_TEST_SUITE_P(Pieces, IjvmForeignParameter,
                         ::testing::Values(ForeignParameter{"a_b", "_"},
                                           ForeignParameter{"x.y", "."},
                                           ForeignParameter{"a-b", "-"},
                                           ForeignParameter{"n\xC3\xA9", "\xC3\xA9"},
                                           ForeignParameter{"ab cd$", "$"}));

TEST(IjvmLimits, ParametersSplitLikeTheirTokens) {
    auto a = assemble(".method f(a b, 2c)\nIRETURN\n.end-method\n.main\nHALT\n.end-main\n");
    ASSERT_TRUE(a->errors.empty());
    const Method* f = methodNamed(*a, "f");
    EXPECT_EQ(f->paramCount, 5);
    EXPECT_EQ(variableNamed(*f, "2")->index, 3);
    EXPECT_EQ(variableNamed(*f, "c")->index, 4);
}

TEST(IjvmLimits, UnknownErrorCodeIsStillRecorded) {
    IJVMC a("unused");
    a.addError(12, "m", "n", 0, 5, 6);
    ASSERT_EQ(a.errors.size(), 1);
    EXPECT_EQ(a.errors.begin()->position, 5);
    EXPECT_FALSE(a.errors.begin()->message.empty());
}

TEST(IjvmLimits, VectorNeverWritesPastItsCapacity) {
    Vector v;
    v.allocate(3);
    v.putWord(0x01020304);
    EXPECT_EQ(v.length, 3);
    EXPECT_EQ(v.overflow, 1);
    EXPECT_EQ(bytes(v), (Bytes{0x04, 0x03, 0x02}));
    EXPECT_EQ(v.at(3), 0);
    EXPECT_EQ(v.at(-1), 0);
    v.allocate(2);
    v.putHalf(-2);
    EXPECT_EQ(bytes(v), (Bytes{0xFF, 0xFE}));
}

} // namespace
} // namespace tessaro::test
