#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

/// Expects statement to end the process with status 1 after writing exactly what pattern
/// matches; the fixed lines go to standard output, so the child sends it to standard error,
/// where the death test reads.
#define EXPECT_FATAL_OUTPUT(statement, pattern)                                                    \
    EXPECT_EXIT(                                                                                   \
        {                                                                                          \
            dup2(2, 1);                                                                            \
            statement;                                                                             \
        },                                                                                         \
        ::testing::ExitedWithCode(1), pattern)
