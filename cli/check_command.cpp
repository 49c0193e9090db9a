#include "cli/commands.h"
#include "cli/instructions_option.h"
#include "cli/microprogram_file.h"
#include "core/language.h"

#include "check/microprogram_check.h"
#include "machine/routine_lines.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tessaro::cli {

namespace {

constexpr const char* kCommand = "tessaro-cli check";
constexpr std::chrono::seconds kQuietTime{3};
constexpr std::chrono::seconds kProgressEvery{2};

// A whole number from min to max, plain decimal digits.
bool parseCount(const std::string& option, const std::string& text, long long min, long long max,
                long long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || *end != '\0' ||
        errno == ERANGE || value < min || value > max) {
        std::fprintf(stderr, localized(MessageId::CliNeedsNumberInRange).c_str(), kCommand,
                     option.c_str(), min, max, text.c_str());
        return false;
    }
    return true;
}

} // namespace

int checkCommand(int argc, char** argv) {
    std::string microprogram;
    std::string instructionsPath;
    CheckOptions options;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(localized(MessageId::CliCheckUsage).c_str(), stdout);
            return 0;
        }
        if (arg == "--instructions") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, localized(MessageId::CliNeedsValue).c_str(), kCommand,
                             arg.c_str(), localized(MessageId::CliCheckUsage).c_str());
                return 1;
            }
            instructionsPath = argv[++i];
        } else if (arg == "--seed" || arg == "--programs") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, localized(MessageId::CliNeedsValue).c_str(), kCommand,
                             arg.c_str(), localized(MessageId::CliCheckUsage).c_str());
                return 1;
            }
            long long value = 0;
            const bool seed = arg == "--seed";
            if (!parseCount(arg, argv[++i], seed ? 0 : 1, seed ? 4294967295LL : 100000, value)) {
                return 1;
            }
            if (seed) {
                options.seed = static_cast<std::uint32_t>(value);
            } else {
                options.programs = static_cast<int>(value);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, localized(MessageId::CliUnknownOption).c_str(), kCommand,
                         arg.c_str(), localized(MessageId::CliCheckUsage).c_str());
            return 1;
        } else if (microprogram.empty()) {
            microprogram = arg;
        } else {
            std::fprintf(stderr, localized(MessageId::CliTwoMicroprograms).c_str(), kCommand,
                         localized(MessageId::CliCheckUsage).c_str());
            return 1;
        }
    }

    const std::shared_ptr<const InstructionSet> instructions =
        loadInstructionSet(kCommand, instructionsPath);
    if (!instructions) {
        return 1;
    }
    ControlStoreRecords store;
    if (!translateMicroprogram(kCommand, microprogram, store)) {
        return 1;
    }
    // A long check says how far it has got, so that it is not taken for a hang.
    const auto started = std::chrono::steady_clock::now();
    auto lastShown = started;
    options.progress = [&](std::int64_t done, std::int64_t total) {
        const auto now = std::chrono::steady_clock::now();
        if (now - started < kQuietTime || now - lastShown < kProgressEvery) {
            return;
        }
        lastShown = now;
        std::fprintf(stderr, localized(MessageId::CliCheckProgress).c_str(), kCommand,
                     static_cast<long long>(done), static_cast<long long>(total),
                     static_cast<long long>(100 * done / std::max<std::int64_t>(total, 1)));
    };
    MicroprogramCheck check(store);
    check.setInstructionSet(instructions);
    Memory<std::uint32_t, Mic> loaded;
    addControlStoreRecords(store, loaded);
    for (const std::string& warning : missingRoutineWarnings(*instructions, loaded)) {
        std::fprintf(stderr, localized(MessageId::CliWarning).c_str(), kCommand, warning.c_str());
    }
    const std::vector<InstructionCheck> results = check.run(options);
    if (results.empty()) {
        std::fprintf(stderr, "%s: %s\n", kCommand, check.error().c_str());
        return 1;
    }
    for (const InstructionCheck& result : results) {
        std::printf("%s\n", verdictLine(result).c_str());
        for (const std::string& line : failureDetails(result)) {
            std::printf("    %s\n", line.c_str());
        }
    }
    return allPassed(results) ? 0 : 1;
}

} // namespace tessaro::cli
