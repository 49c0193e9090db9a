#include "cli/microprogram_file.h"

#include "core/language.h"

#include "cli/program_file.h"
#include "data/bundled.h"
#include "mal/micro_assembler.h"

#include <cstdio>
#include <fstream>

namespace tessaro::cli {

bool translateMicroprogram(const char* command, const std::string& path,
                           TemporaryFiles& temporaries, std::string& bin) {
    std::string source;
    std::string shownName = path;
    if (path.empty()) {
        source = temporaries.make(".mal");
        shownName = localized("velkora.mal (incorporato)");
        std::ofstream out(source, std::ios::binary);
        const std::string_view text = bundledMicroprogram();
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (source.empty() || !out) {
            std::fprintf(stderr,
                         localized("%s: impossibile scrivere una copia temporanea del "
                                   "microprogramma\n")
                             .c_str(),
                         command);
            return false;
        }
    } else {
        std::string text;
        if (!readInputCopy(command, path, ".mal", temporaries, text, source)) {
            return false;
        }
    }
    bin = temporaries.make(".bin");
    if (bin.empty()) {
        std::fprintf(
            stderr,
            localized("%s: impossibile creare un file temporaneo del control store\n").c_str(),
            command);
        return false;
    }
    MicroAssembler translate(source, bin);
    translate.tryRun();
    for (const MalProblem& problem : translate.problems) {
        if (problem.line > 0) {
            std::fprintf(stderr, "%s:%d: %s\n", shownName.c_str(), problem.line,
                         problem.message.c_str());
        } else {
            std::fprintf(stderr, "%s: %s\n", command, problem.message.c_str());
        }
    }
    return translate.problems.empty();
}

} // namespace tessaro::cli
