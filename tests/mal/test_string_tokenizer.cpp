#include "core/reader/string_tokenizer.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaro {
namespace {

TEST(StringTokenizer, Scan) {
    const std::string longName(80, 'A');
    const std::string longNumber(60, '7');
    const struct {
        std::string text;
        std::string delimiters;
        std::string elements; // "text:type" separated by blanks
        std::string illegal;
        bool cut;
    } rows[] = {
        {"a, 2b", ",", "a:2 ,:1 2:3 b:2", "", false},
        {"MAR=SP=SP-1;RD", "=+-~|&;<>()", "MAR:2 =:1 SP:2 =:1 SP:2 -:1 1:3 ;:1 RD:2", "", false},
        // A number stops at the first letter: the radix prefix becomes an identifier of its own.
        {"0X100", "()", "0:3 X100:2", "", false},
        {"  a1b2   c  ", "", "a1b2:2 c:2", "", false},
        // A letter in the delimiter set is a delimiter where an element starts, but an
        // identifier already under way takes it in.
        {"ax xa", "a", "a:1 x:2 xa:2", "", false},
        {"", ",", "", "", false},
        {"     ", ",", "", "", false},
        {"a b\nc d", "", "a:2 b:2", "", false},
        {std::string("a\0b", 3), "", "a:2", "", false},
        {"a   \n b", "", "a:2", "", false},
        // Foreign characters are skipped and kept.
        {"GOTO MAIN_1.\tX\xC3\xA8;", ";", "GOTO:2 MAIN:2 1:3 X:2 ;:1", "_.\t\xC3\xA8", false},
        {"____....", "", "", "____....", false},
        // Runs are cut at 49 bytes.
        {longName + " = " + longNumber + " X", "=",
         std::string(49, 'A') + ":2 =:1 " + std::string(49, '7') + ":3 X:2", "", true},
        {std::string(49, 'B'), "", std::string(49, 'B') + ":2", "", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        StringTokenizer t(row.text, row.delimiters);
        std::string elements;
        for (const TokenElem& e : t) {
            elements += (elements.empty() ? "" : " ") + e.text + ":" + std::to_string(int(e.type));
        }
        EXPECT_EQ(elements, row.elements);
        EXPECT_EQ(t.illegal, row.illegal);
        EXPECT_EQ(t.cut, row.cut);
        EXPECT_EQ(t.current, 0);
    }
}

struct Step {
    int offset;
    int advance;
    bool mark;
    const char* expected; // what it finds, then the cursor, the marked element and its type
};

void walk(StringTokenizer& t, const std::vector<Step>& steps) {
    for (const Step& s : steps) {
        const TokenElem* e = t.getToken(s.offset, s.advance, s.mark);
        EXPECT_EQ((e ? e->text : "-") + " " + std::to_string(t.current) + " " +
                      (t.currentElem ? t.currentElem->text : "-") + " " +
                      std::to_string(t.currentType),
                  s.expected)
            << s.offset << " " << s.advance;
    }
}

TEST(StringTokenizer, GetTokenMovesMarksAndIgnoresOutOfRange) {
    StringTokenizer t("A = B ;", "=;");
    walk(t, {{0, 1, true, "A 1 A 2"},
             {1, 0, false, "B 2 A 2"}, // a peek neither moves nor marks
             {-1, 2, true, "= 3 = 1"}, // a look back lands on the element, then advances
             {0, 1, true, "; 4 ; 1"}});
    StringTokenizer u("A B C", "");
    // clang-format off
    walk(u, {{1, 0, true, "B 1 B 2"}, {-2, 7, true, "- 1 B 2"}, {2, 7, true, "- 1 B 2"},
             {5, 7, true, "- 1 B 2"}, {-100, 7, true, "- 1 B 2"}, {1000000, 7, true, "- 1 B 2"},
             {3, 1, true, "- 1 B 2"},
             // Past the end the cursor reads nothing, but looking back still works.
             {1, 5, true, "C 7 C 2"}, {0, 0, true, "- 7 C 2"}, {-5, 0, true, "C 2 C 2"}});
    // clang-format on
    StringTokenizer empty("", ",");
    walk(empty, {{0, 1, true, "- 0 - 0"}});
}

TEST(StringTokenizer, SeekIgnoresPositionsOutsideTheList) {
    StringTokenizer t("A B C D", "");
    // position, mode (0 from the start, 1 from the cursor, 2 from the end), cursor after
    const int steps[][3] = {{2, 0, 2}, {1, 1, 3},  {1, 1, 3}, {4, 2, 0},
                            {0, 2, 0}, {-1, 0, 0}, {1, 2, 3}, {-3, 1, 0}};
    for (const auto& [position, mode, expected] : steps) {
        t.seek(position, mode);
        EXPECT_EQ(t.current, expected) << position << " " << mode;
    }
    StringTokenizer empty("", "");
    empty.seek(0, 0);
    EXPECT_EQ(empty.current, 0);
}

} // namespace
} // namespace tessaro
