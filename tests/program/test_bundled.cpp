// The files compiled into the program are byte for byte the files of the source tree.

#include "data/bundled.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace tessaro::testing {
namespace {

std::string sourceFile(const std::string& relative) {
    std::ifstream in(std::string(TESSARO_SOURCE_DIR) + "/" + relative, std::ios::binary);
    EXPECT_TRUE(in.good()) << relative;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Bundled, MicroprogramIsTheSourceFile) {
    const std::string expected = sourceFile("data/velkora.mal");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(std::string(bundledMicroprogram()), expected);
}

TEST(Bundled, ExamplesAreTheSourceFilesUnderPlainNames) {
    const auto& examples = bundledExamples();
    ASSERT_GE(examples.size(), 12u);
    std::set<std::string> names;
    for (const BundledFile& example : examples) {
        const std::string name(example.name);
        EXPECT_EQ(name.find('/'), std::string::npos) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".jvm") << name;
        EXPECT_TRUE(names.insert(name).second) << name << " is listed twice";
        EXPECT_EQ(std::string(example.text), sourceFile("examples/" + name)) << name;
    }
    EXPECT_EQ(names.count("hello.jvm"), 1u);
}

} // namespace
} // namespace tessaro::testing
