#include "cli/commands.h"

#include "core/language.h"

#include "mal/micro_assembler.h"

#include <cstdio>
#include <cstring>

namespace tessaro::cli {

int malCommand(int argc, char** argv) {
    const std::string usage = localized("uso: tessaro-cli mal SORGENTE.mal USCITA.bin\n");
    if (argc == 1 && (std::strcmp(argv[0], "--help") == 0 || std::strcmp(argv[0], "-h") == 0)) {
        std::fputs(usage.c_str(), stdout);
        return 0;
    }
    if (argc != 2) {
        std::fputs(usage.c_str(), stderr);
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
