// The files compiled into the program are byte for byte the files of the source tree.

#include "data/bundled.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <set>

namespace tessaro::testing {
namespace {

TEST(Bundled, TheMicroprogramAndTheExamplesAreTheSourceFilesUnderPlainNames) {
    EXPECT_EQ(std::string(bundledMicroprogram()), readFile(bundledMicroprogramPath()));
    std::set<std::string> names;
    for (const BundledFile& example : bundledExamples()) {
        const std::string name(example.name);
        EXPECT_EQ(name.find('/'), std::string::npos) << name;
        EXPECT_TRUE(name.ends_with(".jvm")) << name;
        EXPECT_TRUE(names.insert(name).second) << name << " is listed twice";
        EXPECT_EQ(std::string(example.text),
                  readFile(std::string(TESSARO_SOURCE_DIR) + "/examples/" + name))
            << name;
    }
    EXPECT_GE(names.size(), 12u);
    EXPECT_EQ(names.count("hello.jvm"), 1u);
}

} // namespace
} // namespace tessaro::testing
