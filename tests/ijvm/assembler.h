#pragma once

// Assembling a text and reading the image back, for the assembler's tests.

#include "ijvm/ijvm_assembler.h"
#include "tests/support/files.h"

#include <memory>
#include <string>

namespace tessaro::testing {

inline std::unique_ptr<IjvmAssembler> assemble(const std::string& source) {
    auto assembler = std::make_unique<IjvmAssembler>(writeScratch(source, ".jvm"));
    assembler->compile();
    return assembler;
}

/// The whole image in short: the method-area bytes in hex, then the constant-pool words
/// (stored least significant byte first).
inline std::string image(const IjvmAssembler& a) {
    std::string out;
    for (int i = 0; i < a.methodArea.length; ++i) {
        out += "0123456789ABCDEF"[a.methodArea.at(i) >> 4];
        out += "0123456789ABCDEF"[a.methodArea.at(i) & 15];
        out += ' ';
    }
    out += '|';
    for (int k = 0; 4 * k < a.constantPool.length; ++k) {
        std::uint32_t word = 0;
        for (int b = 3; b >= 0; --b) {
            word = (word << 8) | a.constantPool.at(4 * k + b);
        }
        out += ' ';
        out += std::to_string(static_cast<std::int32_t>(word));
    }
    return out;
}

inline std::string firstError(const IjvmAssembler& a) {
    return a.errors.empty() ? "" : a.errors.begin()->message;
}

inline const Method& methodNamed(const IjvmAssembler& a, const std::string& name) {
    static const Method none;
    Method probe;
    probe.name = name;
    const Method* found = a.methods.find(probe);
    return found ? *found : none;
}

/// Index of a parameter or variable of m, -1 when it has none of that name.
inline int indexOf(const Method& m, const std::string& name) {
    const Symbol* found = m.variables.find(Symbol{0, name, 0});
    return found ? found->index : -1;
}

inline int offsetOf(const std::string& text, const std::string& what) {
    return static_cast<int>(text.find(what)); // -1 when absent
}

} // namespace tessaro::testing
