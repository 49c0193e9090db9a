#pragma once

#include "core/memory.h"
#include "machine/control_word.h"
#include "machine/io_port.h"
#include "machine/memory_map.h"
#include "machine/memory_undo_log.h"
#include "machine/registers.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tessaro {

/// Pointers from word addresses to the value slots inside a word memory's nodes, so that reads
/// and writes need not walk the hash buckets. The nodes never move and are only removed when
/// the whole memory is cleared or replaced; whoever does that drops the index. A copy of the
/// index would point into another object's nodes, so copying yields an empty index.
class WordSlotIndex {
public:
    WordSlotIndex() = default;
    WordSlotIndex(const WordSlotIndex&) {}
    WordSlotIndex& operator=(const WordSlotIndex&) {
        clear();
        return *this;
    }

    /// The cached slot of address, or nullptr.
    std::int32_t* find(std::uint32_t address) const {
        if (address < kPagedWords) {
            std::int32_t* const* page = m_pages[address >> kPageBits].get();
            return page != nullptr ? page[address & (kPageSize - 1)] : nullptr;
        }
        if (address >= kHighBase) {
            return m_high[address - kHighBase];
        }
        return nullptr;
    }
    /// Remembers slot for address (addresses outside the indexed ranges are not kept).
    void remember(std::uint32_t address, std::int32_t* slot);
    void clear();

private:
    static constexpr int kPageBits = 12;
    static constexpr std::uint32_t kPageSize = 1u << kPageBits;
    static constexpr std::uint32_t kPagedWords = 1u << 20;  // the stack and the constant pool
    static constexpr std::uint32_t kHighBase = 0xFFFFFF00u; // the I/O words -6 .. -1 and near
    std::array<std::unique_ptr<std::int32_t*[]>, (kPagedWords >> kPageBits)> m_pages;
    std::array<std::int32_t*, 0u - kHighBase> m_high{};
};

/// The register-transfer half of the Mic-1: registers, buses, ALU, shifter, flags and the
/// memory interface with its one-micro-instruction delay on reads and fetches.
class Datapath {
public:
    std::int32_t A = 0;                             ///< A bus (always H)
    std::int32_t B = 0;                             ///< B bus
    std::int32_t C = 0;                             ///< C bus: ALU result after the shifter
    std::uint8_t N = 0;                             ///< C < 0
    std::uint8_t Z = 0;                             ///< C == 0
    std::uint8_t aluFunction = 0;                   ///< ALU byte bits 0-5
    std::uint8_t shiftCode = 0;                     ///< ALU byte bits 6-7
    Memory<std::uint32_t, std::int32_t> wordMemory; ///< sparse word memory
    std::vector<std::uint8_t> methodArea;           ///< bytes read by fetch
    std::int32_t constantPoolWords = 0; ///< words the loader placed at addresses 0 .. n-1
    std::int32_t methodAreaSize = 0;    ///< bytes of methodArea that fetch may read
    std::int32_t registers[register_file::kCount] =
        {};                      ///< MAR, MDR, PC, SP, LV, CPP, TOS, OPC, H, MBR
    std::int32_t readLatch = 0;  ///< word read by the previous micro-instruction, not yet in MDR
    std::int32_t fetchLatch = 0; ///< byte fetched by the previous micro-instruction (0-255)
    std::uint32_t MIR = 0;       ///< control word of the executing micro-instruction
    std::uint8_t pendingMem = 0; ///< Mem bits of the previous micro-instruction

    std::int32_t& MAR() { return registers[kMAR]; }
    std::int32_t& MDR() { return registers[kMDR]; }
    std::int32_t& PC() { return registers[kPC]; }
    std::int32_t& SP() { return registers[kSP]; }
    std::int32_t& LV() { return registers[kLV]; }
    std::int32_t& CPP() { return registers[kCPP]; }
    std::int32_t& TOS() { return registers[kTOS]; }
    std::int32_t& OPC() { return registers[kOPC]; }
    std::int32_t& H() { return registers[kH]; }
    std::int32_t& MBR() { return registers[kMBR]; }
    std::int32_t MAR() const { return registers[kMAR]; }
    std::int32_t MDR() const { return registers[kMDR]; }
    std::int32_t PC() const { return registers[kPC]; }
    std::int32_t SP() const { return registers[kSP]; }
    std::int32_t LV() const { return registers[kLV]; }
    std::int32_t CPP() const { return registers[kCPP]; }
    std::int32_t TOS() const { return registers[kTOS]; }
    std::int32_t OPC() const { return registers[kOPC]; }
    std::int32_t H() const { return registers[kH]; }
    std::int32_t MBR() const { return registers[kMBR]; }

    /// One field of MIR, right-aligned.
    std::uint32_t field(control_word::Field f) const { return f.of(MIR); }
    /// Splits the 8-bit ALU field into aluFunction (bits 0-5) and shiftCode (bits 6-7).
    void decodeALU(std::uint32_t aluField);
    /// C from A and B by the sixteen-code ALU table (any other code gives 0), then the shifter,
    /// then N and Z of the shifted value.
    void computeALU();
    /// Completes the previous micro-instruction's fetch (into MBR) and read (into MDR).
    void latchMemory();
    /// Stores C into every register whose C-field bit is set (never MBR).
    void writeC();
    /// Starts this micro-instruction's memory operations: fetch and read arrive one
    /// micro-instruction later, a write happens at once, read and write together only read.
    /// A fetch outside the method area delivers 0.
    void startMemory();
    /// Executes the micro-instruction whose control word is in MIR.
    void cycle();

