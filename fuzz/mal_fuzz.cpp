// Feeds arbitrary bytes to the micro-assembler as a MAL source. Besides crashes, hangs and
// sanitizer findings, it checks the promise made to the machine: every record written is one
// well-formed line, and a translation that reports no problem writes only addresses, next
// addresses and control words that the control store can hold.

#include "fuzz/fuzz_file.h"
#include "mal/micro_assembler.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

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
    static const std::string source = fuzz::scratchPath(".mal");
    static const std::string bin = fuzz::scratchPath(".bin");
    if (!fuzz::writeBytes(source, data, size)) {
        return 0;
    }
    MicroAssembler translate(source, bin);
    fuzz::check(translate.tryRun(), "the translator could not open its files");

    std::ifstream in(bin, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
        if (translate.problems.empty()) {
            fuzz::check(record.address >= 0 && record.address < MicroAssembler::kAddresses,
                        "a problem-free source wrote an address outside the store");
            fuzz::check(record.next >= 0 && record.next < MicroAssembler::kAddresses,
                        "a problem-free source wrote a NextAddr outside the store");
        }
    }
    return 0;
}
