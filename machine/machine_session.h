#pragma once

#include "machine/control_path.h"
#include "machine/debugger.h"
#include "machine/io_port.h"
#include "machine/printed_log.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace tessaro {

/// Where a session stands.
enum class SessionState {
    NothingLoaded, ///< no program, or one with errors, or one replaced by a reassembly
    Loaded,        ///< a program without errors, ready at an instruction boundary
    Running,       ///< a Run or a long IJVM step goes on in slices
    Halted,        ///< the machine stands at the HALT address
    Stopped,       ///< a run was stopped on request before it halted
};

/// What a command did.
enum class Outcome {
    Done,           ///< the micro step, sub-cycle phase or IJVM step completed
    Halted,         ///< the machine reached the HALT address
    Err,            ///< the machine reached the HALT address through ERR
    Stopped,        ///< a stop request ended the run
    BoundReached,   ///< the micro-instruction bound ran out before the step completed
    SliceDone,      ///< the slice's budget is used up and the run goes on
    NotLoaded,      ///< nothing was executed: no program is loaded
    Busy,           ///< nothing was executed: a run goes on
    BreakpointHit,  ///< a run stopped before a marked instruction (lastBreakpoint() tells which)
    AtHistoryStart, ///< nothing was undone: the machine stands where its history begins
    MemoryFull,     ///< the program needed more words than the memory limit allows; the
                    ///< machine stays stopped there until a reset, a load or a step back
    PortFailed,     ///< the input supplier or the output sink failed: the run stopped after
                    ///< the micro-instruction that asked it
    OutsideProgram, ///< a run stopped at an instruction boundary past the program's code
                    ///< (only when asked for, see setStopOutsideProgram)
};

/// What one press of the sub-cycle command shows: the four quarters of a micro-instruction.
enum class SubCyclePhase {
    Execute = 0, ///< the micro-instruction runs; its bits and control lines are shown
    BBus = 1,    ///< the register on the B bus
    Alu = 2,     ///< the ALU function and its result
    CBus = 3,    ///< the C bus, the registers written, and every view
};

/// What kind of sliced execution is going on.
enum class RunKind { None, Run, IjvmStep };

/// The execution of programs on one Mic-1, whatever drives it: the main window and
/// `tessaro-cli run` both go through a session, so that they behave alike. It owns the machine,
/// knows whether a program is loaded and where a run stands, keeps the sub-cycle phase, and is
/// the only writer of the input word. Views read the machine through machine().
class MachineSession final : private IoWordListener {
public:
    MachineSession() { m_machine.printed = &m_printed; }
    // The machine points at the session's printed log.
    MachineSession(const MachineSession&) = delete;
    MachineSession& operator=(const MachineSession&) = delete;

    /// The bound ijvmStep() and a sliced IJVM step use (tests lower it).
    std::int64_t ijvmStepBound = memory_map::kIjvmStepBound;

    /// Result of a compile and load: loaded, or the assembler's errors (in machine().errors).
    struct LoadResult {
        bool loaded{};
    };

    /// The machine and its tables, for the views.
    const ControlPath& machine() const { return m_machine; }

    /// The instructions the next programs are assembled and shown with.
    void setInstructionSet(std::shared_ptr<const InstructionSet> set) {
        m_machine.instructionSet = std::move(set);
    }

    /// Adds a translated microprogram's records to the machine's control store.
    void loadControlStore(const ControlStoreRecords& records);
    /// Puts a translated microprogram's records in place of the whole control store, while
    /// the application runs: a run in progress is abandoned, the old entries and the fast
    /// loop's decoded copy of them are dropped, and a loaded program is reset to its start.
    void replaceControlStore(const ControlStoreRecords& records);

    /// Assembles a source text and loads it (also when it has errors, so that the views show
    /// what was assembled); the program counts as loaded only without errors. No file is read
    /// or written, so sessions that share a data folder never see each other's program.
    LoadResult compileAndLoadText(const std::string& text);
    /// Assembles and loads a source text, as a step command does after an edit: the machine
    /// holds the new image, yet the program does not count as loaded until it is accepted.
    void assembleText(const std::string& text);
    /// Makes the program assembled last count as loaded, when it has no errors.
    bool acceptProgram();
    /// Forgets the program (New, Open): nothing counts as loaded, a run is abandoned.
    void unload();

