#pragma once

#include "machine/control_store_file.h"
#include "machine/control_word.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

/// A problem found in a MAL source: 1-based line number and a short text. Line 0 stands for
/// the file as a whole (it could not be read or written).
struct MalProblem {
    int line = 0;
    std::string message;
};

/// What the micro-assembler makes of a MAL source: the control store, the table that ties its
/// addresses to the source's lines, and the problems found.
struct AssembledMicroprogram {
    /// The control store's records in the order its file holds them (a trampoline comes just
    /// before the IF line that placed it).
    ControlStoreRecords records;
    /// Per address: byte offset in the source where reading its line began (blank and comment
    /// lines before it included), and the bytes read for it; 0 and 0 where no line is.
    std::array<std::int32_t, control_word::kStoreSize> lineStart{};
    std::array<std::int32_t, control_word::kStoreSize> lineLength{};
    /// Label -> address of its line (the definition that comes last in the source wins).
    std::map<std::string, std::int32_t> labels;
    /// Trampoline address -> address of the IF line that wrote it (for showing the IF line
    /// while the machine stands on its trampoline).
    std::map<int, int> trampolines;
    int instructionCount = 0;         ///< instruction lines in the source
    std::vector<MalProblem> problems; ///< ordered by line; none for a sound source

    /// Address of a label (cut to its first 29 bytes, as labels are), or -1.
    std::int32_t addressOf(const std::string& name) const;
    bool ok() const { return problems.empty(); }
};

/// The micro-assembler: reads a MAL source twice (addresses and labels, then jumps, default
/// successors and IF trampolines) and makes one control-store record per micro-instruction.
/// Problems in the source are collected; they never change the records of a source without
/// problems. Files are the caller's: reading the source and writing the control-store file
/// (controlStoreText) happen at the edges.
class MicroAssembler {
public:
    /// Size of the control store.
    static constexpr int kAddresses = static_cast<int>(control_word::kStoreSize);
    static constexpr int kMaxInstrText = 49; ///< longest instruction text after rewriting
    static constexpr int kMaxLineText = 69;  ///< longest record comment
    static constexpr int kMaxLabel = 29;     ///< longest label name

    /// Translates a MAL source text.
    static AssembledMicroprogram assemble(std::string_view source);

private:
    struct Written {
        int line = 0;
        bool trampoline = false;
    };

    explicit MicroAssembler(std::string_view source) : m_source(source) {}

    void firstPass();
    void secondPass();
    void resolveControl(int address, int line);
    void writeRecord(int address, int line, bool trampoline);
    std::int32_t resolveTarget(const std::string& name, int type, int line);
    void report(int line, std::string message);

    std::string_view m_source;
    AssembledMicroprogram m_result;
    std::map<int, Written> m_written;
    std::string m_instrText; // instruction text being rewritten and compiled
    std::string m_comment;   // comment of the record being written
};

} // namespace tessaro
