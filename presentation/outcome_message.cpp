#include "presentation/outcome_message.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace tessaro {

namespace {

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// The run's count, time and speed, the arguments of the window's run texts. A run too short
// to time counts as a millisecond, so the speed stays a number.
Message withSpeed(MessageId id, const OutcomeFacts& facts) {
    const double seconds = std::max(0.001, facts.seconds);
    return {id,
            {std::to_string(facts.executed), fixed(seconds, 2),
             fixed(static_cast<double>(facts.executed) / seconds / 1e6, 1)}};
}

std::optional<Message> batchMessage(Outcome outcome, const OutcomeFacts& facts,
                                    OutcomeAudience audience) {
    switch (outcome) {
    case Outcome::MemoryFull:
        // Only the command line has an option to move the limit.
        return Message{audience == OutcomeAudience::CommandLine ? MessageId::RunMemoryLimitCli
                                                                : MessageId::RunMemoryLimit,
                       {std::to_string(facts.memoryLimit), std::to_string(facts.pc)}};
    case Outcome::BoundReached:
    case Outcome::SliceDone:
        return Message{MessageId::RunNoHalt, {std::to_string(facts.bound)}};
    case Outcome::Err:
        return Message{MessageId::RunStoppedByErr, {}};
    case Outcome::OutsideProgram:
        return Message{MessageId::RunPastCode, {std::to_string(facts.pc)}};
    default:
        return std::nullopt;
    }
}

Message breakpointMessage(const OutcomeFacts& facts) {
    const std::string address = std::to_string(facts.breakpoint.address);
    if (facts.breakpoint.kind == BreakpointStop::Kind::Micro) {
        return {MessageId::StatusBreakpointMicro, {address}};
    }
    if (facts.breakpointLine > 0) {
        return {MessageId::StatusBreakpointLine, {std::to_string(facts.breakpointLine), address}};
    }
    return {MessageId::StatusBreakpointPc, {address}};
}

std::optional<Message> windowMessage(Outcome outcome, const OutcomeFacts& facts) {
    if (outcome == Outcome::AtHistoryStart) {
        return Message{MessageId::StatusBackAtStart, {}};
    }
    if (facts.steppedBack) {
        return Message{MessageId::StatusBack, {std::to_string(facts.microInstructions)}};
    }
    switch (outcome) {
    case Outcome::SliceDone:
        return withSpeed(MessageId::StatusRunning, facts);
    case Outcome::BoundReached:
        return Message{MessageId::StatusIjvmStepCut, {std::to_string(facts.executed)}};
    case Outcome::BreakpointHit:
        return breakpointMessage(facts);
    case Outcome::Stopped:
        return withSpeed(MessageId::StatusStopped, facts);
    case Outcome::MemoryFull:
        return Message{MessageId::StatusMemoryLimit, {std::to_string(facts.memoryLimit)}};
    default:
        if (facts.kind == RunKind::Run) {
            return withSpeed(MessageId::StatusHalted, facts);
        }
        return std::nullopt;
    }
}

} // namespace

std::optional<Message> outcomeMessage(Outcome outcome, const OutcomeFacts& facts,
                                      OutcomeAudience audience) {
    if (audience == OutcomeAudience::Window) {
        return windowMessage(outcome, facts);
    }
    return batchMessage(outcome, facts, audience);
}

} // namespace tessaro
