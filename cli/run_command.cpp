#include "cli/commands.h"
#include "cli/diagnostics.h"

#include "core/number_text.h"
#include "core/reader/file_reader.h"
#include "data/bundled.h"
#include "ijvm/disassembler.h"
#include "ijvm/ijvmc.h"
#include "machine/control_path.h"
#include "mal/translate.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace tessaro::cli {

namespace {

const char* const kRunUsage = "usage: tessaro-cli run PROGRAM.jvm [--microprogram FILE.mal] "
                              "[--max-steps N] [--trace] [--stats]\n";

constexpr int kExitHalted = 0;
constexpr int kExitBadInput = 1;
constexpr int kExitStepLimit = 2;
constexpr int kExitErr = 3;

constexpr std::uint32_t kInputWord = static_cast<std::uint32_t>(-6);
constexpr std::uint32_t kNewestOutputWord = static_cast<std::uint32_t>(-1);
constexpr std::size_t kLongestInputNumber = 100;

struct Options {
    std::string program;
    std::string microprogram;   // empty: the bundled one
    std::int64_t maxSteps = -1; // -1: no limit
    bool trace = false;
    bool stats = false;
};

// Temporary files that must not outlive the command, whatever way it ends.
class TemporaryFiles {
public:
    TemporaryFiles() = default;
    TemporaryFiles(const TemporaryFiles&) = delete;
    TemporaryFiles& operator=(const TemporaryFiles&) = delete;
    ~TemporaryFiles() {
        for (const std::string& path : m_paths) {
            std::remove(path.c_str());
        }
    }

    // A new empty file with the given suffix; empty text when none can be made.
    std::string make(const std::string& suffix) {
        std::error_code ec;
        std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
        if (ec) {
            dir = "/tmp";
        }
        std::string pattern = (dir / ("tessaro-run-XXXXXX" + suffix)).string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
        if (fd < 0) {
            return {};
        }
        ::close(fd);
        m_paths.emplace_back(name.data());
        return m_paths.back();
    }

private:
    std::vector<std::string> m_paths;
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--stats") {
            options.stats = true;
        } else if (arg == "--microprogram" || arg == "--max-steps") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tessaro-cli run: %s needs a value\n%s", arg.c_str(),
                             kRunUsage);
                return false;
            }
            const std::string value = argv[++i];
            if (arg == "--microprogram") {
                options.microprogram = value;
                continue;
            }
            // A count of micro-instructions: plain decimal digits, at least 1.
            char* end = nullptr;
            errno = 0;
            const long long steps = std::strtoll(value.c_str(), &end, 10);
            if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos ||
                *end != '\0' || errno == ERANGE || steps < 1) {
                std::fprintf(stderr,
                             "tessaro-cli run: --max-steps needs a whole number of at least 1, "
                             "not '%s'\n",
                             value.c_str());
                return false;
            }
            options.maxSteps = steps;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "tessaro-cli run: unknown option '%s'\n%s", arg.c_str(),
                         kRunUsage);
            return false;
        } else if (options.program.empty()) {
            options.program = arg;
        } else {
            std::fprintf(stderr, "tessaro-cli run: more than one program given\n%s", kRunUsage);
            return false;
        }
    }
    if (options.program.empty()) {
        std::fputs(kRunUsage, stderr);
        return false;
    }
    return true;
}

// The whole file, or false with a message printed.
bool readWholeFile(const std::string& path, std::string& text) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        std::fprintf(stderr, "tessaro-cli run: cannot read '%s': it is a directory\n",
                     path.c_str());
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "tessaro-cli run: cannot read '%s': %s\n", path.c_str(),
                     std::strerror(errno));
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        std::fprintf(stderr, "tessaro-cli run: cannot read '%s'\n", path.c_str());
        return false;
    }
    return true;
}

