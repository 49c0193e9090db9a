#include "cli/program_file.h"

#include "core/reader/whole_file.h"

#include <cstdio>
#include <fstream>

namespace tessaro::cli {

bool readInputFile(const char* command, const std::string& path, std::string& text) {
    WholeFile file = readWholeFile(path);
    if (!file.ok()) {
        std::fprintf(stderr, "%s: cannot read '%s': %s\n", command, path.c_str(),
                     file.reason().c_str());
        return false;
    }
    text = std::move(file.text);
    return true;
}

bool readInputCopy(const char* command, const std::string& path, const std::string& suffix,
                   TemporaryFiles& temporaries, std::string& text, std::string& copyPath) {
    if (!readInputFile(command, path, text)) {
        return false;
    }
    copyPath = temporaries.make(suffix);
    std::ofstream out(copyPath, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (copyPath.empty() || !out) {
        std::fprintf(stderr, "%s: cannot write a temporary copy of '%s'\n", command, path.c_str());
        return false;
    }
    return true;
}

} // namespace tessaro::cli
