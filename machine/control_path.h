#pragma once

#include "core/list.h"
#include "core/memory.h"
#include "ijvm/records.h"
#include "machine/datapath.h"
#include "machine/mic.h"

#include <array>
#include <cstdint>
#include <string>

namespace tessaro {

/// Pointers from micro-addresses 0..511 to the entries inside a control store's nodes, so that a
/// step need not walk the hash buckets. Copying yields an empty table (the pointers belong to
/// the other object's store).
class MicSlotTable {
public:
    static constexpr std::uint32_t kSize = 512;

    MicSlotTable() = default;
    MicSlotTable(const MicSlotTable&) {}
    MicSlotTable& operator=(const MicSlotTable&) {
        clear();
        return *this;
    }

    const Mic* find(std::uint32_t address) const {
        return address < kSize ? m_slots[address] : nullptr;
    }
    void remember(std::uint32_t address, const Mic* mic) {
        if (address < kSize) {
            m_slots[address] = mic;
        }
    }
    void clear() { m_slots.fill(nullptr); }

private:
    std::array<const Mic*, kSize> m_slots{};
};

/// The whole simulated machine: the datapath plus control store, MPC and its next-address
/// logic, the ways of stepping, reset, and the tables of the loaded program for the views.
class ControlPath : public Datapath {
public:
    static constexpr std::int32_t kMainLoop = 0; ///< where every IJVM instruction begins
    static constexpr std::int32_t kHaltAddress = 0x70;
    /// MPC is a 9-bit register: NextAddr is taken modulo 512.
    static constexpr std::uint32_t kAddressMask = 0x1FF;
    /// Bound on the micro steps of one ijvmStep (and of the one inside reset), so that a
    /// microprogram that never returns to 0 or 0x70 cannot hang the caller.
    static constexpr std::int64_t kIjvmStepLimit = 10'000'000;
    /// Bound on the micro steps of run(); callers that want more, or slices, use runFor.
    static constexpr std::int64_t kRunLimit = 1'000'000'000;

    std::int32_t MPC = 0;
    std::int32_t lastMPC = 0;
    std::int64_t microCount = 0; ///< micro-instructions since the last reset
    Mic currentMic;
    Memory<std::uint32_t, Mic> controlStore;
    Memory<std::uint32_t, std::uint32_t> sourceMap;
    Memory<std::uint32_t, std::uint32_t> methodMap;
    List<Method> methods;
    List<SymbolTable> constants;
    List<ErrorTable> errors;

    ControlPath();

    /// Executes the micro-instruction at MPC and moves MPC on (NextAddr, then JAMZ, JAMN, JMPC).
    void microStep();
    /// Micro steps until MPC is 0 or 0x70 again (at least one; at most kIjvmStepLimit).
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

    /// Adds the records of a control-store file (the first record for an address wins).
    void loadControlStore(const std::string& path);
    /// Assembles the IJVM source at path and places it in memory, then resets.
    void loadProgram(const std::string& path);
    /// The source line (at most 49 bytes) of the instruction holding method-area byte address;
    /// empty beyond the method area or when the file cannot be read.
    std::string sourceLine(const std::string& path, std::uint32_t address);

    /// Drops the fast index into controlStore (and the one into wordMemory). Call it after
    /// clearing controlStore or assigning another store to it; adding or changing entries
    /// needs nothing, and a change of the element count is noticed by itself.
    void invalidateControlStoreCache();

private:
    void checkCaches();
    const Mic& micAtSlow(std::uint32_t address);
    void stepUnchecked();
    void publishCurrentMic();

    MicSlotTable m_micIndex;
    int m_indexedMicCount = 0;
    const Mic* m_executed = nullptr; // entry of the last step of the current call
};

} // namespace tessaro
