// Mutated sources in bulk: whatever the text, the assembler finishes, lays out an image exactly
// as large as announced and keeps every message within its field.

#include "ijvm_test_util.h"

#include <gtest/gtest.h>

#include <random>

namespace tessaro::test {
namespace {

const char* const kSeeds[] = {
    ".constant\nk1 7\nk2 -1\n.end-constant\n.method f(a, b)\n.var\nx y\n.end-var\nILOAD a\n"
    "ILOAD y\nIADD\nIRETURN\n.end-method\n.main\nBIPUSH 1\nBIPUSH 2\nINVOKEVIRTUAL f\nHALT\n"
    ".end-main\n",
    ".main\n.var x .end-var\nL: NOP\nWIDE ILOAD x\nIINC x -128\nGOTO L\nIFICMPEQ M\n"
    "M: LDCW k\nHALT\n.end-main\n.constant k 0x1F .end-constant\n",
    ".method g(p)\n/* comment */ ILOAD p // rest\nIFEQ z\nBIPUSH 0n101\nz: IRETURN\n"
    ".end-method\n.main INVOKEVIRTUAL g OUT HALT .end-main\n",
};

const char* const kWords[] = {".constant", ".end-constant",
                              ".method",   ".end-method",
                              ".var",      ".end-var",
                              ".main",     ".end-main",
                              "WIDE",      "ILOAD",
                              "GOTO",      "IINC",
                              "L:",        "(",
                              ")",         ",",
                              "//",        "/*",
                              "*/",        "0x",
                              "\r\n",      "\n",
                              " ",         "\xFF",
                              "\xC3\xA9"};

std::string mutate(std::string text, std::mt19937& rng) {
    auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n)(rng);
    };
    const int edits = 1 + static_cast<int>(pick(5));
    for (int e = 0; e < edits; ++e) {
        const std::size_t at = pick(text.size());
        switch (pick(5)) {
        case 0:
            text.erase(at, pick(12));
            break;
        case 1:
            text.insert(at, kWords[pick(std::size(kWords) - 1)]);
            break;
        case 2:
            text.insert(at, 1, static_cast<char>(pick(255)));
            break;
        case 3:
            text.resize(at);
            break;
        case 4: {
            const std::size_t from = pick(text.size());
            text.insert(at, text.substr(from, pick(30)));
            break;
        }
        default:
            if (at < text.size()) {
                text[at] = static_cast<char>(pick(255));
            }
            break;
        }
    }
    return text;
}

TEST(IjvmRandom, MutatedSourcesAlwaysGiveAConsistentImage) {
    std::mt19937 rng(20241206);
    for (int i = 0; i < 2000; ++i) {
        const std::string source = mutate(kSeeds[i % std::size(kSeeds)], rng);
        auto a = assemble(source);
        ASSERT_EQ(a->methodArea.overflow, 0) << source;
        ASSERT_EQ(a->methodArea.length, a->methodArea.capacity) << source;
        ASSERT_EQ(a->constantPool.length, a->constantPool.capacity) << source;
        ASSERT_EQ(a->constantPool.length, 4 * (a->constants.count + a->methodCount)) << source;
        int code = 0;
        for (const Method& m : a->methods) {
            code += m.length;
        }
        ASSERT_EQ(a->methodArea.length, 3 + code + 4 * a->methodCount) << source;
        ASSERT_EQ(a->sourceMap.elementCount(), code) << source;
        for (const ErrorTable& e : a->errors) {
            ASSERT_LE(e.message.size(), 99U) << source;
        }
    }
}

} // namespace
} // namespace tessaro::test