// Translates the microprogram and fills the control store; problems are bad input.
bool loadMicroprogram(const Options& options, TemporaryFiles& temporaries, ControlPath& machine) {
    std::string source = options.microprogram;
    std::string shownName = options.microprogram;
    if (source.empty()) {
        source = temporaries.make(".mal");
        shownName = "velkora.mal (built in)";
        std::ofstream out(source, std::ios::binary);
        const std::string_view text = bundledMicroprogram();
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (source.empty() || !out) {
            std::fputs("tessaro-cli run: cannot write a temporary copy of the microprogram\n",
                       stderr);
            return false;
        }
    } else {
        std::string ignored;
        if (!readWholeFile(source, ignored)) {
            return false;
        }
    }
    const std::string bin = temporaries.make(".bin");
    if (bin.empty()) {
        std::fputs("tessaro-cli run: cannot create a temporary control-store file\n", stderr);
        return false;
    }
    Translate translate(source, bin);
    translate.tryRun();
    if (!translate.problems.empty()) {
        for (const MalProblem& problem : translate.problems) {
            if (problem.line > 0) {
                std::fprintf(stderr, "%s:%d: %s\n", shownName.c_str(), problem.line,
                             problem.message.c_str());
            } else {
                std::fprintf(stderr, "tessaro-cli run: %s\n", problem.message.c_str());
            }
        }
        return false;
    }
    machine.loadControlStore(bin);
    return true;
}

// A whole number in one of the forms the number reader accepts: decimal within the range of a
// word, or a digit, a radix letter (X, O or N, either case) and at most 32 bits of digits of
// that radix. The reader itself would take "12abc" as 12 and let decimals wrap; at a prompt
// such input is a typing mistake, so it is refused here instead.
bool wellFormedNumber(const std::string& text) {
    std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    const std::string body = text.substr(i);
    auto isDecimal = [](char ch) { return ch >= '0' && ch <= '9'; };
    if (body.empty() || !isDecimal(body[0])) {
        return false;
    }
    if (body.size() == 1 || isDecimal(body[1])) {
        if (body.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        const std::string digits = body.substr(std::min(body.find_first_not_of('0'), body.size()));
        const std::string limit = text[0] == '-' ? "2147483648" : "2147483647";
        return digits.size() < limit.size() || (digits.size() == limit.size() && digits <= limit);
    }
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(body[1])));
    const std::string digits = body.substr(2);
    const char* allowed = letter == 'X'   ? "0123456789abcdefABCDEF"
                          : letter == 'O' ? "01234567"
                          : letter == 'N' ? "01"
                                          : nullptr;
    if (allowed == nullptr || digits.empty() ||
        digits.find_first_not_of(allowed) != std::string::npos) {
        return false;
    }
    const int bitsPerDigit = letter == 'X' ? 4 : letter == 'O' ? 3 : 1;
    const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    const std::string significant = digits.substr(first);
    if (significant.empty()) {
        return true;
    }
    // Bits of the leading digit, then full digits after it.
    int leadBits = 0;
    for (int v = std::stoi(significant.substr(0, 1), nullptr, 16); v != 0; v >>= 1) {
        ++leadBits;
    }
    return leadBits + bitsPerDigit * static_cast<int>(significant.size() - 1) <= 32;
}

// Whitespace-separated numbers from standard input, read only when IN needs one, so that an
// interactive user can type them as the program asks.
class InputNumbers {
public:
    // The next number: true with value (0 once the input is exhausted), or false with a
    // message printed.
    bool next(std::int32_t& value) {
        int ch = std::getchar();
        while (ch != EOF && std::isspace(ch) != 0) {
            ch = std::getchar();
        }
        if (ch == EOF) {
            value = 0;
            return true;
        }
        std::string text;
        while (ch != EOF && std::isspace(ch) == 0) {
            if (text.size() <= kLongestInputNumber) {
                text.push_back(static_cast<char>(ch));
            }
            ch = std::getchar();
        }
        const bool wellFormed = text.size() <= kLongestInputNumber && wellFormedNumber(text);
        const NumberResult number = wellFormed ? checkedAtolong(text) : NumberResult{};
        if (!number.ok) {
            if (text.size() > kLongestInputNumber) {
                text.resize(kLongestInputNumber);
                text += "...";
            }
            std::fprintf(stderr,
                         "tessaro-cli run: standard input: '%s' is not a number of one word "
                         "(decimal, or the forms 0x1F, 0o17, 0n101; with an optional sign)\n",
                         text.c_str());
            return false;
        }
        value = number.value;
        return true;
    }
};

