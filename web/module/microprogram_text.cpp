#include "web/module/microprogram_text.h"

#include "data/bundled.h"
#include "web/module/scratch_files.h"

#include <cstdio>
#include <fstream>

namespace tessaro::web {

bool writeTextFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out);
}

MicroprogramTranslation translateText(const std::string& text, const std::string& binPath) {
    MicroprogramTranslation result;
    if (!writeTextFile(scratch::kMicroprogram, text)) {
        result.problems.push_back({0, "cannot write the microprogram's scratch file"});
        return result;
    }
    MicroAssembler assembler(scratch::kMicroprogram, binPath);
    assembler.tryRun();
    result.problems = assembler.problems;
    return result;
}

namespace {

bool g_storeReady = false;

} // namespace

const std::string& currentControlStore() {
    if (!g_storeReady) {
        // The bundled microprogram always translates; a failure here would be a broken build.
        g_storeReady =
            translateText(std::string(bundledMicroprogram()), scratch::kControlStore).ok();
    }
    return scratch::kControlStore;
}

MicroprogramTranslation useMicroprogram(const std::string& text) {
    MicroprogramTranslation result = translateText(text, scratch::kCandidateStore);
    if (result.ok()) {
        std::rename(scratch::kCandidateStore.c_str(), scratch::kControlStore.c_str());
        g_storeReady = true;
    } else {
        std::remove(scratch::kCandidateStore.c_str());
    }
    return result;
}

} // namespace tessaro::web
