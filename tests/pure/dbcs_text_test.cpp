// Shift-JIS byte classification, extension cutting, lower-casing and bounded copy.
#include "settings/dbcs_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(GetDbcsByteKind, ClassifiesByFixedRanges)
{
    // a, ア (83 41), ｱ (B1, single), 表 (95 5C), lead followed by a non-trail byte.
    const char* text = "a\x83\x41\xB1\x95\x5C\x81\x7F" "b";
    const int expected[] = {0, 1, 2, 0, 1, 2, 1, 0, 0};
    for (size_t i = 0; i < sizeof expected / sizeof expected[0]; ++i)
        EXPECT_EQ(GetDbcsByteKind(text, i), expected[i]) << "index " << i;
    // At or past the terminator, and for the empty string.
    EXPECT_EQ(GetDbcsByteKind(text, 9), 0);
    EXPECT_EQ(GetDbcsByteKind(text, 50), 0);
    EXPECT_EQ(GetDbcsByteKind("", 0), 0);
    // A byte after a trail byte is examined as a possible lead byte again.
    EXPECT_EQ(GetDbcsByteKind("\x81\x81\x81\x81", 2), 1);
    EXPECT_EQ(GetDbcsByteKind("\x81\x81\x81\x81", 3), 2);
    // Range ends.
    EXPECT_EQ(GetDbcsByteKind("\x9F\x40", 1), 2);
    EXPECT_EQ(GetDbcsByteKind("\xE0\xFC", 1), 2);
    EXPECT_EQ(GetDbcsByteKind("\xFC\x3F", 1), 0);
    EXPECT_EQ(GetDbcsByteKind("\xFD\x40", 0), 0);
    EXPECT_EQ(GetDbcsByteKind("\xA0\x40", 0), 0);
}

TEST(GetDbcsByteKind, PathSeparatorAndNextChar)
{
    EXPECT_TRUE(IsPathSeparatorAt("a\\b", 1));
    EXPECT_FALSE(IsPathSeparatorAt("\x95\x5C" "b", 1));
    EXPECT_TRUE(IsPathSeparatorAt("\x95\x5C\\b", 2));
    const char* text = "\x95\x5C" "a\x95";
    EXPECT_EQ(NextDbcsChar(text), text + 2);
    EXPECT_EQ(NextDbcsChar(text + 2), text + 3);
    EXPECT_EQ(NextDbcsChar(text + 3), text + 4);  // lone lead byte before the end
    EXPECT_EQ(NextDbcsChar(text + 4), text + 4);
}

std::string Cut(const char* path)
{
    char buffer[300];
    std::strcpy(buffer, path);
    CutExtension(buffer);
    return buffer;
}

TEST(CutExtension, OnlyTheLastDotOfTheLastComponent)
{
    EXPECT_EQ(Cut("C:\\Tools\\Prog.EXE"), "C:\\Tools\\Prog");
    EXPECT_EQ(Cut("C:\\My.Tools\\PROG"), "C:\\My.Tools\\PROG");
    EXPECT_EQ(Cut("C:\\Tools\\a.b.c.exe"), "C:\\Tools\\a.b.c");
    EXPECT_EQ(Cut("prog"), "prog");
    EXPECT_EQ(Cut(".ini"), "");
    EXPECT_EQ(Cut(""), "");
    // 表 ends in 0x5C: no separator, so the dot before it still counts.
    EXPECT_EQ(Cut("a.b\x95\x5C"), "a");
    EXPECT_EQ(Cut("C:\\x.y\\\x95\x5C"), "C:\\x.y\\\x95\x5C");
}

TEST(LowerCaseDbcs, OnlyAsciiCapitalsChange)
{
    char text[] = "C:\\ABC\\\x83\x41\xC1Z\x95\x5C" "Q";
    LowerCaseDbcs(text);
    EXPECT_STREQ(text, "c:\\abc\\\x83\x41\xC1z\x95\x5C" "q");
    char lone[] = "A\x83";
    LowerCaseDbcs(lone);
    EXPECT_STREQ(lone, "a\x83");
}

TEST(CopyDbcsBounded, NeverEndsOnHalfACharacter)
{
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    CopyDbcsBounded(buffer, "abc", 8);
    EXPECT_STREQ(buffer, "abc");
    for (size_t i = 3; i < 8; ++i)
        EXPECT_EQ(buffer[i], '\0');

    // Index 7 would be the trail byte of 表: only 6 bytes are copied.
    std::memset(buffer, 'x', sizeof buffer);
    CopyDbcsBounded(buffer, "abcdef\x95\x5C" "gh", 8);
    EXPECT_STREQ(buffer, "abcdef");
    EXPECT_EQ(buffer[7], '\0');

    // Index 7 is a lead byte: 7 bytes fit.
    CopyDbcsBounded(buffer, "abcdefg\x95\x5C", 8);
    EXPECT_STREQ(buffer, "abcdefg");

    CopyDbcsBounded(buffer, "abcdefghijk", 8);
    EXPECT_STREQ(buffer, "abcdefg");

    CopyDbcsBounded(buffer, "", 8);
    EXPECT_STREQ(buffer, "");

    char one[1] = {'x'};
    CopyDbcsBounded(one, "abc", 1);
    EXPECT_EQ(one[0], '\0');
}

}  // namespace
