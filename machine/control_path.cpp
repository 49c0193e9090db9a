#include "machine/control_path.h"

#include "core/number_text.h"
#include "core/reader/file_reader.h"
#include "ijvm/instruction_set.h"
#include "machine/control_store_file.h"
#include "machine/printed_log.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace tessaro {

namespace {

using control_word::kHighHalf;
using control_word::kJamN;
using control_word::kJamZ;
using control_word::kJmpC;
using control_word::kMemFetch;
using control_word::kMemRead;
using control_word::kMemWrite;
constexpr int kSourceLineMax = 49;

} // namespace

ControlPath::ControlPath() = default;

void ControlPath::invalidateControlStoreCache() {
    m_decoded.clear();
    m_indexedMicCount = controlStore.elementCount();
    invalidateMemoryCache();
}

void ControlPath::checkCaches() {
    checkMemoryCache();
    if (controlStore.elementCount() != m_indexedMicCount) {
        m_decoded.clear();
        m_indexedMicCount = controlStore.elementCount();
    }
    m_executed = nullptr;
    m_leftCode = false;
}

const DecodedMic& ControlPath::decodeSlow(std::uint32_t address) {
    DecodedMic& d = address < DecodedStore::kSize ? m_decoded[address] : m_scratch;
    const Mic* mic = d.mic;
    if (mic == nullptr || address >= DecodedStore::kSize) {
        // An address without a micro-instruction gets an all-zero entry, which leads back to 0.
        mic = &controlStore[address];
        m_indexedMicCount = controlStore.elementCount();
    }
    d.mic = mic;
    d.word = mic->word;
    d.nextAddr = mic->NextAddr;
    d.next = static_cast<std::uint32_t>(mic->NextAddr) & kAddressMask;
    const auto word = static_cast<std::uint32_t>(mic->word);
    d.bCode = static_cast<std::uint8_t>(control_word::kB.of(word));
    d.mem = static_cast<std::uint8_t>(control_word::kMem.of(word));
    d.cBits = static_cast<std::uint16_t>(control_word::kC.of(word));
    d.aluFunction = static_cast<std::uint8_t>(control_word::kAluFunction.of(word));
    d.shiftCode = static_cast<std::uint8_t>(control_word::kShift.of(word));
    d.jam = static_cast<std::uint8_t>(control_word::kJam.of(word));
    d.alu = aluFunctionOf(d.aluFunction).masks;
    d.breakFlags = address < DecodedStore::kSize ? m_breakFlags[address] : 0;
    return d;
}

inline const DecodedMic& ControlPath::decodedAt(std::uint32_t address) {
    if (address < DecodedStore::kSize) {
        const DecodedMic& d = m_decoded[address];
        if (d.mic != nullptr && d.mic->word == d.word && d.mic->NextAddr == d.nextAddr) {
            return d;
        }
    }
    return decodeSlow(address);
}

// Whether a breaking run stops before the flagged entry d at mpc; remembers why.
bool ControlPath::breakHere(const DecodedMic& d, std::uint32_t mpc) {
    if ((d.breakFlags & kBreakHere) != 0) {
        m_breakStop = {BreakpointStop::Kind::Micro, static_cast<std::int32_t>(mpc)};
        return true;
    }
    // The only other flag is kBreakOnPc: d is the main loop, where PC is looked at.
    const std::int32_t pc = registers[kPC];
    if (hasPcBreakpoint(pc)) {
        m_breakStop = {BreakpointStop::Kind::Pc, pc};
        return true;
    }
    return false;
}

