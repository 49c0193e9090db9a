// The source reader both assemblers tokenize with: separators, comments, offsets, raw reads.

#include "core/reader/file_reader.h"
#include "core/reader/whole_file.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

using tessaro::FileReader;
using tessaro::testing::writeScratch;

namespace {

// Every token nextToken returns, in order.
std::vector<std::string> tokensOf(const std::string& text) {
    FileReader reader(writeScratch(text));
    reader.open();
    std::vector<std::string> tokens;
    while (reader.nextToken()) {
        tokens.push_back(reader.token);
    }
    return tokens;
}

using Tokens = std::vector<std::string>;

} // namespace

TEST(FileReaderTokens, SeparatorsAndCommentsSplitTokens) {
    std::string manyComments;
    for (int i = 0; i < 200000; ++i) {
        manyComments += "// c\n/* d */\n"; // must not exhaust the stack
    }
    const std::pair<std::string, Tokens> cases[] = {
        {"a,b\n", {"a", "b"}},
        {"a\tb\n", {"a", "b"}},
        {"\r\n\r\n  ,,\t a \r\n b\r\n", {"a", "b"}},
        {"", {}},
        {" \n\t,", {}},
        {"ILOAD x // load it\nBIPUSH 5\n", {"ILOAD", "x", "BIPUSH", "5"}},
        {"A // comment up to the end", {"A"}},
        {"x// y\n", {"x//", "y"}}, // glued to an operand it is part of the operand
        {"ILOAD x //\nBIPUSH 5\n", {"ILOAD", "x", "BIPUSH", "5"}},
        {"ILOAD x //\r\nBIPUSH 5\r\n", {"ILOAD", "x", "BIPUSH", "5"}},
        {"//note\nA B\n", {"A", "B"}},
        {"//\n//\nC\n", {"C"}},
        {"A /*one*/B\n", {"A", "B"}},
        {"A /* first\nsecond, line\n */ B\n", {"A", "B"}},
        {"/**/ B\n", {"B"}},
        {"/* a ** b **/ C\n", {"C"}},
        {"/*/ hidden */ D\n", {"D"}}, // the opener's own star does not close it
        {"E /* never closed\n", {"E"}},
        {"x/* y */ z\n", {"x/*", "y", "*/", "z"}},
        {"/*" + std::string(400, ' ') + "late */ F\n", {"late", "*/", "F"}}, // looked for nearby
        {manyComments + "END\n", {"END"}},
        {"a b \xFF c d\n", {"a", "b"}}, // byte FF ends the file
        // cut at the buffer, the byte that did not fit lost
        {std::string(150, 'x') + " y\n", {std::string(100, 'x'), std::string(49, 'x'), "y"}},
    };
    for (const auto& [text, tokens] : cases) {
        EXPECT_EQ(tokensOf(text), tokens) << text.substr(0, 60);
    }
}

TEST(FileReaderTokens, LastTokenWithoutDelimiterIsReportedAsEndButKept) {
    FileReader reader(writeScratch("first last"));
    reader.open();
    ASSERT_TRUE(reader.nextToken());
    EXPECT_EQ(reader.token, "first");
    EXPECT_FALSE(reader.nextToken());
    EXPECT_EQ(reader.token, "last");
    EXPECT_TRUE(reader.eof());
}

TEST(FileReaderTokens, TokenStartIsTheOffsetOfTheFirstByte) {
    FileReader reader(writeScratch("  ab, cd\n/* x */ ef\n"));
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
    FileReader reader(writeScratch("ab\xFF"
                                   "cd"));
    reader.open();
    EXPECT_FALSE(reader.readUntil(50, " "));
    EXPECT_EQ(reader.token, "ab");
    EXPECT_FALSE(reader.readUntil(50, " ")); // still stuck at the 0xFF
    EXPECT_TRUE(reader.eof());
}

TEST(FileReaderRaw, ReadUntilStopsAtDelimiterNulOrMax) {
    FileReader reader(writeScratch(std::string("ab;cd\0ef ghijkl\r\nz", 18)));
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

    // However far a read may go, a token keeps only its first kMaxToken bytes.
    FileReader longLine(writeScratch(std::string(300, 'q') + "\nnext\n"));
    longLine.open();
    ASSERT_TRUE(longLine.readUntil(1000, "\n"));
    EXPECT_EQ(longLine.token, std::string(FileReader::kMaxToken, 'q'));
    ASSERT_TRUE(longLine.readUntil(1000, "\n"));
    EXPECT_EQ(longLine.token, "next");
}

TEST(FileReaderRaw, SkipPastFindsTheFirstOccurrenceWithinMax) {
    FileReader reader(writeScratch("ab**/cd*/"));
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
    FileReader reader(writeScratch("one two\n"));
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
    const std::string path = writeScratch("A\n");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    FileReader reader(path);
    EXPECT_TRUE(reader.tryOpen());
    ASSERT_TRUE(reader.nextToken());
    EXPECT_EQ(reader.token, "A");
}

namespace {

TEST(WholeFile, ReadsEveryByteOrSaysWhyNot) {
    const std::string text = std::string("a\0b\r\n", 5) + std::string(70000, 'x');
    const std::string scratch = writeScratch(text);
    struct Case {
        std::string path;
        std::size_t limit;
        tessaro::ReadFailure failure;
        int errorNumber;
        std::string reason; // a part of it
    };
    using F = tessaro::ReadFailure;
    const Case cases[] = {
        {scratch, text.size(), F::None, 0, ""},
        {scratch, text.size() - 1, F::TooLarge, 0, "64 MB"},
        {::testing::TempDir(), 100, F::Directory, 0, "cartella"},
        {::testing::TempDir() + "no_such_dir/none.jvm", 100, F::CannotOpen, ENOENT,
         std::strerror(ENOENT)},
        // Opens, then fails on the first read: nothing is mapped at address 0.
        {"/proc/self/mem", 100, F::ReadError, EIO, std::strerror(EIO)},
    };
    for (const Case& c : cases) {
        const tessaro::WholeFile file = tessaro::readWholeFile(c.path, c.limit);
        EXPECT_EQ(file.failure, c.failure) << c.path;
        EXPECT_EQ(file.ok(), c.failure == F::None) << c.path;
        EXPECT_EQ(file.errorNumber, c.errorNumber) << c.path;
        EXPECT_EQ(file.text, c.failure == F::None ? text : "") << c.path;
        EXPECT_NE(file.reason().find(c.reason), std::string::npos) << file.reason();
        EXPECT_EQ(file.reason().empty(), c.reason.empty()) << c.path;
    }
}

} // namespace
