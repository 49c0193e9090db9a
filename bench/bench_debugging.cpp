// What debugging costs: a Run through the machine session with and without its history and
// breakpoints, and going back one IJVM instruction after a billion micro-instructions.

#include "data/bundled.h"
#include "ijvm/instruction_set.h"
#include "machine/machine_session.h"
#include "mal/micro_assembler.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace {

using tessaro::MachineSession;
using tessaro::Outcome;
using tessaro::RunKind;

// The counting loop of bench_programs with the given number of rounds (27 micro-instructions
// each).
std::string countingLoop(long long rounds) {
    return ".constant\n    rounds " + std::to_string(rounds) +
           "\n.end-constant\n.main\n.var\n    i\n.end-var\n        LDCW rounds\n"
           "        ISTORE i\nloop:   IINC i -1\n        ILOAD i\n        IFEQ done\n"
           "        GOTO loop\ndone:   HALT\n.end-main\n";
}

std::unique_ptr<MachineSession> prepare(const std::string& program, bool history) {
    auto session = std::make_unique<MachineSession>();
    session->setKeepHistory(history);
    const tessaro::AssembledMicroprogram translated =
        tessaro::MicroAssembler::assemble(tessaro::bundledMicroprogram());
    if (translated.ok()) {
        session->loadControlStore(translated.records);
    }
    const bool loaded = translated.ok() && session->compileAndLoadText(program).loaded;
    return loaded ? std::move(session) : nullptr;
}

// What is marked while the run goes on: nothing, or a micro-address and an instruction that
// the program never reaches (every check is made, none stops it).
enum Marks { kNone = 0, kUnreached = 1 };

void sessionRun(benchmark::State& state, bool history, Marks marks) {
    auto session = prepare(countingLoop(2'500'000), history);
    if (session == nullptr) {
        state.SkipWithError("the program or the microprogram did not load");
        return;
    }
    std::int64_t micro = 0;
    for (auto _ : state) {
        state.PauseTiming();
        session->reset();
        if (marks == kUnreached) {
            session->debugger().setMicroBreakpoint(tessaro::opcode::SWAP, true);
            session->debugger().setPcBreakpoint(4000, true);
        }
        const std::int64_t start = session->microInstructions();
        state.ResumeTiming();
        Outcome outcome = session->startRun(RunKind::Run);
        while (outcome == Outcome::SliceDone) {
            outcome = session->runSlice(5'000'000);
        }
        micro += session->microInstructions() - start;
    }
    state.SetItemsProcessed(micro);
}

void BM_SessionRunPlain(benchmark::State& state) {
    sessionRun(state, false, kNone);
}
void BM_SessionRunWithHistory(benchmark::State& state) {
    sessionRun(state, true, kNone);
}
void BM_SessionRunWithHistoryAndBreakpoints(benchmark::State& state) {
    sessionRun(state, true, kUnreached);
}
BENCHMARK(BM_SessionRunPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SessionRunWithHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SessionRunWithHistoryAndBreakpoints)->Unit(benchmark::kMillisecond);

// One IJVM instruction back after a Run of about a billion micro-instructions; each
// iteration goes one instruction further back.
void BM_BackOneInstructionAfterABillion(benchmark::State& state) {
    static std::unique_ptr<MachineSession> session;
    if (session == nullptr) {
        session = prepare(countingLoop(1'000'000'000 / 27), true);
        if (session == nullptr) {
            state.SkipWithError("the program or the microprogram did not load");
            return;
        }
        Outcome outcome = session->startRun(RunKind::Run);
        while (outcome == Outcome::SliceDone) {
            outcome = session->runSlice(50'000'000);
        }
    }
    state.counters["micro-instructions run"] = static_cast<double>(session->microInstructions());
    state.counters["checkpoints"] =
        static_cast<double>(session->debugger().history().checkpointCount());
    for (auto _ : state) {
        if (session->stepBackIjvm() != Outcome::Done) {
            state.SkipWithError("could not go back");
            return;
        }
    }
}
BENCHMARK(BM_BackOneInstructionAfterABillion)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
