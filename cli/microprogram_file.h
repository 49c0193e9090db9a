#pragma once

#include "machine/control_store_file.h"

#include <string>

namespace tessaro::cli {

/// Reads and translates the microprogram at path (the built-in one when path is empty) into
/// store. Problems are printed to standard error as SOURCE:LINE: message; false then, and when
/// the file cannot be read.
bool translateMicroprogram(const char* command, const std::string& path,
                           ControlStoreRecords& store);

} // namespace tessaro::cli
