#pragma once

#include "machine/control_path.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessaro {

class ReferenceIjvm;

/// What the check found for one IJVM instruction.
struct InstructionCheck {
    std::uint8_t opcode = 0;
    std::string name;                     ///< as written in a program ("WIDE ILOAD")
    int executions = 0;                   ///< executions found right
    std::int64_t fewestMicro = 0;         ///< micro-instructions of the shortest right execution
    std::int64_t mostMicro = 0;           ///< micro-instructions of the longest right execution
    int failures = 0;                     ///< programs in which an execution went wrong
    std::string program;                  ///< the shortest program in which it went wrong
    int line = 0;                         ///< line of that program holding the wrong execution
    std::vector<std::string> differences; ///< what the machine got wrong, one item each
    std::vector<std::int32_t> microAddresses; ///< micro-addresses the wrong execution ran
    std::string notChecked; ///< why the instruction was not checked; empty when it was

    /// Executed, and never wrongly.
    bool passed() const { return failures == 0 && executions > 0; }
};

/// How much checking is done.
struct CheckOptions {
    static constexpr int kDefaultPrograms = 50;
    std::uint32_t seed = 1;          ///< every program follows from it
    int programs = kDefaultPrograms; ///< programs written for each instruction
    /// Told after each program checked: how many are done, of how many in all.
    std::function<void(std::int64_t done, std::int64_t total)> progress;
};

/// Checks a control store against the meaning of every IJVM instruction. For each instruction
/// it writes programs that exercise it, runs each on the microprogrammed machine and on the
/// direct interpreter side by side, and compares them at every instruction boundary:
/// PC, SP, LV, CPP, TOS, the prefetched opcode in MBR and every memory word. A difference is
/// charged to the instruction just executed; the machine then takes the interpreter's state
/// again, so that one wrong routine does not hide the others.
class MicroprogramCheck {
public:
    /// Longest execution of one instruction before it counts as never returning to the main
    /// loop (micro-instructions).
    static constexpr std::int64_t kInstructionBound = 10'000;

    /// A check of a translated microprogram's control store.
    explicit MicroprogramCheck(const ControlStoreRecords& store);

    /// Runs the check; one entry per instruction of the set, in opcode order. An empty result
    /// means a generated program could not be assembled (see error()).
    std::vector<InstructionCheck> run(const CheckOptions& options);

    /// The instructions to check, from now on; the built-in set until then.
    void setInstructionSet(std::shared_ptr<const InstructionSet> set);

    /// Why the last run gave nothing.
    const std::string& error() const { return m_error; }

private:
    struct Found;
    bool runProgram(const std::string& source, std::uint32_t inputSeed, int traceAt,
                    std::vector<Found>& found, std::vector<std::int32_t>* trace);
    std::vector<std::string> compare(const ReferenceIjvm& reference, bool returned);
    void takeOver(const ReferenceIjvm& reference);
    bool execute(std::vector<std::int32_t>* trace);
    bool startUp(std::vector<std::int32_t>* trace);

    std::shared_ptr<const InstructionSet> m_instructions;
    ControlPath m_machine;
    ControlPath m_loader; // assembles the programs, its control store empty
    std::string m_error;
    std::vector<InstructionCheck>* m_results = nullptr;
};

/// True when every instruction checked passed (and at least one was).
bool allPassed(const std::vector<InstructionCheck>& results);

/// The line shown for an instruction: "IADD ok 4", "IFLT ok 7-11" or "ISUB FAIL".
std::string verdictLine(const InstructionCheck& result);

/// The lines that explain a failure: the program, what differs, the micro-addresses.
std::vector<std::string> failureDetails(const InstructionCheck& result);

} // namespace tessaro
