#include "cli/run_options.h"

#include "core/language.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace tessaro::cli {

bool parseRunOptions(int argc, char** argv, RunOptions& options) {
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--stats") {
            options.stats = true;
        } else if (arg == "--microprogram" || arg == "--instructions" || arg == "--max-steps" ||
                   arg == "--memory-limit") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, localized(MessageId::CliRunNeedsValue).c_str(), arg.c_str(),
                             localized(MessageId::CliRunUsage).c_str());
                return false;
            }
            const std::string value = argv[++i];
            if (arg == "--microprogram") {
                options.microprogram = value;
                continue;
            }
            if (arg == "--instructions") {
                options.instructions = value;
                continue;
            }
            // A count of micro-instructions or of words: plain decimal digits, at least 1.
            char* end = nullptr;
            errno = 0;
            const long long count = std::strtoll(value.c_str(), &end, 10);
            if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos ||
                *end != '\0' || errno == ERANGE || count < 1) {
                std::fprintf(stderr, localized(MessageId::CliRunNeedsPositive).c_str(), arg.c_str(),
                             value.c_str());
                return false;
            }
            (arg == "--max-steps" ? options.maxSteps : options.memoryLimit) = count;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, localized(MessageId::CliRunUnknownOption).c_str(), arg.c_str(),
                         localized(MessageId::CliRunUsage).c_str());
            return false;
        } else if (options.program.empty()) {
            options.program = arg;
        } else {
            std::fprintf(stderr, localized(MessageId::CliRunTwoPrograms).c_str(),
                         localized(MessageId::CliRunUsage).c_str());
            return false;
        }
    }
    if (options.program.empty()) {
        std::fputs(localized(MessageId::CliRunUsage).c_str(), stderr);
        return false;
    }
    return true;
}

} // namespace tessaro::cli
