#include "microcode_mutants.h"

#include <algorithm>

namespace tessaro::mutants {

namespace {

struct Edit {
    const char* needs; // the kind of program that shows the fault
    std::vector<std::pair<const char*, const char*>> lines;
    bool equivalent = false; // no program the assembler accepts shows it
};

// Faults a one-line change of a field does not make: several lines changed together, or a
// shift where the routine has none. Each shows only in some kind of program.
const Edit kEdits[] = {
    {"a method with 256 local variables or more", {{"invoke14 H = MBRU << 8", "invoke14 H = 0"}}},
    // The assembler reads a parameter list of at most 50 characters.
    {"a method with 256 parameters or more", {{"invoke8  H = MBRU << 8", "invoke8  H = 0"}}, true},
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

struct OneLine {
    const char* needs;
    const char* label; // the line, as the listing names it
    const char* what;  // the change, as the one-line mutant's description ends
};

// One-line faults that only one kind of generated program shows: each is the reason why the
// program writer makes that kind.
const OneLine kOneLines[] = {
    {"IFICMPEQ on two words one apart", "ICMP4", "no shift -> >> 1"},
    {"a WIDE ILOAD index whose high byte is 2", "WILOAD1", "adds JMPC"},
    {"a WIDE ISTORE index whose high byte is 2", "WISTORE1", "adds JMPC"},
    {"a pool index whose high byte is 2", "LDCW1", "adds JMPC"},
    {"a method with 256 local variables or more", "INVOKE14", "adds JMPC"},
    {"a method with 128 to 255 local variables", "INVOKE15", "B MBRU -> MBR"},
    {"an opcode after IRETURN, which never runs", "IRETURN1", "adds JMPC"},
    {"DUP after IINC, which leaves MDR other than the top", "DUP2", "no longer writes MDR"},
    {"IINC of a local index of 128 or more", "IINC2", "B MBRU -> MBR"},
    {"a forward branch offset whose low byte is 128 or more", "GOTO4", "B MBRU -> MBR"},
};

} // namespace

std::vector<Mutant> editedMutants(const std::string& source) {
    std::vector<Mutant> out;
    for (const Edit& edit : kEdits) {
        Mutant mutant{std::string("edit: ") + edit.needs, {}, {}, source};
        mutant.mustBeCaught = !edit.equivalent;
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

std::vector<Mutant> takeNamedMutants(std::vector<Mutant>& oneLine) {
    std::vector<Mutant> out;
    for (const OneLine& named : kOneLines) {
        const std::string label = std::string("[") + named.label + ":";
        const std::string what = std::string("]: ") + named.what;
        const auto found = std::find_if(oneLine.begin(), oneLine.end(), [&](const Mutant& m) {
            return m.description.find(label) != std::string::npos && m.description.ends_with(what);
        });
        if (found == oneLine.end()) {
            continue;
        }
        Mutant mutant = *found;
        oneLine.erase(found);
        mutant.kind = std::string("named: ") + named.needs;
        mutant.mustBeCaught = true;
        out.push_back(mutant);
    }
    return out;
}

} // namespace tessaro::mutants
