#pragma once

#include "mal/micro_assembler.h"

#include <string>

namespace tessaro::web {

/// The control store every new run and session uses: the bundled microprogram's until a text
/// translates without problems through useMicroprogram.
const ControlStoreRecords& currentControlStore();
/// Translates text and, without problems, makes its control store the current one.
AssembledMicroprogram useMicroprogram(const std::string& text);

} // namespace tessaro::web
