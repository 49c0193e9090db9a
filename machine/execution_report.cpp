#include "machine/execution_report.h"

#include "core/language.h"
#include "core/number_text.h"

#include "ijvm/instruction_set.h"

#include <algorithm>
#include <cstdio>

namespace tessaro {

namespace {

std::string nameOf(std::uint8_t opcode, const InstructionSet& instructions) {
    const Instruction* instruction = instructions.find(opcode);
    if (instruction != nullptr) {
        return instruction->display;
    }
    return hexByte(opcode);
}

} // namespace

std::vector<OpcodeFigures> opcodeFigures(const ExecutionCounts& counts, std::int64_t microCount,
                                         const InstructionSet& instructions) {
    std::vector<OpcodeFigures> figures;
    for (std::uint32_t opcode = 0; opcode < ExecutionCounts::kOpcodes; ++opcode) {
        if (counts.opcodeRuns[opcode] > 0) {
            const auto code = static_cast<std::uint8_t>(opcode);
            figures.push_back({code, nameOf(code, instructions), counts.opcodeRuns[opcode],
                               counts.microOf(opcode, microCount)});
        }
    }
    std::stable_sort(
        figures.begin(), figures.end(),
        [](const OpcodeFigures& a, const OpcodeFigures& b) { return a.micro > b.micro; });
    return figures;
}

std::vector<AddressFigures> busiestAddresses(const ExecutionCounts& counts, std::size_t limit) {
    std::vector<AddressFigures> figures;
    for (std::uint32_t address = 0; address < ExecutionCounts::kAddresses; ++address) {
        if (counts.perAddress[address] > 0) {
            figures.push_back({address, counts.perAddress[address]});
        }
    }
    std::stable_sort(
        figures.begin(), figures.end(),
        [](const AddressFigures& a, const AddressFigures& b) { return a.runs > b.runs; });
    if (figures.size() > limit) {
        figures.resize(limit);
    }
    return figures;
}

std::string opcodeTable(const ExecutionCounts& counts, std::int64_t microCount,
                        const InstructionSet& instructions) {
    std::string text = localized(MessageId::StatsTableHeader);
    char line[96];
    for (const OpcodeFigures& f : opcodeFigures(counts, microCount, instructions)) {
        std::snprintf(line, sizeof line, "%-15s %12lld  %18lld\n", f.name.c_str(),
                      static_cast<long long>(f.runs), static_cast<long long>(f.micro));
        text += line;
    }
    return text;
}

} // namespace tessaro
