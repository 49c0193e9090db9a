#pragma once

// Interface agreed between the micro-assembler and its users (the command-line tool, the
// GUI); the micro-assembler work may add members but keeps these.

#include <cstdint>
#include <string>
#include <vector>

namespace tessaro {

/// A problem found in a MAL source: 1-based line number and a short text.
struct MalProblem {
    int line = 0;
    std::string message;
};

class Translate;  // defined in translate_impl (see mal/translate.cpp); fields listed below

} // namespace tessaro
