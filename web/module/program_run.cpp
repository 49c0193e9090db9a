#include "web/module/program_run.h"

#include "cli/input_numbers.h"
#include "core/number_text.h"
#include "ijvm/instruction_set.h"
#include "machine/machine_session.h"
#include "web/module/microprogram_text.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <memory>

namespace tessaro::web {

namespace {

constexpr std::size_t kLongestInputNumber = 100;

// The numbers IN reads, taken from a text one at a time as standard input would give them.
class InputText {
public:
    explicit InputText(const std::string& text) : m_text(text) {}

    // The next number: true with value (0 once the text is used up), or false with why not.
    bool next(std::int32_t& value, std::string& message) {
        auto space = [](char ch) { return std::isspace(static_cast<unsigned char>(ch)) != 0; };
        while (m_at < m_text.size() && space(m_text[m_at])) {
            ++m_at;
        }
        std::string token;
        while (m_at < m_text.size() && !space(m_text[m_at])) {
            token.push_back(m_text[m_at++]);
        }
        if (token.empty()) {
            value = 0;
            return true;
        }
        const bool wellFormed = token.size() <= kLongestInputNumber && wellFormedNumber(token);
        const NumberResult number = wellFormed ? checkedAtolong(token) : NumberResult{};
        if (!number.ok) {
            if (token.size() > kLongestInputNumber) {
                token.resize(kLongestInputNumber);
                token += "...";
            }
            message = "standard input: '" + token +
                      "' is not a number of one word (decimal, or the forms 0x1F, 0o17, 0n101; "
                      "with an optional sign)";
            return false;
        }
        value = number.value;
        return true;
    }

private:
    const std::string& m_text;
    std::size_t m_at = 0;
};

std::string outsideMessage(const ControlPath& machine) {
    return "the program ran past the end of its code (PC = " + std::to_string(machine.PC()) +
           ") without HALT";
}

std::string boundMessage(std::int64_t maxSteps) {
    return "no HALT within " + std::to_string(maxSteps) + " micro-instructions";
}

std::string memoryMessage(const MachineSession& session) {
    return "the program needs more than " + std::to_string(session.memoryLimit()) +
           " words of memory, the limit; stopped at PC = " + std::to_string(session.machine().PC());
}

// Runs to HALT without stopping between instructions: the program never executes IN or OUT.
void runInSlices(MachineSession& session, std::int64_t maxSteps, ProgramRun& run) {
    constexpr std::int64_t kSlice = 10'000'000;
    Outcome outcome = session.atHalt() ? Outcome::Halted : session.startRun(RunKind::Run);
    while (outcome == Outcome::SliceDone) {
        std::int64_t slice = kSlice;
        if (maxSteps >= 0) {
            const std::int64_t left = maxSteps - session.runMicroInstructions();
            if (left <= 0) {
                break;
            }
            slice = std::min(slice, left);
        }
        outcome = session.runSlice(slice);
        if (outcome == Outcome::SliceDone && session.outsideProgram()) {
            run.end = RunEnd::Error;
            run.message = outsideMessage(session.machine());
            return;
        }
    }
    if (outcome == Outcome::MemoryFull) {
        run.end = RunEnd::Memory;
        run.message = memoryMessage(session);
    } else if (outcome == Outcome::SliceDone) {
        run.end = RunEnd::Bound;
        run.message = boundMessage(maxSteps);
    } else if (session.haltedByErr()) {
        run.end = RunEnd::Err;
        run.message = "the program stopped with ERR";
    }
}

// Runs one IJVM instruction at a time, giving IN its numbers and collecting what OUT writes.
void runByInstruction(MachineSession& session, const std::string& inputText, std::int64_t maxSteps,
                      ProgramRun& run) {
    InputText input(inputText);
    const std::int64_t unlimited = std::numeric_limits<std::int64_t>::max();
    const std::int64_t startCount = session.microInstructions();
    while (!session.atHalt()) {
        const std::int64_t used = session.microInstructions() - startCount;
        if (maxSteps >= 0 && used >= maxSteps) {
            run.end = RunEnd::Bound;
            break;
        }
        if (session.atInstructionBoundary() && session.outsideProgram()) {
            run.end = RunEnd::Error;
            run.message = outsideMessage(session.machine());
            return;
        }
        const std::uint8_t code = session.nextOpcode();
        if (code == opcode::IN) {
            std::int32_t value = 0;
            if (!input.next(value, run.message)) {
                run.end = RunEnd::Error;
                return;
            }
            session.setInput(value);
        }
        const std::int64_t budget = maxSteps >= 0 ? maxSteps - used : unlimited;
        const Outcome outcome = session.ijvmStep(budget);
        if (outcome == Outcome::BoundReached) {
            run.end = RunEnd::Bound;
            break;
        }
        if (outcome == Outcome::MemoryFull) {
            run.end = RunEnd::Memory;
            run.message = memoryMessage(session);
            return;
        }
        if (outcome == Outcome::Err) {
            run.end = RunEnd::Err;
        }
        if (code == opcode::OUT && session.atInstructionBoundary()) {
            run.output.push_back(static_cast<char>(session.newestOutput()));
        }
    }
    if (run.end == RunEnd::Bound) {
        run.message = boundMessage(maxSteps);
    } else if (run.end == RunEnd::Err) {
        run.message = "the program stopped with ERR";
    }
}

// Characters (code points) in the bytes of text before byte offset.
int characters(const std::string& text, std::size_t bytes) {
    bytes = std::min(bytes, text.size());
    return static_cast<int>(std::count_if(text.begin(), text.begin() + static_cast<long>(bytes),
                                          [](char ch) { return (ch & 0xC0) != 0x80; }));
}

} // namespace

const char* runEndName(RunEnd end) {
    switch (end) {
    case RunEnd::Halt:
        return "halt";
    case RunEnd::Err:
        return "err";
    case RunEnd::Bound:
        return "bound";
    case RunEnd::Memory:
        return "memory";
    case RunEnd::Error:
        return "error";
    }
    return "error";
}

std::string bytesAsText(const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code < 0x80) {
            text.push_back(byte);
        } else {
            text.push_back(static_cast<char>(0xC0 | (code >> 6)));
            text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return text;
}

std::vector<SourceError> placeErrors(const std::string& source, const List<AssemblyError>& errors) {
    std::vector<SourceError> placed;
    for (const AssemblyError& error : errors) {
        const auto at = static_cast<std::size_t>(std::max(0, error.position));
        SourceError e;
        e.message = error.message;
        e.line = 1 + static_cast<int>(std::count(
                         source.begin(),
                         source.begin() + static_cast<long>(std::min(at, source.size())), '\n'));
        e.start = characters(source, at);
        e.length =
            characters(source, at + static_cast<std::size_t>(std::max(0, error.length))) - e.start;
        placed.push_back(e);
    }
    return placed;
}

ProgramRun runProgram(const std::string& source, const std::string& input, std::int64_t maxSteps) {
    ProgramRun run;
    auto session = std::make_unique<MachineSession>();
    // A batch run never goes back.
    session->setKeepHistory(false);
    session->loadControlStore(currentControlStore());
    if (!session->compileAndLoadText(source).loaded) {
        run.end = RunEnd::Error;
        run.errors = placeErrors(source, session->machine().errors);
        run.message = "the program has errors";
        return run;
    }
    const std::int64_t start = session->microInstructions();
    // Large slices are about twice as fast as single instructions, and safe wherever no IN or
    // OUT byte exists for PC to reach.
    if (session->mayUseInOrOut()) {
        runByInstruction(*session, input, maxSteps, run);
    } else {
        runInSlices(*session, maxSteps, run);
    }
    run.microInstructions = session->microInstructions() - start;
    return run;
}

} // namespace tessaro::web
