#pragma once

#include "machine/control_store_file.h"
#include "machine/mic.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tessaro::mutants {

/// A translated microprogram: micro-address -> entry.
using Store = std::map<int, Mic>;

/// One control-store entry as the mutant has it.
struct Change {
    int address = 0;
    std::int32_t word = 0;
    std::int32_t next = 0;
};

/// A wrong microprogram: the bundled one with a few entries changed, or (hand-written ones) an
/// edited source text.
struct Mutant {
    std::string kind;        ///< "alu", "c-add", "mem-next", ..., or "edit:<what it needs>"
    std::string description; ///< where and what, for a person
    std::vector<Change> changes;
    std::string source; ///< the edited microprogram text of a hand-written mutant
    /// Shown by some kind of generated program, whatever the examples do: CI needs it caught.
    bool mustBeCaught = false;
};

/// The store translated from a microprogram file (empty, with error set, on problems).
Store translate(const std::string& malPath, const std::string& binPath, std::string& error);

/// The records of a control-store file, one per address it fills, in address order.
ControlStoreRecords readRecords(const std::string& binPath);

/// Writes store, with changes applied, as a control-store file.
bool writeStore(const Store& store, const std::vector<Change>& changes, const std::string& path);

/// Micro-addresses some IJVM program can reach: from the main loop, through every opcode of
/// the instruction set. Lines never reached (the fillers) give only equivalent mutants.
std::vector<int> reachable(const Store& store);

/// Every one-line mutant of the reached entries. Changes the datapath cannot notice are left
/// out: a different ALU function, shift or B register on a line whose result is neither
/// stored nor tested, or a B register the line's ALU function ignores.
std::vector<Mutant> oneLineMutants(const Store& store);

/// The hand-written mutants, each an edit of the source text that only some kind of program
/// reveals (a named one in the kind). Edits that no longer apply to source are left out.
std::vector<Mutant> editedMutants(const std::string& source);

/// The one-line mutants that only one kind of generated program shows, each named by what it
/// needs, taken out of oneLine.
std::vector<Mutant> takeNamedMutants(std::vector<Mutant>& oneLine);

} // namespace tessaro::mutants
