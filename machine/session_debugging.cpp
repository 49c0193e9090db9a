// The machine session's going back, and the execution loops that stop at breakpoints and
// feed the history.

#include "machine/machine_session.h"

#include "ijvm/instruction_set.h"

#include <algorithm>
#include <limits>

namespace tessaro {

// The run loop in pieces that end where a checkpoint is due, so that history costs nothing
// per micro-instruction; the breaking loop only while something is marked.
bool MachineSession::runChunked(std::int64_t budget) {
    m_lastBreak = {};
    std::int64_t left = budget;
    while (left > 0) {
        const std::int64_t chunk = std::min(left, m_debugger.stepsBeforeCheckpoint());
        const std::int64_t before = m_machine.microCount;
        bool halted = false;
        if (m_machine.hasBreakpoints()) {
            halted = m_machine.runForBreaking(chunk, m_skipBreakOnce);
            m_lastBreak = m_machine.breakStop();
        } else {
            halted = m_machine.runFor(chunk);
        }
        const std::int64_t executed = m_machine.microCount - before;
        // The stop a run resumes from is behind it now; a chunk that could not move ends the
        // run, and the next run starts from a stop again.
        m_skipBreakOnce = false;
        left -= executed;
        m_debugger.noteExecuted();
        if (halted || executed == 0 || m_lastBreak.kind != BreakpointStop::Kind::None ||
            m_machine.wordLimitReached() || m_machine.ioRefused() || m_machine.leftCode()) {
            return halted;
        }
    }
    return false;
}

bool MachineSession::ijvmStepChunked(std::int64_t bound) {
    std::int64_t left = bound;
    while (left > 0) {
        const std::int64_t before = m_machine.microCount;
        const bool done =
            m_machine.ijvmStepBounded(std::min(left, m_debugger.stepsBeforeCheckpoint()));
        left -= m_machine.microCount - before;
        m_debugger.noteExecuted();
        if (done || m_machine.microCount == before || m_machine.wordLimitReached() ||
            m_machine.ioRefused()) {
            return done;
        }
    }
    return false;
}

void MachineSession::restartHistory() {
    m_printed.clear();
    m_debugger.restartHistory();
}

bool MachineSession::canStepBack() const {
    return m_loaded && !isRunning() && m_debugger.canGoBack();
}

Outcome MachineSession::stepBackTo(std::int64_t target) {
    if (const Outcome refused = beginCommand(); refused != Outcome::Done) {
        return refused;
    }
    if (!canStepBack() || !m_debugger.rewindTo(target)) {
        return Outcome::AtHistoryStart;
    }
    // Going forward again from a checkpoint printed the same characters a second time: the
    // log keeps those of the OUTs finished by now.
    const ExecutionCounts& counts = m_machine.counts;
    m_printed.truncateTo(counts.opcodeRuns[opcode::OUT] -
                         (counts.currentOpcode == opcode::OUT ? 1 : 0));
    m_stopped = false;
    m_memoryFull = false;
    m_lastBreak = {};
    // An IN undone asks the supplier again when it is executed again; an OUT undone before
    // its end has given nothing, and gives its character when it ends again.
    m_inputAskedBy = -1;
    m_machine.dropPendingOutput();
    return Outcome::Done;
}

Outcome MachineSession::stepBackMicro() {
    return stepBackTo(m_machine.microCount - 1);
}

Outcome MachineSession::stepBackIjvm() {
    return stepBackTo(m_debugger.ijvmStepBackTarget());
}

} // namespace tessaro
