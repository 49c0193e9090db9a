#include "cli/commands.h"

#include <cstdio>

namespace tessaro::cli {

int runCommand(int, char**) {
    std::fputs("tessaro-cli run: not built yet\n", stderr);
    return 1;
}

} // namespace tessaro::cli
