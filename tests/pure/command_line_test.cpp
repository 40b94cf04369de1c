// The command-line splitter: quoting, backslashes, separators and double-byte
// characters, with and without quote stripping.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "settings/dbcs_text.h"

namespace {

std::vector<std::string> Split(const char* text, bool stripQuotes = true)
{
    int argc = -1;
    char** argv = SplitCommandLine(&argc, text, stripQuotes, IsShiftJisLeadByte);
    EXPECT_NE(argv, nullptr);
    std::vector<std::string> result;
    if (argv == nullptr)
        return result;
    for (int i = 0; i < argc; ++i)
        result.push_back(argv[i]);
    EXPECT_EQ(argv[argc], nullptr);
    std::free(argv);
    return result;
}

typedef std::vector<std::string> Args;

TEST(SplitCommandLine, FirstTokenRules)
{
    EXPECT_EQ(Split(""), Args({""}));
    EXPECT_EQ(Split(" /close"), Args({"", "/close"}));
    EXPECT_EQ(Split("\t/close"), Args({"", "/close"}));
    EXPECT_EQ(Split("\"C:\\Program Files\\tw.exe\" /min"),
              Args({"C:\\Program Files\\tw.exe", "/min"}));
    EXPECT_EQ(Split("\"C:\\Program Files\\tw.exe\" /min", false),
              Args({"\"C:\\Program Files\\tw.exe\"", "/min"}));
    // No backslash processing in argument 0; quotes inside an unquoted path stay.
    EXPECT_EQ(Split("C:\\a\\\"b\\ x"), Args({"C:\\a\\\"b\\", "x"}));
    // An unclosed quote runs to the end of the text.
    EXPECT_EQ(Split("\"C:\\a b /close"), Args({"C:\\a b /close"}));
    // Text right after the closing quote becomes argument 1.
    EXPECT_EQ(Split("\"C:\\tw.exe\"/close"), Args({"C:\\tw.exe", "/close"}));
    EXPECT_EQ(Split("\"\""), Args({""}));
}

TEST(SplitCommandLine, SeparatorsAndTrailingBlanks)
{
    EXPECT_EQ(Split("tw.exe  /a\t\t/b \t /c"), Args({"tw.exe", "/a", "/b", "/c"}));
    EXPECT_EQ(Split("tw.exe /a   \t "), Args({"tw.exe", "/a"}));
    // Only spaces and tabs separate.
    EXPECT_EQ(Split("tw.exe a\nb\rc\vd"), Args({"tw.exe", "a\nb\rc\vd"}));
}

TEST(SplitCommandLine, BackslashesAndQuotesWithStripping)
{
    EXPECT_EQ(Split("p a\\\\b\\\\\\c"), Args({"p", "a\\\\b\\\\\\c"}));
    EXPECT_EQ(Split("p \\\\\"a b\""), Args({"p", "\\a b"}));
    EXPECT_EQ(Split("p \\\"a"), Args({"p", "\"a"}));
    EXPECT_EQ(Split("p \\\\\\\"a"), Args({"p", "\\\"a"}));
    EXPECT_EQ(Split("p ab\"c d\"ef g"), Args({"p", "abc def", "g"}));
    EXPECT_EQ(Split("p \"a\"\"b c\""), Args({"p", "a\"b", "c"}));
    EXPECT_EQ(Split("p \"a\"\"b\" c d"), Args({"p", "a\"b c d"}));
    EXPECT_EQ(Split("p \"\" x"), Args({"p", "", "x"}));
    EXPECT_EQ(Split("p \"a b\tc"), Args({"p", "a b\tc"}));
    EXPECT_EQ(Split("p a\\"), Args({"p", "a\\"}));
}

TEST(SplitCommandLine, WithoutStrippingEveryByteStays)
{
    EXPECT_EQ(Split("p \\\\\"a b\"", false), Args({"p", "\\\\\"a b\""}));
    EXPECT_EQ(Split("p \\\"a b", false), Args({"p", "\\\"a", "b"}));
    EXPECT_EQ(Split("p \"a\"\"b c\"", false), Args({"p", "\"a\"\"b", "c\""}));
    EXPECT_EQ(Split("p \"\" x", false), Args({"p", "\"\"", "x"}));
}

TEST(SplitCommandLine, DoubleByteCharacters)
{
    // 表 is 0x95 0x5C: its trail byte neither escapes the quote nor is halved.
    EXPECT_EQ(Split("p \"\x95\x5C\" x"), Args({"p", "\x95\x5C", "x"}));
    EXPECT_EQ(Split("p a\x95\x5C\x5C\"b c\""), Args({"p", "a\x95\x5C\"b", "c"}));
    EXPECT_EQ(Split("p \x95\x5C\\\\\"q r\""), Args({"p", "\x95\x5C\\q r"}));
    // A lone lead byte at the very end is kept and nothing past it is read.
    EXPECT_EQ(Split("p a\x95"), Args({"p", "a\x95"}));
    EXPECT_EQ(Split("p \x95"), Args({"p", "\x95"}));
    EXPECT_EQ(Split("p \"\x95"), Args({"p", "\x95"}));
}

TEST(SplitCommandLine, BlockHoldsPointersThenStrings)
{
    const char* text = "tw.exe /close \"a b\"";
    int argc = 0;
    size_t size = MeasureCommandLine(text, true, IsShiftJisLeadByte, &argc);
    ASSERT_EQ(argc, 3);
    EXPECT_EQ(size, 4 * sizeof(char*) + sizeof("tw.exe") + sizeof("/close") + sizeof("a b"));
    char** argv = SplitCommandLine(&argc, text, true, IsShiftJisLeadByte);
    ASSERT_NE(argv, nullptr);
    char* base = reinterpret_cast<char*>(argv);
    EXPECT_EQ(argv[0], base + 4 * sizeof(char*));
    EXPECT_EQ(argv[1], argv[0] + sizeof("tw.exe"));
    EXPECT_EQ(argv[2], argv[1] + sizeof("/close"));
    EXPECT_EQ(argv[2] + sizeof("a b"), base + size);
    std::free(argv);
}

}  // namespace
