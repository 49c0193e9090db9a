#pragma once

#include "core/list.h"
#include "core/memory.h"
#include "ijvm/code_address_map.h"
#include "ijvm/instruction_set.h"
#include "ijvm/records.h"
#include "machine/alu.h"
#include "machine/control_store_file.h"
#include "machine/control_word.h"
#include "machine/datapath.h"
#include "machine/execution_counts.h"
#include "machine/memory_map.h"
#include "machine/mic.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessaro {

class IjvmAssembler;
class PrintedLog;

/// A control-store entry taken apart once for the fast step loops: the fields, the ALU
/// function, and the entry it was made from (with the word and NextAddr it
/// had then, so that an entry changed in place is noticed and taken apart again). Only mic is
/// looked at before the entry is taken apart, which sets every other field.
struct DecodedMic {
    const Mic* mic = nullptr;
    std::int32_t word{};
    std::int32_t nextAddr{};
    std::uint32_t next{};          ///< NextAddr modulo 512
    AluMasks alu = kAluNone.masks; ///< what the ALU computes
    std::uint16_t cBits{};
    std::uint8_t bCode{};
    std::uint8_t mem{};
    std::uint8_t jam{};
    std::uint8_t aluFunction{};
    std::uint8_t shiftCode{};
    std::uint8_t breakFlags{}; ///< kBreakHere, kBreakOnPc: what a breaking run checks here
};

/// The decoded entries of micro-addresses 0..511. Copying yields an empty table (the pointers
/// belong to the other object's store).
class DecodedStore {
public:
    static constexpr std::uint32_t kSize = control_word::kStoreSize;

    DecodedStore() = default;
    DecodedStore(const DecodedStore&) {}
    DecodedStore& operator=(const DecodedStore&) {
        clear();
        return *this;
    }

    DecodedMic& operator[](std::uint32_t address) { return m_entries[address]; }
    void clear() { m_entries.fill(DecodedMic{}); }

private:
    std::array<DecodedMic, kSize> m_entries{};
};

/// What ended a breaking run early.
struct BreakpointStop {
    enum class Kind {
        None,  ///< no breakpoint stopped the machine
        Micro, ///< the micro-instruction at address was about to run
        Pc,    ///< the instruction at method-area address address was about to run
    };
    Kind kind = Kind::None;
    std::int32_t address = 0;
};

/// The whole simulated machine: the datapath plus control store, MPC and its next-address
/// logic, the ways of stepping, reset, and the tables of the loaded program for the views.
class ControlPath : public Datapath {
public:
    static constexpr std::int32_t kMainLoop = memory_map::kMainLoop;
    static constexpr std::int32_t kHaltAddress = memory_map::kHaltAddress;
    /// MPC is a 9-bit register: NextAddr is taken modulo 512.
    static constexpr std::uint32_t kAddressMask = control_word::kAddressMask;
    /// Bound on the micro steps of run(); callers that want more, or slices, use runFor.
    static constexpr std::int64_t kRunLimit = 1'000'000'000;

    std::int32_t MPC = 0;        ///< control-store address of the next micro-instruction
    std::int32_t lastMPC = 0;    ///< address of the micro-instruction executed last
    std::int64_t microCount = 0; ///< micro-instructions since the last reset
    Mic currentMic;              ///< copy of the entry executed last
    Memory<std::uint32_t, Mic> controlStore; ///< micro-address -> entry
    /// Method-area byte address -> source offset of its instruction's mnemonic.
    CodeAddressMap sourceMap;
    /// Method-area byte address -> constant-pool word holding its method's start address.
    CodeAddressMap methodMap;
    List<Method> methods;       ///< the assembled methods, for the views
    List<Symbol> constants;     ///< the assembled constants, for the views
    List<AssemblyError> errors; ///< the assembler's errors
    /// The instructions programs are assembled and shown with (shared, as copies of the
    /// machine keep it).
    std::shared_ptr<const InstructionSet> instructionSet =
        std::shared_ptr<const InstructionSet>(std::shared_ptr<void>(), &builtinInstructionSet());
    std::string programSource; ///< the source assembled last, for sourceLine
    /// Where the time went since the last reset (after the start-up call that enters main).
    ExecutionCounts counts;
    /// When set, receives each character OUT writes, once the instruction after the OUT is
    /// dispatched (the owner keeps the log; copies of the machine share it).
    PrintedLog* printed = nullptr;

    /// Empty control store and memories, every register and counter 0.
    ControlPath();

    /// Hands the character of a finished OUT to the printed log, before a dispatch.
    void notePrinted();

    /// Executes the micro-instruction at MPC and moves MPC on (NextAddr, then JAMZ, JAMN, JMPC).
    void microStep();
    /// Micro steps until MPC is 0 or 0x70 again (at least one; at most memory_map::kIjvmStepBound).
    void ijvmStep();
    /// Micro steps while MPC is not 0x70 (at most kRunLimit).
    void run();
    /// Initial register values, then the micro-instruction at 0 and one IJVM step (the
    /// prologue that enters main).
    void reset();