std::uint8_t byteAt(const ControlPath& machine, std::int64_t address) {
    if (address < 0 || address >= machine.methodAreaSize ||
        static_cast<std::size_t>(address) >= machine.methodArea.size()) {
        return 0;
    }
    return machine.methodArea[static_cast<std::size_t>(address)];
}

void printTrace(const ControlPath& machine, std::int32_t address, const std::string& text) {
    const std::int32_t* top = machine.wordMemory.peek(static_cast<std::uint32_t>(machine.SP()));
    if (top != nullptr) {
        std::fprintf(stderr, "%6d  %-28s stack top %d\n", address, text.c_str(), *top);
    } else {
        std::fprintf(stderr, "%6d  %-28s stack top (never written)\n", address, text.c_str());
    }
}

// A program that runs past the end of its code (a main without HALT) would otherwise loop
// forever over the zero bytes beyond: PC leaves the method area and never comes back.
bool outsideProgram(const ControlPath& machine) {
    return machine.PC() < 0 || machine.PC() >= machine.methodAreaSize;
}

void reportOutside(const ControlPath& machine) {
    std::fprintf(stderr,
                 "tessaro-cli run: the program ran past the end of its code (PC = %d) "
                 "without HALT\n",
                 machine.PC());
}

bool mayUseInOrOut(const ControlPath& machine) {
    for (std::int32_t a = 0; a < machine.methodAreaSize; ++a) {
        const std::uint8_t code = byteAt(machine, a);
        if (code == opcode::IN || code == opcode::OUT) {
            return true;
        }
    }
    return false;
}

// Runs to HALT (or the step limit) without stopping between instructions.
int runInSlices(ControlPath& machine, const Options& options) {
    constexpr std::int64_t kSlice = 10'000'000;
    const std::int64_t startCount = machine.microCount;
    bool halted = machine.MPC == ControlPath::kHaltAddress;
    while (!halted) {
        std::int64_t slice = kSlice;
        if (options.maxSteps >= 0) {
            const std::int64_t left = options.maxSteps - (machine.microCount - startCount);
            if (left <= 0) {
                break;
            }
            slice = std::min(slice, left);
        }
        halted = machine.runFor(slice);
        if (!halted && outsideProgram(machine)) {
            reportOutside(machine);
            return kExitBadInput;
        }
    }
    if (!halted) {
        std::fprintf(stderr, "tessaro-cli run: no HALT within %lld micro-instructions\n",
                     static_cast<long long>(options.maxSteps));
        return kExitStepLimit;
    }
    // The main loop steps PC past the opcode before it dispatches: the instruction that
    // stopped the machine is the byte before PC.
    if (byteAt(machine, std::int64_t{machine.PC()} - 1) == opcode::ERR) {
        std::fputs("tessaro-cli run: the program stopped with ERR\n", stderr);
        return kExitErr;
    }
    return kExitHalted;
}

} // namespace

