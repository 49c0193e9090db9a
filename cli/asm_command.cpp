#include "cli/commands.h"

#include <cstdio>

namespace tessaro::cli {

int asmCommand(int, char**) {
    std::fputs("tessaro-cli asm: not built yet\n", stderr);
    return 1;
}

} // namespace tessaro::cli
