#pragma once

#include <string>
#include <vector>

namespace tessaro::cli {

/// Temporary files that must not outlive the command, whatever way it ends.
class TemporaryFiles {
public:
    TemporaryFiles() = default;
    TemporaryFiles(const TemporaryFiles&) = delete;
    TemporaryFiles& operator=(const TemporaryFiles&) = delete;
    ~TemporaryFiles();

    /// A new empty file with the given suffix; empty text when none can be made.
    std::string make(const std::string& suffix);

private:
    std::vector<std::string> m_paths;
};

} // namespace tessaro::cli
