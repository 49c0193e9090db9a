#pragma once

#include <string>

namespace tessaro::cli {

/// Reads the whole file at path into text; false with a message on standard error, prefixed
/// by command ("tessaro-cli run"), when it is a directory or cannot be read.
bool readWholeFile(const char* command, const std::string& path, std::string& text);

/// readWholeFile for a program the assembler will open, which also wants a path it can
/// hold. The assembler and the file readers end the process on files they cannot open: the
/// commands check the program first, where a plain message and exit status 1 can be given.
bool readProgramFile(const char* command, const std::string& path, std::string& text);

} // namespace tessaro::cli
