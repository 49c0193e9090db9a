#include "machine/control_path.h"
#include "machine/control_store_file.h"
#include "machine/control_word.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using tessaro::ControlPath;

constexpr std::uint32_t word(std::uint32_t b, std::uint32_t mem, std::uint32_t c, std::uint32_t alu,
                             std::uint32_t jam = 0) {
    namespace cw = tessaro::control_word;
    return cw::kB.place(b) | cw::kMem.place(mem) | cw::kC.place(c) | cw::kAlu.place(alu) |
           cw::kJam.place(jam);
}

// B codes, C bits, Mem bits and ALU codes used below.
constexpr std::uint32_t bMDR = 1, bPC = 2, bSP = 3, bTOS = 6, bOPC = 7, bMBR = 10;
constexpr std::uint32_t cMAR = 1, cMDR = 2, cPC = 4, cSP = 8, cTOS = 64, cH = 256;
constexpr std::uint32_t fetch = 1, rd = 2, wr = 4;
constexpr std::uint32_t aluB = 20, aluAplusB = 60, aluBplus1 = 53, aluAandB = 12;
constexpr std::uint32_t jamZ = 1;

// An endless loop of eight micro-instructions over a 4096-word stack and a 4096-byte method
// area: a read, a fetch, a write, ALU work and a conditional jump in every round.
std::string writeLoopStore() {
    const std::string path = "/tmp/tessaro_bench_" + std::to_string(::getpid()) + ".bin";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    using tessaro::writeControlStoreRecord;
    const auto w = [](std::uint32_t v) { return static_cast<std::int32_t>(v); };
    writeControlStoreRecord(out, 0, 1, w(word(bSP, rd, cMAR | cSP, aluBplus1)),
                            "l0: MAR = SP = SP + 1; rd;");
    writeControlStoreRecord(out, 1, 2, w(word(bPC, fetch, cPC, aluBplus1)),
                            "l1: PC = PC + 1; fetch;");
    writeControlStoreRecord(out, 2, 3, w(word(bMDR, 0, cH, aluB)), "l2: H = MDR;");
    writeControlStoreRecord(out, 3, 4, w(word(bMBR, wr, cMDR | cTOS, aluAplusB)),
                            "l3: MDR = TOS = MBR + H; wr;");
    writeControlStoreRecord(out, 4, 5, w(word(bTOS, 0, 0, aluB, jamZ)),
                            "l4: Z = TOS; if (Z) goto l5z; else goto l5;");
    writeControlStoreRecord(out, 0x105, 5, 0, "l5z: goto l5;");
    writeControlStoreRecord(out, 5, 6, w(word(bOPC, 0, cH, aluB)), "l5: H = OPC;");
    writeControlStoreRecord(out, 6, 7, w(word(bSP, 0, cSP, aluAandB)), "l6: SP = H AND SP;");
    writeControlStoreRecord(out, 7, 0, w(word(bPC, 0, cPC, aluAandB)),
                            "l7: PC = H AND PC; goto l0;");
    std::fclose(out);
    return path;
}

void BM_ControlStoreLoop(benchmark::State& state) {
    const std::string path = writeLoopStore();
    ControlPath machine;
    machine.loadControlStore(path);
    std::remove(path.c_str());
    machine.methodArea.resize(4096);
    for (std::size_t i = 0; i < machine.methodArea.size(); ++i) {
        machine.methodArea[i] = static_cast<std::uint8_t>(i * 7);
    }
    machine.methodAreaSize = 4096;
    machine.OPC() = 4095;
    const std::int64_t slice = state.range(0);
    for (auto _ : state) {
        machine.runFor(slice);
        benchmark::DoNotOptimize(machine.TOS());
    }
    state.SetItemsProcessed(state.iterations() * slice);
    state.counters["words"] = static_cast<double>(machine.wordMemory.elementCount());
}
BENCHMARK(BM_ControlStoreLoop)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The same loop one micro step per call, as a front end stepping by hand would drive it.
void BM_ControlStoreMicroStep(benchmark::State& state) {
    const std::string path = writeLoopStore();
    ControlPath machine;
    machine.loadControlStore(path);
    std::remove(path.c_str());
    machine.methodArea.assign(4096, 1);
    machine.methodAreaSize = 4096;
    machine.OPC() = 4095;
    for (auto _ : state) {
        machine.microStep();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ControlStoreMicroStep);

} // namespace

BENCHMARK_MAIN();
