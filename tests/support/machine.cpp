#include "tests/support/machine.h"

#include "tests/support/files.h"

#include "mal/micro_assembler.h"

#include <cstdlib>
#include <stdexcept>

namespace tessaro::testing {

namespace {

const ControlStoreRecords& bundledStore() {
    static const ControlStoreRecords store = [] {
        AssembledMicroprogram translated =
            MicroAssembler::assemble(readFile(bundledMicroprogramPath()));
        if (!translated.ok()) {
            throw std::runtime_error("the microprogram does not translate cleanly");
        }
        return std::move(translated.records);
    }();
    return store;
}

} // namespace

std::unique_ptr<MachineSession> makeSession() {
    auto session = std::make_unique<MachineSession>();
    session->loadControlStore(bundledStore());
    return session;
}

std::unique_ptr<ControlPath> makeMachine() {
    auto machine = std::make_unique<ControlPath>();
    machine->loadControlStore(bundledStore());
    return machine;
}

void loadSource(ControlPath& machine, const std::string& source) {
    machine.loadProgram(writeScratch(source, ".jvm"));
}

std::vector<std::uint8_t> methodAreaOf(const ControlPath& machine) {
    return std::vector<std::uint8_t>(machine.methodArea.begin(),
                                     machine.methodArea.begin() + machine.methodAreaSize);
}

std::vector<std::int32_t> poolOf(const ControlPath& machine) {
    std::vector<std::int32_t> pool;
    for (std::int32_t i = 0; i < machine.constantPoolWords; ++i) {
        pool.push_back(peekWord(machine, i));
    }
    return pool;
}

std::int32_t peekWord(const ControlPath& machine, std::int32_t address) {
    const std::int32_t* value = machine.wordMemory.peek(static_cast<std::uint32_t>(address));
    return value != nullptr ? *value : 0;
}

} // namespace tessaro::testing
