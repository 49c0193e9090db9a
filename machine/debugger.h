#pragma once

#include "machine/control_path.h"
#include "machine/execution_history.h"

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

namespace tessaro {

/// A source line where an instruction starts, with the method-area address of that start.
struct InstructionLine {
    int line = 0; ///< from 1
    std::int32_t address = 0;

    bool operator==(const InstructionLine&) const = default;
};

/// A breakpoint set or taken away by a line: the line that holds the instruction marked.
struct LineToggle {
    int line = 0; ///< from 1
    bool on = false;
};

/// Everything about debugging one machine that a front end reads and writes: the breakpoints,
/// by method-area address (or source line) and by micro-address, and the history that going
/// back uses. Every front end keeps its marks here and only draws them. The machine's own
/// break flags are the run loop's copy, written from here alone.
class Debugger {
public:
    explicit Debugger(ControlPath& machine) : m_machine(machine) {}
    Debugger(const Debugger&) = delete;
    Debugger& operator=(const Debugger&) = delete;

    // ---- Breakpoints

    /// Marks or unmarks a micro-address: a Run stops before its micro-instruction. Addresses
    /// past the control store are ignored.
    void setMicroBreakpoint(std::uint32_t address, bool on);
    /// Marks a micro-address when it is unmarked and the other way round; whether it is marked
    /// now.
    bool toggleMicroBreakpoint(std::uint32_t address);
    /// The marked micro-addresses.
    const std::set<std::uint32_t>& microBreakpoints() const { return m_micro; }

    /// Marks or unmarks a method-area address: a Run stops at the instruction boundary where
    /// PC is that address. Addresses outside 0 .. ControlPath::kMaxPcBreakpoint are ignored.
    void setPcBreakpoint(std::int32_t address, bool on);
    /// The marked method-area addresses.
    const std::set<std::int32_t>& pcBreakpoints() const { return m_pc; }

    /// Marks or unmarks the instruction that starts on line (from 1) or, on a line without
    /// one, the first instruction below it. Nothing when no instruction starts there or below.
    std::optional<LineToggle> toggleLineBreakpoint(int line);
    /// The lines (from 1) of the marked instructions.
    std::set<int> markedLines() const;

    /// Unmarks every method-area address.
    void clearPcBreakpoints();
    /// Unmarks everything.
    void clearBreakpoints();

    /// The loaded program's instruction starts in address order, each with its source line.
    const std::vector<InstructionLine>& instructionLines() const;
    /// The source line (from 1) where the instruction at address starts; 0 when none does.
    int lineOf(std::int32_t address) const;

    /// After a new program: every line of lines (the markedLines() of the program before)
    /// that still starts an instruction marks it at its new address; other method-area marks go.
    void programReplaced(const std::set<int>& lines);

    // ---- History, for going back

    /// Whether execution is recorded (on at first). Off forgets the history at once; on takes
    /// effect at restartHistory.
    void setKeepHistory(bool keep);
    bool keepsHistory() const { return m_keepHistory; }
    /// Begins the history at the machine's present state (after a load, a reset, a new control
    /// store), or forgets it while it is not kept.
    void restartHistory();
    /// Micro-instructions the machine may execute before the next checkpoint is due.
    std::int64_t stepsBeforeCheckpoint() const;
    /// Takes a checkpoint when one is due; call after every execution.
    void noteExecuted();
    /// Notes that the input word is about to become value.
    void recordInput(std::int32_t value) { m_history.recordInput(m_machine, value); }
    /// Notes the word that the micro-instruction after countBefore reads from the input.
    void recordInputRead(std::int64_t countBefore, std::int32_t value) {
        m_history.recordInputRead(m_machine, countBefore, value);
    }
    /// Whether the machine can go back at all: a history begun before the present.
    bool canGoBack() const;
    /// Where going back one IJVM instruction leads: the start of the instruction the machine
    /// stands in or after (never before the history's start, always before the present).
    std::int64_t ijvmStepBackTarget() const;
    /// Puts the machine back to micro-instruction count target; false, with nothing changed,
    /// when that lies outside the history.
    bool rewindTo(std::int64_t target);

    /// The history's limits, to be changed before a load or reset.
    ExecutionHistory::Limits& historyLimits() { return m_history.limits; }
    const ExecutionHistory& history() const { return m_history; }

private:
    ControlPath& m_machine;
    std::set<std::uint32_t> m_micro;
    std::set<std::int32_t> m_pc;
    // Built from the program on first use; empty optional: not built since the last program.
    mutable std::optional<std::vector<InstructionLine>> m_lines;

    ExecutionHistory m_history;
    bool m_keepHistory = true;
};

} // namespace tessaro