    SessionState state() const;
    bool isLoaded() const { return m_loaded; }
    bool isRunning() const { return m_runKind != RunKind::None; }
    RunKind runKind() const { return m_runKind; }

    /// Executes one micro-instruction (and leaves the sub-cycle).
    Outcome microStep();
    /// The next quarter of a micro-instruction: the first quarter executes it, the others
    /// only reveal it. Returns the phase shown, or NotLoaded/Busy with nothing done.
    Outcome subCycle(SubCyclePhase& shown);
    /// The phase the next subCycle press shows.
    SubCyclePhase subCyclePhase() const { return m_subCyclePhase; }
    /// Leaves a sub-cycle half done: the next press executes a micro-instruction again. Every
    /// other execution command does this as well.
    void leaveSubCycle() { m_subCyclePhase = SubCyclePhase::Execute; }
    /// Carries out one IJVM instruction within ijvmStepBound micro-instructions.
    Outcome ijvmStep();
    /// Carries out one IJVM instruction within bound micro-instructions.
    Outcome ijvmStep(std::int64_t bound);

    /// Begins a Run (to HALT) or a long IJVM step, executed by runSlice calls.
    Outcome startRun(RunKind kind);
    /// Executes the next slice of at most budget micro-instructions: SliceDone while the run
    /// goes on; Halted, Done (the IJVM step completed), BoundReached or Stopped when it ends.
    Outcome runSlice(std::int64_t budget);
    /// Executes the next slice with a budget sized to take about kSliceTarget.
    Outcome runSlice();
    /// Asks a run to end after its current slice.
    void requestStop() { m_stopRequested = true; }
    /// Ends a run at once, without an outcome (the program is being replaced or the window
    /// closed).
    void abandonRun();

    /// Initial registers, input word 0, then the start-up call of main.
    Outcome reset();

    /// Connects IN to a supplier of words (an empty one disconnects it): each IN asks it once,
    /// as it reads the input word, and reads what it answers. Without a supplier IN reads the
    /// input word as setInput left it.
    void setInputSupplier(InputSupplier supplier);
    /// Connects OUT to a sink of characters (an empty one disconnects it): each character goes
    /// to it when the OUT that wrote it ends, not when a bound cuts that OUT short. The output
    /// window and printed() keep theirs either way.
    void setOutputSink(OutputSink sink);
    /// Whether a run stops, with OutsideProgram, at an instruction boundary where PC has left
    /// the method area, before the zero bytes there are executed (off by default).
    void setStopOutsideProgram(bool stop) { m_machine.stopOutsideCode = stop; }

    /// The input word IN reads.
    void setInput(std::int32_t value);
    std::int32_t input() const;
    /// The output window, oldest character first, ended by the first zero byte.
    std::string output() const;
    /// Everything printed since the last load or reset (the oldest part dropped beyond
    /// PrintedLog::kLimit), a finished OUT at the instruction boundary included.
    std::string printed() const;
    /// The character OUT wrote last (the low byte of the newest output word).
    std::uint8_t newestOutput() const;

    /// Micro-instructions since the last reset or load.
    std::int64_t microInstructions() const { return m_machine.microCount; }
    /// Micro-instructions of the current (or last) run.
    std::int64_t runMicroInstructions() const { return m_runExecuted; }
    /// Seconds of the current (or last) run.
    double runSeconds() const;

    /// The opcode byte at a method-area address (0 outside it).
    std::uint8_t byteAt(std::int64_t address) const;
    /// Whether the machine stands at an instruction boundary (the start of the main loop).
    bool atInstructionBoundary() const { return m_machine.MPC == memory_map::kMainLoop; }
    /// Whether the machine stands at the HALT address.
    bool atHalt() const { return m_machine.MPC == memory_map::kHaltAddress; }
    /// The opcode of the instruction the next IJVM step carries out (0 between boundaries).
    std::uint8_t nextOpcode() const;
    /// Whether PC has left the method area: a program whose main has no HALT runs on over the
    /// zero bytes beyond its code and would never stop.
    bool outsideProgram() const;
    /// Whether the halt was reached through ERR (the instruction before PC).
    bool haltedByErr() const;
    /// Whether the method area holds an IN or OUT opcode anywhere.
    bool mayUseInOrOut() const;

