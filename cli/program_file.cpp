#include "cli/program_file.h"

#include "core/language.h"
#include "core/reader/whole_file.h"

#include <cstdio>
#include <fstream>

namespace tessaro::cli {

bool readInputFile(const char* command, const std::string& path, std::string& text) {
    WholeFile file = readWholeFile(path);
    if (!file.ok()) {
        std::fprintf(stderr, localized("%s: impossibile leggere '%s': %s\n").c_str(), command,
                     path.c_str(), file.reason().c_str());
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
        std::fprintf(stderr,
                     localized("%s: impossibile scrivere una copia temporanea di '%s'\n").c_str(),
                     command, path.c_str());
        return false;
    }
    return true;
}

} // namespace tessaro::cli
