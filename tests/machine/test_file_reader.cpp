#include "core/reader/file_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using tessaro::FileReader;
using tessaro::testing_support::writeTempFile;

namespace {

// Every token nextToken returns, in order.
std::vector<std::string> tokensOf(const std::string& text) {
    FileReader reader(writeTempFile(text));
    reader.open();
    std::vector<std::string> tokens;
    while (reader.nextToken()) {
        tokens.push_back(reader.token);
    }
    return tokens;
}

using Tokens = std::vector<std::string>;

} // namespace

TEST(FileReaderTokens, SeparatorsAndRunsOfThemSplitTokens) {
    EXPECT_EQ(tokensOf("a,b\n"), (Tokens{"a", "b"}));
    EXPECT_EQ(tokensOf("a , b\n"), (Tokens{"a", "b"}));
    EXPECT_EQ(tokensOf("a\tb\n"), (Tokens{"a", "b"}));
    EXPECT_EQ(tokensOf("\r\n\r\n  ,,\t a \r\n b\r\n"), (Tokens{"a", "b"}));
    EXPECT_EQ(tokensOf(""), Tokens{});
    EXPECT_EQ(tokensOf(" \n\t,"), Tokens{});
}

TEST(FileReaderTokens, LastTokenWithoutDelimiterIsReportedAsEndButKept) {
    FileReader reader(writeTempFile("first last"));
    reader.open();
    ASSERT_TRUE(reader.nextToken());
    EXPECT_EQ(reader.token, "first");
    EXPECT_FALSE(reader.nextToken());
    EXPECT_EQ(reader.token, "last");
    EXPECT_TRUE(reader.eof());
}

TEST(FileReaderTokens, LineCommentsAreSkipped) {
    EXPECT_EQ(tokensOf("ILOAD x // load it\nBIPUSH 5\n"), (Tokens{"ILOAD", "x", "BIPUSH", "5"}));
    EXPECT_EQ(tokensOf("// whole line\n// another\nA\n"), (Tokens{"A"}));
    EXPECT_EQ(tokensOf("A // comment up to the end"), (Tokens{"A"}));
    // Glued to an operand it is part of the operand.
    EXPECT_EQ(tokensOf("x// y\n"), (Tokens{"x//", "y"}));
}

TEST(FileReaderTokens, LineCommentEndedByItsLineFeedKeepsTheNextLine) {
    EXPECT_EQ(tokensOf("ILOAD x //\nBIPUSH 5\n"), (Tokens{"ILOAD", "x", "BIPUSH", "5"}));
    EXPECT_EQ(tokensOf("//note\nA B\n"), (Tokens{"A", "B"}));
    EXPECT_EQ(tokensOf("ILOAD x //\r\nBIPUSH 5\r\n"), (Tokens{"ILOAD", "x", "BIPUSH", "5"}));
    EXPECT_EQ(tokensOf("//note\r\nA B\r\n"), (Tokens{"A", "B"}));
    EXPECT_EQ(tokensOf("//\n//\nC\n"), (Tokens{"C"}));
}

TEST(FileReaderTokens, BlockCommentsAreSkippedWhole) {
    EXPECT_EQ(tokensOf("A /* one */ B\n"), (Tokens{"A", "B"}));
    EXPECT_EQ(tokensOf("A /*one*/B\n"), (Tokens{"A", "B"}));
    EXPECT_EQ(tokensOf("A /* first\nsecond, line\n */ B\n"), (Tokens{"A", "B"}));
    EXPECT_EQ(tokensOf("/**/ B\n"), (Tokens{"B"}));
    EXPECT_EQ(tokensOf("/* a ** b **/ C\n"), (Tokens{"C"}));
    // The opener's own star does not close the comment.
    EXPECT_EQ(tokensOf("/*/ hidden */ D\n"), (Tokens{"D"}));
    // Unclosed at the end of the file: nothing more.
    EXPECT_EQ(tokensOf("E /* never closed\n"), (Tokens{"E"}));
}

TEST(FileReaderTokens, CommentOpenerGluedToAnOperandIsPartOfIt) {
    EXPECT_EQ(tokensOf("x/* y */ z\n"), (Tokens{"x/*", "y", "*/", "z"}));
}

TEST(FileReaderTokens, BlockCommentIsLookedForOnlyWithinItsWindow) {
    const std::string text = "/*" + std::string(400, ' ') + "late */ F\n";
    EXPECT_EQ(tokensOf(text), (Tokens{"late", "*/", "F"}));
}

TEST(FileReaderTokens, ManyCommentLinesDoNotExhaustTheStack) {
    std::string text;
    for (int i = 0; i < 200000; ++i) {
        text += "// c\n/* d */\n";
    }
    text += "END\n";
    EXPECT_EQ(tokensOf(text), (Tokens{"END"}));
}

