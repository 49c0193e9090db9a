#include "machine/execution_history.h"

#include <algorithm>
#include <limits>

namespace tessaro {

namespace {
constexpr std::uint32_t kInputKey = memory_map::wordKey(memory_map::kInputWord);
} // namespace

void ExecutionHistory::clear() {
    if (m_machine != nullptr) {
        m_machine->setUndoLog(nullptr);
        m_machine = nullptr;
    }
    m_checkpoints.clear();
    m_inputs.clear();
    m_log.clear();
    m_checkpointBytes = 0;
    m_nextDue = 0;
}

void ExecutionHistory::start(ControlPath& machine) {
    clear();
    m_machine = &machine;
    machine.setUndoLog(&m_log);
    take(machine, 0);
}

std::int64_t ExecutionHistory::firstCount() const {
    return m_checkpoints.empty() ? 0 : m_checkpoints.front().state.microCount();
}

std::int64_t ExecutionHistory::stepsToCheckpoint(const ControlPath& machine) const {
    if (m_checkpoints.empty()) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return std::max<std::int64_t>(1, m_nextDue - machine.microCount);
}

void ExecutionHistory::checkpointIfDue(const ControlPath& machine) {
    if (!m_checkpoints.empty() && machine.microCount >= m_nextDue) {
        take(machine, m_inputs.size());
    }
}

void ExecutionHistory::recordInput(const ControlPath& machine, std::int32_t value) {
    record(machine, {machine.microCount, value, false});
}

void ExecutionHistory::recordInputRead(const ControlPath& machine, std::int64_t countBefore,
                                       std::int32_t value) {
    record(machine, {countBefore, value, true});
}

void ExecutionHistory::record(const ControlPath& machine, const InputChange& change) {
    if (m_checkpoints.empty()) {
        return;
    }
    noteInputChange(machine);
    m_inputs.push_back(change);
}

void ExecutionHistory::take(const ControlPath& machine, std::size_t inputsBefore) {
    Checkpoint checkpoint{MachineSnapshot(machine), inputsBefore, m_log.end()};
    m_log.seal();
    m_checkpointBytes += checkpoint.state.bytes();
    m_checkpoints.push_back(std::move(checkpoint));
    m_nextDue = machine.microCount + std::max<std::int64_t>(1, limits.minInterval);
    thin(machine.microCount);
    forgetOldest();
}

// Drops the checkpoint whose loss leaves the smallest gap for its age, until the limits hold:
// what remains is spaced about in proportion to its distance from the present, so going back
// a little is always quick and going back far stays possible.
void ExecutionHistory::thin(std::int64_t now) {
    const std::size_t keepAtLeast = 2;
    while (m_checkpoints.size() > keepAtLeast && m_checkpoints.size() > limits.maxCheckpoints) {
        std::size_t drop = 1;
        double best = std::numeric_limits<double>::infinity();
        for (std::size_t i = 1; i + 1 < m_checkpoints.size(); ++i) {
            const auto gap = static_cast<double>(m_checkpoints[i + 1].state.microCount() -
                                                 m_checkpoints[i - 1].state.microCount());
            const auto age = static_cast<double>(now - m_checkpoints[i].state.microCount() + 1);
            if (gap / age < best) {
                best = gap / age;
                drop = i;
            }
        }
        m_checkpointBytes -= m_checkpoints[drop].state.bytes();
        m_checkpoints.erase(m_checkpoints.begin() + static_cast<std::ptrdiff_t>(drop));
    }
}

// Past the memory budget the history begins later: the oldest checkpoint goes, with the
// memory's changes only it needed.
void ExecutionHistory::forgetOldest() {
    while (m_checkpoints.size() > 1 && bytes() > limits.maxBytes) {
        m_checkpointBytes -= m_checkpoints.front().state.bytes();
        m_checkpoints.erase(m_checkpoints.begin());
        m_log.forgetBefore(m_checkpoints.front().logEnd);
    }
}

bool ExecutionHistory::rewindTo(ControlPath& machine, std::int64_t target) {
    if (m_checkpoints.empty() || target < firstCount() || target > machine.microCount) {
        return false;
    }
    // The last checkpoint not after the target; everything after the target is forgotten.
    auto after = std::upper_bound(
        m_checkpoints.begin(), m_checkpoints.end(), target,
        [](std::int64_t count, const Checkpoint& c) { return count < c.state.microCount(); });
    for (auto it = after; it != m_checkpoints.end(); ++it) {
        m_checkpointBytes -= it->state.bytes();
    }
    m_checkpoints.erase(after, m_checkpoints.end());
    std::erase_if(m_inputs, [target](const InputChange& change) {
        return change.count > target || (change.read && change.count == target);
    });

    const Checkpoint& from = m_checkpoints.back();
    machine.undoMemory(m_log, from.logEnd);
    m_log.seal();
    from.state.restoreInto(machine);
    const std::size_t nextInput = from.inputsBefore;
    m_nextDue = machine.microCount + std::max<std::int64_t>(1, limits.minInterval);
    replayTo(machine, target, nextInput);
    return true;
}

// The input word is changed from outside the execution, which notes nothing by itself.
void ExecutionHistory::noteInputChange(const ControlPath& machine) {
    const std::int32_t* word = machine.wordMemory.peek(kInputKey);
    if (word == nullptr) {
        m_log.noteCreated(kInputKey);
    } else {
        m_log.noteWrite(kInputKey, *word);
    }
}

void ExecutionHistory::putInput(ControlPath& machine, std::int32_t value) {
    noteInputChange(machine);
    machine.wordMemory[kInputKey] = value;
}

// Executes from the restored checkpoint up to target, putting each recorded input into the
// input word at its count, and taking the checkpoints that fall due on the way, so that going
// back again from here is quick.
void ExecutionHistory::replayTo(ControlPath& machine, std::int64_t target, std::size_t nextInput) {
    std::size_t input = nextInput;
    for (;;) {
        while (input < m_inputs.size() && m_inputs[input].count <= machine.microCount) {
            // (A read at the target's count was forgotten with everything after the target.)
            putInput(machine, m_inputs[input].value);
            ++input;
        }
        if (machine.microCount >= target) {
            break;
        }
        std::int64_t until = std::min(target, m_nextDue);
        if (input < m_inputs.size()) {
            until = std::min(until, m_inputs[input].count);
        }
        machine.replay(std::max<std::int64_t>(1, until - machine.microCount));
        if (machine.microCount >= m_nextDue && machine.microCount < target) {
            take(machine, input);
        }
    }
}

} // namespace tessaro
