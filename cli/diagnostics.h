#pragma once

#include "core/list.h"
#include "ijvm/records.h"

#include <string>

namespace tessaro::cli {

/// Line and column (both 1-based, the column in bytes) of a byte offset in text; offsets outside
/// the text are placed at its nearest end.
void lineAndColumn(const std::string& text, int offset, int& line, int& column);

/// Writes each assembler error to standard error as PROGRAM:LINE:COLUMN: message, the position
/// taken from the error's span in source (the bytes the assembler read).
void printAssemblerErrors(const std::string& program, const std::string& source,
                          const List<AssemblyError>& errors);

} // namespace tessaro::cli
