#include "mal/mal_source_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tessaro {
namespace {

// label | text | span start..end | line number, one a line read
std::vector<std::string> readAll(MalSourceReader& reader) {
    std::vector<std::string> lines;
    while (std::optional<std::string> label = reader.getLine()) {
        EXPECT_EQ(*label, reader.label);
        lines.push_back(reader.label + " | " + reader.text + " | " +
                        std::to_string(reader.lineStart) + ".." + std::to_string(reader.offset()) +
                        " #" + std::to_string(reader.lineNumber));
    }
    return lines;
}

TEST(MalSourceReader, Lines) {
    const struct {
        std::string source;
        std::vector<std::string> lines;
    } rows[] = {
        // Label and normalised text.
        {"main1 PC = PC + 1; fetch; goto (MBR)\n  MAR = SP = SP - 1; rd\nfetch; goto X\n"
         "h\t=\ttos\r\nLoop2 H = H + 1; goto loop2;\n",
         {"MAIN1 | PC = PC + 1; FETCH; GOTO (MBR); | 0..37 #1",
          "label | MAR = SP = SP - 1; RD; | 37..61 #2", "FETCH | GOTO X; | 61..75 #3",
          "label | H = TOS; | 75..84 #4", "LOOP2 | H = H + 1; GOTO LOOP2; | 84..113 #5"}},
        // Comments and blank lines widen the next span.
        {"\n// heading\n   \t \r\nH = TOS // Copy it\n/ a single slash starts a comment too\n"
         "MDR = H / keep; this is dropped\n",
         {"label | H = TOS; | 0..38 #4", "label | MDR = H; | 38..108 #6"}},
        {"RD;\nWR;   ", {"label | RD; | 0..4 #1", "label | WR; | 4..10 #2"}},
        // A label alone leaves an empty text; a first word that is not reserved is a label
        // even when indented, and the text starts after the first blank.
        {"alone;\n  x = h\n= H\n",
         {"ALONE |  | 0..7 #1", "X | X = H; | 7..15 #2", "label | = H; | 15..19 #3"}},
        // Long labels and texts are cut.
        {std::string(120, 'L') + " H = " + std::string(110, 'A') + "\n",
         {std::string(99, 'L') + " | H = " + std::string(95, 'A') + " | 0..236 #1"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.source);
        MalSourceReader reader(row.source);
        EXPECT_EQ(readAll(reader), row.lines);
    }
}

TEST(MalSourceReader, A254CharacterLineIsReadAndLongerEndsTheFile) {
    const std::string fits(254, 'H');
    const std::string source = "RD\n" + fits + "\nWR\n" + std::string(255, 'H') + "\nFETCH\n";
    MalSourceReader reader(source);
    const std::vector<std::string> lines = readAll(reader);
    EXPECT_EQ(lines, (std::vector<std::string>{"label | RD; | 0..3 #1",
                                               std::string(99, 'H') + " |  | 3..258 #2",
                                               "label | WR; | 258..261 #3"}));
    EXPECT_TRUE(reader.lineTooLong);
    EXPECT_EQ(reader.tooLongLine, 4);
    EXPECT_FALSE(reader.getLine().has_value());
}

} // namespace
} // namespace tessaro
