#pragma once

#include <string>

namespace tessaro::cli {

/// Reads the whole input file at path once (a pipe or a device as well as a plain file, at most
/// kMaxSourceBytes) into text; false with a message on standard error, prefixed by command
/// ("tessaro-cli run"), when it cannot be read or is too large.
bool readInputFile(const char* command, const std::string& path, std::string& text);

} // namespace tessaro::cli
