#include "tests/program/machine_setup.h"

#include "mal/translate.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tessaro::testing {

namespace {

// One scratch folder per test process, removed at exit.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tessaro-program-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a scratch folder");
        }
        m_path = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

const ScratchDir& scratch() {
    static const ScratchDir dir;
    return dir;
}

const std::string& controlStoreFile() {
    static const std::string path = [] {
        const std::string bin = scratchPath("velkora.bin");
        Translate translate(std::string(TESSARO_SOURCE_DIR) + "/data/velkora.mal", bin);
        if (!translate.tryRun() || !translate.problems.empty()) {
            throw std::runtime_error("the microprogram does not translate cleanly");
        }
        return bin;
    }();
    return path;
}

} // namespace

std::string scratchPath(const std::string& name) {
    return (scratch().path() / name).string();
}

std::unique_ptr<MachineSession> makeSession() {
    auto session = std::make_unique<MachineSession>();
    session->loadControlStore(controlStoreFile());
    return session;
}

std::unique_ptr<ControlPath> makeMachine() {
    auto machine = std::make_unique<ControlPath>();
    machine->loadControlStore(controlStoreFile());
    return machine;
}

void loadSource(ControlPath& machine, const std::string& source) {
    const std::string path = scratchPath("program.jvm");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << source;
    }
    machine.loadProgram(path);
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
