#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace tessaro::testing_support {

/// Writes text (bytes as given) to a fresh file in the test's temporary folder and returns its
/// path; every call gets a new name so tests never see each other's files.
inline std::string writeTempFile(const std::string& text) {
    static int serial = 0;
    const std::string path = ::testing::TempDir() + "tessaro_machine_" +
                             std::to_string(static_cast<long>(::getpid())) + "_" +
                             std::to_string(serial++) + ".txt";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (file != nullptr) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    return path;
}

} // namespace tessaro::testing_support
