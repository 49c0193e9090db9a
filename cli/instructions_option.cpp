#include "cli/instructions_option.h"

#include "cli/program_file.h"
#include "core/language.h"
#include "ijvm/instruction_set_file.h"

#include <cstdio>

namespace tessaro::cli {

std::shared_ptr<const InstructionSet> loadInstructionSet(const char* command,
                                                         const std::string& path) {
    if (path.empty()) {
        return std::shared_ptr<const InstructionSet>(std::shared_ptr<void>(),
                                                     &builtinInstructionSet());
    }
    std::string text;
    if (!readInputFile(command, path, text)) {
        return nullptr;
    }
    InstructionSetFile file = readInstructionSet(text, path);
    for (const std::string& error : file.errors) {
        std::fprintf(stderr, "%s\n", error.c_str());
    }
    if (!file.set) {
        std::fprintf(stderr, "%s\n",
                     localized(MessageId::CliInstructionSetUnused, {command, path}).c_str());
        return nullptr;
    }
    return std::make_shared<const InstructionSet>(std::move(*file.set));
}

} // namespace tessaro::cli
