// Assembles and loads arbitrary bytes as an IJVM program on the machine with the bundled
// microprogram, then runs it for at most 100,000 micro-instructions. Whatever the program
// does (bad jumps, calls through garbage, stack far outside its frame), the machine must
// neither crash nor read outside its memories, and must stop when told.

#include "core/reader/whole_file.h"
#include "fuzz/fuzz_file.h"
#include "machine/control_path.h"
#include "mal/micro_assembler.h"

#include <cstdint>
#include <string>

#ifndef TESSARO_SOURCE_DIR
#error "TESSARO_SOURCE_DIR must name the source tree (for the microprogram)"
#endif

namespace {

constexpr std::int64_t kMicroSteps = 100'000;

const tessaro::ControlStoreRecords& controlStore() {
    static const tessaro::ControlStoreRecords store = [] {
        tessaro::AssembledMicroprogram translated = tessaro::MicroAssembler::assemble(
            tessaro::readWholeFile(std::string(TESSARO_SOURCE_DIR) + "/data/velkora.mal").text);
        tessaro::fuzz::check(translated.ok(), "the microprogram does not translate cleanly");
        return std::move(translated.records);
    }();
    return store;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaro;
    static const std::string program = fuzz::scratchPath(".jvm");
    const ControlStoreRecords& store = controlStore();
    if (!fuzz::writeBytes(program, data, size)) {
        return 0;
    }
    ControlPath machine;
    machine.loadControlStore(store);
    machine.loadProgram(program);
    const std::int64_t before = machine.microCount;
    machine.runFor(kMicroSteps);
    fuzz::check(machine.microCount - before <= kMicroSteps, "ran past its bound");
    fuzz::check(machine.MPC >= 0 && machine.MPC < 512, "MPC outside the control store");
    return 0;
}
