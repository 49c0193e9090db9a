#include "check/microprogram_check.h"

#include "core/language.h"

#include "check/check_programs.h"
#include "check/program_generator.h"
#include "check/reference_ijvm.h"
#include "ijvm/instruction_set.h"

#include <algorithm>
#include <array>
#include <random>
#include <utility>

namespace tessaro {

namespace {

// Programs an instruction is still given after it has gone wrong this often: enough to find a
// short one, without spending the time a broken routine costs on every further program.
constexpr int kFailuresKept = 3;
constexpr int kMaxInstructions = 5'000;
constexpr std::int64_t kProgramBound = 500'000;
// Executions in one program that never end before the program is given up: a routine that
// loops costs the whole bound each time and tells nothing new.
constexpr int kUnendedKept = 3;
constexpr std::size_t kMemoryDifferencesShown = 4;
constexpr std::size_t kAddressesShown = 60;

std::string word(std::int32_t v) {
    return std::to_string(v);
}

std::string differs(const std::string& what, std::int32_t expected, std::int32_t found) {
    return localized(MessageId::CheckExpectedFound, {what, word(expected), word(found)});
}

std::int32_t machineWord(const ControlPath& machine, std::int32_t address) {
    const std::int32_t* v = machine.wordMemory.peek(memory_map::wordKey(address));
    return v != nullptr ? *v : 0;
}

std::string wordName(std::int32_t address, const ReferenceIjvm& reference) {
    std::string name = localized(MessageId::CheckMemoryWord, {word(address)});
    if (address == memory_map::kInputWord) {
        return name + localized(MessageId::CheckInputWord);
    }
    if (address >= memory_map::kFirstOutputWord && address <= memory_map::kLastOutputWord) {
        return name + localized(MessageId::CheckOutputWord);
    }
    if (address == reference.SP) {
        return name + localized(MessageId::CheckStackTopWord);
    }
    if (address >= reference.LV && address < reference.SP) {
        return name + localized(MessageId::CheckFrameWord, {word(address - reference.LV)});
    }
    return name;
}

// Line (from 1) of a byte offset into source.
int lineOf(const std::string& source, std::uint32_t offset) {
    const auto end =
        source.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(offset, source.size()));
    return 1 + static_cast<int>(std::count(source.begin(), end, '\n'));
}

std::int32_t inputWord(std::mt19937& random) {
    static constexpr std::array<std::int32_t, 6> kEdges = {0,  -1,         1,
                                                           65, 0x7FFFFFFF, -2147483647 - 1};
    if (random() % 2 == 0) {
        return kEdges[random() % kEdges.size()];
    }
    return static_cast<std::int32_t>(random());
}

} // namespace

struct MicroprogramCheck::Found {
    std::uint8_t opcode = 0;
    int index = 0;        // instructions executed before it; -1: the start-up call of main
    std::uint32_t pc = 0; // address of its opcode
    std::vector<std::string> differences;
};

MicroprogramCheck::MicroprogramCheck(const ControlStoreRecords& store) {
    m_instructions = m_loader.instructionSet;
    m_machine.loadControlStore(store);
}

void MicroprogramCheck::setInstructionSet(std::shared_ptr<const InstructionSet> set) {
    m_instructions = std::move(set);
    m_loader.instructionSet = m_instructions;
}

