#include "machine/datapath.h"

#include "machine/alu.h"

#include <bit>

namespace tessaro {

using control_word::kMemFetch;
using control_word::kMemRead;
using control_word::kMemWrite;

void WordSlotIndex::remember(std::uint32_t address, std::int32_t* slot) {
    if (address < kPagedWords) {
        std::unique_ptr<std::int32_t*[]>& page = m_pages[address >> kPageBits];
        if (!page) {
            page = std::make_unique<std::int32_t*[]>(kPageSize);
        }
        page[address & (kPageSize - 1)] = slot;
    } else if (address >= kHighBase) {
        m_high[address - kHighBase] = slot;
    }
}

void WordSlotIndex::clear() {
    for (std::unique_ptr<std::int32_t*[]>& page : m_pages) {
        page.reset();
    }
    m_high.fill(nullptr);
}

void Datapath::decodeALU(std::uint32_t aluField) {
    // The field right-aligned: the function bits, then the shifter bits.
    constexpr unsigned kShiftInAlu = control_word::kShift.shift - control_word::kAlu.shift;
    aluFunction = static_cast<std::uint8_t>(aluField & control_word::kAluFunction.mask());
    shiftCode = static_cast<std::uint8_t>((aluField >> kShiftInAlu) & control_word::kShift.mask());
}

void Datapath::computeALU() {
    // Unsigned arithmetic: the machine's words wrap, and signed overflow must not be relied on.
    const AluMasks& alu = aluFunctionOf(aluFunction).masks;
    const std::uint32_t c =
        shift(alu.apply(static_cast<std::uint32_t>(A), static_cast<std::uint32_t>(B)), shiftCode);
    C = static_cast<std::int32_t>(c);
    N = C < 0 ? 1 : 0;
    Z = C == 0 ? 1 : 0;
}

void Datapath::latchMemory() {
    if ((pendingMem & kMemFetch) != 0) {
        registers[kMBR] = fetchLatch;
    }
    if ((pendingMem & kMemRead) != 0) {
        registers[kMDR] = readLatch;
    }
    pendingMem = 0;
}

void Datapath::writeC() {
    // MBR has no C-bus bit: nine bits, registers 0 to 8.
    for (std::uint32_t bits = field(control_word::kC); bits != 0; bits &= bits - 1) {
        registers[std::countr_zero(bits)] = C;
    }
}

void Datapath::startMemory() {
    const std::uint32_t mem = field(control_word::kMem);
    pendingMem = static_cast<std::uint8_t>(mem);
    if (mem == 0) {
        return;
    }
    if ((mem & kMemFetch) != 0) {
        const std::uint32_t pc = static_cast<std::uint32_t>(registers[kPC]);
        const std::uint32_t size =
            methodAreaSize > 0 ? static_cast<std::uint32_t>(methodAreaSize) : 0u;
        // A PC outside the method area delivers 0 and never reads past the bytes we own.
        fetchLatch = (pc < size && pc < methodArea.size()) ? methodArea[pc] : 0;
    }
    const std::uint32_t mar = static_cast<std::uint32_t>(registers[kMAR]);
    if ((mem & kMemRead) != 0) {
        readLatch = wordAt(mar);
    } else if ((mem & kMemWrite) != 0) {
        writeWord(mar, registers[kMDR]);
    }
}

void Datapath::cycleUnchecked() {
    decodeALU(field(control_word::kAlu));
    // The B bus sees the registers as they were before this micro-instruction: read it first.
    const std::uint32_t code = field(control_word::kB);
    if (code < register_file::kBSignedMbr) {
        B = registers[code];
    } else if (code == register_file::kBSignedMbr) {
        B = static_cast<std::int8_t>(static_cast<std::uint8_t>(registers[kMBR]));
    } else {
        B = 0;
    }
    A = registers[kH];
    latchMemory();
    computeALU();
    writeC();
    startMemory();
}

void Datapath::cycle() {
    checkMemoryCache();
    cycleUnchecked();
}

void Datapath::invalidateMemoryCache() {
    m_wordIndex.clear();
    m_indexedWordCount = wordMemory.elementCount();
}

void Datapath::checkMemoryCache() {
    m_wordLimitReached = false;
    if (wordMemory.elementCount() != m_indexedWordCount) {
        invalidateMemoryCache();
    }
}

std::int32_t& Datapath::wordAtSlow(std::uint32_t address) {
    if (wordMemory.elementCount() >= wordLimit && wordMemory.peek(address) == nullptr) {
        m_wordLimitReached = true;
        m_refusedWord = 0;
        return m_refusedWord;
    }
    const int countBefore = wordMemory.elementCount();
    std::int32_t& slot = wordMemory[address];
    if (m_undoLog.log != nullptr && wordMemory.elementCount() != countBefore) {
        m_undoLog.log->noteCreated(address);
    }
    m_wordIndex.remember(address, &slot);
    m_indexedWordCount = wordMemory.elementCount();
    return slot;
}

void Datapath::undoMemory(MemoryUndoLog& log, std::int64_t position) {
    checkMemoryCache();
    while (log.end() > position && log.end() > log.begin()) {
        const MemoryUndoLog::Change change = log.takeNewest();
        if (change.created) {
            m_wordIndex.remember(change.address, nullptr);
            wordMemory.erase(change.address);
        } else {
            wordMemory[change.address] = change.before;
        }
    }
    m_indexedWordCount = wordMemory.elementCount();
}

} // namespace tessaro
