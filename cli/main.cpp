#include "cli/commands.h"
#include "core/language.h"
#include "tessaro_version.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

namespace {

// Takes every --lang option out of the arguments, wherever it stands, and sets the language of
// the messages; false, after saying why, for a language that does not exist.
bool takeLanguageOption(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        std::string_view value;
        if (arg == "--lang") {
            if (i + 1 >= argc) {
                std::fputs(tessaro::localized(tessaro::MessageId::CliLangNeedsValue).c_str(),
                           stderr);
                return false;
            }
            value = argv[++i];
        } else if (arg.starts_with("--lang=")) {
            value = arg.substr(7);
        } else {
            argv[kept++] = argv[i];
            continue;
        }
        const std::optional<tessaro::Language> language = tessaro::languageNamed(value);
        if (!language) {
            std::fprintf(stderr, tessaro::localized(tessaro::MessageId::CliLangBadValue).c_str(),
                         static_cast<int>(value.size()), value.data());
            return false;
        }
        tessaro::setLanguage(*language);
    }
    argc = kept;
    argv[argc] = nullptr;
    return true;
}

// The command's status, or -1 for a name that is no command.
int runCommandNamed(const char* command, int argc, char** argv) {
    if (std::strcmp(command, "mal") == 0) {
        return tessaro::cli::malCommand(argc, argv);
    }
    if (std::strcmp(command, "asm") == 0) {
        return tessaro::cli::asmCommand(argc, argv);
    }
    if (std::strcmp(command, "run") == 0) {
        return tessaro::cli::runCommand(argc, argv);
    }
    if (std::strcmp(command, "check") == 0) {
        return tessaro::cli::checkCommand(argc, argv);
    }
    return -1;
}

// Flushes and closes standard output; false, after saying so, when what the command printed
// did not all arrive (a full disk, a closed device): a result that was lost is no success.
bool finishStandardOutput() {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(stdout) == 0;
    if (flushed && closed) {
        return true;
    }
    const int error = flushError != 0 ? flushError : errno;
    std::fprintf(stderr, tessaro::localized(tessaro::MessageId::CliCannotWriteOutput).c_str(),
                 error != 0 ? ": " : "", error != 0 ? std::strerror(error) : "");
    return false;
}

} // namespace

using tessaro::localized;
using tessaro::MessageId;

int main(int argc, char** argv) {
    if (!takeLanguageOption(argc, argv)) {
        return 1;
    }
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(localized(MessageId::CliUsage).c_str(), argc < 2 ? stderr : stdout);
        return argc < 2 ? 1 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("tessaro-cli %s\n", tessaro::kVersion);
        return 0;
    }
    const int status = runCommandNamed(argv[1], argc - 2, argv + 2);
    if (status < 0) {
        std::fprintf(stderr, localized(MessageId::CliUnknownCommand).c_str(), argv[1],
                     localized(MessageId::CliUsage).c_str());
        return 1;
    }
    return finishStandardOutput() ? status : 1;
}