std::vector<std::string> MicroprogramCheck::compare(const ReferenceIjvm& reference, bool returned) {
    std::vector<std::string> out;
    const ControlPath& m = m_machine;
    if (!returned) {
        out.push_back(
            localized(MessageId::CheckNeverReturned, {std::to_string(kInstructionBound)}));
        return out;
    }
    if (reference.halted && m.MPC != memory_map::kHaltAddress) {
        out.push_back(
            localized(MessageId::CheckDidNotHalt, {word(m.MPC), word(memory_map::kHaltAddress)}));
        return out;
    }
    if (!reference.halted && m.MPC != memory_map::kMainLoop) {
        out.push_back(localized(MessageId::CheckHalted));
        return out;
    }
    if (m.PC() != reference.PC) {
        out.push_back(differs("PC", reference.PC, m.PC()));
    }
    if (m.SP() != reference.SP) {
        out.push_back(differs("SP", reference.SP, m.SP()));
    }
    if (m.LV() != reference.LV) {
        out.push_back(differs("LV", reference.LV, m.LV()));
    }
    if (m.CPP() != memory_map::kConstantPoolBase) {
        out.push_back(differs("CPP", memory_map::kConstantPoolBase, m.CPP()));
    }
    if (m.TOS() != reference.word(reference.SP)) {
        out.push_back(
            differs(localized(MessageId::CheckTosWord), reference.word(reference.SP), m.TOS()));
    }
    if (!reference.halted) {
        // Between instructions MBR already holds the opcode at PC (or it is arriving).
        const std::int32_t mbr = (m.pendingMem & 1u) != 0 ? m.fetchLatch : (m.MBR() & 0xFF);
        if (mbr != reference.byte(reference.PC)) {
            out.push_back(
                differs(localized(MessageId::CheckMbrWord), reference.byte(reference.PC), mbr));
        }
    }
    std::vector<std::int32_t> wrong;
    for (const auto& bucket : m.wordMemory.buckets) {
        for (const auto& elem : bucket) {
            const auto address = static_cast<std::int32_t>(elem.key);
            if (elem.value != reference.word(address)) {
                wrong.push_back(address);
            }
        }
    }
    for (const auto& [key, value] : reference.words()) {
        const auto address = static_cast<std::int32_t>(key);
        if (machineWord(m, address) != value) {
            wrong.push_back(address);
        }
    }
    std::sort(wrong.begin(), wrong.end());
    wrong.erase(std::unique(wrong.begin(), wrong.end()), wrong.end());
    for (std::size_t i = 0; i < wrong.size() && i < kMemoryDifferencesShown; ++i) {
        out.push_back(differs(wordName(wrong[i], reference), reference.word(wrong[i]),
                              machineWord(m, wrong[i])));
    }
    if (wrong.size() > kMemoryDifferencesShown) {
        out.push_back(localized(MessageId::CheckMoreWordsDiffer,
                                {std::to_string(wrong.size() - kMemoryDifferencesShown)}));
    }
    return out;
}

void MicroprogramCheck::takeOver(const ReferenceIjvm& reference) {
    ControlPath& m = m_machine;
    m.MPC = reference.halted ? memory_map::kHaltAddress : memory_map::kMainLoop;
    m.pendingMem = 0;
    m.PC() = reference.PC;
    m.SP() = reference.SP;
    m.LV() = reference.LV;
    m.CPP() = memory_map::kConstantPoolBase;
    m.TOS() = reference.word(reference.SP);
    m.MBR() = reference.byte(reference.PC);
    for (auto& bucket : m.wordMemory.buckets) {
        for (auto& elem : bucket) {
            elem.value = reference.word(static_cast<std::int32_t>(elem.key));
        }
    }
    for (const auto& [key, value] : reference.words()) {
        m.wordMemory[key] = value;
    }
}

bool MicroprogramCheck::execute(std::vector<std::int32_t>* trace) {
    if (trace == nullptr) {
        return m_machine.ijvmStepBounded(kInstructionBound);
    }
    for (std::int64_t n = 0; n < kInstructionBound; ++n) {
        trace->push_back(m_machine.MPC);
        m_machine.microStep();
        if (m_machine.MPC == memory_map::kMainLoop || m_machine.MPC == memory_map::kHaltAddress) {
            return true;
        }
    }
    return false;
}

bool MicroprogramCheck::startUp(std::vector<std::int32_t>* trace) {
    // As ControlPath::reset, with the start-up call bounded like any instruction.
    ControlPath& m = m_machine;
    m.pendingMem = 0;
    m.MIR = 0;
    m.fetchLatch = 0;
    m.readLatch = 0;
    for (std::int32_t& reg : m.registers) {
        reg = 0;
    }
    m.MPC = 0;
    m.lastMPC = 0;
    m.microCount = 0;
    m.PC() = memory_map::kResetPC;
    m.SP() = memory_map::kStackBase;
    m.LV() = memory_map::kStackBase;
    m.CPP() = memory_map::kConstantPoolBase;
    if (trace != nullptr) {
        trace->push_back(m.MPC);
    }
    m.microStep();
    return execute(trace);
}

