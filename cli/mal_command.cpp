#include "cli/commands.h"

#include "mal/micro_assembler.h"

#include <cstdio>
#include <cstring>

namespace tessaro::cli {

int malCommand(int argc, char** argv) {
    const char* const usage = "usage: tessaro-cli mal SOURCE.mal OUTPUT.bin\n";
    if (argc == 1 && (std::strcmp(argv[0], "--help") == 0 || std::strcmp(argv[0], "-h") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc != 2) {
        std::fputs(usage, stderr);
        return 1;
    }
    const char* sourcePath = argv[0];
    MicroAssembler translate(sourcePath, argv[1]);
    translate.tryRun();
    for (const MalProblem& problem : translate.problems) {
        if (problem.line > 0) {
            std::fprintf(stderr, "%s:%d: %s\n", sourcePath, problem.line, problem.message.c_str());
        } else {
            std::fprintf(stderr, "tessaro-cli mal: %s\n", problem.message.c_str());
        }
    }
    return translate.problems.empty() ? 0 : 1;
}

} // namespace tessaro::cli
