#include "web/module/program_run.h"

#include "core/language.h"
#include "core/number_text.h"
#include "ijvm/instruction_set.h"
#include "machine/machine_session.h"
#include "presentation/outcome_message.h"
#include "web/module/microprogram_text.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>

namespace tessaro::web {

namespace {

constexpr std::size_t kLongestInputNumber = 100;

// The numbers IN reads, taken from a text one at a time as standard input would give them.
class InputText {
public:
    explicit InputText(const std::string& text) : m_text(text) {}

    // The next number, none available once the text is used up, or failed with why not.
    InputAnswer next(std::string& message) {
        auto space = [](char ch) { return std::isspace(static_cast<unsigned char>(ch)) != 0; };
        while (m_at < m_text.size() && space(m_text[m_at])) {
            ++m_at;
        }
        std::string token;
        while (m_at < m_text.size() && !space(m_text[m_at])) {
            token.push_back(m_text[m_at++]);
        }
        if (token.empty()) {
            return InputAnswer{InputAnswer::Kind::NoneAvailable, 0};
        }
        const bool wellFormed = token.size() <= kLongestInputNumber && wellFormedNumber(token);
        const NumberResult number = wellFormed ? checkedAtolong(token) : NumberResult{};
        if (!number.ok) {
            if (token.size() > kLongestInputNumber) {
                token.resize(kLongestInputNumber);
                token += "...";
            }
            message = messageText({MessageId::RunBadInputNumber, {token}}, Language::English);
            return InputAnswer{InputAnswer::Kind::Failed, 0};
        }
        return InputAnswer{InputAnswer::Kind::Word, number.value};
    }

private:
    const std::string& m_text;
    std::size_t m_at = 0;
};

// The module speaks English whatever the page's language: its callers read the message as a
// diagnostic, like the outcome's name beside it.
std::string endMessage(const MachineSession& session, Outcome outcome, std::int64_t maxSteps) {
    OutcomeFacts facts;
    facts.bound = maxSteps;
    facts.memoryLimit = session.memoryLimit();
    facts.pc = session.machine().PC();
    const std::optional<Message> message =
        outcomeMessage(outcome, facts, OutcomeAudience::BrowserModule);
    return message ? messageText(*message, Language::English) : std::string();
}

// Runs to HALT in the session's run loop, IN reading from the input text and OUT adding to
// the run's output.
void runInSlices(MachineSession& session, const std::string& inputText, std::int64_t maxSteps,
                 ProgramRun& run) {
    constexpr std::int64_t kSlice = 10'000'000;
    InputText input(inputText);
    session.setInputSupplier([&input, &run] { return input.next(run.message); });
    session.setOutputSink([&run](std::uint8_t ch) {
        run.output.push_back(static_cast<char>(ch));
        return true;
    });
    session.setStopOutsideProgram(true);
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
    }
    if (outcome == Outcome::OutsideProgram) {
        run.end = RunEnd::Error;
        run.message = endMessage(session, outcome, maxSteps);
    } else if (outcome == Outcome::PortFailed) {
        run.end = RunEnd::Error;
    } else if (outcome == Outcome::MemoryFull) {
        run.end = RunEnd::Memory;
        run.message = endMessage(session, outcome, maxSteps);
    } else if (outcome == Outcome::SliceDone) {
        run.end = RunEnd::Bound;
        run.message = endMessage(session, outcome, maxSteps);
    } else if (session.haltedByErr()) {
        run.end = RunEnd::Err;
        run.message = endMessage(session, Outcome::Err, maxSteps);
    }
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

std::vector<ListedError> placeErrors(const std::string& source, const List<AssemblyError>& errors) {
    // The text area keeps the source's last line break.
    return errorList(errors, SourceOffsets(source, SourceOffsets::FinalLineBreak::Kept));
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
        run.message = messageText({MessageId::RunHasErrors, {}}, Language::English);
        return run;
    }
    const std::int64_t start = session->microInstructions();
    runInSlices(*session, input, maxSteps, run);
    run.microInstructions = session->microInstructions() - start;
    return run;
}

} // namespace tessaro::web
