#pragma once

#include "ijvm/records.h"
#include "presentation/error_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaro::web {

/// How a batch run ended, as `tessaro-cli run` tells by its exit status.
enum class RunEnd {
    Halt,   ///< HALT reached
    Err,    ///< HALT reached through ERR
    Bound,  ///< the micro-instruction bound ran out first
    Memory, ///< the program needed more words than the memory limit allows
    Error,  ///< the program did not assemble, ran off its code, or the input was not a number
};

/// What a batch run of a program gave.
struct ProgramRun {
    std::string output;
    RunEnd end = RunEnd::Halt;
    std::int64_t microInstructions = 0; ///< after the start-up call that enters main
    std::string message;                ///< why it ended, for every end but Halt
    std::vector<ListedError> errors;    ///< when the source did not assemble
};

/// "halt", "err", "bound", "memory" or "error".
const char* runEndName(RunEnd end);

/// Runs source to HALT on the current microprogram as `tessaro-cli run` does, with input as
/// the text its standard input would hold and maxSteps micro-instructions at most (negative:
/// no bound).
ProgramRun runProgram(const std::string& source, const std::string& input, std::int64_t maxSteps);

/// Bytes as UTF-8 text with one character per byte (code points 0-255), so that what OUT
/// writes reaches JavaScript byte for byte: embind reads a std::string as UTF-8, and a lone
/// byte from 128 up is not valid UTF-8.
std::string bytesAsText(const std::string& bytes);

/// The assembler's errors placed in a source as the page's text area holds it.
std::vector<ListedError> placeErrors(const std::string& source, const List<AssemblyError>& errors);

} // namespace tessaro::web
