#pragma once

#include <string>

namespace tessaro {

/// Receives a message that a desktop user must see (a modal box in the GUI). The core itself
/// has no windows: without a hook, messages go to standard error.
using MessageHook = void (*)(const std::string& caption, const std::string& text);

/// Installs the hook fatal uses to show its line; nullptr restores the default.
void setMessageHook(MessageHook hook);

/// Ends the process after an unrecoverable condition: writes the fixed line (and a line feed)
/// to standard output, lets the message hook show it, and exits with status 1.
[[noreturn]] void fatal(const std::string& line);

} // namespace tessaro