    /// The source line of the instruction at a method-area address, read from the program
    /// file at path (empty when there is none).
    std::string sourceLine(std::uint32_t address) const { return m_machine.sourceLine(address); }

    /// The breakpoints and the history of going back: every front end sets and reads its marks
    /// there.
    Debugger& debugger() { return m_debugger; }
    const Debugger& debugger() const { return m_debugger; }
    /// The breakpoint that ended the last run (Kind::None when none did).
    BreakpointStop lastBreakpoint() const { return m_lastBreak; }

    /// Puts the machine back where it stood before its last micro-instruction.
    Outcome stepBackMicro();
    /// Puts the machine back where it stood before its last IJVM instruction began (the start
    /// of the current one, when it stands inside one).
    Outcome stepBackIjvm();
    /// Puts the machine back where it stood at micro-instruction count target.
    Outcome stepBackTo(std::int64_t target);
    /// Whether there is anything to go back to.
    bool canStepBack() const;
    /// Whether execution is recorded for going back (on by default; off for batch runs, which
    /// never go back). Turning it on takes effect at the next load or reset.
    void setKeepHistory(bool keep) { m_debugger.setKeepHistory(keep); }
    /// Begins the history at the machine's present state (after the control store changed).
    void restartHistory();

    /// Where the time went since the last reset.
    const ExecutionCounts& counts() const { return m_machine.counts; }

    /// The most words the machine's memory may hold (Datapath::kDefaultWordLimit at first).
    void setMemoryLimit(std::int64_t words) { m_machine.wordLimit = words; }
    std::int64_t memoryLimit() const { return m_machine.wordLimit; }
    /// Whether the machine stands where it met the memory limit.
    bool atMemoryLimit() const { return m_memoryFull; }

    /// How long a slice of runSlice() aims to take, so that a window stays responsive.
    static constexpr std::chrono::milliseconds kSliceTarget{40};
    /// The budget of the next slice of runSlice(), when one of size took tookMs: scaled to
    /// kSliceTarget, within 10,000 and 5,000,000.
    static std::int64_t nextSliceSize(std::int64_t size, std::int64_t tookMs);

private:
    /// The common start of an execution command: Busy while a run goes on (nothing changes),
    /// otherwise the sub-cycle is left, then NotLoaded without a program, else Done.
    Outcome beginCommand();
    /// What a new program makes void: a run, the loaded state, the memory limit's stop.
    void forgetExecution();
    /// beginCommand for a command that executes: MemoryFull while the machine stands at the
    /// memory limit.
    Outcome beginExecution();
    /// Notes that the machine met the memory limit in the call just made.
    bool noteMemoryLimit();
    /// The outcome of an execution that ended on the memory limit or a failed port, if it did.
    bool endedEarly(Outcome& outcome);
    bool beforeInputRead(std::int32_t& word) override;
    bool afterOutputWrite(std::int32_t value) override;
    void connectPort();
    Outcome finishRun(Outcome outcome);
    bool runChunked(std::int64_t budget);
    bool ijvmStepChunked(std::int64_t bound);
    bool m_skipBreakOnce = false; // a run resumes from the breakpoint it stopped at
    BreakpointStop m_lastBreak;

    ControlPath m_machine;
    Debugger m_debugger{m_machine};
    PrintedLog m_printed;
    InputSupplier m_inputSupplier;
    OutputSink m_outputSink;
    // The dispatch count of the instruction that asked the supplier last: an IN reads its
    // word once, however often its microcode reads the input word.
    std::int64_t m_inputAskedBy = -1;
    bool m_loaded = false;
    bool m_stopped = false;    // the last run ended on a stop request
    bool m_memoryFull = false; // the machine met the memory limit and stays stopped
    SubCyclePhase m_subCyclePhase = SubCyclePhase::Execute;

    RunKind m_runKind = RunKind::None;
    bool m_stopRequested = false;
    std::int64_t m_runExecuted = 0;
    std::int64_t m_sliceSize = 200'000;
    std::chrono::steady_clock::time_point m_runStart{};
    std::chrono::steady_clock::time_point m_runEnd{};
};

} // namespace tessaro
