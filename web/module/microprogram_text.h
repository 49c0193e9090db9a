#pragma once

#include "mal/micro_assembler.h"

#include <string>
#include <vector>

namespace tessaro::web {

/// What translating a microprogram text gave: its problems (none: the control store was
/// written to the path asked for).
struct MicroprogramTranslation {
    std::vector<MalProblem> problems;
    bool ok() const { return problems.empty(); }
};

/// Translates a MAL text into a control-store file at binPath.
MicroprogramTranslation translateText(const std::string& text, const std::string& binPath);

/// The control-store file every new run and session uses: the bundled microprogram until a
/// text translates without problems through useMicroprogram.
const std::string& currentControlStore();
/// Translates text and, without problems, makes it the current control store.
MicroprogramTranslation useMicroprogram(const std::string& text);

} // namespace tessaro::web
