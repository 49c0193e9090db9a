#include "behaviour.h"

#include "ijvm/instruction_set.h"
#include "machine/control_path.h"
#include "machine/memory_map.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

namespace tessaro::mutants {

namespace {

constexpr int kMaxInstructions = 300'000;
constexpr std::int64_t kInstructionBound = 10'000;

std::int32_t peek(const ControlPath& machine, std::int32_t address) {
    const std::int32_t* v = machine.wordMemory.peek(memory_map::wordKey(address));
    return v != nullptr ? *v : 0;
}

// The state a program can observe between two instructions.
std::vector<std::int32_t> boundaryState(const ControlPath& m) {
    return {m.MPC,
            m.PC(),
            m.SP(),
            m.LV(),
            m.TOS(),
            peek(m, m.SP()),
            peek(m, memory_map::kLastOutputWord)};
}

bool sameMemory(const ControlPath& a, const ControlPath& b) {
    for (const ControlPath* one : {&a, &b}) {
        const ControlPath& other = one == &a ? b : a;
        for (const auto& bucket : one->wordMemory.buckets) {
            for (const auto& elem : bucket) {
                if (peek(other, static_cast<std::int32_t>(elem.key)) != elem.value) {
                    return false;
                }
            }
        }
    }
    return true;
}

std::string compareOn(const std::string& storePath, const std::string& otherStorePath,
                      const SampleProgram& program) {
    auto machine = std::make_unique<ControlPath>();
    auto other = std::make_unique<ControlPath>();
    machine->loadControlStore(storePath);
    other->loadControlStore(otherStorePath);
    machine->loadProgram(program.path);
    other->loadProgram(program.path);
    const std::string name = std::filesystem::path(program.path).filename().string();
    std::size_t input = 0;
    for (int i = 0; i < kMaxInstructions && machine->MPC != memory_map::kHaltAddress; ++i) {
        if (boundaryState(*machine) != boundaryState(*other)) {
            return name + ": differs before instruction " + std::to_string(i);
        }
        const auto pc = static_cast<std::uint32_t>(machine->PC());
        if (pc < machine->methodArea.size() && machine->methodArea[pc] == opcode::IN) {
            const std::int32_t value = input < program.inputs.size() ? program.inputs[input] : 0;
            ++input;
            for (ControlPath* m : {machine.get(), other.get()}) {
                m->wordMemory[memory_map::wordKey(memory_map::kInputWord)] = value;
            }
        }
        const bool returned = machine->ijvmStepBounded(kInstructionBound);
        if (other->ijvmStepBounded(kInstructionBound) != returned) {
            return name + ": instruction " + std::to_string(i) + " never ends on one of them";
        }
    }
    if (boundaryState(*machine) != boundaryState(*other) || !sameMemory(*machine, *other)) {
        return name + ": differs at the end";
    }
    return {};
}

} // namespace

std::vector<SampleProgram> programsIn(const std::string& folder) {
    std::vector<SampleProgram> programs;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".jvm") {
            continue;
        }
        SampleProgram program{entry.path().string(), {}};
        std::ifstream in(std::filesystem::path(entry.path()).replace_extension(".in"));
        std::string number;
        while (in >> number) {
            program.inputs.push_back(static_cast<std::int32_t>(std::stoll(number, nullptr, 0)));
        }
        programs.push_back(program);
    }
    std::sort(programs.begin(), programs.end(),
              [](const SampleProgram& a, const SampleProgram& b) { return a.path < b.path; });
    return programs;
}

std::string firstDifference(const std::string& storePath, const std::string& otherStorePath,
                            const std::vector<SampleProgram>& programs) {
    for (const SampleProgram& program : programs) {
        std::string difference = compareOn(storePath, otherStorePath, program);
        if (!difference.empty()) {
            return difference;
        }
    }
    return {};
}

} // namespace tessaro::mutants
