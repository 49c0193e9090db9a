#pragma once

#include "cli/temporary_files.h"

#include <string>

namespace tessaro::cli {

/// Reads the whole input file at path once (a pipe or a device as well as a plain file, at most
/// kMaxSourceBytes) into text; false with a message on standard error, prefixed by command
/// ("tessaro-cli run"), when it cannot be read or is too large.
bool readInputFile(const char* command, const std::string& path, std::string& text);

/// readInputFile, then the text written to a new temporary file (with suffix) whose path is put
/// in copyPath: the assemblers read their sources by path, and giving them the copy means that
/// what they assemble is exactly what was read, and that a pipe is read only once.
bool readInputCopy(const char* command, const std::string& path, const std::string& suffix,
                   TemporaryFiles& temporaries, std::string& text, std::string& copyPath);

} // namespace tessaro::cli
