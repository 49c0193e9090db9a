#include "cli/commands.h"

#include <cstdio>

namespace tessaro::cli {

int malCommand(int, char**) {
    std::fputs("tessaro-cli mal: not built yet\n", stderr);
    return 1;
}

} // namespace tessaro::cli
