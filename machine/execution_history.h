#pragma once

#include "machine/control_path.h"
#include "machine/machine_snapshot.h"
#include "machine/memory_undo_log.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessaro {

/// The way back through a program's execution, from the last reset or load. The machine is
/// deterministic given its program and what is put into the input word, so the history keeps
/// copies of the machine without its memory taken now and then (checkpoints), every change of
/// the memory with what it replaced, and every change of the input word with the
/// micro-instruction count at which it was made. An earlier state is reached by undoing the
/// memory's changes back to the nearest checkpoint before it, restoring that checkpoint and
/// executing forward again: the cost follows the distance gone back, not the memory's size.
/// Checkpoints are dense near the present and thin out with age; when the history outgrows its
/// memory budget its oldest part is forgotten.
class ExecutionHistory {
public:
    /// How often checkpoints are taken and how much is kept.
    struct Limits {
        /// Distance between two checkpoints (micro-instructions): the most a step back
        /// executes again.
        std::int64_t minInterval = 200'000;
        /// Most checkpoints kept.
        std::size_t maxCheckpoints = 256;
        /// Most memory the checkpoints and the memory's changes may occupy (12 bytes a change,
        /// about 8 KB a checkpoint): some five million changes, far more than anyone steps back
        /// through by hand. Past it the oldest checkpoints and changes are forgotten, the
        /// newest checkpoint always kept.
        std::size_t maxBytes = std::size_t{64} << 20;
    };

    /// The limits; a change applies from the next checkpoint on.
    Limits limits;

    ExecutionHistory() = default;
    ExecutionHistory(const ExecutionHistory&) = delete;
    ExecutionHistory& operator=(const ExecutionHistory&) = delete;

    /// Forgets everything and begins at the machine's present state; from now on the machine
    /// notes its memory's changes here, until clear or the next start.
    void start(ControlPath& machine);
    /// Forgets everything and stops the machine's noting; nothing can be gone back to until
    /// start.
    void clear();
    /// Whether start was called since the last clear.
    bool started() const { return !m_checkpoints.empty(); }
    /// The micro-instruction count where the history begins.
    std::int64_t firstCount() const;
    /// Micro steps the machine may take before the next checkpoint is due (at least 1).
    std::int64_t stepsToCheckpoint(const ControlPath& machine) const;
    /// Takes a checkpoint when one is due.
    void checkpointIfDue(const ControlPath& machine);
    /// Notes that the input word is about to become value, with the machine at its present
    /// micro-instruction count: call it before changing the word.
    void recordInput(const ControlPath& machine, std::int32_t value);
    /// Notes that the micro-instruction after count countBefore reads value from the input
    /// word: going back to countBefore or before undoes that read, and the word it took.
    void recordInputRead(const ControlPath& machine, std::int64_t countBefore, std::int32_t value);
    /// Puts machine back into its state at micro-instruction count target (between
    /// firstCount() and the present), and forgets everything after it. False, with nothing
    /// changed, when target is outside that range.
    bool rewindTo(ControlPath& machine, std::int64_t target);

    /// Checkpoints kept.
    std::size_t checkpointCount() const { return m_checkpoints.size(); }
    /// Memory the history occupies, roughly, in bytes.
    std::size_t bytes() const { return m_checkpointBytes + m_log.bytes(); }

private:
    struct Checkpoint {
        MachineSnapshot state;
        std::size_t inputsBefore = 0; // changes of the input word made before it
        std::int64_t logEnd = 0;      // the memory's changes made before it
    };
    struct InputChange {
        std::int64_t count = 0;
        std::int32_t value = 0;
        bool read = false; // taken by the micro-instruction after count, not put at count
    };

    void take(const ControlPath& machine, std::size_t inputsBefore);
    void thin(std::int64_t now);
    void forgetOldest();
    void record(const ControlPath& machine, const InputChange& change);
    void noteInputChange(const ControlPath& machine);
    void putInput(ControlPath& machine, std::int32_t value);
    void replayTo(ControlPath& machine, std::int64_t target, std::size_t nextInput);

    std::vector<Checkpoint> m_checkpoints; // ascending counts; the first is where it begins
    std::vector<InputChange> m_inputs;     // in the order they were made
    MemoryUndoLog m_log;
    ControlPath* m_machine = nullptr; // the machine noting into m_log
    std::int64_t m_nextDue = 0;
    std::size_t m_checkpointBytes = 0;
};

} // namespace tessaro