bool MicroprogramCheck::runProgram(const std::string& source, std::uint32_t inputSeed, int traceAt,
                                   std::vector<Found>& found, std::vector<std::int32_t>* trace) {
    // The program is assembled on a machine with an empty control store, whose reset ends at
    // once: the start-up call on the checked store may never end, and is bounded and traced
    // here like every other instruction.
    m_loader.wordMemory.clear();
    m_loader.invalidateMemoryCache();
    m_loader.loadProgramText(source);
    if (!m_loader.errors.empty()) {
        m_error =
            localized(MessageId::CheckProgramDoesNotAssemble, {m_loader.errors.begin()->message}) +
            source;
        return false;
    }
    ControlPath& m = m_machine;
    m.methodArea = m_loader.methodArea;
    m.methodAreaSize = m_loader.methodAreaSize;
    m.constantPoolWords = m_loader.constantPoolWords;
    m.sourceMap = m_loader.sourceMap;
    m.wordMemory = m_loader.wordMemory;
    m.invalidateMemoryCache();
    std::vector<std::int32_t> pool;
    for (std::int32_t i = 0; i < m.constantPoolWords; ++i) {
        pool.push_back(machineWord(m, i));
    }
    ReferenceIjvm reference(
        std::vector<std::uint8_t>(m.methodArea.begin(), m.methodArea.begin() + m.methodAreaSize),
        pool, m_instructions.get());
    // One failure per instruction and program: the first, unless that was the start-up call
    // and one inside the program, with a line to show, follows.
    std::array<int, 256> seen{};
    seen.fill(-1);
    auto charge = [&](std::uint8_t code, int index, std::uint32_t pc,
                      std::vector<std::string> differences) {
        if (seen[code] < 0) {
            seen[code] = static_cast<int>(found.size());
            found.push_back(Found{code, index, pc, std::move(differences)});
        } else if (found[static_cast<std::size_t>(seen[code])].index < 0) {
            found[static_cast<std::size_t>(seen[code])] =
                Found{code, index, pc, std::move(differences)};
        }
        takeOver(reference);
    };
    // The start-up call of main is carried out by INVOKEVIRTUAL's routine.
    const bool started = startUp(traceAt < 0 ? trace : nullptr);
    if (auto differences = compare(reference, started); !differences.empty()) {
        charge(opcode::INVOKEVIRTUAL, -1, 0, std::move(differences));
    }
    std::mt19937 inputs(inputSeed);
    int unended = 0;
    for (int i = 0; i < kMaxInstructions && !reference.halted && m.microCount < kProgramBound &&
                    unended < kUnendedKept;
         ++i) {
        const std::int32_t pc = reference.PC;
        const std::uint8_t code = reference.byte(pc);
        if (m_instructions->find(code) == nullptr) {
            break;
        }
        if (code == opcode::IN) {
            const std::int32_t input = inputWord(inputs);
            reference.setWord(memory_map::kInputWord, input);
            m.wordMemory[memory_map::wordKey(memory_map::kInputWord)] = input;
        }
        const std::int64_t before = m.microCount;
        const bool returned = execute(i == traceAt ? trace : nullptr);
        reference.step();
        unended += returned ? 0 : 1;
        std::vector<std::string> differences = compare(reference, returned);
        if (!differences.empty()) {
            charge(code, i, static_cast<std::uint32_t>(pc), std::move(differences));
        } else if (m_results != nullptr) {
            InstructionCheck& result =
                *std::find_if(m_results->begin(), m_results->end(),
                              [code](const InstructionCheck& r) { return r.opcode == code; });
            const std::int64_t micro = m.microCount - before;
            result.fewestMicro =
                result.executions == 0 ? micro : std::min(result.fewestMicro, micro);
            result.mostMicro = std::max(result.mostMicro, micro);
            ++result.executions;
        }
    }
    return true;
}