    /// At most maxSteps micro steps, stopping at 0x70; true when MPC is 0x70 at the end.
    /// Nothing is executed when MPC is 0x70 already.
    bool runFor(std::int64_t maxSteps);
    /// ijvmStep with a bound; true when MPC reached 0 or 0x70 within maxSteps micro steps
    /// (maxSteps < 1 executes nothing and gives false).
    bool ijvmStepBounded(std::int64_t maxSteps);

    /// Marks or unmarks a micro-address: a breaking run stops before its micro-instruction.
    void setMicroBreakpoint(std::uint32_t address, bool on);
    /// Whether a micro-address is marked.
    bool hasMicroBreakpoint(std::uint32_t address) const;
    /// Marks or unmarks a method-area address: a breaking run stops at the instruction boundary
    /// where PC is that address. Addresses outside 0 .. kMaxPcBreakpoint are ignored.
    void setPcBreakpoint(std::int32_t address, bool on);
    /// Whether a method-area address is marked.
    bool hasPcBreakpoint(std::int32_t address) const;
    /// Unmarks everything.
    void clearBreakpoints();
    /// Whether any address, micro or method-area, is marked.
    bool hasBreakpoints() const { return m_breakpointCount > 0; }
    /// Highest method-area address that can be marked.
    static constexpr std::int32_t kMaxPcBreakpoint = (1 << 24) - 1;

    /// Whether runFor and runForBreaking also stop at an instruction boundary whose PC lies
    /// outside the method area: a main without HALT runs on over the bytes past its code.
    bool stopOutsideCode = false;
    /// Whether the last run stopped for that reason.
    bool leftCode() const { return m_leftCode; }

    /// runFor that also stops before a marked micro-address and at a boundary whose PC is
    /// marked; with skipFirst the first micro step passes unchecked, so that a run resumes from
    /// the breakpoint it stopped at. breakStop() tells what stopped it.
    bool runForBreaking(std::int64_t maxSteps, bool skipFirst);
    /// What stopped the last breaking run (Kind::None: nothing did).
    BreakpointStop breakStop() const { return m_breakStop; }
    /// Exactly steps micro steps, through the HALT address and every boundary alike: the
    /// machine is deterministic, so this repeats recorded history.
    void replay(std::int64_t steps);

    /// Adds the records of a control-store file (the first record for an address wins).
    void loadControlStore(const std::string& path);
    /// Adds a translated microprogram's records, as loading their file would.
    void loadControlStore(const ControlStoreRecords& records);
    /// Assembles the IJVM source at path and places it in memory, then resets.
    void loadProgram(const std::string& path);
    /// Assembles an IJVM source text and places it in memory, then resets; no file is read.
    void loadProgramText(const std::string& text);
    /// The source line (at most 49 bytes) of the instruction holding method-area byte address,
    /// from the source assembled last; empty beyond the method area.
    std::string sourceLine(std::uint32_t address) const;

    /// Drops the fast index into controlStore (and the one into wordMemory). Call it after
    /// clearing controlStore or assigning another store to it; adding or changing entries
    /// needs nothing, and a change of the element count is noticed by itself.
    void invalidateControlStoreCache();

private:
    void takeProgram(const IjvmAssembler& assembler);
    void checkCaches();
    const DecodedMic& decodedAt(std::uint32_t address);
    const DecodedMic& decodeSlow(std::uint32_t address);
    void indexControlStore();
    enum class LoopMode { Run, IjvmStep, Breaking, Replay };
    template <LoopMode kMode> bool stepLoop(std::int64_t maxSteps);
    void setBreakFlag(std::uint32_t address, std::uint8_t flag, bool on);
    bool breakHere(const DecodedMic& d, std::uint32_t mpc);
    void publishCurrentMic();
    static bool isBoundaryOrHalt(std::uint32_t mpc) {
        return mpc == static_cast<std::uint32_t>(kMainLoop) ||
               mpc == static_cast<std::uint32_t>(kHaltAddress);
    }

    DecodedStore m_decoded;
    DecodedMic m_scratch; // decoded entry of an MPC beyond 511 (set by hand)
    int m_indexedMicCount = 0;
    const Mic* m_executed = nullptr; // entry of the last step of the current call

    static constexpr std::uint8_t kBreakHere = 1;
    static constexpr std::uint8_t kBreakOnPc = 2;
    std::array<std::uint8_t, DecodedStore::kSize> m_breakFlags{}; // survives re-decoding
    std::vector<std::uint8_t> m_pcBreaks;                         // by method-area address
    int m_pcBreakpointCount = 0;
    int m_breakpointCount = 0;
    bool m_skipBreak = false;
    bool m_leftCode = false;
    BreakpointStop m_breakStop;
};

} // namespace tessaro