TEST(FileReaderTokens, TokenStartIsTheOffsetOfTheFirstByte) {
    FileReader reader(writeTempFile("  ab, cd\n/* x */ ef\n"));
    reader.open();
    ASSERT_TRUE(reader.nextToken());
    EXPECT_EQ(reader.tokenStart, 2);
    EXPECT_EQ(reader.tell(), reader.tokenStart + static_cast<int>(reader.token.size()) + 1);
    ASSERT_TRUE(reader.nextToken());
    EXPECT_EQ(reader.token, "cd");
    EXPECT_EQ(reader.tokenStart, 6);
    ASSERT_TRUE(reader.nextToken());
    EXPECT_EQ(reader.token, "ef");
    EXPECT_EQ(reader.tokenStart, 17);
}

TEST(FileReaderTokens, ByteFFEndsTheFile) {
    EXPECT_EQ(tokensOf("a b \xFF c d\n"), (Tokens{"a", "b"}));
    FileReader reader(writeTempFile("ab\xFF"
                                    "cd"));
    reader.open();
    EXPECT_FALSE(reader.readUntil(50, " "));
    EXPECT_EQ(reader.token, "ab");
    EXPECT_FALSE(reader.readUntil(50, " ")); // still stuck at the 0xFF
    EXPECT_TRUE(reader.eof());
}

TEST(FileReaderTokens, OverlongTokensAreCutAtTheBuffer) {
    const std::string text = std::string(150, 'x') + " y\n";
    FileReader reader(writeTempFile(text));
    reader.open();
    while (reader.nextToken()) {
        EXPECT_LE(reader.token.size(), FileReader::kMaxToken);
    }
    EXPECT_EQ(tokensOf(text).back(), "y");
}

TEST(FileReaderRaw, ReadUntilStopsAtDelimiterNulOrMax) {
    FileReader reader(writeTempFile(std::string("ab;cd\0ef ghijkl\r\nz", 18)));
    reader.open();
    ASSERT_TRUE(reader.readUntil(50, ";"));
    EXPECT_EQ(reader.token, "ab");
    EXPECT_EQ(reader.lastDelimiter(), ';');
    ASSERT_TRUE(reader.readUntil(50, ";"));
    EXPECT_EQ(reader.token, "cd");
    EXPECT_EQ(reader.lastDelimiter(), 0);
    ASSERT_TRUE(reader.readUntil(50, " "));
    EXPECT_EQ(reader.token, "ef");
    // Three bytes stored, the fourth read and lost.
    ASSERT_TRUE(reader.readUntil(3, "\n"));
    EXPECT_EQ(reader.token, "ghi");
    EXPECT_EQ(reader.lastDelimiter(), -1);
    ASSERT_TRUE(reader.readUntil(50, "\n"));
    EXPECT_EQ(reader.token, "kl"); // the carriage return removed
    EXPECT_FALSE(reader.readUntil(50, "\n"));
    EXPECT_EQ(reader.token, "z");
}

TEST(FileReaderRaw, SkipPastFindsTheFirstOccurrenceWithinMax) {
    FileReader reader(writeTempFile("ab**/cd*/"));
    reader.open();
    reader.skipPast(100, "*/");
    EXPECT_EQ(reader.tell(), 5);
    reader.seek(0);
    reader.skipPast(3, "*/"); // not within three bytes
    EXPECT_LT(reader.tell(), 5);
    reader.seek(6);
    reader.skipPast(100, "xyz");
    EXPECT_TRUE(reader.eof());
}

TEST(FileReaderRaw, SeekAndEofAllowReadingAgain) {
    FileReader reader(writeTempFile("one two\n"));
    reader.open();
    while (reader.nextToken()) {
    }
    EXPECT_TRUE(reader.eof());
    reader.clearEof();
    EXPECT_FALSE(reader.eof());
    reader.seek(4);
    ASSERT_TRUE(reader.nextToken());
    EXPECT_EQ(reader.token, "two");
    reader.seek(-5);
    EXPECT_EQ(reader.tell(), 0);
    reader.seek(1000);
    EXPECT_EQ(reader.tell(), 8);
    EXPECT_FALSE(reader.nextToken());
}

TEST(FileReaderOpen, MissingFileIsReportedOrFatal) {
    FileReader reader(::testing::TempDir() + "no_such_dir/none.jvm");
    EXPECT_FALSE(reader.tryOpen());
    EXPECT_FALSE(reader.nextToken());
    EXPECT_EXIT(
        {
            dup2(2, 1);
            reader.open();
        },
        ::testing::ExitedWithCode(1),
        "^Errore nel metodo FileReader::open\\(\\): impossibile aprire il file\n$");
}

TEST(FileReaderOpen, ReadOnlyFileOpens) {
    const std::string path = writeTempFile("A\n");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    FileReader reader(path);
    EXPECT_TRUE(reader.tryOpen());
    ASSERT_TRUE(reader.nextToken());
    EXPECT_EQ(reader.token, "A");
}

TEST(FileReaderOpen, FileNameIsCutAt199Bytes) {
    FileReader reader(std::string(300, 'n'));
    EXPECT_EQ(reader.fileName.size(), 199u);
    FileReader utf(std::string(198, 'n') + "\xC3\xA8");
    EXPECT_EQ(utf.fileName.size(), 198u);
}
