#include "mal/file_reader_mic1.h"
#include "mal_test_util.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

namespace tessaro {
namespace {

struct Line {
    std::string label;
    std::string text;
    int start;
    int end;
    int number;
    bool operator==(const Line&) const = default;
    friend void PrintTo(const Line& l, std::ostream* os) {
        *os << "{" << l.label << " | " << l.text << " | " << l.start << ".." << l.end << " #"
            << l.number << "}";
    }
};

std::vector<Line> readAll(FileReaderMic1& reader) {
    std::vector<Line> lines;
    while (std::optional<std::string> label = reader.getLine()) {
        EXPECT_EQ(*label, reader.label);
        lines.push_back(
            {reader.label, reader.text, reader.lineStart, reader.tell(), reader.lineNumber});
    }
    return lines;
}

std::vector<Line> readAll(const std::string& content) {
    const std::string path = test::tempPath(".mal");
    test::writeFile(path, content);
    FileReaderMic1 reader;
    reader.name = path;
    EXPECT_TRUE(reader.tryOpen());
    std::vector<Line> lines = readAll(reader);
    reader.close();
    return lines;
}

TEST(FileReaderMic1Lines, SplitsLabelAndNormalisedText) {
    const std::string source = "main1 PC = PC + 1; fetch; goto (MBR)\n"
                               "  MAR = SP = SP - 1; rd\n"
                               "fetch; goto X\n"
                               "h\t=\ttos\r\n"
                               "Loop2 H = H + 1; goto loop2;\n";
    EXPECT_EQ(readAll(source),
              (std::vector<Line>{{"MAIN1", "PC = PC + 1; FETCH; GOTO (MBR);", 0, 37, 1},
                                 {"label", "MAR = SP = SP - 1; RD;", 37, 61, 2},
                                 {"FETCH", "GOTO X;", 61, 75, 3},
                                 {"label", "H = TOS;", 75, 84, 4},
                                 {"LOOP2", "H = H + 1; GOTO LOOP2;", 84, 113, 5}}));
}

TEST(FileReaderMic1Lines, CommentsAndBlankLinesWidenTheNextSpan) {
    const std::string source = "\n"
                               "// heading\n"
                               "   \t \r\n"
                               "H = TOS // Copy it\n"
                               "/ a single slash starts a comment too\n"
                               "MDR = H / keep; this is dropped\n";
    EXPECT_EQ(readAll(source), (std::vector<Line>{{"label", "H = TOS;", 0, 38, 4},
                                                  {"label", "MDR = H;", 38, 108, 6}}));
}

TEST(FileReaderMic1Lines, LastLineWithoutLineFeedAndExistingSemicolon) {
    EXPECT_EQ(readAll("RD;\nWR;   "),
              (std::vector<Line>{{"label", "RD;", 0, 4, 1}, {"label", "WR;", 4, 10, 2}}));
}

TEST(FileReaderMic1Lines, LabelOnlyLineAndLeadingBlanksBeforeALabel) {
    // A label with nothing after it leaves an empty instruction text; a first word that is not
    // reserved is a label even when indented, and the text starts after the first blank.
    EXPECT_EQ(readAll("alone;\n  x = h\n= H\n"), (std::vector<Line>{{"ALONE", "", 0, 7, 1},
                                                                    {"X", "X = H;", 7, 15, 2},
                                                                    {"label", "= H;", 15, 19, 3}}));
}

TEST(FileReaderMic1Lines, LongTextsAreCut) {
    const std::string label(120, 'L');
    const std::string text = "H = " + std::string(110, 'A');
    const std::vector<Line> lines = readAll(label + " " + text + "\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].label, std::string(99, 'L'));
    EXPECT_EQ(lines[0].text, text.substr(0, 99));
}

TEST(FileReaderMic1Limits, A254CharacterLineIsReadAndLongerEndsTheFile) {
    const std::string fits(254, 'H');
    const std::string tooLong(255, 'H');
    const std::string path = test::tempPath(".mal");
    test::writeFile(path, "RD\n" + fits + "\nWR\n" + tooLong + "\nFETCH\n");
    FileReaderMic1 reader;
    reader.name = path;
    ASSERT_TRUE(reader.tryOpen());
    const std::vector<Line> lines = readAll(reader);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].label, std::string(99, 'H'));
    EXPECT_EQ(lines[2].text, "WR;");
    EXPECT_TRUE(reader.lineTooLong);
    EXPECT_EQ(reader.tooLongLine, 4);
    EXPECT_FALSE(reader.getLine().has_value());

    // Rewinding starts over with a clean state.
    reader.rewind();
    EXPECT_FALSE(reader.lineTooLong);
    EXPECT_EQ(readAll(reader), lines);
}

TEST(FileReaderMic1Open, MissingFile) {
    FileReaderMic1 reader;
    reader.name = test::tempPath("_does_not_exist/x.mal");
    EXPECT_FALSE(reader.tryOpen());
    EXPECT_EQ(reader.stream, nullptr);
    EXPECT_FALSE(reader.getLine().has_value());
    EXPECT_EXIT(
        {
            dup2(2, 1);
            reader.open();
        },
        ::testing::ExitedWithCode(1),
        "^Errore nel metodo FileReaderMic1::open\\(\\): impossibile aprire il file\n$");
}

} // namespace
} // namespace tessaro
