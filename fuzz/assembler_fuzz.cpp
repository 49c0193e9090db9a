// Feeds arbitrary bytes to the IJVM assembler as a source file. Besides crashes, hangs and
// sanitizer findings, it checks what every caller relies on: an image exactly as large as laid
// out, a full constant pool, and messages that fit their field.

#include "ijvm/ijvm_assembler.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& sourcePath() {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir != nullptr ? dir : "/tmp") + "/ijvmc_fuzz_" +
               std::to_string(::getpid()) + ".jvm";
    }();
    return path;
}

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "assembler_fuzz: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(sourcePath().c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    tessaro::IjvmAssembler assembler(sourcePath());
    assembler.compile();

    check(assembler.methodArea.overflow == 0, "method area overflow");
    check(assembler.methodArea.length == assembler.methodArea.capacity, "method area not full");
    check(assembler.constantPool.overflow == 0, "constant pool overflow");
    check(assembler.constantPool.length == assembler.constantPool.capacity,
          "constant pool not full");
    check(assembler.methods.count == assembler.methodCount, "method count");
    int bytes = 0;
    for (const tessaro::Method& method : assembler.methods) {
        int length = 0;
        for (const tessaro::InstructionRecord& record : method.instructions) {
            length += record.length;
        }
        check(length == method.length, "method length");
        bytes += length;
    }
    check(bytes == assembler.sourceMap.byteCount(), "source map size");
    for (const tessaro::AssemblyError& error : assembler.errors) {
        check(error.message.size() <= 99, "message too long");
    }
    return 0;
}
