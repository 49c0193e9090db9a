#include "core/number_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

namespace tessaro {
namespace {

std::int32_t readOk(const std::string& text) {
    const NumberResult r = checkedAtolong(text);
    EXPECT_TRUE(r.ok) << text << ": " << r.message;
    EXPECT_TRUE(r.message.empty()) << text;
    return r.value;
}

std::string rejection(const std::string& text) {
    const NumberResult r = checkedAtolong(text);
    EXPECT_FALSE(r.ok) << text << " read as " << r.value;
    return r.message;
}

std::string messageFor(const std::string& text) {
    return "Errore: il numero " + text + " non è valido. Il programma sarà adesso terminato.";
}

// --- reading numbers --------------------------------------------------------------------------

TEST(NumberReading, DecimalWithSignAndTrailingText) {
    EXPECT_EQ(readOk("7"), 7);
    EXPECT_EQ(readOk("-12"), -12);
    EXPECT_EQ(readOk("+5"), 5);
    EXPECT_EQ(readOk("0"), 0);
    EXPECT_EQ(readOk("-0"), 0);
    EXPECT_EQ(readOk("12a"), 12); // reading stops at the first non-digit
    EXPECT_EQ(readOk("34 5"), 34);
    EXPECT_EQ(readOk("007"), 7);
}

TEST(NumberReading, DecimalWrapsLikeA32BitWord) {
    EXPECT_EQ(readOk("2147483647"), INT32_MAX);
    EXPECT_EQ(readOk("-2147483648"), INT32_MIN);
    EXPECT_EQ(readOk("2147483648"), INT32_MIN);
    EXPECT_EQ(readOk("4294967295"), -1);
    EXPECT_EQ(readOk("4294967296"), 0);
    EXPECT_EQ(readOk("4294967297"), 1);
    // far beyond 64 bits: still modulo 2^32
    EXPECT_EQ(readOk("99999999999999999999"), 1661992959);
    EXPECT_EQ(readOk("12345678901234567890"), -350287150);
    EXPECT_EQ(readOk("-12345678901234567890"), 350287150);
    EXPECT_EQ(readOk(std::string(100000, '9')), -1); // 10^100000 is a multiple of 2^32
}

TEST(NumberReading, RadixLettersInEitherCase) {
    EXPECT_EQ(readOk("0x1F"), 31);
    EXPECT_EQ(readOk("0X1f"), 31);
    EXPECT_EQ(readOk("0xff"), 255);
    EXPECT_EQ(readOk("-0x10"), -16);
    EXPECT_EQ(readOk("+0x10"), 16);
    EXPECT_EQ(readOk("0o17"), 15);
    EXPECT_EQ(readOk("0O17"), 15);
    EXPECT_EQ(readOk("0n101"), 5);
    EXPECT_EQ(readOk("0N1101"), 13);
    EXPECT_EQ(readOk("9x10"), 16); // the digit before the letter is not used
}

TEST(NumberReading, DigitsAreNotCheckedAgainstTheRadix) {
    EXPECT_EQ(readOk("0o9"), 9);
    EXPECT_EQ(readOk("0n7"), 7);
    EXPECT_EQ(readOk("0n12"), 4); // 1*2 + 2
    EXPECT_EQ(readOk("0oA"), 10);
}

TEST(NumberReading, BackwardWalkStopsAtTheLastRadixLetter) {
    EXPECT_EQ(readOk("0x1n2"), 2);
    EXPECT_EQ(readOk("0x1N2"), 2);
    EXPECT_EQ(readOk("0n1o7"), 7);
    EXPECT_EQ(readOk("0x12x3"), 3);
    // a letter right at the end leaves no digits: zero, not a failure
    EXPECT_EQ(readOk("0x1o"), 0);
}

TEST(NumberReading, RadixValuesWrapWithoutOverflow) {
    EXPECT_EQ(readOk("0xFFFFFFFF"), -1);
    EXPECT_EQ(readOk("0x80000000"), INT32_MIN);
    EXPECT_EQ(readOk("-0x80000000"), INT32_MIN);
    EXPECT_EQ(readOk("-0xFFFFFFFF"), 1);
    EXPECT_EQ(readOk("0x100000000"), 0);
    EXPECT_EQ(readOk("0x123456789"), 591751049);
    EXPECT_EQ(readOk("0x" + std::string(40, 'F')), -1);
    EXPECT_EQ(readOk("0n1" + std::string(32, '0')), 0);
    EXPECT_EQ(readOk("0n1" + std::string(31, '0')), INT32_MIN);
    EXPECT_EQ(readOk("0o37777777777"), -1);
}

TEST(NumberReading, MalformedTextIsRejectedWithTheWholeText) {
    EXPECT_EQ(rejection("0x"), messageFor("0x"));
    EXPECT_EQ(rejection("0b101"), messageFor("0b101")); // B is not a radix letter
    EXPECT_EQ(rejection("x1"), messageFor("x1"));
    EXPECT_EQ(rejection("-0x"), messageFor("-0x"));
    EXPECT_EQ(rejection(""), messageFor(""));
    EXPECT_EQ(rejection("-"), messageFor("-"));
    EXPECT_EQ(rejection("+"), messageFor("+"));
    EXPECT_EQ(rejection("--1"), messageFor("--1"));
    EXPECT_EQ(rejection(" 1"), messageFor(" 1"));
    EXPECT_EQ(rejection("0-1"), messageFor("0-1"));
    // a single digit followed by anything but a digit asks for a radix letter
    EXPECT_EQ(rejection("7a"), messageFor("7a"));
    EXPECT_EQ(rejection("3 4"), messageFor("3 4"));
}

TEST(NumberReading, BadDigitIsRejectedInsteadOfEndingTheProcess) {
    EXPECT_EQ(rejection("0x1G"), messageFor("0x1G"));
    EXPECT_EQ(rejection("0xG1"), messageFor("0xG1"));
    EXPECT_EQ(rejection("0o1 "), messageFor("0o1 "));
    EXPECT_EQ(rejection("0x1é"), messageFor("0x1é"));
    EXPECT_EQ(rejection(std::string("0x1\0", 4)), messageFor(std::string("0x1\0", 4)));
}

// --- printing numbers -------------------------------------------------------------------------

TEST(NumberPrinting, RadixTextPrefixesAndSigns) {
    EXPECT_EQ(radixText(255, 16), "0xFF");
    EXPECT_EQ(radixText(-1, 16), "0xFFFFFFFF");
    EXPECT_EQ(radixText(-1, 10), "-1");
    EXPECT_EQ(radixText(5, 2), "0b101");
    EXPECT_EQ(radixText(0, 2), "0b0");
    EXPECT_EQ(radixText(0, 16), "0x0");
    EXPECT_EQ(radixText(10, 10), "10");
    EXPECT_EQ(radixText(8, 8), "0o10");
    EXPECT_EQ(radixText(-1, 8), "0o37777777777");
    EXPECT_EQ(radixText(INT32_MIN, 10), "-2147483648");
    EXPECT_EQ(radixText(INT32_MIN, 2), "0b1" + std::string(31, '0'));
    EXPECT_EQ(radixText(0xABCDEF, 16), "0xABCDEF");
}

TEST(NumberPrinting, PaddedRadixTextPadsDigitsNeverCuts) {
    EXPECT_EQ(radixTextPadded(255, 16, 4), "0x00FF");
    EXPECT_EQ(radixTextPadded(0x12345, 16, 4), "0x12345");
    EXPECT_EQ(radixTextPadded(5, 10, 3), "005");
    EXPECT_EQ(radixTextPadded(5, 2, 8), "0b00000101");
    EXPECT_EQ(radixTextPadded(0, 16, 0), "0x0");
    EXPECT_EQ(radixTextPadded(-5, 10, 4), "-005"); // the sign stays in front
}

TEST(NumberPrinting, DigitCountTreatsTheValueAsUnsigned) {
    EXPECT_EQ(digitCount(0, 10), 1);
    EXPECT_EQ(digitCount(9, 10), 1);
    EXPECT_EQ(digitCount(10, 10), 2);
    EXPECT_EQ(digitCount(255, 16), 2);
    EXPECT_EQ(digitCount(256, 16), 3);
    EXPECT_EQ(digitCount(0xFFFFFFFFu, 16), 8);
    EXPECT_EQ(digitCount(0xFFFFFFFFu, 10), 10);
    EXPECT_EQ(digitCount(0xFFFFFFFFu, 2), 32);
    EXPECT_EQ(digitCount(1, 2), 1);
}

TEST(NumberPrinting, DecimalText) {
    EXPECT_EQ(decimalText(-12), "-12");
    EXPECT_EQ(decimalText(0), "0");
    EXPECT_EQ(decimalText(100), "100");
    EXPECT_EQ(decimalText(INT32_MIN), "-2147483648");
    EXPECT_EQ(decimalText(INT32_MAX), "2147483647");
}

TEST(NumberPrinting, DigitStringsFillWithZerosNeverCut) {
    EXPECT_EQ(digitString(5, 2, 9), "000000101");
    EXPECT_EQ(digitString(5, 2, 2), "101");
    EXPECT_EQ(digitString(5u, 2, 9), "000000101");
    EXPECT_EQ(digitString(5u, 2, 2), "101");
    EXPECT_EQ(digitString(0, 2, 9), "000000000");
    EXPECT_EQ(digitString(0u, 2, 0), "0");
    EXPECT_EQ(digitString(0x1FF, 2, 9), "111111111");
    EXPECT_EQ(digitString(0xFF, 2, 9), "011111111");
    EXPECT_EQ(digitString(0x100u, 2, 9), "100000000");
    EXPECT_EQ(digitString(0x7FFFFFF, 2, 27), std::string(27, '1'));
    EXPECT_EQ(digitString(0x4000001, 2, 27), "1" + std::string(25, '0') + "1");
    EXPECT_EQ(digitString(0xFFFFFFFFu, 2, 27), std::string(32, '1'));
    EXPECT_EQ(digitString(0xABCu, 16, 5), "00ABC");
    EXPECT_EQ(digitString(12345, 10, 0), "12345");
    EXPECT_EQ(digitString(0x414243u, 256, 0), "ABC");
    EXPECT_EQ(digitString(INT32_MIN, 16, 0), "-80000000");
}

TEST(TextUtilities, PaddingKeepsLongerTextWhole) {
    EXPECT_EQ(padRight("ab", 5), "ab   ");
    EXPECT_EQ(padRight("abcde", 5), "abcde");
    EXPECT_EQ(padRight("abcdefg", 5), "abcdefg");
    EXPECT_EQ(padRight("", 2), "  ");
    EXPECT_EQ(padRight("ab", -3), "ab");
    EXPECT_EQ(padLeftZeros("7", 3), "007");
    EXPECT_EQ(padLeftZeros("123", 3), "123");
    EXPECT_EQ(padLeftZeros("12345", 3), "12345");
    EXPECT_EQ(padLeftZeros("", 2), "00");
    EXPECT_EQ(padLeftZeros("7", 0), "7");
}

TEST(TextUtilities, RemoveCharacters) {
    std::string text = "a b\tc  d";
    removeChars(text, " \t");
    EXPECT_EQ(text, "abcd");
    text = "keep";
    removeChars(text, "");
    EXPECT_EQ(text, "keep");
    text = "xxxx";
    removeChars(text, "x");
    EXPECT_EQ(text, "");
}

} // namespace
} // namespace tessaro

TEST(TextUtilities, CutUtf8NeverSplitsACharacter) {
    const std::string word = "perch\xC3\xA9";      // "perché": the é takes two bytes
    EXPECT_EQ(tessaro::cutUtf8(word, 10), word);   // short enough: untouched
    EXPECT_EQ(tessaro::cutUtf8(word, 7), word);    // exactly the size
    EXPECT_EQ(tessaro::cutUtf8(word, 6), "perch"); // inside the é: the whole é goes
    EXPECT_EQ(tessaro::cutUtf8(word, 5), "perch");
    EXPECT_EQ(tessaro::cutUtf8("\xE2\x82\xAC", 2), ""); // a lone euro sign cut inside
    EXPECT_EQ(tessaro::cutUtf8("abc", 0), "");
}
