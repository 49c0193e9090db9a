#include "cli/commands.h"

#include "cli/diagnostics.h"
#include "cli/instructions_option.h"
#include "cli/program_file.h"
#include "core/language.h"

#include "ijvm/ijvm_assembler.h"
#include "ijvm/image_layout.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace tessaro::cli {

namespace {

// Where each instruction begins in the method area, with the mnemonic to show there.
std::vector<std::string> instructionStarts(IjvmAssembler& assembler) {
    std::vector<std::string> starts(static_cast<std::size_t>(assembler.methodArea.length));
    auto mark = [&](int address, const std::string& text) {
        if (address >= 0 && address < assembler.methodArea.length) {
            starts[static_cast<std::size_t>(address)] = text;
        }
    };
    mark(0, "INVOKEVIRTUAL");
    int i = 0;
    for (const Method& method : assembler.methods) {
        for (const InstructionRecord& record : method.instructions) {
            const Instruction* instruction = assembler.instructionSet().find(record.opcode);
            std::string text = instruction != nullptr ? instruction->display : std::string();
            for (const std::string& operand :
                 {record.operand1(assembler.source()), record.operand2(assembler.source())}) {
                if (!operand.empty()) {
                    text += " " + operand;
                }
            }
            mark(image_layout::codeAddress(i, record.address), text);
        }
        ++i;
    }
    return starts;
}

std::int32_t poolWord(const ByteImage& pool, int index) {
    std::uint32_t word = 0;
    for (int b = 3; b >= 0; --b) {
        word = (word << 8) | pool.at(4 * index + b);
    }
    return static_cast<std::int32_t>(word);
}

void dump(IjvmAssembler& assembler) {
    const std::vector<std::string> starts = instructionStarts(assembler);
    std::vector<std::string> headers(starts.size());
    const int constantCount = assembler.constants.count;
    int i = 0;
    for (const Method& method : assembler.methods) {
        const int at = poolWord(assembler.constantPool, constantCount + i);
        if (at >= 0 && static_cast<std::size_t>(at) < headers.size()) {
            headers[static_cast<std::size_t>(at)] =
                localized(MessageId::DumpMethodHeader, {method.name});
        }
        ++i;
    }
    std::printf(localized(MessageId::DumpMethodArea).c_str(), assembler.methodArea.length);
    for (int a = 0; a < assembler.methodArea.length; ++a) {
        const std::string& text = starts[static_cast<std::size_t>(a)];
        const std::string& header = headers[static_cast<std::size_t>(a)];
        std::string line = std::to_string(a);
        line.insert(0, line.size() < 6 ? 6 - line.size() : 0, ' ');
        char hex[8];
        std::snprintf(hex, sizeof hex, "  %02X", assembler.methodArea.at(a));
        line += hex;
        if (!text.empty()) {
            line += "  " + text;
        } else if (!header.empty()) {
            line += "  " + header;
        }
        std::printf("%s\n", line.c_str());
    }
    const int words = assembler.constantPool.length / 4;
    std::printf(localized(MessageId::DumpConstantPool).c_str(), words);
    int k = 0;
    for (const Symbol& constant : assembler.constants) {
        std::printf("%6d  %-20s  %d\n", k, constant.name.c_str(),
                    poolWord(assembler.constantPool, k));
        ++k;
    }
    for (const Method& method : assembler.methods) {
        std::printf("%6d  %-20s  %d\n", k, method.name.c_str(),
                    poolWord(assembler.constantPool, k));
        ++k;
    }
}

} // namespace

int asmCommand(int argc, char** argv) {
    std::string program;
    bool wantDump = false;
    std::string instructionsPath;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dump") {
            wantDump = true;
        } else if (arg == "--instructions") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, localized(MessageId::CliNeedsValue).c_str(), "tessaro-cli asm",
                             arg.c_str(), localized(MessageId::CliAsmUsage).c_str());
                return 1;
            }
            instructionsPath = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(localized(MessageId::CliAsmUsage).c_str(), stdout);
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, localized(MessageId::CliAsmUnknownOption).c_str(), arg.c_str(),
                         localized(MessageId::CliAsmUsage).c_str());
            return 1;
        } else if (program.empty()) {
            program = arg;
        } else {
            std::fprintf(stderr, localized(MessageId::CliAsmTwoPrograms).c_str(),
                         localized(MessageId::CliAsmUsage).c_str());
            return 1;
        }
    }
    if (program.empty()) {
        std::fputs(localized(MessageId::CliAsmUsage).c_str(), stderr);
        return 1;
    }

    std::string text;
    if (!readInputFile("tessaro-cli asm", program, text)) {
        return 1;
    }

    const std::shared_ptr<const InstructionSet> instructions =
        loadInstructionSet("tessaro-cli asm", instructionsPath);
    if (!instructions) {
        return 1;
    }
    // The text read once is what is assembled: a pipe or a file that changes meanwhile gives
    // the same program as the one the errors are shown against.
    IjvmAssembler assembler;
    assembler.setInstructionSet(*instructions);
    assembler.compileText(std::move(text));

    if (!assembler.errors.empty()) {
        printAssemblerErrors(program, assembler.source(), assembler.errors);
        return 1;
    }
    if (wantDump) {
        dump(assembler);
    }
    return 0;
}

} // namespace tessaro::cli
