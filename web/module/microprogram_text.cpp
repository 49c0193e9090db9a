#include "web/module/microprogram_text.h"

#include "data/bundled.h"

namespace tessaro::web {

namespace {

ControlStoreRecords& current() {
    // The bundled microprogram always translates; a problem here would be a broken build.
    static ControlStoreRecords store = MicroAssembler::assemble(bundledMicroprogram()).records;
    return store;
}

} // namespace

const ControlStoreRecords& currentControlStore() {
    return current();
}

AssembledMicroprogram useMicroprogram(const std::string& text) {
    AssembledMicroprogram translated = MicroAssembler::assemble(text);
    if (translated.ok()) {
        current() = translated.records;
    }
    return translated;
}

} // namespace tessaro::web
