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

    /// Assembles and loads text: {loaded, errors: [{message, line, start, length}],
    /// instructions: [{address, line}]}.
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
    void setPcBreakpoint(int address, bool on) { m_session.setPcBreakpoint(address, on); }
    void setMicroBreakpoint(int address, bool on) {
        m_session.setMicroBreakpoint(static_cast<std::uint32_t>(address), on);
    }
    double microInstructions() const { return static_cast<double>(m_session.microInstructions()); }

    /// Everything the page shows of the machine; options: {addressRadix, valueRadix,
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
