#include "cli/program_file.h"

#include "core/reader/file_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tessaro::cli {

bool readWholeFile(const char* command, const std::string& path, std::string& text) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        std::fprintf(stderr, "%s: cannot read '%s': it is a directory\n", command, path.c_str());
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot read '%s': %s\n", command, path.c_str(),
                     std::strerror(errno));
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        std::fprintf(stderr, "%s: cannot read '%s'\n", command, path.c_str());
        return false;
    }
    return true;
}

bool readProgramFile(const char* command, const std::string& path, std::string& text) {
    if (!readWholeFile(command, path, text)) {
        return false;
    }
    if (path.size() > FileReader::kMaxFileName) {
        std::fprintf(stderr, "%s: the path '%s' is longer than %zu bytes\n", command, path.c_str(),
                     FileReader::kMaxFileName);
        return false;
    }
    return true;
}

} // namespace tessaro::cli
