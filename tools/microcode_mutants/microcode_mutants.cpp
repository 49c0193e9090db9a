#include "microcode_mutants.h"

#include "core/memory.h"
#include "core/reader/whole_file.h"
#include "ijvm/instruction_set.h"
#include "machine/alu.h"
#include "machine/control_store_file.h"
#include "machine/control_word.h"
#include "mal/micro_assembler.h"

#include <array>
#include <cstdio>
#include <memory>
#include <set>

namespace tessaro::mutants {

namespace {

using control_word::kJamN;
using control_word::kJamZ;
constexpr std::uint32_t kJmpc = control_word::kJmpC;
constexpr int kStoreSize = static_cast<int>(control_word::kStoreSize);

constexpr std::array<const char*, 11> kBNames = {"MAR", "MDR", "PC", "SP",   "LV", "CPP",
                                                 "TOS", "OPC", "H",  "MBRU", "MBR"};
constexpr std::array<const char*, 3> kMemNames = {"fetch", "rd", "wr"};
constexpr std::array<const char*, 3> kJamNames = {"JAMZ", "JAMN", "JMPC"};
constexpr std::array<const char*, 3> kShiftNames = {"no shift", ">> 1", "<< 8"};

std::uint32_t field(std::int32_t word, control_word::Field f) {
    return f.of(static_cast<std::uint32_t>(word));
}

std::int32_t withField(std::int32_t word, control_word::Field f, std::uint32_t value) {
    const std::uint32_t cleared = static_cast<std::uint32_t>(word) & ~f.place(f.mask());
    return static_cast<std::int32_t>(cleared | f.place(value));
}

std::string aluName(std::uint32_t code) {
    for (const AluFunction& f : kAluFunctions) {
        if (static_cast<std::uint32_t>(f.op) == code) {
            return f.display.empty() ? std::to_string(f.masks.carry) : std::string(f.display);
        }
    }
    return "code " + std::to_string(code);
}

// The listing text of an entry, trimmed, to say where a mutant is.
std::string where(const Store& store, int address) {
    const auto it = store.find(address);
    std::string text = it == store.end() ? std::string() : it->second.text;
    const std::size_t comment = text.find('/');
    text = text.substr(0, comment);
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return std::to_string(address) + " [" + text + "]";
}

Mutant changed(const Store& store, const std::string& kind, int address, std::int32_t word,
               std::int32_t next, const std::string& what) {
    return Mutant{kind, where(store, address) + ": " + what, {Change{address, word, next}}, {}};
}

// Mutants that change how the line's ALU result is made.
void aluMutants(const Store& store, int address, const Mic& mic, std::vector<Mutant>& out) {
    const std::int32_t word = mic.word;
    const std::uint32_t alu = field(word, control_word::kAluFunction);
    const std::uint32_t shift = field(word, control_word::kShift);
    const bool resultUsed = field(word, control_word::kC) != 0 ||
                            (field(word, control_word::kJam) & (kJamZ | kJamN)) != 0;
    if (!resultUsed) {
        return;
    }
    for (const AluFunction& f : kAluFunctions) {
        const auto code = static_cast<std::uint32_t>(f.op);
        if (code != alu) {
            out.push_back(changed(store, "alu", address,
                                  withField(word, control_word::kAluFunction, code), mic.NextAddr,
                                  aluName(alu) + " -> " + aluName(code)));
        }
    }
    for (std::uint32_t s = 0; s < kShiftNames.size(); ++s) {
        if (s != shift) {
            out.push_back(changed(store, "shift", address, withField(word, control_word::kShift, s),
                                  mic.NextAddr,
                                  std::string(kShiftNames[shift]) + " -> " + kShiftNames[s]));
        }
    }
    if (aluFunctionOf(static_cast<std::uint8_t>(alu)).masks.bMask == 0) {
        return;
    }
    const std::uint32_t b = field(word, control_word::kB);
    for (std::uint32_t other = 0; other < kBNames.size(); ++other) {
        if (other != b) {
            out.push_back(changed(
                store, "b", address, withField(word, control_word::kB, other), mic.NextAddr,
                "B " + std::string(kBNames[b < kBNames.size() ? b : 0]) + " -> " + kBNames[other]));
        }
    }
}

} // namespace

namespace {

Store storeOf(const Memory<std::uint32_t, Mic>& entries) {
    Store store;
    for (int address = 0; address < kStoreSize; ++address) {
        if (const Mic* mic = entries.peek(static_cast<std::uint32_t>(address))) {
            store[address] = *mic;
        }
    }
    return store;
}

} // namespace

Store translate(const std::string& malPath, const std::string& binPath, std::string& error) {
    const WholeFile source = readWholeFile(malPath);
    if (!source.ok()) {
        error = "cannot read " + malPath + ": " + source.reason();
        return {};
    }
    const AssembledMicroprogram translated = MicroAssembler::assemble(source.text);
    if (!translated.ok()) {
        error = "line " + std::to_string(translated.problems.front().line) + ": " +
                translated.problems.front().message;
        return {};
    }
    if (!writeControlStoreFile(binPath, translated.records)) {
        error = "cannot write " + binPath;
        return {};
    }
    auto entries = std::make_unique<Memory<std::uint32_t, Mic>>();
    addControlStoreRecords(translated.records, *entries);
    return storeOf(*entries);
}

ControlStoreRecords readRecords(const std::string& binPath) {
    auto entries = std::make_unique<Memory<std::uint32_t, Mic>>();
    readControlStoreFile(binPath, *entries);
    ControlStoreRecords records;
    for (const auto& [address, mic] : storeOf(*entries)) {
        records.push_back({address, mic.NextAddr, mic.word, mic.text});
    }
    return records;
}

bool writeStore(const Store& store, const std::vector<Change>& changes, const std::string& path) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    Store mutated = store;
    for (const Change& change : changes) {
        mutated[change.address].word = change.word;
        mutated[change.address].NextAddr = change.next;
    }
    for (const auto& [address, mic] : mutated) {
        writeControlStoreRecord(out, address, mic.NextAddr, mic.word, mic.text);
    }
    return std::fclose(out) == 0;
}

