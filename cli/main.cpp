#include "cli/commands.h"
#include "core/language.h"
#include "tessaro_version.h"

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
    "  run PROGRAM.jvm [--microprogram FILE.mal] [--max-steps N] [--trace] [--stats]\n"
    "      Assemble, load and run an IJVM program on the microprogrammed Mic-1. IN reads\n"
    "      whitespace-separated numbers from standard input (0 when exhausted); OUT writes\n"
    "      characters to standard output. Exit 0 after HALT, 2 when N micro-instructions ran\n"
    "      without HALT, 3 after ERR, 1 for bad input.\n"
    "  check [MICROPROGRAM.mal] [--seed N] [--programs N]\n"
    "      Check a microprogram (the built-in one by default) against the meaning of every\n"
    "      IJVM instruction: generated programs run on the microprogrammed machine and on a\n"
    "      direct interpreter, compared after every instruction. One line per instruction,\n"
    "      'IADD ok 4' (micro-instructions per execution) or 'ISUB FAIL' followed by the\n"
    "      shortest failing program, what differs and the micro-addresses it executed.\n"
    "      N programs per instruction (default 50). Exit 0 when all pass, 1 otherwise.\n"
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
    const char* command = argv[1];
    if (std::strcmp(command, "mal") == 0) {
        return tessaro::cli::malCommand(argc - 2, argv + 2);
    }
    if (std::strcmp(command, "asm") == 0) {
        return tessaro::cli::asmCommand(argc - 2, argv + 2);
    }
    if (std::strcmp(command, "run") == 0) {
        return tessaro::cli::runCommand(argc - 2, argv + 2);
    }
    if (std::strcmp(command, "check") == 0) {
        return tessaro::cli::checkCommand(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "tessaro-cli: unknown command '%s'\n\n%s", command, kUsage);
    return 1;
}
