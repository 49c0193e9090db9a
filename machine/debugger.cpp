#include "machine/debugger.h"

#include <algorithm>
#include <limits>
#include <string_view>

namespace tessaro {

namespace {

// Where each line break of text ends. CR LF, a lone CR and LF each end a line, as an editor
// shows them, so that the lines match the ones the user sees.
std::vector<std::uint32_t> lineBreaks(const std::string& text) {
    std::vector<std::uint32_t> breaks;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            i += std::string_view(text).substr(i, 2) == "\r\n" ? 1 : 0;
            breaks.push_back(static_cast<std::uint32_t>(i));
        }
    }
    return breaks;
}

std::vector<InstructionLine> findInstructionLines(const ControlPath& machine) {
    const std::vector<std::uint32_t> breaks = lineBreaks(machine.programSource);
    std::vector<InstructionLine> lines;
    const std::uint32_t* previous = nullptr;
    for (std::int32_t address = 0; address < machine.methodAreaSize; ++address) {
        const std::uint32_t* offset = machine.sourceMap.peek(static_cast<std::uint32_t>(address));
        // Every byte of an instruction maps to its source: the first one starts it.
        if (offset != nullptr && (previous == nullptr || *previous != *offset)) {
            // A line's number is one more than the breaks before it.
            const auto line =
                std::lower_bound(breaks.begin(), breaks.end(), *offset) - breaks.begin() + 1;
            lines.push_back({static_cast<int>(line), address});
        }
        previous = offset;
    }
    return lines;
}

} // namespace

void Debugger::setMicroBreakpoint(std::uint32_t address, bool on) {
    if (address >= DecodedStore::kSize) {
        return;
    }
    if (on) {
        m_micro.insert(address);
    } else {
        m_micro.erase(address);
    }
    m_machine.setMicroBreakpoint(address, on);
}

bool Debugger::toggleMicroBreakpoint(std::uint32_t address) {
    setMicroBreakpoint(address, !m_micro.contains(address));
    return m_micro.contains(address);
}

void Debugger::setPcBreakpoint(std::int32_t address, bool on) {
    if (address < 0 || address > ControlPath::kMaxPcBreakpoint) {
        return;
    }
    if (on) {
        m_pc.insert(address);
    } else {
        m_pc.erase(address);
    }
    m_machine.setPcBreakpoint(address, on);
}

std::optional<LineToggle> Debugger::toggleLineBreakpoint(int line) {
    for (const InstructionLine& instruction : instructionLines()) {
        if (instruction.line >= line) {
            const bool on = !m_pc.contains(instruction.address);
            setPcBreakpoint(instruction.address, on);
            return LineToggle{instruction.line, on};
        }
    }
    return std::nullopt;
}

std::set<int> Debugger::markedLines() const {
    std::set<int> lines;
    if (m_pc.empty()) {
        return lines;
    }
    for (const InstructionLine& instruction : instructionLines()) {
        if (m_pc.contains(instruction.address)) {
            lines.insert(instruction.line);
        }
    }
    return lines;
}

void Debugger::clearPcBreakpoints() {
    for (const std::int32_t address : m_pc) {
        m_machine.setPcBreakpoint(address, false);
    }
    m_pc.clear();
}

void Debugger::clearBreakpoints() {
    m_micro.clear();
    m_pc.clear();
    m_machine.clearBreakpoints();
}

const std::vector<InstructionLine>& Debugger::instructionLines() const {
    if (!m_lines) {
        m_lines = findInstructionLines(m_machine);
    }
    return *m_lines;
}

int Debugger::lineOf(std::int32_t address) const {
    const std::vector<InstructionLine>& lines = instructionLines();
    const auto found = std::lower_bound(
        lines.begin(), lines.end(), address,
        [](const InstructionLine& instruction, std::int32_t a) { return instruction.address < a; });
    return found != lines.end() && found->address == address ? found->line : 0;
}

void Debugger::programReplaced(const std::set<int>& lines) {
    m_lines.reset();
    clearPcBreakpoints();
    // A program without marks need not have its lines found (a batch run of a large one).
    if (lines.empty()) {
        return;
    }
    for (const InstructionLine& instruction : instructionLines()) {
        if (lines.contains(instruction.line)) {
            setPcBreakpoint(instruction.address, true);
        }
    }
}

void Debugger::setKeepHistory(bool keep) {
    m_keepHistory = keep;
    if (!keep) {
        m_history.clear();
    }
}

void Debugger::restartHistory() {
    if (m_keepHistory) {
        m_history.start(m_machine);
    } else {
        m_history.clear();
    }
}

std::int64_t Debugger::stepsBeforeCheckpoint() const {
    return m_keepHistory ? m_history.stepsToCheckpoint(m_machine)
                         : std::numeric_limits<std::int64_t>::max();
}

void Debugger::noteExecuted() {
    if (m_keepHistory) {
        m_history.checkpointIfDue(m_machine);
    }
}

bool Debugger::canGoBack() const {
    return m_history.started() && m_machine.microCount > m_history.firstCount();
}

std::int64_t Debugger::ijvmStepBackTarget() const {
    // The last dispatch from the main loop is where the latest instruction began; before the
    // first one the machine stands where the history begins.
    const ExecutionCounts& counts = m_machine.counts;
    std::int64_t target = m_history.firstCount();
    if (counts.currentOpcode >= 0) {
        target = std::max(target, counts.currentStart);
    }
    return std::min(target, m_machine.microCount - 1);
}

bool Debugger::rewindTo(std::int64_t target) {
    return canGoBack() && m_history.rewindTo(m_machine, target);
}

} // namespace tessaro
