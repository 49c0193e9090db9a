#pragma once

#include <string_view>
#include <vector>

namespace tessaro {

/// One file compiled into the program: its plain file name and its text.
struct BundledFile {
    std::string_view name;
    std::string_view text;
};

/// The IJVM microprogram (velkora.mal) as shipped with this build.
std::string_view bundledMicroprogram();

/// The example IJVM programs (examples/*.jvm) as shipped with this build, in a fixed order.
const std::vector<BundledFile>& bundledExamples();

} // namespace tessaro
