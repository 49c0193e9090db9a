#include "cli/temporary_files.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tessaro::cli {

TemporaryFiles::~TemporaryFiles() {
    for (const std::string& path : m_paths) {
        std::remove(path.c_str());
    }
}

std::string TemporaryFiles::make(const std::string& suffix) {
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    if (ec) {
        dir = "/tmp";
    }
    std::string pattern = (dir / ("tessaro-run-XXXXXX" + suffix)).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0) {
        return {};
    }
    ::close(fd);
    m_paths.emplace_back(name.data());
    return m_paths.back();
}

} // namespace tessaro::cli
