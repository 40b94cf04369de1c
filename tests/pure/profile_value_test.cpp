// The value parse and format of settings values.
#include "settings/profile_value.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(ParseProfileInt, DecimalWithSignAndTrailingText)
{
    struct Case {
        const char* text;
        int32_t value;
    };
    const Case cases[] = {
        {"2", 2}, {"-1", -1}, {"1abc", 1}, {"0x1", 0}, {"  \t42", 42}, {"+7", 7},
        {"0", 0}, {"007", 7}, {"-0", 0}, {"12 34", 12}, {"\n\r\v\f9", 9},
        {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
    };
    for (const Case& c : cases) {
        int32_t value = 12345;
        EXPECT_TRUE(ParseProfileInt(c.text, &value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(ParseProfileInt, NoNumber)
{
    const char* texts[] = {"", "abc", "-", "+", " ", "- 1", "+-1", "x1", "\x95\x5C"};
    for (const char* text : texts) {
        int32_t value = 12345;
        EXPECT_FALSE(ParseProfileInt(text, &value)) << text;
        EXPECT_EQ(value, 12345) << text;
    }
}

TEST(ParseProfileInt, OutOfRangeSaturates)
{
    int32_t value = 0;
    EXPECT_TRUE(ParseProfileInt("2147483648", &value));
    EXPECT_EQ(value, INT32_MAX);
    EXPECT_TRUE(ParseProfileInt("4294968129", &value));  // 833 + 2^32
    EXPECT_EQ(value, INT32_MAX);
    EXPECT_TRUE(ParseProfileInt("-2147483649", &value));
    EXPECT_EQ(value, INT32_MIN);
    EXPECT_TRUE(ParseProfileInt("99999999999999999999999999999999999999x", &value));
    EXPECT_EQ(value, INT32_MAX);
    EXPECT_TRUE(ParseProfileInt("-99999999999999999999999999999999999999", &value));
    EXPECT_EQ(value, INT32_MIN);
}

TEST(FormatProfileInt, BoundedAndTerminated)
{
    char buffer[256];
    EXPECT_EQ(FormatProfileInt(buffer, 255, -2147483647 - 1), 11);
    EXPECT_STREQ(buffer, "-2147483648");
    EXPECT_EQ(FormatProfileInt(buffer, 255, 833), 3);
    EXPECT_STREQ(buffer, "833");
    char small[4];
    EXPECT_EQ(FormatProfileInt(small, sizeof small, 12345), -1);
    EXPECT_STREQ(small, "123");
    EXPECT_EQ(FormatProfileInt(small, 0, 1), -1);
}

}  // namespace
