#include "cli/commands.h"
#include "core/language.h"
#include "tessaro_version.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

namespace {

const char* const kUsage =
    "usage: tessaro-cli [--lang it|en] COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  mal SOURCE.mal OUTPUT.bin\n"
    "      Translate a MAL microprogram into a control-store file. Problems are printed as\n"
    "      SOURCE:LINE: message; the file is written in any case. Exit 0 without problems,\n"
    "      1 otherwise.\n"
    "  asm PROGRAM.jvm [--dump]\n"
    "      Assemble an IJVM program. Errors are printed as PROGRAM:LINE:COLUMN: message\n"
    "      (exit 1). --dump prints the method area and the constant pool.\n"
    "  run PROGRAM.jvm [--microprogram FILE.mal] [--max-steps N] [--memory-limit N]\n"
    "                  [--trace] [--stats]\n"
    "      Assemble, load and run an IJVM program on the microprogrammed Mic-1. IN reads\n"
    "      whitespace-separated numbers from standard input (0 when exhausted); OUT writes\n"
    "      characters to standard output. --memory-limit: the most words of memory the\n"
    "      program may touch (default 16777216). Exit 0 after HALT, 2 when N\n"
    "      micro-instructions ran without HALT, 3 after ERR, 4 past the memory limit, 1 for\n"
    "      bad input.\n"
    "  check [MICROPROGRAM.mal] [--seed N] [--programs N]\n"
    "      Check a microprogram (the built-in one by default) against the meaning of every\n"
    "      IJVM instruction: generated programs run on the microprogrammed machine and on a\n"
    "      direct interpreter, compared after every instruction. One line per instruction,\n"
    "      'IADD ok 4' (micro-instructions per execution) or 'ISUB FAIL' followed by the\n"
    "      shortest failing program, what differs and the micro-addresses it executed.\n"
    "      N programs per instruction (default 50). Exit 0 when all pass, 1 otherwise.\n"
    "\n"
    "  Sources larger than 64 MB are refused. A failed write of the output is an error.\n"
    "\n"
    "  --lang it|en  the language of the messages: Italian (the default, which scripts may\n"
    "                rely on) or English; given before or after COMMAND\n"
    "  --help        show this text\n"
    "  --version     show the version\n";

// Takes every --lang option out of the arguments, wherever it stands, and sets the language of
// the messages; false, after saying why, for a language that does not exist.
bool takeLanguageOption(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        std::string_view value;
        if (arg == "--lang") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tessaro-cli: --lang needs a value (it or en)\n");
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
            std::fprintf(stderr, "tessaro-cli: --lang takes it or en, not '%.*s'\n",
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
    std::fprintf(stderr, "tessaro-cli: cannot write standard output%s%s\n", error != 0 ? ": " : "",
                 error != 0 ? std::strerror(error) : "");
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (!takeLanguageOption(argc, argv)) {
        return 1;
    }
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 1 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("tessaro-cli %s\n", tessaro::kVersion);
        return 0;
    }
    const int status = runCommandNamed(argv[1], argc - 2, argv + 2);
    if (status < 0) {
        std::fprintf(stderr, "tessaro-cli: unknown command '%s'\n\n%s", argv[1], kUsage);
        return 1;
    }
    return finishStandardOutput() ? status : 1;
}
