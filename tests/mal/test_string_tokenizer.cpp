#include "core/reader/string_tokenizer.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaro {
namespace {

// The elements as "text:type" separated by blanks.
std::string elements(StringTokenizer& t) {
    std::string out;
    for (const TokenElem& e : t) {
        out += (out.empty() ? "" : " ") + e.text + ":" + std::to_string(int(e.type));
    }
    return out;
}

std::string elements(const std::string& text, const std::string& delimiters) {
    StringTokenizer t(text, delimiters);
    return elements(t);
}

TEST(StringTokenizerScan, SplitsDelimitersIdentifiersAndNumbers) {
    EXPECT_EQ(elements("a, 2b", ","), "a:2 ,:1 2:3 b:2");
    EXPECT_EQ(elements("MAR=SP=SP-1;RD", "=+-~|&;<>()"),
              "MAR:2 =:1 SP:2 =:1 SP:2 -:1 1:3 ;:1 RD:2");
    // A number stops at the first letter: the radix prefix becomes an identifier of its own.
    EXPECT_EQ(elements("0X100", "()"), "0:3 X100:2");
    EXPECT_EQ(elements("  a1b2   c  ", ""), "a1b2:2 c:2");
    // A letter in the delimiter set is a delimiter where an element starts, but an identifier
    // already under way takes it in.
    EXPECT_EQ(elements("ax xa", "a"), "a:1 x:2 xa:2");
}

TEST(StringTokenizerScan, EmptyAndBlankTextsGiveNothing) {
    for (const char* text : {"", "     "}) {
        StringTokenizer t(text, ",");
        EXPECT_EQ(t.count, 0);
        EXPECT_EQ(t.getToken(0, 1, true), nullptr);
        EXPECT_EQ(t.current, 0);
        EXPECT_TRUE(t.illegal.empty());
    }
}

TEST(StringTokenizerScan, StopsAtLineFeedAndNul) {
    EXPECT_EQ(elements("a b\nc d", ""), "a:2 b:2");
    EXPECT_EQ(elements(std::string("a\0b", 3), ""), "a:2");
    EXPECT_EQ(elements("a   \n b", ""), "a:2");
}

TEST(StringTokenizerScan, ForeignCharactersAreSkippedAndKept) {
    StringTokenizer t("GOTO MAIN_1.\tX\xC3\xA8;", ";");
    EXPECT_EQ(elements(t), "GOTO:2 MAIN:2 1:3 X:2 ;:1");
    EXPECT_EQ(t.illegal, "_.\t\xC3\xA8");
    // Only foreign characters: the scan still ends.
    StringTokenizer only("____....", "");
    EXPECT_EQ(only.count, 0);
    EXPECT_EQ(only.illegal, "____....");
}

TEST(StringTokenizerScan, LongRunsAreCutAt49Bytes) {
    const std::string name(80, 'A');
    const std::string digits(60, '7');
    StringTokenizer t(name + " = " + digits + " X", "=");
    ASSERT_EQ(t.count, 4);
    EXPECT_EQ(t[0].text, std::string(49, 'A'));
    EXPECT_EQ(t[1].text, "=");
    EXPECT_EQ(t[2].text, std::string(49, '7'));
    EXPECT_EQ(t[3].text, "X");
    EXPECT_TRUE(t.cut);
    StringTokenizer exact(std::string(49, 'B'), "");
    ASSERT_EQ(exact.count, 1);
    EXPECT_EQ(exact[0].text.size(), 49u);
    EXPECT_FALSE(exact.cut);
}

TEST(StringTokenizerCursor, GetTokenMovesAndMarks) {
    StringTokenizer t("A = B ;", "=;");
    TokenElem* e = t.getToken(0, 1, true);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->text, "A");
    EXPECT_EQ(t.current, 1);
    EXPECT_EQ(t.currentElem, e);
    EXPECT_EQ(t.currentType, 2);

    // Peek without moving and without marking.
    e = t.getToken(1, 0, false);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->text, "B");
    EXPECT_EQ(t.current, 2);
    EXPECT_EQ(t.currentElem->text, "A");
    EXPECT_EQ(t.currentType, 2);

    // Look back: the cursor lands on the element, then advances.
    e = t.getToken(-1, 2, true);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->text, "=");
    EXPECT_EQ(t.currentType, 1);
    EXPECT_EQ(t.current, 3);

    e = t.getToken(0, 1, true);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(t.currentType, 1); // ";"
    EXPECT_EQ(t.current, 4);
    EXPECT_EQ(t.currentElem->text, ";");
}

TEST(StringTokenizerCursor, OutOfRangeChangesNothing) {
    StringTokenizer t("A B C", "");
    t.getToken(1, 0, true);
    ASSERT_EQ(t.current, 1);
    for (int offset : {-2, 2, 5, -100, 1000000}) {
        EXPECT_EQ(t.getToken(offset, 7, true), nullptr) << offset;
        EXPECT_EQ(t.current, 1);
        EXPECT_EQ(t.currentElem->text, "B");
    }
    EXPECT_EQ(t.getToken(3, 1, true), nullptr);
    EXPECT_EQ(t.current, 1);
    // A cursor advanced past the end reads nothing, but looking back still works.
    t.getToken(1, 5, true);
    EXPECT_EQ(t.current, 7);
    EXPECT_EQ(t.getToken(0, 0, true), nullptr);
    ASSERT_NE(t.getToken(-5, 0, true), nullptr);
    EXPECT_EQ(t.currentElem->text, "C");
}

TEST(StringTokenizerCursor, SeekIgnoresPositionsOutsideTheList) {
    StringTokenizer t("A B C D", "");
    t.seek(2, 0);
    EXPECT_EQ(t.current, 2);
    t.seek(1, 1);
    EXPECT_EQ(t.current, 3);
    t.seek(1, 1); // would be 4 == count
    EXPECT_EQ(t.current, 3);
    t.seek(4, 2);
    EXPECT_EQ(t.current, 0);
    t.seek(0, 2); // count - 0 is past the end
    EXPECT_EQ(t.current, 0);
    t.seek(-1, 0);
    EXPECT_EQ(t.current, 0);
    t.seek(1, 2);
    EXPECT_EQ(t.current, 3);
    t.seek(-3, 1);
    EXPECT_EQ(t.current, 0);
    StringTokenizer empty("", "");
    empty.seek(0, 0);
    EXPECT_EQ(empty.current, 0);
}

} // namespace
} // namespace tessaro
