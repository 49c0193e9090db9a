// The console's record of what a program printed: bounded, and cut back when time goes back.

#include "machine/printed_log.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaro {
namespace {

TEST(PrintedLog, AnEndlessPrinterKeepsTheNewerHalfAndCountsTheRest) {
    PrintedLog log;
    EXPECT_EQ(log.dropped(), 0);
    log.truncateTo(0);
    EXPECT_EQ(log.text(), "");
    for (std::size_t i = 0; i < PrintedLog::kLimit; ++i) {
        log.add(static_cast<char>('a' + i % 26));
    }
    EXPECT_EQ(log.dropped(), 0);
    EXPECT_EQ(log.text().size(), PrintedLog::kLimit);
    log.add('!');
    const auto half = static_cast<std::int64_t>(PrintedLog::kLimit / 2);
    EXPECT_EQ(log.dropped(), half);
    ASSERT_EQ(log.text().size(), PrintedLog::kLimit / 2 + 1);
    EXPECT_EQ(log.text().front(), static_cast<char>('a' + (PrintedLog::kLimit / 2) % 26));
    EXPECT_EQ(log.text().back(), '!');
}

TEST(PrintedLog, GoingBackKeepsTheCharactersPrintedUpToThen) {
    const auto half = static_cast<std::int64_t>(PrintedLog::kLimit / 2);
    struct Case {
        std::int64_t total; // characters ever printed, at the moment gone back to
        std::int64_t kept;
        std::int64_t dropped;
    };
    const Case cases[] = {
        {2 * half + 5, half + 1, half}, // later than now: nothing to cut
        {2 * half + 1, half + 1, half},
        {half + 3, 3, half},
        {half, 0, half},
        {half - 1, 0, 0}, // before the oldest kept: the dropped ones cannot come back
    };
    for (const Case& c : cases) {
        PrintedLog log;
        for (std::size_t i = 0; i <= PrintedLog::kLimit; ++i) {
            log.add('x');
        }
        log.truncateTo(c.total);
        EXPECT_EQ(static_cast<std::int64_t>(log.text().size()), c.kept) << c.total;
        EXPECT_EQ(log.dropped(), c.dropped) << c.total;
    }
}

} // namespace
} // namespace tessaro
