// What the front ends say about an outcome and list for the assembler's errors, without widgets.

#include "ijvm/ijvm_assembler.h"
#include "presentation/error_list.h"
#include "presentation/outcome_message.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tessaro {
namespace {

struct OutcomeCase {
    Outcome outcome;
    OutcomeAudience audience;
    OutcomeFacts facts;
    const char* italian; // nullptr: nothing to say
    const char* english;
};

OutcomeFacts facts(RunKind kind = RunKind::Run) {
    OutcomeFacts f;
    f.kind = kind;
    f.executed = 3'000'000;
    f.seconds = 1.5;
    f.bound = 500;
    f.memoryLimit = 4096;
    f.pc = 17;
    f.microInstructions = 42;
    return f;
}

OutcomeFacts breakpoint(BreakpointStop::Kind kind, int line) {
    OutcomeFacts f = facts();
    f.breakpoint = {kind, 9};
    f.breakpointLine = line;
    return f;
}

OutcomeFacts back() {
    OutcomeFacts f = facts(RunKind::None);
    f.steppedBack = true;
    return f;
}

TEST(OutcomeMessages, EachFrontEndPutsAnOutcomeIntoItsOwnWords) {
    using enum OutcomeAudience;
    const OutcomeCase cases[] = {
        {Outcome::Halted, CommandLine, facts(), nullptr, nullptr},
        {Outcome::Err, BrowserModule, facts(), "il programma si è fermato con ERR",
         "the program stopped with ERR"},
        {Outcome::SliceDone, CommandLine, facts(), "nessun HALT entro 500 micro-istruzioni",
         "no HALT within 500 micro-instructions"},
        {Outcome::OutsideProgram, BrowserModule, facts(),
         "il programma è andato oltre la fine del suo codice (PC = 17) senza HALT",
         "the program ran past the end of its code (PC = 17) without HALT"},
        {Outcome::MemoryFull, CommandLine, facts(),
         "il programma richiede più di 4096 parole di memoria, il limite (--memory-limit N ne "
         "fissa un altro); fermato a PC = 17",
         "the program needs more than 4096 words of memory, the limit (--memory-limit N sets "
         "another); stopped at PC = 17"},
        {Outcome::MemoryFull, BrowserModule, facts(),
         "il programma richiede più di 4096 parole di memoria, il limite; fermato a PC = 17",
         "the program needs more than 4096 words of memory, the limit; stopped at PC = 17"},
        {Outcome::SliceDone, Window, facts(),
         "In esecuzione: 3000000 micro-istruzioni in 1.50 s (2.0 milioni al secondo)",
         "Running: 3000000 micro-instructions in 1.50 s (2.0 million per second)"},
        {Outcome::Halted, Window, facts(),
         "Programma terminato (HALT): 3000000 micro-istruzioni in 1.50 s (2.0 milioni al "
         "secondo)",
         "Program ended (HALT): 3000000 micro-instructions in 1.50 s (2.0 million per second)"},
        {Outcome::Halted, Window, facts(RunKind::IjvmStep), nullptr, nullptr},
        {Outcome::BoundReached, Window, facts(RunKind::IjvmStep),
         "Istruzione IJVM interrotta: il ciclo principale non è stato raggiunto dopo 3000000 "
         "micro-istruzioni",
         "IJVM instruction interrupted: the main loop was not reached after 3000000 "
         "micro-instructions"},
        {Outcome::MemoryFull, Window, facts(RunKind::None),
         "Esecuzione fermata: il programma usa più di 4096 parole di memoria, il limite (Reset "
         "o Indietro per continuare)",
         "Execution stopped: the program uses more than 4096 words of memory, the limit (Reset "
         "or Back to go on)"},
        {Outcome::BreakpointHit, Window, breakpoint(BreakpointStop::Kind::Micro, 0),
         "Fermato dal punto di arresto sul micro-indirizzo 9",
         "Stopped by the breakpoint at micro-address 9"},
        {Outcome::BreakpointHit, Window, breakpoint(BreakpointStop::Kind::Pc, 12),
         "Fermato dal punto di arresto alla riga 12 (PC = 9)",
         "Stopped by the breakpoint on line 12 (PC = 9)"},
        {Outcome::BreakpointHit, Window, breakpoint(BreakpointStop::Kind::Pc, 0),
         "Fermato dal punto di arresto a PC = 9", "Stopped by the breakpoint at PC = 9"},
        {Outcome::AtHistoryStart, Window, back(),
         "Indietro: la macchina è già all'ultimo reset o caricamento",
         "Back: the machine is already at the last reset or load"},
        {Outcome::Done, Window, back(), "Indietro: 42 micro-istruzioni dal reset",
         "Back: 42 micro-instructions since the reset"},
    };
    for (const OutcomeCase& c : cases) {
        const std::optional<Message> message = outcomeMessage(c.outcome, c.facts, c.audience);
        SCOPED_TRACE(static_cast<int>(c.outcome));
        ASSERT_EQ(message.has_value(), c.italian != nullptr);
        if (message) {
            EXPECT_EQ(messageText(*message, Language::Italian), c.italian);
            EXPECT_EQ(messageText(*message, Language::English), c.english);
        }
    }
}

TEST(OutcomeMessages, ARunTooShortToTimeStillHasASpeed) {
    OutcomeFacts f = facts();
    f.seconds = 0;
    f.executed = 5000;
    const std::optional<Message> message =
        outcomeMessage(Outcome::Stopped, f, OutcomeAudience::Window);
    ASSERT_TRUE(message);
    EXPECT_EQ(messageText(*message, Language::English),
              "Run stopped: 5000 micro-instructions in 0.00 s (5.0 million per second)");
}

// The list selects in the editor's text, which counts UTF-16 units: a character outside the
// basic plane before an error takes two.
TEST(ErrorList, LinesAndSelectionsFollowTheTextAsTheEditorHoldsIt) {
    struct Case {
        const char* source;
        SourceOffsets::FinalLineBreak finalBreak;
        int line;
        int start;
    };
    const Case cases[] = {
        {".main\nBIPUSH x\n.end-main\n", SourceOffsets::FinalLineBreak::Kept, 2, 13},
        {".main\r\nBIPUSH x\r\n.end-main\r\n", SourceOffsets::FinalLineBreak::Dropped, 2, 13},
        {"// \xF0\x9F\x98\x80\n.main\nBIPUSH x\n.end-main\n", SourceOffsets::FinalLineBreak::Kept,
         3, 19},
        {"// \xE8\n.main\nBIPUSH x\n.end-main\n", SourceOffsets::FinalLineBreak::Dropped, 3, 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        IjvmAssembler assembler;
        assembler.compileText(c.source);
        const std::vector<ListedError> errors =
            errorList(assembler.errors, SourceOffsets(c.source, c.finalBreak));
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].message, assembler.errors.begin()->message);
        EXPECT_EQ(errors[0].line, c.line);
        EXPECT_EQ(errors[0].selected.start, c.start);
        EXPECT_EQ(errors[0].selected.length, 1);
    }
}

} // namespace
} // namespace tessaro
