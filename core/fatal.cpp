#include "core/fatal.h"

#include <cstdio>
#include <cstdlib>

namespace tessaro {

namespace {
MessageHook g_messageHook = nullptr;
}

void setMessageHook(MessageHook hook) {
    g_messageHook = hook;
}

void fatal(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (g_messageHook != nullptr) {
        g_messageHook("Tessaro", line);
    }
    // A failure must never look like success to a script or a shell.
    std::exit(1);
}

} // namespace tessaro
