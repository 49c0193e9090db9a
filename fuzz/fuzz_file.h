#pragma once

// What the fuzz targets share: a scratch file of the process's own for the input bytes (the
// readers under test take paths), and a check that aborts, so that libFuzzer keeps the input.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tessaro::fuzz {

inline std::string scratchPath(const std::string& suffix) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/tessaro_fuzz_" +
           std::to_string(::getpid()) + suffix;
}

inline bool writeBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool whole = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && whole;
}

inline void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

} // namespace tessaro::fuzz
