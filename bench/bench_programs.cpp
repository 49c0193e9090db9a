// Whole IJVM programs on the built-in microprogram, run through ControlPath::runFor: how many
// micro-instructions per second the simulated Mic-1 executes on real code.

#include "data/bundled.h"
#include "machine/control_path.h"
#include "mal/micro_assembler.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

using tessaro::ControlPath;

// A machine with the built-in microprogram and the program loaded (the start-up call done).
bool prepare(ControlPath& machine, const std::string& program) {
    const tessaro::AssembledMicroprogram translated =
        tessaro::MicroAssembler::assemble(tessaro::bundledMicroprogram());
    if (translated.ok()) {
        machine.loadControlStore(translated.records);
        machine.loadProgramText(program);
    }
    return translated.ok() && machine.errors.empty();
}

// Runs to HALT in slices, as an interactive front end would.
void runToHalt(ControlPath& machine) {
    while (!machine.runFor(50'000'000)) {
    }
}

void runProgram(benchmark::State& state, const std::string& program) {
    ControlPath machine;
    if (!prepare(machine, program)) {
        state.SkipWithError("the program or the microprogram did not load");
        return;
    }
    std::int64_t micro = 0;
    for (auto _ : state) {
        state.PauseTiming();
        machine.reset();
        const std::int64_t start = machine.microCount;
        state.ResumeTiming();
        runToHalt(machine);
        micro += machine.microCount - start;
    }
    state.SetItemsProcessed(micro);
    state.counters["micro-instructions/s"] =
        benchmark::Counter(static_cast<double>(micro), benchmark::Counter::kIsRate);
}

// 2,500,000 rounds of IINC, ILOAD, IFEQ (not taken), GOTO: 10 million IJVM instructions.
void BM_CountingLoop(benchmark::State& state) {
    runProgram(state, R"(
.constant
    rounds 2500000
.end-constant
.main
.var
    i
.end-var
        LDCW rounds
        ISTORE i
loop:   IINC i -1
        ILOAD i
        IFEQ done
        GOTO loop
done:   HALT
.end-main
)");
}
BENCHMARK(BM_CountingLoop)->Unit(benchmark::kMillisecond);

// fib(24) by double recursion: calls, returns and a deep, moving stack.
void BM_RecursiveFibonacci(benchmark::State& state) {
    runProgram(state, R"(
.main
        BIPUSH 0
        BIPUSH 24
        INVOKEVIRTUAL fib
        POP
        HALT
.end-main
.method fib(n)
        ILOAD n
        BIPUSH 2
        ISUB
        IFLT small
        BIPUSH 0
        ILOAD n
        BIPUSH 1
        ISUB
        INVOKEVIRTUAL fib
        BIPUSH 0
        ILOAD n
        BIPUSH 2
        ISUB
        INVOKEVIRTUAL fib
        IADD
        IRETURN
small:  ILOAD n
        IRETURN
.end-method
)");
}
BENCHMARK(BM_RecursiveFibonacci)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
