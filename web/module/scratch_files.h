#pragma once

#include <string>

namespace tessaro::web {

/// The assemblers read and write files: in the browser these live in the module's in-memory
/// file system, under fixed names, one per purpose (the module runs one call at a time).
namespace scratch {
inline const std::string kProgram = "/tmp/program.jvm";
inline const std::string kMicroprogram = "/tmp/microprogram.mal";
inline const std::string kControlStore = "/tmp/microprogram.bin";
inline const std::string kCandidateStore = "/tmp/candidate.bin";
inline const std::string kCheckProgram = "/tmp/check.jvm";
} // namespace scratch

/// Writes text to path; false when it cannot.
bool writeTextFile(const std::string& path, const std::string& text);

} // namespace tessaro::web