std::vector<int> reachable(const Store& store) {
    std::set<int> seen;
    std::vector<int> todo = {0};
    while (!todo.empty()) {
        const int address = todo.back();
        todo.pop_back();
        const auto it = store.find(address);
        if (!seen.insert(address).second || it == store.end()) {
            continue;
        }
        const int next = it->second.NextAddr & (kStoreSize - 1);
        const std::uint32_t jam = field(it->second.word, control_word::kJam);
        todo.push_back(next);
        if ((jam & (kJamZ | kJamN)) != 0) {
            todo.push_back(next | 0x100);
        }
        if ((jam & kJmpc) != 0) {
            for (const Instruction& instruction : builtinInstructionSet().instructions()) {
                todo.push_back(next | instruction.opcode);
            }
        }
    }
    return {seen.begin(), seen.end()};
}

std::vector<Mutant> oneLineMutants(const Store& store) {
    std::vector<Mutant> out;
    for (const int address : reachable(store)) {
        const auto it = store.find(address);
        if (it == store.end()) {
            continue;
        }
        const Mic& mic = it->second;
        const std::int32_t word = mic.word;
        aluMutants(store, address, mic, out);
        const std::uint32_t c = field(word, control_word::kC);
        for (std::uint32_t r = 0; r < 9; ++r) {
            const bool set = (c & (1u << r)) != 0;
            out.push_back(
                changed(store, set ? "c-remove" : "c-add", address,
                        withField(word, control_word::kC, c ^ (1u << r)), mic.NextAddr,
                        std::string(set ? "no longer writes " : "also writes ") + kBNames[r]));
        }
        const std::uint32_t mem = field(word, control_word::kMem);
        const std::uint32_t jam = field(word, control_word::kJam);
        const int next = mic.NextAddr & (kStoreSize - 1);
        for (std::uint32_t m = 0; m < kMemNames.size(); ++m) {
            const std::uint32_t bit = 1u << m;
            const std::int32_t toggled = withField(word, control_word::kMem, mem ^ bit);
            out.push_back(changed(
                store, (mem & bit) != 0 ? "mem-drop" : "mem-add", address, toggled, mic.NextAddr,
                std::string((mem & bit) != 0 ? "drops " : "adds ") + kMemNames[m]));
            const auto following = store.find(next);
            if ((mem & bit) != 0 && jam == 0 && following != store.end() &&
                (field(following->second.word, control_word::kMem) & bit) == 0) {
                const Mic& then = following->second;
                Mutant moved =
                    changed(store, "mem-next", address, toggled, mic.NextAddr,
                            std::string(kMemNames[m]) + " moved to " + where(store, next));
                moved.changes.push_back(
                    Change{next,
                           withField(then.word, control_word::kMem,
                                     field(then.word, control_word::kMem) | bit),
                           then.NextAddr});
                out.push_back(moved);
            }
        }
        for (std::uint32_t j = 0; j < kJamNames.size(); ++j) {
            out.push_back(
                changed(store, "jam", address, withField(word, control_word::kJam, jam ^ (1u << j)),
                        mic.NextAddr,
                        std::string((jam & (1u << j)) != 0 ? "drops " : "adds ") + kJamNames[j]));
        }
        for (const int step : {-1, 1}) {
            const int target = mic.NextAddr + step;
            if (target >= 0 && target < kStoreSize) {
                out.push_back(changed(store, "next", address, word, target,
                                      "next address " + std::to_string(mic.NextAddr) + " -> " +
                                          std::to_string(target)));
            }
        }
    }
    return out;
}

} // namespace tessaro::mutants
