#include "machine/control_path.h"

#include "ijvm/file_reader.h"
#include "mal/control_store_file.h"

#include <cstdint>

namespace tessaro {

namespace {

constexpr std::uint32_t kJamZ = 1u;
constexpr std::uint32_t kJamN = 2u;
constexpr std::uint32_t kJmpc = 4u;
constexpr int kSourceLineMax = 49;

// Drops a last character that a cut left incomplete, so that the text stays valid UTF-8.
void dropBrokenTail(std::string& text) {
    std::size_t lead = text.size();
    std::size_t continuation = 0;
    while (lead > 0 && continuation < 3 &&
           (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) {
        --lead;
        ++continuation;
    }
    if (lead == 0) {
        return;
    }
    const auto first = static_cast<unsigned char>(text[lead - 1]);
    const std::size_t need = first >= 0xF0 ? 3 : first >= 0xE0 ? 2 : first >= 0xC0 ? 1 : 0;
    if (continuation < need) {
        text.resize(lead - 1);
    }
}

} // namespace

ControlPath::ControlPath() = default;

void ControlPath::invalidateControlStoreCache() {
    m_micIndex.clear();
    m_indexedMicCount = controlStore.elementCount();
    invalidateMemoryCache();
}

void ControlPath::checkCaches() {
    checkMemoryCache();
    if (controlStore.elementCount() != m_indexedMicCount) {
        m_micIndex.clear();
        m_indexedMicCount = controlStore.elementCount();
    }
    m_executed = nullptr;
}

const Mic& ControlPath::micAtSlow(std::uint32_t address) {
    // An address without a micro-instruction gets an all-zero entry, which leads back to 0.
    const Mic& mic = controlStore[address];
    m_micIndex.remember(address, &mic);
    m_indexedMicCount = controlStore.elementCount();
    return mic;
}

void ControlPath::stepUnchecked() {
    ++microCount;
    const auto address = static_cast<std::uint32_t>(MPC);
    const Mic* mic = m_micIndex.find(address);
    if (mic == nullptr) {
        mic = &micAtSlow(address);
    }
    m_executed = mic;
    MIR = static_cast<std::uint32_t>(mic->word);
    cycleUnchecked();
    lastMPC = MPC;
    std::uint32_t next = static_cast<std::uint32_t>(mic->NextAddr) & kAddressMask;
    const std::uint32_t jam = getField(4);
    if (jam != 0) {
        if ((jam & kJamZ) != 0 && Z != 0) {
            next |= 0x100u;
        }
        if ((jam & kJamN) != 0 && N != 0) {
            next |= 0x100u;
        }
        if ((jam & kJmpc) != 0) {
            next |= static_cast<std::uint32_t>(MBR()) & 0xFFu;
        }
    }
    MPC = static_cast<std::int32_t>(next);
}

void ControlPath::publishCurrentMic() {
    // The step loops only remember which entry ran; the copy with its text is made once here.
    if (m_executed != nullptr) {
        currentMic.word = m_executed->word;
        currentMic.NextAddr = m_executed->NextAddr;
        currentMic.text = m_executed->text;
        m_executed = nullptr;
    }
}

void ControlPath::microStep() {
    checkCaches();
    stepUnchecked();
    publishCurrentMic();
}

bool ControlPath::ijvmStepBounded(std::int64_t maxSteps) {
    checkCaches();
    bool boundary = false;
    for (std::int64_t done = 0; done < maxSteps; ++done) {
        stepUnchecked();
        if (MPC == kMainLoop || MPC == kHaltAddress) {
            boundary = true;
            break;
        }
    }
    publishCurrentMic();
    return boundary;
}

void ControlPath::ijvmStep() {
    ijvmStepBounded(kIjvmStepLimit);
}

bool ControlPath::runFor(std::int64_t maxSteps) {
    checkCaches();
    for (std::int64_t done = 0; done < maxSteps && MPC != kHaltAddress; ++done) {
        stepUnchecked();
    }
    publishCurrentMic();
    return MPC == kHaltAddress;
}

void ControlPath::run() {
    runFor(kRunLimit);
}

void ControlPath::reset() {
    pendingMem = 0;
    MIR = 0;
    fetchLatch = 0;
    readLatch = 0;
    for (std::int32_t& reg : registers) {
        reg = 0;
    }
    MPC = 0;
    lastMPC = 0;
    microCount = 0;
    PC() = -1;
    SP() = 2000;
    LV() = 2000;
    microStep();
    ijvmStepBounded(kIjvmStepLimit);
}

void ControlPath::loadControlStore(const std::string& path) {
    readControlStoreFile(path, controlStore);
    // Index every address the file filled, so that the first run does not pay for the lookups.
    m_micIndex.clear();
    for (std::uint32_t address = 0; address < MicSlotTable::kSize; ++address) {
        m_micIndex.remember(address, controlStore.peek(address));
    }
    m_indexedMicCount = controlStore.elementCount();
}

std::string ControlPath::sourceLine(const std::string& path, std::uint32_t address) {
    if (methodAreaSize <= 0 || address >= static_cast<std::uint32_t>(methodAreaSize)) {
        return {};
    }
    FileReader reader(path);
    // A source file that went away must not end the program: the view simply shows no line.
    if (!reader.tryOpen()) {
        return {};
    }
    const std::uint32_t* offset = sourceMap.peek(address);
    const std::uint32_t at = offset != nullptr ? *offset : 0u;
    reader.seek(at > static_cast<std::uint32_t>(INT32_MAX) ? INT32_MAX : static_cast<int>(at));
    reader.readUntil(kSourceLineMax, "\n");
    reader.close();
    std::string line;
    for (char c : reader.token) {
        if (c != '\r' && c != '\n') {
            line.push_back(c);
        }
    }
    dropBrokenTail(line);
    return line;
}

} // namespace tessaro
