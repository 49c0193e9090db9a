// The debugging component: breakpoints by line and by address, and the marks a new program
// keeps.

#include "machine/debugger.h"
#include "tests/support/machine.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

namespace tessaro::testing {
namespace {

// Lines 2, 5, 6 and 7 start instructions; 3 is blank, 4 a comment, 8 the end.
const char* const kProgram = ".main\nBIPUSH 7\n\n// two more\nloop: BIPUSH 3\nIADD\nHALT\n"
                             ".end-main\n";

class DebuggerTest : public ::testing::Test {
protected:
    std::unique_ptr<MachineSession> session = makeSession();
    Debugger& debugger() { return session->debugger(); }

    void load(const std::string& source) {
        ASSERT_TRUE(session->compileAndLoadText(source).loaded) << source;
    }
    // The addresses the machine's run loop stops at.
    std::set<std::int32_t> machineMarks() const {
        std::set<std::int32_t> marked;
        for (std::int32_t a = 0; a < 64; ++a) {
            if (session->machine().hasPcBreakpoint(a)) {
                marked.insert(a);
            }
        }
        return marked;
    }
};

TEST_F(DebuggerTest, ALineMarksItsInstructionOrTheFirstOneBelow) {
    struct Case {
        int line;
        std::optional<int> marked; // the line whose instruction is marked
    };
    const Case cases[] = {{1, 2}, {2, 2}, {3, 5}, {4, 5}, {6, 6}, {7, 7}, {8, std::nullopt}};
    load(kProgram);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::optional<LineToggle> on = debugger().toggleLineBreakpoint(c.line);
        ASSERT_EQ(on.has_value(), c.marked.has_value());
        if (!on) {
            EXPECT_TRUE(debugger().pcBreakpoints().empty());
            continue;
        }
        EXPECT_EQ(on->line, *c.marked);
        EXPECT_TRUE(on->on);
        EXPECT_EQ(debugger().markedLines(), std::set<int>{*c.marked});
        const std::int32_t address = *debugger().pcBreakpoints().begin();
        EXPECT_EQ(debugger().lineOf(address), *c.marked);
        EXPECT_EQ(machineMarks(), std::set<std::int32_t>{address});
        // The same press again takes the mark away, from the machine too.
        EXPECT_FALSE(debugger().toggleLineBreakpoint(c.line)->on);
        EXPECT_TRUE(debugger().markedLines().empty());
        EXPECT_TRUE(machineMarks().empty());
        EXPECT_FALSE(session->machine().hasBreakpoints());
    }
}

TEST_F(DebuggerTest, LinesAreCountedAsAnEditorShowsThem) {
    std::string crlf;
    for (const char c : std::string(kProgram)) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    load(kProgram);
    const std::vector<InstructionLine> lines = debugger().instructionLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines.front().line, 2);
    EXPECT_EQ(lines.back().line, 7);
    load(crlf);
    EXPECT_EQ(debugger().instructionLines(), lines);
    // A line break as the very first byte starts line 2.
    load("\n" + std::string(kProgram));
    EXPECT_EQ(debugger().instructionLines().front().line, 3);
    EXPECT_EQ(debugger().instructionLines().back().line, 8);
    // Only the first byte of an instruction starts it.
    EXPECT_EQ(debugger().lineOf(lines.front().address + 1), 0);
}

// A new program keeps the marks of the lines that still hold an instruction, at the
// instructions' new addresses; the machine stops at those and at nothing left over.
TEST_F(DebuggerTest, AMarkStaysOnEveryLineThatStillHoldsAnInstruction) {
    struct Case {
        const char* name;
        std::string source;
        std::set<int> kept;
    };
    const Case cases[] = {
        {"the same text", kProgram, {2, 5, 6}},
        {"line 5 emptied, a shorter instruction above",
         ".main\nNOP\n\n// two more\n\nIADD\nHALT\n.end-main\n",
         {2, 6}},
        {"a shorter program", ".main\nHALT\n.end-main\n", {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(kProgram);
        debugger().clearPcBreakpoints();
        for (const int line : {2, 5, 6}) {
            debugger().toggleLineBreakpoint(line);
        }
        debugger().setMicroBreakpoint(opcode::IADD, true);
        load(c.source);
        EXPECT_EQ(debugger().markedLines(), c.kept);
        std::set<std::int32_t> expected;
        for (const InstructionLine& instruction : debugger().instructionLines()) {
            if (c.kept.contains(instruction.line)) {
                expected.insert(instruction.address);
            }
        }
        EXPECT_EQ(debugger().pcBreakpoints(), expected);
        EXPECT_EQ(machineMarks(), expected);
        EXPECT_TRUE(session->machine().hasMicroBreakpoint(opcode::IADD));
    }
}

TEST_F(DebuggerTest, MarksOutsideTheMachineAreIgnoredAndClearingLeavesNone) {
    load(kProgram);
    debugger().setPcBreakpoint(-1, true);
    debugger().setPcBreakpoint(ControlPath::kMaxPcBreakpoint + 1, true);
    debugger().setMicroBreakpoint(DecodedStore::kSize, true);
    EXPECT_TRUE(debugger().pcBreakpoints().empty());
    EXPECT_TRUE(debugger().microBreakpoints().empty());
    EXPECT_FALSE(session->machine().hasBreakpoints());
    // The first and the last address are inside.
    for (const std::int32_t edge : {0, ControlPath::kMaxPcBreakpoint}) {
        debugger().setPcBreakpoint(edge, true);
        EXPECT_TRUE(session->machine().hasPcBreakpoint(edge)) << edge;
        EXPECT_TRUE(debugger().pcBreakpoints().contains(edge)) << edge;
        debugger().setPcBreakpoint(edge, false);
    }
    EXPECT_FALSE(session->machine().hasBreakpoints());
    // On and off again, a micro-address leaves no mark behind.
    EXPECT_TRUE(debugger().toggleMicroBreakpoint(opcode::IADD));
    EXPECT_FALSE(debugger().toggleMicroBreakpoint(opcode::IADD));
    EXPECT_FALSE(session->machine().hasBreakpoints());
    EXPECT_TRUE(debugger().toggleMicroBreakpoint(opcode::IADD));
    debugger().toggleLineBreakpoint(2);
    debugger().clearBreakpoints();
    EXPECT_TRUE(debugger().microBreakpoints().empty());
    EXPECT_TRUE(debugger().markedLines().empty());
    EXPECT_FALSE(session->machine().hasBreakpoints());
    EXPECT_TRUE(machineMarks().empty());
    EXPECT_FALSE(session->machine().hasMicroBreakpoint(opcode::IADD));
}

} // namespace
} // namespace tessaro::testing
