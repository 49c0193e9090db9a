// Feeds arbitrary bytes to the micro-assembler as a MAL source. Besides crashes, hangs and
// sanitizer findings, it checks the promises made to the machine: every record is one
// well-formed line, a translation that reports no problem makes only addresses, next addresses
// and control words that the control store can hold, and the store loaded from the records in
// memory is the one their file gives.

#include "fuzz/fuzz_file.h"
#include "machine/control_store_file.h"
#include "mal/micro_assembler.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <tuple>

namespace {

struct Record {
    long address = 0;
    long next = 0;
    long word = 0;
};

// "address next word<TAB>comment": false when the line does not start with three numbers.
bool parseRecord(const std::string& line, Record& record) {
    return std::sscanf(line.c_str(), "%ld %ld %ld", &record.address, &record.next, &record.word) ==
           3;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaro;
    static const std::string bin = fuzz::scratchPath(".bin");
    const AssembledMicroprogram translated =
        MicroAssembler::assemble(std::string_view(reinterpret_cast<const char*>(data), size));

    const std::string written = controlStoreText(translated.records);
    fuzz::check(written.empty() || written.back() == '\n', "the last record is not ended");
    std::size_t from = 0;
    while (from < written.size()) {
        const std::size_t end = written.find('\n', from);
        const std::string line = written.substr(from, end - from);
        from = end + 1;
        Record record;
        fuzz::check(parseRecord(line, record), "a record does not start with three numbers");
        fuzz::check(line.find('\t') != std::string::npos, "a record has no comment field");
        fuzz::check(record.word >= 0 && record.word < (1L << 27), "a control word beyond 27 bits");
        if (translated.ok()) {
            fuzz::check(record.address >= 0 && record.address < MicroAssembler::kAddresses,
                        "a problem-free source wrote an address outside the store");
            fuzz::check(record.next >= 0 && record.next < MicroAssembler::kAddresses,
                        "a problem-free source wrote a NextAddr outside the store");
        }
    }

    if (!writeControlStoreFile(bin, translated.records)) {
        return 0;
    }
    Memory<std::uint32_t, Mic> fromFile;
    readControlStoreFile(bin, fromFile);
    Memory<std::uint32_t, Mic> fromMemory;
    addControlStoreRecords(translated.records, fromMemory);
    fuzz::check(fromFile.elementCount() == fromMemory.elementCount(),
                "the records in memory fill other addresses than their file");
    for (std::uint32_t address = 0; address < MicroAssembler::kAddresses; ++address) {
        const Mic* expected = fromFile.peek(address);
        const Mic* actual = fromMemory.peek(address);
        fuzz::check((expected == nullptr) == (actual == nullptr) &&
                        (expected == nullptr ||
                         std::tie(expected->word, expected->NextAddr, expected->text) ==
                             std::tie(actual->word, actual->NextAddr, actual->text)),
                    "the records in memory load otherwise than their file");
    }
    return 0;
}