int runCommand(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        return kExitBadInput;
    }

    // The assembler and the file readers end the process on files they cannot open: check
    // the program here, where a plain message and exit status 1 can be given.
    std::string source;
    if (!readWholeFile(options.program, source)) {
        return kExitBadInput;
    }
    if (options.program.size() > FileReader::kMaxFileName) {
        std::fprintf(stderr, "tessaro-cli run: the path '%s' is longer than %zu bytes\n",
                     options.program.c_str(), FileReader::kMaxFileName);
        return kExitBadInput;
    }

    auto machine = std::make_unique<ControlPath>();
    {
        TemporaryFiles temporaries;
        if (!loadMicroprogram(options, temporaries, *machine)) {
            return kExitBadInput;
        }
    }

    machine->loadProgram(options.program);
    if (!machine->errors.empty()) {
        printAssemblerErrors(options.program, source, machine->errors);
        return kExitBadInput;
    }

    // The machine stands at the first instruction of main (loading ran the start-up call).
    // It is driven one IJVM instruction at a time, because IN and OUT are recognised by the
    // opcode about to run: that works with any microprogram, not only the built-in one.
    // Stepping costs about half of the speed, so a program that can never execute IN or
    // OUT (no such byte anywhere in its method area, where PC always points) runs in large
    // slices instead, unless a trace or the instruction count is wanted.
    if (!options.trace && !options.stats && !mayUseInOrOut(*machine)) {
        return runInSlices(*machine, options);
    }
    InputNumbers input;
    const std::int64_t unlimited = std::numeric_limits<std::int64_t>::max();
    const std::int64_t startCount = machine->microCount;
    std::int64_t instructions = 0;
    std::uint8_t lastOpcode = 0;
    int status = kExitHalted;
    const auto started = std::chrono::steady_clock::now();
    while (machine->MPC != ControlPath::kHaltAddress) {
        const std::int64_t used = machine->microCount - startCount;
        if (options.maxSteps >= 0 && used >= options.maxSteps) {
            status = kExitStepLimit;
            break;
        }
        if (machine->MPC == ControlPath::kMainLoop && outsideProgram(*machine)) {
            reportOutside(*machine);
            return kExitBadInput;
        }
        const std::int32_t address = machine->PC();
        const std::uint8_t code =
            machine->MPC == ControlPath::kMainLoop ? byteAt(*machine, address) : 0;
        if (code == opcode::IN) {
            std::int32_t value = 0;
            if (!input.next(value)) {
                return kExitBadInput;
            }
            machine->wordMemory[kInputWord] = value;
        }
        const std::int64_t budget = options.maxSteps >= 0 ? options.maxSteps - used : unlimited;
        const bool completed = machine->ijvmStepBounded(budget);
        if (!completed) {
            status = kExitStepLimit;
            break;
        }
        ++instructions;
        lastOpcode = code;
        if (code == opcode::OUT && machine->MPC == ControlPath::kMainLoop) {
            const std::int32_t* newest = machine->wordMemory.peek(kNewestOutputWord);
            std::putchar(newest != nullptr ? (*newest & 0xFF) : 0);
            std::fflush(stdout);
        }
        if (options.trace) {
            printTrace(*machine, address,
                       describeInstruction(machine->methodArea, machine->methodAreaSize, address,
                                           machine->methods, machine->constants.size()));
        }
    }
    const auto stopped = std::chrono::steady_clock::now();
    std::fflush(stdout);

    if (status == kExitHalted && lastOpcode == opcode::ERR) {
        status = kExitErr;
    }
    if (status == kExitStepLimit) {
        std::fprintf(stderr, "tessaro-cli run: no HALT within %lld micro-instructions\n",
                     static_cast<long long>(options.maxSteps));
    } else if (status == kExitErr) {
        std::fputs("tessaro-cli run: the program stopped with ERR\n", stderr);
    }
    if (options.stats) {
        const std::int64_t micro = machine->microCount - startCount;
        const double seconds = std::chrono::duration<double>(stopped - started).count();
        std::fprintf(stderr, "micro-instructions: %lld\n", static_cast<long long>(micro));
        std::fprintf(stderr, "ijvm-instructions: %lld\n", static_cast<long long>(instructions));
        std::fprintf(stderr, "seconds: %.6f\n", seconds);
        std::fprintf(stderr, "micro-instructions/s: %.0f\n",
                     seconds > 0 ? static_cast<double>(micro) / seconds : 0.0);
    }
    return status;
}

} // namespace tessaro::cli
