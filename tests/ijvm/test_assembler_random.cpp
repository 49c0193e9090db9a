// Mutated sources in bulk, and sources that stop anywhere: whatever the text, the assembler
// finishes, lays out an image exactly as large as announced and keeps every message within
// its field.

#include "tests/ijvm/assembler.h"

#include <gtest/gtest.h>

#include <random>

namespace tessaro::testing {
namespace {

// Returns how many methods were reported unterminated.
int expectConsistent(const IjvmAssembler& a, const std::string& source) {
    SCOPED_TRACE(source);
    EXPECT_EQ(a.methodArea.overflow, 0);
    EXPECT_EQ(a.constantPool.length, a.constantPool.capacity);
    EXPECT_EQ(a.constantPool.length, 4 * (a.constants.count + a.methodCount));
    int code = 0;
    for (const Method& m : a.methods) {
        code += m.length;
    }
    EXPECT_EQ(a.methodArea.length, a.methodArea.capacity);
    EXPECT_EQ(a.methodArea.length, 3 + code + 4 * a.methodCount);
    EXPECT_EQ(a.sourceMap.byteCount(), code);
    int unterminated = 0;
    for (const AssemblyError& e : a.errors) {
        EXPECT_LE(e.message.size(), 99U);
        unterminated += e.message.find("deve terminare") != std::string::npos ? 1 : 0;
    }
    return unterminated;
}

TEST(IjvmRandom, MutatedSourcesAlwaysGiveAConsistentImage) {
    const std::string seeds[] = {
        ".constant\nk1 7\nk2 -1\n.end-constant\n.method f(a, b)\n.var\nx y\n.end-var\nILOAD a\n"
        "ILOAD y\nIADD\nIRETURN\n.end-method\n.main\nBIPUSH 1\nBIPUSH 2\nINVOKEVIRTUAL f\nHALT\n"
        ".end-main\n",
        ".main\n.var x .end-var\nL: NOP\nWIDE ILOAD x\nIINC x -128\nGOTO L\nIFICMPEQ M\n"
        "M: LDCW k\nHALT\n.end-main\n.constant k 0x1F .end-constant\n",
        ".method g(p)\n/* comment */ ILOAD p // rest\nIFEQ z\nBIPUSH 0n101\nz: IRETURN\n"
        ".end-method\n.main INVOKEVIRTUAL g OUT HALT .end-main\n"};
    // clang-format off
    const std::string words[] = {".constant", ".end-constant", ".method", ".end-method", ".var",
        ".end-var", ".main", ".end-main", "WIDE", "ILOAD", "GOTO", "IINC", "L:", "(", ")", ",",
        "//", "/*", "*/", "0x", "\r\n", "\n", " ", "\xFF", "\xC3\xA9"};
    // clang-format on
    std::mt19937 rng(20241206);
    auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n)(rng);
    };
    for (int i = 0; i < 2000 && !::testing::Test::HasFailure(); ++i) {
        std::string text = seeds[i % 3];
        for (std::size_t e = 0, edits = 1 + pick(5); e < edits; ++e) {
            const std::size_t at = pick(text.size());
            const std::size_t how = pick(5);
            if (how == 0) {
                text.erase(at, pick(12));
            } else if (how == 1) {
                text.insert(at, words[pick(std::size(words) - 1)]);
            } else if (how == 2) {
                text.insert(at, 1, static_cast<char>(pick(255)));
            } else if (how == 3) {
                text.resize(at);
            } else if (how == 4) {
                text.insert(at, text.substr(pick(text.size()), pick(30)));
            } else if (at < text.size()) {
                text[at] = static_cast<char>(pick(255));
            }
        }
        expectConsistent(*assemble(text), text);
    }
}

TEST(IjvmRandom, SourcesEndingMidwayAreReportedAndNeverLoop) {
    for (const char* source : {".main\nL:", ".main\nL:\n", ".method", ".method f(",
                               ".method f() .var", ".main .var x", ".constant a", ".constant a 1",
                               ".main GOTO", ".method f()\nL: ", ".main\n.var\n", "/* .main"}) {
        auto a = assemble(source);
        EXPECT_FALSE(a->errors.empty()) << source;
        EXPECT_LE(expectConsistent(*a, source), 1) << source;
    }
}

} // namespace
} // namespace tessaro::testing
