#pragma once

#include "machine/control_path.h"
#include "machine/machine_snapshot.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessaro {

/// The way back through a program's execution, from the last reset or load. The machine is
/// deterministic given its program and what is put into the input word, so the history keeps
/// copies of the whole machine taken now and then (checkpoints) and every change of the input
/// word with the micro-instruction count at which it was made; any earlier state is reached by
/// restoring the nearest checkpoint before it and executing forward again. Checkpoints are dense
/// near the present and thin out with age, within a fixed number and a memory budget.
class ExecutionHistory {
public:
    /// How often checkpoints are taken and how many are kept.
    struct Limits {
        /// Least distance between two checkpoints (micro-instructions).
        std::int64_t minInterval = 500'000;
        /// Micro-instructions per word of memory between checkpoints: a large memory is
        /// copied less often, so that copying stays a small part of the run.
        std::int64_t stepsPerWord = 64;
        /// Most checkpoints kept, the first one included.
        std::size_t maxCheckpoints = 64;
        /// Most memory the checkpoints may occupy; the first and the newest are always kept.
        std::size_t maxBytes = std::size_t{256} << 20;
    };

    /// The limits; a change applies from the next checkpoint on.
    Limits limits;

    /// Forgets everything and begins at the machine's present state.
    void start(const ControlPath& machine);
    /// Forgets everything; nothing can be gone back to until start.
    void clear();
    /// Whether start was called since the last clear.
    bool started() const { return !m_checkpoints.empty(); }
    /// The micro-instruction count where the history begins.
    std::int64_t firstCount() const;
    /// Micro steps the machine may take before the next checkpoint is due (at least 1).
    std::int64_t stepsToCheckpoint(const ControlPath& machine) const;
    /// Takes a checkpoint when one is due.
    void checkpointIfDue(const ControlPath& machine);
    /// Notes that the input word became value with the machine at micro-instruction count.
    void recordInput(std::int64_t count, std::int32_t value);
    /// Puts machine back into its state at micro-instruction count target (between
    /// firstCount() and the present), and forgets everything after it. False, with nothing
    /// changed, when target is outside that range.
    bool rewindTo(ControlPath& machine, std::int64_t target);

    /// Checkpoints kept.
    std::size_t checkpointCount() const { return m_checkpoints.size(); }
    /// Memory the checkpoints occupy, roughly, in bytes.
    std::size_t bytes() const { return m_bytes; }

private:
    struct Checkpoint {
        MachineSnapshot state;
        std::size_t inputsBefore = 0; // changes of the input word the copy already holds
    };
    struct InputChange {
        std::int64_t count = 0;
        std::int32_t value = 0;
    };

    void take(const ControlPath& machine, std::size_t inputsBefore);
    void thin(std::int64_t now);
    void replayTo(ControlPath& machine, std::int64_t target, std::size_t nextInput);

    std::vector<Checkpoint> m_checkpoints; // ascending counts; the first is where it begins
    std::vector<InputChange> m_inputs;     // in the order they were made
    std::int64_t m_nextDue = 0;
    std::size_t m_bytes = 0;
};

} // namespace tessaro
