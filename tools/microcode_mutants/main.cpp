// Wrong microprograms made from the bundled one, each given to the microprogram check: the
// check's own test. A mutant the check passes is run against the bundled microprogram on the
// example programs and on the check's programs of other seeds; if some program behaves
// differently it is a gap in the check, otherwise it counts as equivalent.
//
//   tessaro_microcode_mutants MICROPROGRAM.mal EXAMPLES_DIR [--sample N] [--seed S]
//                             [--check-only] [--only TEXT] [--list]
//   tessaro_microcode_mutants MICROPROGRAM.mal EXAMPLES_DIR --ci N
//
// --only TEXT keeps the mutants whose kind or description holds TEXT ("edit", "iadd3").
// --check-only leaves out the second look (to see what a change of the check's programs costs).
// --ci N takes mutants in the order the seed gives, keeps those that change what an example
// program does (so that each is surely wrong) until N are kept, and fails unless the check
// catches every one of them.

#include "behaviour.h"
#include "check/microprogram_check.h"
#include "microcode_mutants.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <unistd.h>

namespace tessaro::mutants {
namespace {

// Seeds and programs of the second look at a mutant the check passed.
constexpr std::uint32_t kOtherSeeds[] = {2, 3};
constexpr int kOtherPrograms = 100;

struct Options {
    std::string microprogram;
    std::string examples;
    int sample = 0; // 0: every mutant
    std::uint32_t seed = 1;
    int ci = 0;
    bool checkOnly = false; // no second look: a mutant the check passes is only listed
    std::string only;       // keep the mutants whose kind or description holds this text
    bool list = false;      // only list the mutants
};

struct Tally {
    int generated = 0;
    int caught = 0;
    int gaps = 0;       // passed the check, yet some program behaves differently
    int equivalent = 0; // passed the check, and no program found behaves differently
};

class Runner {
public:
    Runner(std::filesystem::path scratch, Store store, std::vector<SampleProgram> programs)
        : m_scratch(std::move(scratch)), m_store(std::move(store)),
          m_programs(std::move(programs)) {}

    // The control-store file of a mutant (empty when an edited text does not translate).
    std::string storeOf(const Mutant& mutant) {
        const std::string bin = (m_scratch / "mutant.bin").string();
        if (mutant.source.empty()) {
            return writeStore(m_store, mutant.changes, bin) ? bin : std::string();
        }
        const std::string mal = (m_scratch / "mutant.mal").string();
        std::ofstream(mal) << mutant.source;
        std::string error;
        return translate(mal, bin, error).empty() ? std::string() : bin;
    }

    bool caught(const std::string& bin, std::uint32_t seed, int programs) {
        MicroprogramCheck check(readRecords(bin));
        CheckOptions options;
        options.seed = seed;
        options.programs = programs;
        return !allPassed(check.run(options));
    }

    std::string differenceOnExamples(const std::string& bin) {
        return firstDifference(bundled(), bin, m_programs);
    }

