#pragma once

#include "core/language.h"
#include "machine/control_path.h"
#include "machine/machine_session.h"

#include <cstdint>
#include <optional>

namespace tessaro {

/// Who shows an outcome. The command line and the browser module tell how a batch run ended;
/// the window tells it in its status line, in the words its users have always read there.
enum class OutcomeAudience { CommandLine, BrowserModule, Window };

/// What an outcome's message needs besides the outcome.
struct OutcomeFacts {
    RunKind kind = RunKind::Run;        ///< what the window ran: an IJVM step ends silently
    bool steppedBack = false;           ///< the outcome is a step back's
    std::int64_t executed = 0;          ///< micro-instructions of the run
    double seconds = 0;                 ///< how long the run took
    std::int64_t bound = 0;             ///< the micro-instructions a batch run was allowed
    std::int64_t memoryLimit = 0;       ///< words the memory may hold
    std::int32_t pc = 0;                ///< where the machine stopped
    std::int64_t microInstructions = 0; ///< since the reset, after a step back
    BreakpointStop breakpoint;          ///< the breakpoint that stopped the run
    int breakpointLine = 0;             ///< the source line of a PC breakpoint, 0 when unknown
};

/// The message that tells an outcome, or nothing when the outcome needs no words there (a
/// HALT on the command line, an IJVM step that completed in the window).
std::optional<Message> outcomeMessage(Outcome outcome, const OutcomeFacts& facts,
                                      OutcomeAudience audience);

} // namespace tessaro
