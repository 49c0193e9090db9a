#include "tests/program/machine_state.h"

#include <algorithm>

namespace tessaro::testing {

MachineState::MachineState(const ControlPath& m) : currentText(m.currentMic.text) {
    const auto keep = [this](std::int64_t table, const auto& values) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (values[i] != 0) {
                counts.insert(counts.end(), {table, static_cast<std::int64_t>(i), values[i]});
            }
        }
    };
    keep(0, m.counts.perAddress);
    keep(1, m.counts.opcodeRuns);
    keep(2, m.counts.opcodeMicro);
    counts.insert(counts.end(), {m.counts.currentOpcode, m.counts.currentStart});
    scalars = {m.A,
               m.B,
               m.C,
               m.N,
               m.Z,
               m.aluFunction,
               m.shiftCode,
               m.readLatch,
               m.fetchLatch,
               m.MIR,
               m.pendingMem,
               m.MPC,
               m.lastMPC,
               m.microCount,
               m.currentMic.word,
               m.currentMic.NextAddr};
    for (const std::int32_t r : m.registers) {
        scalars.push_back(r);
    }
    for (const auto& bucket : m.wordMemory.buckets) {
        for (const auto& elem : bucket) {
            words.emplace_back(elem.key, elem.value);
        }
    }
    std::sort(words.begin(), words.end());
}

std::string firstDifference(const MachineState& expected, const MachineState& actual) {
    static const char* const names[] = {"A",
                                        "B",
                                        "C",
                                        "N",
                                        "Z",
                                        "ALU",
                                        "shift",
                                        "read latch",
                                        "fetch latch",
                                        "MIR",
                                        "pending memory",
                                        "MPC",
                                        "last MPC",
                                        "micro count",
                                        "current word",
                                        "current next",
                                        "MAR",
                                        "MDR",
                                        "PC",
                                        "SP",
                                        "LV",
                                        "CPP",
                                        "TOS",
                                        "OPC",
                                        "H",
                                        "MBR"};
    for (std::size_t i = 0; i < expected.scalars.size(); ++i) {
        if (expected.scalars[i] != actual.scalars[i]) {
            return std::string(names[i]) + ": expected " + std::to_string(expected.scalars[i]) +
                   ", got " + std::to_string(actual.scalars[i]);
        }
    }
    if (expected.currentText != actual.currentText) {
        return "current micro-instruction text";
    }
    if (expected.words != actual.words) {
        return "word memory (" + std::to_string(expected.words.size()) + " against " +
               std::to_string(actual.words.size()) + " words)";
    }
    if (expected.counts != actual.counts) {
        return "execution counts";
    }
    return "";
}

} // namespace tessaro::testing
