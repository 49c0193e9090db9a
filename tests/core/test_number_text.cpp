// Numbers read from and printed to text: the words the assembler and the views depend on.

#include "core/number_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace tessaro {
namespace {

TEST(NumberText, ReadingWrapsLikeA32BitWordAndRejectsMalformedText) {
    struct Case {
        std::string text;
        std::optional<std::int32_t> value; // none: rejected
    };
    const std::string nul("0x1\0", 4);
    // clang-format off
    const Case cases[] = {
        // decimal, signs, reading stops at the first non-digit after two digits
        {"7", 7}, {"-12", -12}, {"+5", 5}, {"0", 0}, {"-0", 0}, {"12a", 12}, {"34 5", 34},
        {"007", 7},
        // modulo 2^32, however long
        {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"2147483648", INT32_MIN},
        {"4294967295", -1}, {"4294967296", 0}, {"4294967297", 1},
        {"99999999999999999999", 1661992959}, {"-12345678901234567890", 350287150},
        {std::string(100000, '9'), -1},
        // radix letters in either case; the digit before the letter is not used
        {"0x1F", 31}, {"0X1f", 31}, {"-0x10", -16}, {"+0x10", 16}, {"0o17", 15}, {"0O17", 15},
        {"0n101", 5}, {"0N1101", 13}, {"9x10", 16},
        // digits are not checked against the radix
        {"0o9", 9}, {"0n12", 4}, {"0oA", 10},
        // the last radix letter wins; a letter at the very end leaves zero
        {"0x1n2", 2}, {"0x1N2", 2}, {"0n1o7", 7}, {"0x12x3", 3}, {"0x1o", 0}, {"0xFFFFFFFF", -1},
        {"0x80000000", INT32_MIN}, {"-0x80000000", INT32_MIN}, {"-0xFFFFFFFF", 1},
        {"0x100000000", 0}, {"0x123456789", 591751049}, {"0x" + std::string(40, 'F'), -1},
        {"0n1" + std::string(32, '0'), 0}, {"0n1" + std::string(31, '0'), INT32_MIN},
        {"0o37777777777", -1},
        // malformed, including bad digits, which must not end the process
        {"0x", {}}, {"0b101", {}}, {"x1", {}}, {"-0x", {}}, {"", {}}, {"-", {}}, {"+", {}},
        {"--1", {}}, {" 1", {}}, {"0-1", {}}, {"7a", {}}, {"3 4", {}}, {"0x1G", {}}, {"0xG1", {}},
        {"0o1 ", {}}, {"0x1\xC3\xA9", {}}, {nul, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        const NumberResult result = checkedAtolong(c.text);
        ASSERT_EQ(result.ok, c.value.has_value()) << "read as " << result.value;
        if (c.value) {
            EXPECT_EQ(result.value, *c.value);
            EXPECT_EQ(result.message, "");
        } else {
            EXPECT_EQ(result.message, "Errore: il numero " + c.text +
                                          " non è valido. Il programma sarà adesso terminato.");
        }
    }
}

// What a person may type as one word: each form at the edge of what it holds, and the typing
// mistakes the reader alone would take.
TEST(NumberText, AWellFormedNumberFitsAWordInTheFormItIsWrittenIn) {
    const std::pair<const char*, bool> cases[] = {
        {"0", true},           {"7", true},           {"+7", true},         {"-7", true},
        {"007", true},         {"2147483647", true},  {"2147483648", false}, {"-2147483648", true},
        {"-2147483649", false}, {"+2147483648", false}, {"00000000002147483647", true},
        {"21474836470", false}, {"1999999999", true},  {"3000000000", false}, {"0x0", true},
        {"0xFFFFFFFF", true},  {"0x100000000", false}, {"0x000000001FFFFFFFF", false},
        {"0X00000000FFFFFFFF", true}, {"0xabcdef", true}, {"0xAbCdEf", true}, {"0xG", false},
        {"0x", false},         {"0o37777777777", true}, {"0o40000000000", false},
        {"0O17", true},        {"0o8", false},        {"0n" "11111111111111111111111111111111", true},
        {"0n1" "00000000000000000000000000000000", false}, {"0N0101", true}, {"0n2", false},
        {"0x00", true},        {"", false},           {"-", false},         {"+", false},
        {"x1", false},         {"12abc", false},      {"1 2", false},       {"0z1", false},
        {"--1", false},        {"9x10", true},         {" 1", false},        {"-0x10", true},
    };
    for (const auto& [text, wellFormed] : cases) {
        EXPECT_EQ(wellFormedNumber(text), wellFormed) << text;
    }
}

TEST(NumberText, Printing) {
    const std::pair<std::string, std::string> cases[] = {
        {radixText(255, 16), "0xFF"},
        {radixText(-1, 16), "0xFFFFFFFF"},
        {radixText(-1, 10), "-1"},
        {radixText(5, 2), "0b101"},
        {radixText(0, 2), "0b0"},
        {radixText(8, 8), "0o10"},
        {radixText(-1, 8), "0o37777777777"},
        {radixText(INT32_MIN, 10), "-2147483648"},
        {radixText(INT32_MIN, 2), "0b1" + std::string(31, '0')},
        {radixText(0xABCDEF, 16), "0xABCDEF"},
        {radixTextPadded(255, 16, 4), "0x00FF"},
        {radixTextPadded(0x12345, 16, 4), "0x12345"},
        {radixTextPadded(5, 2, 8), "0b00000101"},
        {radixTextPadded(0, 16, 0), "0x0"},
        {radixTextPadded(-5, 10, 4), "-005"},
        {decimalText(INT32_MIN), "-2147483648"},
        {decimalText(INT32_MAX), "2147483647"},
        {decimalText(0), "0"},
        {digitString(5, 2, 9), "000000101"},
        {digitString(5, 2, 2), "101"},
        {digitString(5u, 2, 9), "000000101"},
        {digitString(0u, 2, 0), "0"},
        {digitString(0, 2, 9), "000000000"},
        {digitString(0xFF, 2, 9), "011111111"},
        {digitString(0x100u, 2, 9), "100000000"},
        {digitString(0x4000001, 2, 27), "1" + std::string(25, '0') + "1"},
        {digitString(0xFFFFFFFFu, 2, 27), std::string(32, '1')},
        {digitString(0xABCu, 16, 5), "00ABC"},
        {digitString(0x414243u, 256, 0), "ABC"},
        {digitString(INT32_MIN, 16, 0), "-80000000"},
        {std::to_string(digitCount(0, 10)), "1"},
        {std::to_string(digitCount(9, 10)), "1"},
        {std::to_string(digitCount(10, 10)), "2"},
        {std::to_string(digitCount(256, 16)), "3"},
        {std::to_string(digitCount(0xFFFFFFFFu, 10)), "10"},
        {std::to_string(digitCount(0xFFFFFFFFu, 2)), "32"},
        {padRight("ab", 5), "ab   "},
        {padRight("abcdefg", 5), "abcdefg"},
        {padRight("ab", -3), "ab"},
        {padLeftZeros("7", 3), "007"},
        {padLeftZeros("12345", 3), "12345"},
        {padLeftZeros("", 2), "00"},
        {padLeftZeros("", 1), "0"},
        {padLeftZeros("5", -1), "5"},
        {padRight("", 1), " "},
        {cutUtf8("perch\xC3\xA9", 7), "perch\xC3\xA9"},
        {cutUtf8("perch\xC3\xA9", 6), "perch"}, // never inside a character
        {cutUtf8("\xE2\x82\xAC", 2), ""},
        {cutUtf8("abc", 0), ""},
        {hexByte(0), "0x00"},
        {hexByte(0x0B), "0x0B"},
        {hexByte(0xA0), "0xA0"},
        {hexByte(0xFF), "0xFF"},
    };
    int row = 0;
    for (const auto& [actual, expected] : cases) {
        EXPECT_EQ(actual, expected) << "row " << row++;
    }
}

TEST(NumberText, Utf8SequenceLengthFollowsTheLeadByte) {
    // Each boundary between the lead-byte ranges, from both sides.
    const std::pair<unsigned char, std::size_t> cases[] = {
        {0x00, 1}, {0x7F, 1}, {0x80, 1}, {0xBF, 1}, {0xC0, 2}, {0xDF, 2},
        {0xE0, 3}, {0xEF, 3}, {0xF0, 4}, {0xF4, 4},
    };
    for (const auto& [lead, length] : cases) {
        EXPECT_EQ(utf8SequenceLength(lead), length) << int{lead};
    }
}

TEST(NumberText, RemoveCharacters) {
    std::string text = "a b\tc  d";
    removeChars(text, " \t");
    EXPECT_EQ(text, "abcd");
    removeChars(text, "");
    EXPECT_EQ(text, "abcd");
    removeChars(text, "abcd");
    EXPECT_EQ(text, "");
}

} // namespace
} // namespace tessaro
