// The auto-run dialog's seconds: what a typed, pasted or up-down-written text
// stores, and that no text stores a negative or wrapped interval.
#include "autorun/autorun_seconds.h"

#include <gtest/gtest.h>

namespace {

TEST(AutoRunSeconds, ReadsPlainAndGroupedNumbers)
{
    EXPECT_EQ(ParseAutoRunSeconds("60", ','), 60);
    EXPECT_EQ(ParseAutoRunSeconds("  +7", ','), 7);
    // The up-down control writes 1000 and above with the separator.
    EXPECT_EQ(ParseAutoRunSeconds("1,000", ','), 1000);
    EXPECT_EQ(ParseAutoRunSeconds("32,766", ','), 32766);
    EXPECT_EQ(ParseAutoRunSeconds("1.000", '.'), 1000);
    // A separator not between digits ends the number.
    EXPECT_EQ(ParseAutoRunSeconds("12,", ','), 12);
    EXPECT_EQ(ParseAutoRunSeconds("12,,3", ','), 12);
    EXPECT_EQ(ParseAutoRunSeconds(",5", ','), 0);
    EXPECT_EQ(ParseAutoRunSeconds("1,000", '\0'), 1);
    EXPECT_EQ(ParseAutoRunSeconds("25s", ','), 25);
}

TEST(AutoRunSeconds, NothingReadableOrNegativeIsZero)
{
    EXPECT_EQ(ParseAutoRunSeconds("", ','), 0);
    EXPECT_EQ(ParseAutoRunSeconds("abc", ','), 0);
    EXPECT_EQ(ParseAutoRunSeconds("-", ','), 0);
    EXPECT_EQ(ParseAutoRunSeconds("-5", ','), 0);
    EXPECT_EQ(ParseAutoRunSeconds("-99999999999999999999", ','), 0);
}

TEST(AutoRunSeconds, LongNumbersStopAtTheLongestPeriod)
{
    EXPECT_EQ(ParseAutoRunSeconds("2147483", ','), 2147483);
    EXPECT_EQ(ParseAutoRunSeconds("2147484", ','), kMaxAutoRunSeconds);
    EXPECT_EQ(ParseAutoRunSeconds("4294968", ','), kMaxAutoRunSeconds);  // wraps to 704 ms unbounded
    EXPECT_EQ(ParseAutoRunSeconds("999999999999999999999999999999", ','), kMaxAutoRunSeconds);
    EXPECT_EQ(AutoRunIntervalFromSeconds(kMaxAutoRunSeconds), 2147483000);
    EXPECT_EQ(AutoRunIntervalFromSeconds(INT32_MAX), 2147483000);
    EXPECT_EQ(AutoRunIntervalFromSeconds(-1), 0);
    EXPECT_EQ(AutoRunIntervalFromSeconds(1), 1000);
}

}  // namespace
