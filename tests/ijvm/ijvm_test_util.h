#pragma once

#include "ijvm/ijvmc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace tessaro::test {

/// A fresh path in the test's temporary directory.
inline std::string tempPath(const std::string& suffix = ".jvm") {
    static int counter = 0;
    return ::testing::TempDir() + "ijvm_" + std::to_string(::getpid()) + "_" +
           std::to_string(counter++) + suffix;
}

inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

/// Assembles source from a temporary file.
inline std::unique_ptr<IJVMC> assemble(const std::string& source) {
    const std::string path = tempPath();
    writeFile(path, source);
    auto assembler = std::make_unique<IJVMC>(path);
    assembler->compile();
    std::remove(path.c_str());
    return assembler;
}

inline std::vector<int> bytes(const Vector& v) {
    std::vector<int> out;
    for (int i = 0; i < v.length; ++i) {
        out.push_back(v.data[static_cast<std::size_t>(i)]);
    }
    return out;
}

inline std::int32_t poolWord(const IJVMC& a, int k) {
    std::uint32_t w = 0;
    for (int b = 3; b >= 0; --b) {
        w = (w << 8) | a.constantPool.at(4 * k + b);
    }
    return static_cast<std::int32_t>(w);
}

inline std::vector<ErrorTable> errorList(const IJVMC& a) {
    return {a.errors.begin(), a.errors.end()};
}

inline std::vector<std::string> messages(const IJVMC& a) {
    std::vector<std::string> out;
    for (const ErrorTable& e : a.errors) {
        out.push_back(e.message);
    }
    return out;
}

inline const Method* methodNamed(const IJVMC& a, const std::string& name) {
    for (const Method& m : a.methods) {
        if (m.name == name) {
            return &m;
        }
    }
    return nullptr;
}

inline const SymbolTable* variableNamed(const Method& m, const std::string& name) {
    for (const SymbolTable& v : m.variables) {
        if (v.name == name) {
            return &v;
        }
    }
    return nullptr;
}

/// Byte offset of the occurrence-th (0-based) appearance of what in text.
inline int offsetOf(const std::string& text, const std::string& what, int occurrence = 0) {
    std::size_t at = text.find(what);
    for (int i = 0; i < occurrence && at != std::string::npos; ++i) {
        at = text.find(what, at + 1);
    }
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

/// The code bytes of main (after its 4-byte header) in a program whose only method is main.
inline std::vector<int> mainCode(const IJVMC& a) {
    std::vector<int> all = bytes(a.methodArea);
    return all.size() > 7 ? std::vector<int>(all.begin() + 7, all.end()) : std::vector<int>{};
}

} // namespace tessaro::test
