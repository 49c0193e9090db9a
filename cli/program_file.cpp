#include "cli/program_file.h"

#include "core/language.h"
#include "core/reader/whole_file.h"

#include <cstdio>

namespace tessaro::cli {

bool readInputFile(const char* command, const std::string& path, std::string& text) {
    WholeFile file = readWholeFile(path);
    if (!file.ok()) {
        std::fprintf(stderr, localized(MessageId::CliCannotRead).c_str(), command, path.c_str(),
                     file.reason().c_str());
        return false;
    }
    text = std::move(file.text);
    return true;
}

} // namespace tessaro::cli
