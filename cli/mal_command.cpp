#include "cli/commands.h"

#include "cli/program_file.h"
#include "core/language.h"
#include "machine/control_store_file.h"
#include "mal/micro_assembler.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace tessaro::cli {

int malCommand(int argc, char** argv) {
    const std::string usage = localized(MessageId::CliMalUsage);
    if (argc == 1 && (std::strcmp(argv[0], "--help") == 0 || std::strcmp(argv[0], "-h") == 0)) {
        std::fputs(usage.c_str(), stdout);
        return 0;
    }
    if (argc != 2) {
        std::fputs(usage.c_str(), stderr);
        return 1;
    }
    const char* sourcePath = argv[0];
    const char* outputPath = argv[1];
    std::error_code ignored;
    if (std::filesystem::equivalent(sourcePath, outputPath, ignored)) {
        std::fprintf(stderr, "tessaro-cli mal: %s\n",
                     localized(MessageId::MalOutputIsSource, {outputPath}).c_str());
        return 1;
    }
    std::string text;
    if (!readInputFile("tessaro-cli mal", sourcePath, text)) {
        return 1;
    }
    const AssembledMicroprogram translated = MicroAssembler::assemble(text);
    // The file is written even for a source with problems, so that they can be looked at in it.
    std::vector<MalProblem> problems = translated.problems;
    if (!writeControlStoreFile(outputPath, translated.records)) {
        problems.insert(problems.begin(),
                        {0, localized(MessageId::MalCannotWriteFile, {outputPath})});
    }
    for (const MalProblem& problem : problems) {
        if (problem.line > 0) {
            std::fprintf(stderr, "%s:%d: %s\n", sourcePath, problem.line, problem.message.c_str());
        } else {
            std::fprintf(stderr, "tessaro-cli mal: %s\n", problem.message.c_str());
        }
    }
    return problems.empty() ? 0 : 1;
}

} // namespace tessaro::cli
