#include "text/field_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::text {
namespace {

using namespace std::string_literals;
using Items = std::vector<std::string>;

struct Case {
    const char* name;
    std::string text;
    std::string delimiter;
    Items expected;
};

TEST(FieldSplit, SpecialCases)
{
    const Case cases[] = {
        {"empty text", "", ";", {""}},
        {"empty text, empty delimiter", "", "", {""}},
        {"empty delimiter keeps text untouched", "  a;b ", "", {"  a;b "}},
        {"blanks only", "   ", ";", {}},
        {"NUL counts as blank", "\0 \0"s, ";", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitFields(c.text, c.delimiter), c.expected) << c.name;
}

TEST(FieldSplit, SemicolonList)
{
    const Case cases[] = {
        {"trimmed items", "C:\\a ; D:\\b", ";", {"C:\\a", "D:\\b"}},
        {"empty item kept", "C:\\a;;D:\\b", ";", {"C:\\a", "", "D:\\b"}},
        {"final delimiter gives nothing", "C:\\a;", ";", {"C:\\a"}},
        {"leading delimiter", ";a", ";", {"", "a"}},
        {"blank empty item", "a; ;b", ";", {"a", "", "b"}},
        {"delimiter alone", ";", ";", {""}},
        {"no delimiter", " abc ", ";", {"abc"}},
        {"blank inside an item", "a b;c", ";", {"a b", "c"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitFields(c.text, c.delimiter), c.expected) << c.name;
}

TEST(FieldSplit, TabAndBlankDelimiters)
{
    const Case cases[] = {
        {"backslash t means TAB", "a\tb", "\\t", {"a", "b"}},
        {"run of tabs is one", "a\t\tb", "\\t", {"a", "b"}},
        {"real TAB byte", "a\tb", "\t", {"a", "b"}},
        {"literal backslash t is not searched", "a\\tb", "\\t", {"a\\tb"}},
        {"blank delimiter", "a  b c", " ", {"a", "b", "c"}},
        {"\\t only when exact", "a\\txb", "\\tx", {"a", "txb"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitFields(c.text, c.delimiter), c.expected) << c.name;
}

TEST(FieldSplit, LongerDelimiterDropsOnlyItsFirstByte)
{
    const Case cases[] = {
        {"rest of delimiter begins next item", "xabyabz", "ab", {"x", "by", "bz"}},
        {"delimiter at the end", "xab", "ab", {"x", "b"}},
        {"double colon", "a::b", "::", {"a", ":b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitFields(c.text, c.delimiter), c.expected) << c.name;
}

TEST(FieldSplit, DelimiterNeverFoundOnASecondByte)
{
    // 0x95 0x7C is a character whose second byte is "|"; 0x81 0x40 has "@".
    const Case cases[] = {
        {"second byte equal to delimiter", "\x95|a|b", "|", {"\x95|a", "b"}},
        {"second byte only", "\x81@", "@", {"\x81@"}},
        {"Chinese items", "\xD6\xD0 ; \xCE\xC4", ";", {"\xD6\xD0", "\xCE\xC4"}},
        {"double-byte delimiter",
         "a\xA3\xBB"
         "b",
         "\xA3\xBB",
         {"a", "\xBB"
               "b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitFields(c.text, c.delimiter), c.expected) << c.name;
}

} // namespace
} // namespace qv::text
