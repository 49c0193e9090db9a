#include "cli/diagnostics.h"

#include <cstdio>

namespace tessaro::cli {

void lineAndColumn(const std::string& text, int offset, int& line, int& column) {
    std::size_t end = offset < 0 ? 0 : static_cast<std::size_t>(offset);
    if (end > text.size()) {
        end = text.size();
    }
    line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    column = static_cast<int>(end - lineStart) + 1;
}

void printAssemblerErrors(const std::string& program, const std::string& source,
                          const List<AssemblyError>& errors) {
    for (const AssemblyError& error : errors) {
        int line = 0;
        int column = 0;
        lineAndColumn(source, error.position, line, column);
        std::fprintf(stderr, "%s:%d:%d: %s\n", program.c_str(), line, column,
                     error.message.c_str());
    }
}

} // namespace tessaro::cli