    /// Words the memory may hold unless told otherwise: 16 M words (a stack of 64 MB), far
    /// beyond any program that ends, and within the memory of any machine it runs on.
    static constexpr std::int64_t kDefaultWordLimit = std::int64_t{16} * 1024 * 1024;
    /// Most words the memory may hold. A read or write of a new word past it is refused (a
    /// read gives 0, a write is dropped), wordLimitReached() says so, and the step loops stop
    /// after that micro-instruction.
    std::int64_t wordLimit = kDefaultWordLimit;
    /// Whether the current stepping call met the word limit (cleared when the next one begins).
    bool wordLimitReached() const { return m_wordLimitReached; }

    /// When set, told of every read of the input word and write of the newest output word.
    IoWordListener* ioListener = nullptr;
    /// Whether the listener refused in the current stepping call (cleared when the next one
    /// begins); the step loops stop after that micro-instruction.
    bool ioRefused() const { return m_ioRefused; }
    /// Whether an output word waits for the end of its instruction.
    bool outputPending() const { return m_outputPending; }
    /// Forgets it (the machine went back to before its instruction ended).
    void dropPendingOutput() { m_outputPending = false; }
    /// Micro-instructions executed before the one that touched an I/O word last, counted as
    /// the control path counts them (for the listener, which is told during that one).
    std::int64_t ioAccessCount() const { return m_ioAccessCount; }

    /// Drops the fast index into wordMemory. Call it after clearing wordMemory or assigning
    /// another memory to it (adding entries, also through operator[], needs nothing). A change
    /// of wordMemory's element count is noticed by itself at the next step.
    void invalidateMemoryCache();

    /// Notes every later change of wordMemory made by executing (not those made directly) in
    /// log, or stops noting with nullptr. A copy of the datapath notes nothing.
    void setUndoLog(MemoryUndoLog* log) { m_undoLog.log = log; }
    /// Undoes the changes log holds from position on, newest first, and forgets them: the
    /// memory is as it was when the log's end was position.
    void undoMemory(MemoryUndoLog& log, std::int64_t position);

protected:
    /// Drops the index when wordMemory's element count is not the one the index last saw, and
    /// clears wordLimitReached: every stepping call begins here.
    void checkMemoryCache();
    /// cycle() without the check: for the control path's step loops, which check once per call.
    void cycleUnchecked();
    /// Whether a stepping call must end after the micro-instruction that made its memory access.
    bool accessStopsStepping() const { return m_wordLimitReached || m_ioRefused; }
    /// Lets the listener see a read of the input word, or a write of the newest output word,
    /// that the micro-instruction at hand makes (the step loops check the address first).
    void noteInputRead(std::int64_t countBefore);
    void noteOutputWritten(std::int32_t value) {
        m_pendingOutput = value;
        m_outputPending = true;
    }
    /// Hands the listener the output written by the instruction that has just ended.
    bool deliverOutput();
    /// Micro-instructions before the one cycle() executes, as the control path counts them.
    std::int64_t m_countBeforeCycle = 0;
    static constexpr std::uint32_t kInputKey = memory_map::wordKey(memory_map::kInputWord);
    static constexpr std::uint32_t kOutputKey = memory_map::wordKey(memory_map::kLastOutputWord);
    /// The value slot of a word address, created with 0 when absent.
    std::int32_t& wordAt(std::uint32_t address) {
        std::int32_t* slot = m_wordIndex.find(address);
        return slot != nullptr ? *slot : wordAtSlow(address);
    }

    /// Stores value at a word address (created when absent), noting the change for going back.
    void writeWord(std::uint32_t address, std::int32_t value) {
        std::int32_t& slot = wordAt(address);
        if (m_undoLog.log != nullptr && &slot != &m_refusedWord) {
            m_undoLog.log->noteWrite(address, slot);
        }
        slot = value;
    }

private:
    std::int32_t& wordAtSlow(std::uint32_t address);

    // The log belongs to whoever set it: a copy of the datapath must not write into it.
    struct UndoLogLink {
        MemoryUndoLog* log = nullptr;
        UndoLogLink() = default;
        UndoLogLink(const UndoLogLink&) {}
        UndoLogLink& operator=(const UndoLogLink&) { return *this; }
    };

    UndoLogLink m_undoLog;
    WordSlotIndex m_wordIndex;
    int m_indexedWordCount = 0;
    bool m_wordLimitReached = false;
    bool m_ioRefused = false;
    std::int64_t m_ioAccessCount = 0;
    bool m_outputPending = false;
    std::int32_t m_pendingOutput = 0;
    std::int32_t m_refusedWord = 0; // stands in for a word the limit refused
};

} // namespace tessaro
