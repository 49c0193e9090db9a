#pragma once

#include "core/list.h"
#include "machine/control_word.h"
#include "mal/mal_source_reader.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tessaro {

/// A problem found in a MAL source: 1-based line number and a short text. Line 0 stands for
/// the file as a whole (it could not be opened).
struct MalProblem {
    int line = 0;
    std::string message;
};

/// One entry of the label table: the address of an instruction line and its label.
struct Label {
    std::int32_t address = 0;
    std::string name; ///< at most 29 bytes

    friend bool operator==(const Label& a, const Label& b) { return a.name == b.name; }
    friend bool operator<(const Label& a, const Label& b) { return a.name < b.name; }
};

/// The micro-assembler: reads a MAL source twice (addresses and labels, then jumps, default
/// successors and IF trampolines) and writes one control-store record per micro-instruction.
/// Problems in the source are collected in problems; they never change what is written for a
/// source without problems.
class MicroAssembler {
public:
    /// Size of the control store.
    static constexpr int kAddresses = static_cast<int>(control_word::kStoreSize);
    static constexpr int kMaxInstrText = 49; ///< longest instruction text after rewriting
    static constexpr int kMaxLineText = 69;  ///< longest record comment
    static constexpr int kMaxLabel = 29;     ///< longest label name

    std::string sourcePath;                ///< MAL source file
    std::string binPath;                   ///< control-store file to write
    std::int32_t lineStart[kAddresses]{};  ///< per address: offset where reading its line began
    std::int32_t lineLength[kAddresses]{}; ///< per address: bytes read for its line
    MalSourceReader source;                ///< reader of the MAL source
    MalSourceReader output;                ///< the control-store file (only its stream)
    std::string lineText;                  ///< comment of the record being written
    std::string instrText;                 ///< instruction text being rewritten and compiled
    List<Label> labels;                    ///< label table, ordered by name
    std::vector<MalProblem> problems;      ///< problems of the last run, ordered by line

    int instructionCount = 0; ///< instruction lines translated by the last run
    /// Trampoline address -> address of the IF line that wrote it (for showing the IF line
    /// while the machine stands on its trampoline).
    std::map<int, int> trampolines;

    /// Deletes any file at binPath and prepares both readers. When binPath names the source
    /// itself nothing is deleted, and running fails instead.
    MicroAssembler(const std::string& sourcePath, const std::string& binPath);

    /// Translates; a source or output file that cannot be opened ends the process.
    void run();
    /// Translates; false (with a problem on line 0) when a file cannot be opened.
    bool tryRun();

    /// Address of a label (the definition that comes last in the source wins), or -1.
    std::int32_t addressOf(const std::string& name) const;

private:
    struct Written {
        int line = 0;
        bool trampoline = false;
    };
    std::map<int, Written> m_written;
    bool m_sameFile = false;
    std::string m_comment;

    bool translate(bool fatalOnOpen);
    void firstPass();
    void secondPass();
    void resolveControl(int address, int line);
    void writeRecord(int address, int line, bool trampoline);
    std::int32_t resolveTarget(const std::string& name, int type, int line);
    void report(int line, std::string message);
};

} // namespace tessaro
