#include "presentation/datapath_geometry.h"

#include <charconv>

namespace tessaro::geometry {

namespace {

// The number after a prefix, or -1 when the name is not prefix + decimal digits.
int numberAfter(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) {
        return -1;
    }
    const std::string_view digits = name.substr(prefix.size());
    if (digits.front() == '0') {
        return -1;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return -1;
    }
    return value;
}

} // namespace

Rect labelRect(std::string_view objectName) {
    if (objectName == "LabelBusC") {
        return labelRect(LabelId::BusCCaption);
    }
    if (const int l = numberAfter(objectName, "L"); l >= 1 && l <= kMirBits) {
        return mirBitRect(l - 1);
    }
    const int n = numberAfter(objectName, "Label");
    if (n >= 11 && n <= 20) {
        return registerLabelRect(n - 11);
    }
    switch (n) {
    case 1:
        return labelRect(LabelId::MPC);
    case 27:
        return labelRect(LabelId::BusB);
    case 28:
        return labelRect(LabelId::BusC);
    case 29:
        return labelRect(LabelId::N);
    case 30:
        return labelRect(LabelId::Z);
    default:
        return {};
    }
}

} // namespace tessaro::geometry
