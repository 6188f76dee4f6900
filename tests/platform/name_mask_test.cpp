#include "platform/name_mask.h"

#include "support/gbk.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using testing::gbk;

struct Case {
    const char* mask;
    const char* name; // UTF-8, converted to code page 936
    bool expected;
};

void expectTable(std::initializer_list<Case> cases)
{
    for (const Case& c : cases)
        EXPECT_EQ(matchesMask(gbk(c.name), gbk(c.mask)), c.expected)
            << "mask '" << c.mask << "' name '" << c.name << "'";
}

TEST(NameMask, StarAndQuestionIgnoreLetterCase)
{
    expectTable({
        {"*.txt", "a.txt", true},
        {"*.txt", "A.TXT", true},
        {"*.TXT", "readme.Txt", true},
        {"*.txt", "a.txt.bak", false},
        {"*.txt", "a.b.txt", true},
        {"*.txt", ".txt", true},
        {"*.txt", "txt", false},
        {"*.txt", "a.txtx", false},
        {"a*b", "a.x.b", true},
        {"a*b*c", "aXbYc", true},
        {"a*b*c", "aXcYb", false},
        {"**x**", "box", true},
        {"*", "anything at all", true},
        {"data?.csv", "data1.csv", true},
        {"data?.csv", "data12.csv", false},
    });
}

TEST(NameMask, StarDotStarMatchesEveryNameWithOrWithoutDot)
{
    expectTable({
        {"*.*", "plain", true},
        {"*.*", "a.b", true},
        {"*.*", "a.b.c", true},
        {"*.*", ".", true},
        {"*.*", "..", true},
        {"*.*", ".profile", true},
        {"*", ".", true},
        {"*", "..", true},
    });
}

TEST(NameMask, TrailingDotMeansNoExtension)
{
    expectTable({
        {"*.", "makefile", true},
        {"*.", "a.txt", false},
        {"a.", "a", true},
        {"a.?", "a", true},
        {"a.?", "a.c", true},
        {"a.?", "a.cc", false},
    });
}

TEST(NameMask, QuestionMarkMayMatchNothingBeforeDotOrEnd)
{
    expectTable({
        {"a?", "ab", true},
        {"a?", "a", true},
        {"a?", "abc", false},
        {"a??.txt", "a.txt", true},
        {"a??.txt", "abc.txt", true},
        {"a??.txt", "abcd.txt", false},
        {"a?c", "a.c", false},
        {"?", "", false},
        {"??", "x", true},
    });
}

TEST(NameMask, BracketsAndDosWildcardCharactersAreLiteral)
{
    expectTable({
        {"[ab].txt", "[ab].txt", true},
        {"[ab].txt", "a.txt", false},
        {"a<b", "a<b", true},
        {"a<b", "axxb", false},
        {"a>", "a", false},
        {"a\"", "a\"", true},
    });
}

TEST(NameMask, EmptyMaskMatchesNothingAndBlanksCount)
{
    EXPECT_FALSE(matchesMask("a.txt", ""));
    EXPECT_FALSE(matchesMask("", ""));
    expectTable({
        {" *.ini", " x.ini", true},
        {" *.ini", "x.ini", false},
    });
}

TEST(NameMask, MasksLongerThanSixtyThreeCharactersMatchAsShortOnes)
{
    const std::string as(70, 'a');
    EXPECT_TRUE(matchesMask(as + "b.txt", as + "*.TXT"));
    EXPECT_FALSE(matchesMask(as.substr(1) + "b.txt", as + "*.txt"));
    EXPECT_TRUE(matchesMask(gbk("报") + as, "*" + as));
}

TEST(NameMask, ChineseNamesMatchCharacterByCharacter)
{
    expectTable({
        {"*.txt", "报告.txt", true},
        {"报告*", "报告2024.doc", true},
        {"报?.txt", "报告.txt", true},
        {"报?.txt", "报.txt", true},
        {"?.txt", "报告.txt", false},
        {"报告.*", "报表.txt", false},
        {"Α*", "αβ.txt", true},     // Greek capital and small alpha
        {"ｔｘｔ", "ＴＸＴ", true}, // full-width letters fold like others
    });
}

TEST(NameMask, DoubleByteCharacterIsNotSplitByQuestionMark)
{
    // 0x95 0x5C is one character whose second byte is "\" and 0xD5 0x41 one
    // whose second byte is "A": "?" takes a whole character, and a mask "*A"
    // must not end in the middle of one.
    const std::string nameWithA = "\xD5\x41";
    EXPECT_TRUE(matchesMask(nameWithA, "?"));
    EXPECT_FALSE(matchesMask(nameWithA, "*A"));
    EXPECT_FALSE(matchesMask(nameWithA, "*a"));
}

TEST(NameMask, OneMaskObjectServesManyNames)
{
    const NameMask mask(gbk("*.TxT"));
    EXPECT_TRUE(mask.matches(std::string_view("x.txt")));
    EXPECT_TRUE(mask.matches(std::u16string_view(u"y.TXT")));
    EXPECT_FALSE(mask.matches(std::u16string_view(u"y.txt\U0001F600")));
    EXPECT_TRUE(NameMask("?.txt").matches(std::u16string_view(u"\U0001F600.txt")));
}

TEST(NameMask, LongStarMaskAgainstLongNameFinishesQuickly)
{
    const std::string mask(2000, '*');
    const std::string name(5000, 'a');
    EXPECT_TRUE(matchesMask(name, mask));
    EXPECT_FALSE(matchesMask(name, mask + "b"));
}

} // namespace
} // namespace qv