std::vector<InstructionCheck> MicroprogramCheck::run(const CheckOptions& options) {
    m_error.clear();
    std::vector<InstructionCheck> results;
    std::array<int, 256> slot{};
    slot.fill(-1);
    std::vector<const Instruction*> checked;
    for (const Instruction& instruction : m_instructions->instructions()) {
        checked.push_back(&instruction);
    }
    std::sort(checked.begin(), checked.end(),
              [](const Instruction* a, const Instruction* b) { return a->opcode < b->opcode; });
    for (const Instruction* instruction : checked) {
        slot[instruction->opcode] = static_cast<int>(results.size());
        InstructionCheck result;
        result.opcode = instruction->opcode;
        result.name = instruction->display;
        CheckProgramWriter::canExercise(*instruction, result.notChecked);
        results.push_back(result);
    }
    struct Witness {
        std::string source;
        std::uint32_t inputSeed = 0;
        int index = 0;
        std::int32_t size = 0;
    };
    std::vector<Witness> witnesses(results.size());
    m_results = &results;
    std::vector<Found> found;
    const std::int64_t total =
        std::int64_t{options.programs} * static_cast<std::int64_t>(results.size()) +
        options.programs / 3;
    std::int64_t done = 0;
    auto judge = [&](const std::string& source, std::uint32_t inputSeed) {
        if (options.progress) {
            options.progress(done, total);
        }
        ++done;
        found.clear();
        if (!runProgram(source, inputSeed, -1, found, nullptr)) {
            return false;
        }
        for (Found& f : found) {
            const auto at = static_cast<std::size_t>(slot[f.opcode]);
            InstructionCheck& result = results[at];
            ++result.failures;
            Witness& best = witnesses[at];
            // A failure inside a program, which has a line to show, beats one in the start-up
            // call; then the smaller program wins.
            const bool traced = f.index >= 0;
            const bool bestTraced = best.index >= 0;
            if (result.failures == 1 || (traced && !bestTraced) ||
                (traced == bestTraced && m_machine.methodAreaSize < best.size)) {
                best = Witness{source, inputSeed, f.index, m_machine.methodAreaSize};
                result.program = source;
                result.differences = std::move(f.differences);
                const std::uint32_t* offset = m_machine.sourceMap.peek(f.pc);
                result.line = f.index < 0 || offset == nullptr ? 0 : lineOf(source, *offset);
            }
        }
        return true;
    };

    CheckProgramWriter writer(options.seed);
    std::mt19937 inputSeeds(options.seed ^ 0x5EEDu);
    for (int serial = 0; serial < options.programs; ++serial) {
        for (const Instruction* instruction : checked) {
            const auto at = static_cast<std::size_t>(slot[instruction->opcode]);
            if (!results[at].notChecked.empty()) {
                continue;
            }
            const std::string source = writer.write(*instruction, serial);
            const std::uint32_t inputSeed = inputSeeds();
            if (results[at].failures >= kFailuresKept && witnesses[at].index >= 0) {
                continue;
            }
            if (!judge(source, inputSeed)) {
                m_results = nullptr;
                return {};
            }
        }
    }
    // Whole programs mix the instructions in ways the small ones do not.
    ProgramGenerator generator(options.seed);
    for (int n = 0; n < options.programs / 3; ++n) {
        const std::string source = generator.next();
        if (!judge(source, inputSeeds())) {
            m_results = nullptr;
            return {};
        }
    }
    m_results = nullptr;

    for (std::size_t at = 0; at < results.size(); ++at) {
        if (results[at].failures == 0) {
            continue;
        }
        std::vector<std::int32_t> trace;
        found.clear();
        runProgram(witnesses[at].source, witnesses[at].inputSeed, witnesses[at].index, found,
                   &trace);
        results[at].microAddresses = std::move(trace);
    }
    return results;
}

bool allPassed(const std::vector<InstructionCheck>& results) {
    return std::any_of(results.begin(), results.end(),
                       [](const InstructionCheck& r) { return r.notChecked.empty(); }) &&
           std::all_of(results.begin(), results.end(), [](const InstructionCheck& r) {
               return !r.notChecked.empty() || r.passed();
           });
}

std::string verdictLine(const InstructionCheck& result) {
    if (!result.notChecked.empty()) {
        return localized(MessageId::CheckSkipped, {result.name, result.notChecked});
    }
    if (result.failures > 0) {
        return result.name + " FAIL";
    }
    if (result.executions == 0) {
        return result.name + localized(MessageId::CheckNeverExecuted);
    }
    std::string line = result.name + " ok " + std::to_string(result.fewestMicro);
    if (result.mostMicro != result.fewestMicro) {
        line += "-" + std::to_string(result.mostMicro);
    }
    return line;
}

std::vector<std::string> failureDetails(const InstructionCheck& result) {
    std::vector<std::string> lines;
    if (result.failures == 0) {
        return lines;
    }
    lines.push_back(localized(MessageId::CheckShortestProgram));
    std::size_t start = 0;
    int number = 1;
    while (start < result.program.size()) {
        std::size_t end = result.program.find('\n', start);
        if (end == std::string::npos) {
            end = result.program.size();
        }
        std::string text = std::to_string(number);
        text.insert(0, text.size() < 3 ? 3 - text.size() : 0, ' ');
        lines.push_back("  " + text + (number == result.line ? " > " : " | ") +
                        result.program.substr(start, end - start));
        start = end + 1;
        ++number;
    }
    lines.push_back(result.line > 0 ? localized(MessageId::CheckInstructionAtLine,
                                                {result.name, std::to_string(result.line)})
                                    : localized(MessageId::CheckStartupCall));
    for (const std::string& difference : result.differences) {
        lines.push_back("  " + difference);
    }
    // A routine that loops would fill pages: repeats are counted, and the list is cut.
    std::string addresses = localized(MessageId::CheckMicroAddresses);
    const std::vector<std::int32_t>& trace = result.microAddresses;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < trace.size(); ++shown) {
        std::size_t run = 1;
        while (i + run < trace.size() && trace[i + run] == trace[i]) {
            ++run;
        }
        if (shown == kAddressesShown) {
            addresses += localized(MessageId::CheckTraceTotal, {std::to_string(trace.size())});
            break;
        }
        addresses += " " + std::to_string(trace[i]);
        if (run > 1) {
            addresses += localized(MessageId::CheckTraceRepeats, {std::to_string(run)});
        }
        i += run;
    }
    lines.push_back(addresses);
    return lines;
}

} // namespace tessaro
