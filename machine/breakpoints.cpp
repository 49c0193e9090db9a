#include "machine/control_path.h"

namespace tessaro {

// The flags live in two places: m_breakFlags, which outlives the decoded entries, and the
// decoded entry itself, which the breaking loop reads.
void ControlPath::setBreakFlag(std::uint32_t address, std::uint8_t flag, bool on) {
    std::uint8_t& flags = m_breakFlags[address];
    flags = on ? static_cast<std::uint8_t>(flags | flag) : static_cast<std::uint8_t>(flags & ~flag);
    m_decoded[address].breakFlags = flags;
}

void ControlPath::setMicroBreakpoint(std::uint32_t address, bool on) {
    if (address >= DecodedStore::kSize || hasMicroBreakpoint(address) == on) {
        return;
    }
    setBreakFlag(address, kBreakHere, on);
    m_breakpointCount += on ? 1 : -1;
}

bool ControlPath::hasMicroBreakpoint(std::uint32_t address) const {
    return address < DecodedStore::kSize && (m_breakFlags[address] & kBreakHere) != 0;
}

void ControlPath::setPcBreakpoint(std::int32_t address, bool on) {
    if (address < 0 || address > kMaxPcBreakpoint || hasPcBreakpoint(address) == on) {
        return;
    }
    const auto at = static_cast<std::size_t>(address);
    if (at >= m_pcBreaks.size()) {
        m_pcBreaks.resize(at + 1, 0);
    }
    m_pcBreaks[at] = static_cast<std::uint8_t>(on);
    m_pcBreakpointCount += on ? 1 : -1;
    m_breakpointCount += on ? 1 : -1;
    // Instruction boundaries are the visits of the main loop: only there is PC looked at.
    setBreakFlag(static_cast<std::uint32_t>(kMainLoop), kBreakOnPc, m_pcBreakpointCount != 0);
}

bool ControlPath::hasPcBreakpoint(std::int32_t address) const {
    return address >= 0 && static_cast<std::size_t>(address) < m_pcBreaks.size() &&
           m_pcBreaks[static_cast<std::size_t>(address)] != 0;
}

void ControlPath::clearBreakpoints() {
    for (std::uint32_t address = 0; address < DecodedStore::kSize; ++address) {
        m_breakFlags[address] = 0;
        m_decoded[address].breakFlags = 0;
    }
    m_pcBreaks.clear();
    m_pcBreakpointCount = 0;
    m_breakpointCount = 0;
}

} // namespace tessaro
