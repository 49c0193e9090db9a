#pragma once

// Assembling a text and reading the image back, for the assembler's tests.

#include "ijvm/ijvmc.h"
#include "tests/support/files.h"

#include <memory>
#include <string>
#include <vector>

namespace tessaro::testing {

using Bytes = std::vector<int>;

inline std::unique_ptr<IJVMC> assemble(const std::string& source) {
    auto assembler = std::make_unique<IJVMC>(writeScratch(source, ".jvm"));
    assembler->compile();
    return assembler;
}

inline Bytes bytes(const Vector& v) {
    return Bytes(v.data.get(), v.data.get() + v.length);
}

/// The method area after the prologue and the first method's header: the code of a program
/// whose only method is main.
inline Bytes mainCode(const IJVMC& a) {
    const Bytes all = bytes(a.methodArea);
    return all.size() > 7 ? Bytes(all.begin() + 7, all.end()) : Bytes{};
}

/// Constant-pool word k (stored least significant byte first).
inline std::int32_t poolWord(const IJVMC& a, int k) {
    std::uint32_t w = 0;
    for (int b = 3; b >= 0; --b) {
        w = (w << 8) | a.constantPool.at(4 * k + b);
    }
    return static_cast<std::int32_t>(w);
}

inline std::string firstError(const IJVMC& a) {
    return a.errors.empty() ? "" : a.errors.begin()->message;
}

inline const Method& methodNamed(const IJVMC& a, const std::string& name) {
    static const Method none = [] {
        Method m;
        m.name = "(none)";
        return m;
    }();
    for (const Method& m : a.methods) {
        if (m.name == name) {
            return m;
        }
    }
    return none;
}

/// Index of a parameter or variable of m, -1 when it has none of that name.
inline int indexOf(const Method& m, const std::string& name) {
    for (const SymbolTable& v : m.variables) {
        if (v.name == name) {
            return v.index;
        }
    }
    return -1;
}

inline int offsetOf(const std::string& text, const std::string& what) {
    const std::size_t at = text.find(what);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

} // namespace tessaro::testing
