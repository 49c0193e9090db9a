#include "cli/program_file.h"

#include "core/language.h"

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
        std::fprintf(stderr, localized("%s: impossibile leggere '%s': è una cartella\n").c_str(),
                     command, path.c_str());
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, localized("%s: impossibile leggere '%s': %s\n").c_str(), command,
                     path.c_str(), std::strerror(errno));
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        std::fprintf(stderr, localized("%s: impossibile leggere '%s'\n").c_str(), command,
                     path.c_str());
        return false;
    }
    return true;
}

bool readProgramFile(const char* command, const std::string& path, std::string& text) {
    if (!readWholeFile(command, path, text)) {
        return false;
    }
    if (path.size() > FileReader::kMaxFileName) {
        std::fprintf(stderr, localized("%s: il percorso '%s' è più lungo di %zu byte\n").c_str(),
                     command, path.c_str(), FileReader::kMaxFileName);
        return false;
    }
    return true;
}

} // namespace tessaro::cli