// Micro steps with the same effects, in the same order, as microStep's Datapath::cycle(), from
// the decoded entries. The state that only the last step leaves behind (MIR, the buses, the
// flags, the ALU codes, MPC and its neighbours) lives in locals here and is stored at the end,
// so that the loop keeps to registers and the word memory. Stops after maxSteps, at 0x70 before
// a step (a run) or at 0 or 0x70 after a step (an IJVM step); returns whether it stopped there.
template <ControlPath::LoopMode kMode> bool ControlPath::stepLoop(std::int64_t maxSteps) {
    constexpr bool kIjvmStep = kMode == LoopMode::IjvmStep;
    constexpr bool kStopsAtHalt = kMode == LoopMode::Run || kMode == LoopMode::Breaking;
    checkCaches();
    if constexpr (kMode == LoopMode::Breaking) {
        m_breakStop = BreakpointStop{};
    }
    std::int64_t* const perAddress = counts.perAddress.data();
    std::uint32_t mpc = static_cast<std::uint32_t>(MPC);
    std::uint32_t last = static_cast<std::uint32_t>(lastMPC);
    std::uint32_t pending = pendingMem;
    std::uint32_t a = static_cast<std::uint32_t>(A);
    std::uint32_t b = static_cast<std::uint32_t>(B);
    std::uint32_t c = static_cast<std::uint32_t>(C);
    const DecodedMic* executed = nullptr;
    std::int32_t* const reg = registers;
    std::int64_t done = 0;
    bool stopped = false;
    for (; done < maxSteps;) {
        if constexpr (kStopsAtHalt) {
            // One test per step for both addresses a run watches: 0 and 0x70 are among the
            // eight whose bits lie within 0x70.
            if ((mpc & ~static_cast<std::uint32_t>(kHaltAddress)) == 0) {
                // An instruction that wrote output has ended here; a sink that fails stops
                // the run before the next one.
                if (outputPending() && isBoundaryOrHalt(mpc) && !deliverOutput()) {
                    break;
                }
                if (mpc == static_cast<std::uint32_t>(kHaltAddress)) {
                    stopped = true;
                    break;
                }
                if (mpc == static_cast<std::uint32_t>(kMainLoop) && stopOutsideCode &&
                    static_cast<std::uint32_t>(reg[kPC]) >=
                        static_cast<std::uint32_t>(methodAreaSize)) {
                    m_leftCode = true;
                    break;
                }
            }
        }
        const DecodedMic& d = decodedAt(mpc);
        if constexpr (kMode == LoopMode::Breaking) {
            // Only marked entries carry flags, so an unmarked step pays one test of a byte
            // already in the cache.
            if (d.breakFlags != 0 && (done > 0 || !m_skipBreak) && breakHere(d, mpc)) {
                break;
            }
        }
        executed = &d;
        ++perAddress[mpc & kAddressMask];
        ++done;
        // The B bus sees the registers before this micro-instruction changes any of them, and
        // the ALU needs nothing else: compute C before the arriving word and byte are stored.
        const std::uint32_t code = d.bCode;
        if (code < register_file::kBSignedMbr) {
            b = static_cast<std::uint32_t>(reg[code]);
        } else if (code == register_file::kBSignedMbr) {
            b = static_cast<std::uint32_t>(static_cast<std::int32_t>(
                static_cast<std::int8_t>(static_cast<std::uint8_t>(reg[kMBR]))));
        } else {
            b = 0;
        }
        a = static_cast<std::uint32_t>(reg[kH]);
        c = shift(d.alu.apply(a, b), d.shiftCode);
        const std::uint32_t mem = d.mem;
        const std::uint32_t cBits = d.cBits;
        const std::uint32_t jam = d.jam;
        std::uint32_t next = d.next;
        if (pending != 0) {
            if ((pending & kMemFetch) != 0) {
                reg[kMBR] = fetchLatch;
            }
            if ((pending & kMemRead) != 0) {
                reg[kMDR] = readLatch;
            }
        }
        for (std::uint32_t bits = cBits; bits != 0; bits &= bits - 1) {
            reg[std::countr_zero(bits)] = static_cast<std::int32_t>(c);
        }
        pending = mem;
        if (mem != 0) {
            if ((mem & kMemFetch) != 0) {
                const auto pc = static_cast<std::uint32_t>(reg[kPC]);
                const std::uint32_t size =
                    methodAreaSize > 0 ? static_cast<std::uint32_t>(methodAreaSize) : 0u;
                fetchLatch = (pc < size && pc < methodArea.size()) ? methodArea[pc] : 0;
            }
            const auto mar = static_cast<std::uint32_t>(reg[kMAR]);
            // Replaying repeats history: its input is recorded, and its output was given.
            constexpr bool kWithIo = kMode != LoopMode::Replay;
            if ((mem & kMemRead) != 0) {
                if (kWithIo && mar == kInputKey && ioListener != nullptr) [[unlikely]] {
                    noteInputRead(microCount + done - 1);
                }
                readLatch = wordAt(mar);
            } else if ((mem & kMemWrite) != 0) {
                writeWord(mar, reg[kMDR]);
                if (kWithIo && mar == kOutputKey && ioListener != nullptr) [[unlikely]] {
                    noteOutputWritten(reg[kMDR]);
                }
            }
        }
        last = mpc;
        if (jam != 0) {
            if ((jam & kJamZ) != 0 && c == 0) {
                next |= kHighHalf;
            }
            if ((jam & kJamN) != 0 && static_cast<std::int32_t>(c) < 0) {
                next |= kHighHalf;
            }
            if ((jam & kJmpC) != 0) {
                const std::uint32_t opcode = static_cast<std::uint32_t>(reg[kMBR]) & 0xFFu;
                next |= opcode;
                // A dispatch from the main loop begins an IJVM instruction; dispatches are
                // rare enough to be counted here rather than at every step.
                if (mpc == static_cast<std::uint32_t>(kMainLoop)) {
                    notePrinted();
                    counts.dispatch(opcode, microCount + done - 1);
                }
            }
        }
        mpc = next;
        if (mem != 0 && accessStopsStepping()) {
            break;
        }
        if constexpr (kIjvmStep) {
            if (mpc == static_cast<std::uint32_t>(kMainLoop) ||
                mpc == static_cast<std::uint32_t>(kHaltAddress)) {
                stopped = true;
                break;
            }
        }
    }
    if constexpr (kStopsAtHalt) {
        stopped = mpc == static_cast<std::uint32_t>(kHaltAddress);
    }
    if constexpr (kMode != LoopMode::Replay) {
        if (outputPending() && isBoundaryOrHalt(mpc)) {
            deliverOutput();
        }
    }
    if (executed != nullptr) {
        microCount += done;
        MPC = static_cast<std::int32_t>(mpc);
        lastMPC = static_cast<std::int32_t>(last);
        pendingMem = static_cast<std::uint8_t>(pending);
        MIR = static_cast<std::uint32_t>(executed->word);
        aluFunction = executed->aluFunction;
        shiftCode = executed->shiftCode;
        A = static_cast<std::int32_t>(a);
        B = static_cast<std::int32_t>(b);
        C = static_cast<std::int32_t>(c);
        N = C < 0 ? 1 : 0;
        Z = C == 0 ? 1 : 0;
        m_executed = executed->mic;
        publishCurrentMic();
    }
    return stopped;
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

void ControlPath::notePrinted() {
    if (printed == nullptr || counts.currentOpcode != opcode::OUT) {
        return;
    }
    const std::int32_t* word = wordMemory.peek(memory_map::wordKey(memory_map::kLastOutputWord));
    printed->add(static_cast<char>(word != nullptr ? (*word & 0xFF) : 0));
}

void ControlPath::microStep() {
    // The plain way, one entry at a time through the control store and Datapath::cycle(); the
    // step loops below must agree with it.
    checkCaches();
    ++counts.perAddress[static_cast<std::uint32_t>(MPC) & kAddressMask];
    ++microCount;
    currentMic = controlStore[static_cast<std::uint32_t>(MPC)];
    MIR = static_cast<std::uint32_t>(currentMic.word);
    m_countBeforeCycle = microCount - 1;
    cycleUnchecked();
    lastMPC = MPC;
    std::uint32_t next = static_cast<std::uint32_t>(currentMic.NextAddr) & kAddressMask;
    const std::uint32_t jam = field(control_word::kJam);
    if ((jam & kJamZ) != 0 && Z != 0) {
        next |= kHighHalf;
    }
    if ((jam & kJamN) != 0 && N != 0) {
        next |= kHighHalf;
    }
    if ((jam & kJmpC) != 0) {
        next |= static_cast<std::uint32_t>(MBR()) & 0xFFu;
        if (lastMPC == kMainLoop) {
            notePrinted();
            counts.dispatch(static_cast<std::uint32_t>(MBR()) & 0xFFu, microCount - 1);
        }
    }
    MPC = static_cast<std::int32_t>(next);
    m_indexedMicCount = controlStore.elementCount();
    if (outputPending() && isBoundaryOrHalt(next)) {
        deliverOutput();
    }
}

bool ControlPath::ijvmStepBounded(std::int64_t maxSteps) {
    return stepLoop<LoopMode::IjvmStep>(maxSteps);
}

void ControlPath::ijvmStep() {
    ijvmStepBounded(memory_map::kIjvmStepBound);
}

bool ControlPath::runFor(std::int64_t maxSteps) {
    return stepLoop<LoopMode::Run>(maxSteps);
}

bool ControlPath::runForBreaking(std::int64_t maxSteps, bool skipFirst) {
    m_skipBreak = skipFirst;
    return stepLoop<LoopMode::Breaking>(maxSteps);
}

void ControlPath::replay(std::int64_t steps) {
    stepLoop<LoopMode::Replay>(steps);
}

void ControlPath::run() {
    runFor(kRunLimit);
}

void ControlPath::reset() {
    dropPendingOutput();
    pendingMem = 0;
    fetchLatch = 0;
    readLatch = 0;
    for (std::int32_t& reg : registers) {
        reg = 0;
    }
    // The first micro step, below, sets MIR and lastMPC.
    MPC = 0;
    microCount = 0;
    PC() = memory_map::kResetPC;
    SP() = memory_map::kStackBase;
    LV() = memory_map::kStackBase;
    CPP() = memory_map::kConstantPoolBase;
    microStep();
    ijvmStepBounded(memory_map::kIjvmStepBound);
    // The start-up call is the machine's, not the program's: the counts begin at main.
    counts.clear();
}

void ControlPath::loadControlStore(const std::string& path) {
    readControlStoreFile(path, controlStore);
    indexControlStore();
}

void ControlPath::loadControlStore(const ControlStoreRecords& records) {
    addControlStoreRecords(records, controlStore);
    indexControlStore();
}

void ControlPath::indexControlStore() {
    // Decode every address now, so that the first run does not pay for the lookups.
    m_decoded.clear();
    for (std::uint32_t address = 0; address < DecodedStore::kSize; ++address) {
        if (controlStore.peek(address) != nullptr) {
            decodeSlow(address);
        }
    }
    m_indexedMicCount = controlStore.elementCount();
}

std::string ControlPath::sourceLine(std::uint32_t address) const {
    if (methodAreaSize <= 0 || address >= static_cast<std::uint32_t>(methodAreaSize)) {
        return {};
    }
    FileReader reader;
    reader.openText(programSource);
    const std::uint32_t* offset = sourceMap.peek(address);
    const std::uint32_t at = offset != nullptr ? *offset : 0u;
    reader.seek(at > static_cast<std::uint32_t>(INT32_MAX) ? INT32_MAX : static_cast<int>(at));
    // One byte more than is shown tells whether the cut falls inside a character.
    reader.readUntil(kSourceLineMax + 1, "\n");
    reader.close();
    std::string line = cutUtf8(reader.token, kSourceLineMax);
    removeChars(line, "\r\n");
    return line;
}

} // namespace tessaro
