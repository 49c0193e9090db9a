#pragma once

#include "cli/temporary_files.h"

#include <string>

namespace tessaro::cli {

/// Translates the microprogram at path (the built-in one when path is empty) into a temporary
/// control-store file, whose path goes to bin. Problems are printed to standard error as
/// SOURCE:LINE: message, prefixed by command when they concern no line; false then, and when a
/// file cannot be read or written.
bool translateMicroprogram(const char* command, const std::string& path,
                           TemporaryFiles& temporaries, std::string& bin);

} // namespace tessaro::cli
