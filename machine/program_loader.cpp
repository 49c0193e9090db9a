#include "ijvm/ijvm_assembler.h"
#include "machine/control_path.h"

#include <algorithm>
#include <cstdint>

namespace tessaro {

namespace {

// Word i of the pool, least significant byte first; bytes the assembler did not write read 0.
std::int32_t poolWord(const ByteImage& pool, int i) {
    std::uint32_t word = 0;
    for (int b = 3; b >= 0; --b) {
        word = (word << 8) | pool.at(4 * i + b);
    }
    return static_cast<std::int32_t>(word);
}

} // namespace

void ControlPath::loadProgram(const std::string& path) {
    // The assembler lives only for this call: everything the machine keeps is copied out.
    IjvmAssembler assembler(path);
    assembler.setInstructionSet(*instructionSet);
    assembler.compile();
    takeProgram(assembler);
}

void ControlPath::loadProgramText(const std::string& text) {
    IjvmAssembler assembler;
    assembler.setInstructionSet(*instructionSet);
    assembler.compileText(text);
    takeProgram(assembler);
}

void ControlPath::takeProgram(const IjvmAssembler& assembler) {
    programSource = assembler.source();
    sourceMap = assembler.sourceMap;
    methodMap = assembler.methodMap;
    methods = assembler.methods;
    constants = assembler.constants;
    errors = assembler.errors;

    // The image is loaded even when the assembler reported errors (the caller shows them); a
    // byte it allocated but never wrote is 0.
    const ByteImage& area = assembler.methodArea;
    const int size = std::max(area.capacity, 0);
    methodArea.assign(static_cast<std::size_t>(size), 0);
    const int written = std::min(area.length, size);
    if (written > 0) {
        std::copy(area.data.get(), area.data.get() + written, methodArea.begin());
    }
    methodAreaSize = size;

    const ByteImage& pool = assembler.constantPool;
    constantPoolWords = pool.capacity / 4;
    for (int i = 0; i < constantPoolWords; ++i) {
        wordMemory[memory_map::wordKey(memory_map::kConstantPoolBase + i)] = poolWord(pool, i);
    }

    using namespace memory_map;
    for (std::int32_t a = kFirstOutputWord; a <= kLastOutputWord; ++a) {
        wordMemory[wordKey(a)] = kOutputBlank;
    }
    wordMemory[wordKey(kInputWord)] = 0;

    reset();
}

} // namespace tessaro
