#include "microcode_mutants.h"

namespace tessaro::mutants {

namespace {

struct Edit {
    const char* needs; // the kind of program that shows the fault
    std::vector<std::pair<const char*, const char*>> lines;
};

// Faults a one-line change of a field does not make: several lines changed together, or a
// shift where the routine has none. Each shows only in some kind of program.
const Edit kEdits[] = {
    {"a method with 256 local variables or more", {{"invoke14 H = MBRU << 8", "invoke14 H = 0"}}},
    // Equivalent: the assembler reads a parameter list of at most 50 characters.
    {"a method with 256 parameters or more", {{"invoke8  H = MBRU << 8", "invoke8  H = 0"}}},
    {"a WIDE index of 256 or more",
     {{"wistore2 H = MBRU << 8", "wistore2 H = 0"}, {"wiload2  H = MBRU << 8", "wiload2  H = 0"}}},
    {"a branch offset of 256 or more", {{"goto3    H = MBR << 8", "goto3    H = MBR >> 1"}}},
    {"a pool index of 256 or more", {{"ldcw2    H = MBRU << 8", "ldcw2    H = 0"}}},
    {"a local index of 128 or more, read and written",
     {{"iload2   MAR = MBRU + H", "iload2   MAR = MBR + H"},
      {"istore2  MAR = MBRU + H", "istore2  MAR = MBR + H"}}},
    {"ILOAD after an instruction that leaves H other than LV",
     {{"iload1   H = LV", "iload1   goto iload2"}}},
    {"IINC after an instruction that leaves H other than LV",
     {{"iinc1    H = LV", "iinc1    goto iinc2"}}},
    {"a read one line late, seen only when the old MDR differs",
     {{"pop1     MAR = SP = SP - 1; rd", "pop1     MAR = SP = SP - 1"},
      {"pop2     goto pop3", "pop2     rd; goto pop3"}}},
};

} // namespace

std::vector<Mutant> editedMutants(const std::string& source) {
    std::vector<Mutant> out;
    for (const Edit& edit : kEdits) {
        Mutant mutant{std::string("edit: ") + edit.needs, {}, {}, source};
        bool applies = true;
        for (const auto& [from, to] : edit.lines) {
            const std::size_t at = mutant.source.find(from);
            applies = applies && at != std::string::npos;
            if (at != std::string::npos) {
                mutant.source.replace(at, std::string(from).size(), to);
                mutant.description += (mutant.description.empty() ? "" : ", ") + std::string(to);
            }
        }
        if (applies) {
            out.push_back(mutant);
        }
    }
    return out;
}

} // namespace tessaro::mutants
