#pragma once

#include "core/list.h"
#include "core/memory.h"
#include "ijvm/records.h"
#include "machine/datapath.h"
#include "machine/mic.h"

#include <cstdint>
#include <string>

namespace tessaro {

/// The whole simulated machine: the datapath plus control store, MPC and its next-address
/// logic, the ways of stepping, reset, and the tables of the loaded program for the views.
class ControlPath : public Datapath {
public:
    static constexpr std::int32_t kMainLoop = 0;    ///< where every IJVM instruction begins
    static constexpr std::int32_t kHaltAddress = 0x70;

    std::int32_t MPC = 0;
    std::int32_t lastMPC = 0;
    std::int64_t microCount = 0;    ///< micro-instructions since the last reset
    Mic currentMic;
    Memory<std::uint32_t, Mic> controlStore;
    Memory<std::uint32_t, std::uint32_t> sourceMap;
    Memory<std::uint32_t, std::uint32_t> methodMap;
    List<Method> methods;
    List<SymbolTable> constants;
    List<ErrorTable> errors;

    ControlPath();

    void microStep();
    /// Micro steps until MPC is 0 or 0x70 again (at least one).
    void ijvmStep();
    /// Micro steps while MPC is not 0x70.
    void run();
    /// Initial register values, then the micro-instruction at 0 and one IJVM step (the
    /// prologue that enters main).
    void reset();

    /// At most maxSteps micro steps, stopping at 0x70; true when MPC is 0x70 at the end.
    bool runFor(std::int64_t maxSteps);
    /// ijvmStep with a bound; true when MPC reached 0 or 0x70 within maxSteps micro steps.
    bool ijvmStepBounded(std::int64_t maxSteps);

    /// Adds the records of a control-store file (the first record for an address wins).
    void loadControlStore(const std::string& path);
    /// Assembles the IJVM source at path and places it in memory, then resets.
    void loadProgram(const std::string& path);
    /// The source line (at most 49 bytes) of the instruction holding method-area byte address.
    std::string sourceLine(const std::string& path, std::uint32_t address);
};

} // namespace tessaro
