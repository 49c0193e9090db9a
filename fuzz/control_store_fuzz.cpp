// Feeds arbitrary bytes to the control-store file reader. Besides crashes, hangs and sanitizer
// findings, it checks what the machine relies on: only addresses 0..511, NextAddr within 9
// bits, control words within 27 bits and comments of at most 69 bytes reach the store.

#include "fuzz/fuzz_file.h"
#include "machine/control_store_file.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaro;
    static const std::string path = fuzz::scratchPath(".bin");
    if (!fuzz::writeBytes(path, data, size)) {
        return 0;
    }
    Memory<std::uint32_t, Mic> store;
    readControlStoreFile(path, store);
    int entries = 0;
    for (const auto& bucket : store.buckets) {
        for (const auto& entry : bucket) {
            ++entries;
            fuzz::check(entry.key < 512, "an address outside the store");
            fuzz::check(entry.value.NextAddr >= 0 && entry.value.NextAddr < 512,
                        "NextAddr beyond 9 bits");
            fuzz::check(entry.value.word >= 0 && entry.value.word < (1 << 27),
                        "a control word beyond 27 bits");
            fuzz::check(entry.value.text.size() <= 69, "a comment over 69 bytes");
        }
    }
    fuzz::check(entries <= 512, "more entries than addresses");
    return 0;
}