    std::string bundled() const { return (m_scratch / "bundled.bin").string(); }

private:
    std::filesystem::path m_scratch;
    Store m_store;
    std::vector<SampleProgram> m_programs;
};

int report(Runner& runner, const std::vector<Mutant>& mutants, bool checkOnly) {
    std::map<std::string, Tally> tallies;
    int done = 0;
    for (const Mutant& mutant : mutants) {
        Tally& tally = tallies[mutant.kind];
        ++tally.generated;
        if (++done % 100 == 0) {
            std::fprintf(stderr, "%d of %zu mutants\n", done, mutants.size());
        }
        const std::string bin = runner.storeOf(mutant);
        if (bin.empty()) {
            std::printf("%s %s: does not translate\n", mutant.kind.c_str(),
                        mutant.description.c_str());
            continue;
        }
        if (runner.caught(bin, 1, CheckOptions::kDefaultPrograms)) {
            ++tally.caught;
            continue;
        }
        if (checkOnly) {
            ++tally.equivalent;
            std::printf("passed %s %s\n", mutant.kind.c_str(), mutant.description.c_str());
            continue;
        }
        std::string difference = runner.differenceOnExamples(bin);
        for (const std::uint32_t seed : kOtherSeeds) {
            if (difference.empty() && runner.caught(bin, seed, kOtherPrograms)) {
                difference = "the check with seed " + std::to_string(seed) + " and " +
                             std::to_string(kOtherPrograms) + " programs fails";
            }
        }
        if (difference.empty()) {
            ++tally.equivalent;
            std::printf("equivalent %s %s\n", mutant.kind.c_str(), mutant.description.c_str());
        } else {
            ++tally.gaps;
            std::printf("MISSED %s %s (%s)\n", mutant.kind.c_str(), mutant.description.c_str(),
                        difference.c_str());
        }
    }
    Tally all;
    std::printf("\n%-22s %9s %7s %7s %10s\n", "kind", "generated", "caught", "missed",
                checkOnly ? "passed" : "equivalent");
    for (const auto& [kind, t] : tallies) {
        std::printf("%-22s %9d %7d %7d %10d\n", kind.c_str(), t.generated, t.caught, t.gaps,
                    t.equivalent);
        all.generated += t.generated;
        all.caught += t.caught;
        all.gaps += t.gaps;
        all.equivalent += t.equivalent;
    }
    std::printf("%-22s %9d %7d %7d %10d\n", "all", all.generated, all.caught, all.gaps,
                all.equivalent);
    if (checkOnly) {
        std::printf("the check caught %d of %d mutants (the others not looked at)\n", all.caught,
                    all.generated);
    } else {
        std::printf("the check caught %d of %d mutants that change what some program does\n",
                    all.caught, all.caught + all.gaps);
    }
    return all.gaps == 0 ? 0 : 1;
}

int continuousIntegration(Runner& runner, const std::vector<Mutant>& mutants, int wanted) {
    int kept = 0;
    int missed = 0;
    int named = 0;
    for (const Mutant& mutant : mutants) {
        if (kept == wanted && !mutant.mustBeCaught) {
            continue;
        }
        const std::string bin = runner.storeOf(mutant);
        // A hand-written or named mutant is wrong by construction; any other is kept only
        // when an example shows that it is.
        if (bin.empty() || (!mutant.mustBeCaught && runner.differenceOnExamples(bin).empty())) {
            continue;
        }
        ++(mutant.mustBeCaught ? named : kept);
        if (!runner.caught(bin, 1, CheckOptions::kDefaultPrograms)) {
            ++missed;
            std::printf("MISSED %s %s\n", mutant.kind.c_str(), mutant.description.c_str());
        }
    }
    std::printf("the check caught %d of %d mutants: %d that change what an example does and %d "
                "that only some kind of generated program shows\n",
                kept + named - missed, kept + named, kept, named);
    return missed == 0 && kept == wanted ? 0 : 1;
}

bool parse(int argc, char** argv, Options& options) {
    std::vector<std::string> plain;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool valued = arg == "--sample" || arg == "--seed" || arg == "--ci";
        if (arg == "--only" && i + 1 < argc) {
            options.only = argv[++i];
        } else if (valued && i + 1 < argc) {
            const long value = std::strtol(argv[++i], nullptr, 10);
            if (arg == "--seed") {
                options.seed = static_cast<std::uint32_t>(value);
            } else {
                (arg == "--sample" ? options.sample : options.ci) = static_cast<int>(value);
            }
        } else if (arg == "--list") {
            options.list = true;
        } else if (arg == "--check-only") {
            options.checkOnly = true;
        } else if (arg.starts_with("--")) {
            return false;
        } else {
            plain.push_back(arg);
        }
    }
    if (plain.size() != 2) {
        return false;
    }
    options.microprogram = plain[0];
    options.examples = plain[1];
    return true;
}

int run(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fputs("usage: tessaro_microcode_mutants MICROPROGRAM.mal EXAMPLES_DIR "
                   "[--sample N] [--seed S] [--check-only] [--only TEXT] [--list] [--ci N]\n",
                   stderr);
        return 2;
    }
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("tessaro-mutants-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);
    std::string error;
    Store store = translate(options.microprogram, (scratch / "bundled.bin").string(), error);
    if (store.empty()) {
        std::fprintf(stderr, "%s: %s\n", options.microprogram.c_str(), error.c_str());
        return 2;
    }
    std::ifstream in(options.microprogram);
    std::stringstream source;
    source << in.rdbuf();
    // Every hand-written and named mutant, then one-line ones in the order the seed gives.
    std::vector<Mutant> mutants = oneLineMutants(store);
    std::shuffle(mutants.begin(), mutants.end(), std::mt19937(options.seed));
    std::vector<Mutant> first = editedMutants(source.str());
    const std::vector<Mutant> named = takeNamedMutants(mutants);
    first.insert(first.end(), named.begin(), named.end());
    if (options.sample > 0 && static_cast<std::size_t>(options.sample) < mutants.size()) {
        mutants.resize(static_cast<std::size_t>(options.sample));
    }
    mutants.insert(mutants.begin(), first.begin(), first.end());
    std::erase_if(mutants, [&options](const Mutant& m) {
        return (m.kind + " " + m.description).find(options.only) == std::string::npos;
    });
    if (options.list) {
        for (const Mutant& mutant : mutants) {
            std::printf("%s %s\n", mutant.kind.c_str(), mutant.description.c_str());
        }
        std::filesystem::remove_all(scratch);
        return 0;
    }
    Runner runner(scratch, std::move(store), programsIn(options.examples));
    const int status = options.ci > 0 ? continuousIntegration(runner, mutants, options.ci)
                                      : report(runner, mutants, options.checkOnly);
    std::filesystem::remove_all(scratch);
    return status;
}

} // namespace
} // namespace tessaro::mutants

int main(int argc, char** argv) {
    return tessaro::mutants::run(argc, argv);
}
