#pragma once

#include <string>

namespace tessaro::testing {

/// A path in this test program's scratch folder, which is removed when the program ends. The
/// same name gives the same path; uniqueName() gives a name no other call has given.
std::string scratchPath(const std::string& name);
std::string uniqueName(const std::string& suffix);

/// Writes bytes to a fresh scratch file (suffix picks the extension) and returns its path.
std::string writeScratch(const std::string& bytes, const std::string& suffix = ".txt");

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

/// The bundled microprogram's source.
std::string bundledMicroprogramPath();

} // namespace tessaro::testing
