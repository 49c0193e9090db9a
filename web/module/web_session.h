#pragma once

#include "machine/machine_session.h"
#include "presentation/error_list.h"
#include "presentation/machine_texts.h"

#include <emscripten/val.h>

#include <memory>
#include <string>

namespace tessaro::web {

/// The interactive machine of the page: a MachineSession on the current microprogram, with
/// the program's text kept for placing errors and the current line, and every answer in the
/// shapes the page reads (outcome names, plain objects).
class WebSession {
public:
    WebSession();

    /// Assembles and loads text: {loaded, errors: [{message, line, start, length}]}. The marks
    /// stay on the lines that still hold an instruction.
    emscripten::val compile(const std::string& text);
    /// Translates a microprogram and, without problems, puts it in place of the control store
    /// (a run is abandoned, a loaded program restarts): {ok, problems: [{line, message}]}.
    emscripten::val loadMicroprogram(const std::string& text);

    std::string microStep();
    std::string subCycle();
    std::string ijvmStep();
    std::string startRun();
    /// The next slice of a run, budget micro-instructions at most.
    std::string runSlice(double budget);
    void requestStop() { m_session.requestStop(); }
    std::string reset();
    std::string stepBackMicro();
    std::string stepBackIjvm();

    void setInput(int value) { m_session.setInput(value); }
    /// Marks or unmarks the instruction on line (from 1) or the first one below it: {line, on},
    /// line 0 when no instruction starts there or below.
    emscripten::val toggleLineBreakpoint(int line);
    /// Marks or unmarks a micro-address; whether it is marked now.
    bool toggleMicroBreakpoint(int address);
    /// Unmarks every instruction (another program comes into the editor).
    void clearLineBreakpoints() { m_session.debugger().clearPcBreakpoints(); }
    double microInstructions() const { return static_cast<double>(m_session.microInstructions()); }

    /// Everything the page shows of the machine, with the marked lines (breakpointLines) and
    /// micro-addresses (microBreakpoints); options: {addressRadix, valueRadix,
    /// rawMethodArea, linkPointer, previousPc, previousLv}.
    emscripten::val view(const emscripten::val& options);
    /// The listing text of every micro-address (empty where nothing is stored).
    emscripten::val listing() const;
    /// Where the time went: the table `tessaro-cli run --stats` prints.
    std::string statistics() const;

private:
    std::string finish(Outcome outcome);
    /// The 1-based line of a byte offset into the program's text.
    int lineOf(std::uint32_t offset) const;

    MachineSession m_session;
    MachineTexts m_texts;
    std::string m_source;
    SubCyclePhase m_shown = SubCyclePhase::CBus;
};

/// Registers WebSession with embind.
void bindSession();

/// The errors as the page reads them.
emscripten::val errorsValue(const std::vector<ListedError>& errors);

} // namespace tessaro::web
