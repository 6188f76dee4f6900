#include "text/bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::text {
namespace {

// GBK characters whose second byte is an ASCII letter or sign:
// 0x81 0x41 has "A" as its second byte, 0x81 0x61 has "a", 0x95 0x5C has "\".
const std::string leadA = "\x81\x41";
const std::string leada = "\x81\x61";

struct FindCase {
    const char* name;
    std::string needle;
    std::string hay;
    Pos from;
    Pos expected;
};

TEST(BytesFind, PositionsAndBoundaries)
{
    const FindCase cases[] = {
        {"first occurrence", "b", "abcb", 1, 2},
        {"from skips earlier", "b", "abcb", 3, 4},
        {"from on the match", "b", "abcb", 4, 4},
        {"from past the end", "b", "abcb", 5, 0},
        {"from far past the end", "b", "abcb", 1000, 0},
        {"from below one counts as one", "a", "abc", -7, 1},
        {"empty needle", "", "abc", 1, 0},
        {"needle longer than hay", "abcd", "abc", 1, 0},
        {"case matters", "B", "abc", 1, 0},
        {"not on a second byte", "A", leadA + "A", 1, 3},
        {"only a second byte", "A", leadA, 1, 0},
        {"a double-byte character", leadA, "x" + leadA, 1, 2},
        {"pair across two characters", "\x81\x41", "\x81\x81\x41", 1, 0},
        {"second byte of the first character", "\\", "\x95\\\\", 1, 3},
    };
    for (const auto& c : cases) EXPECT_EQ(text::find(c.needle, c.hay, c.from), c.expected) << c.name;
}

TEST(BytesFind, IgnoreCaseFoldsAsciiLettersOnly)
{
    const FindCase cases[] = {
        {"letters fold", "abc", "xABC", 1, 2},
        {"upper needle", "ABC", "xabc", 1, 2},
        {"from", "a", "AxA", 2, 3},
        {"from past the end", "a", "a", 2, 0},
        {"empty needle", "", "abc", 1, 0},
        {"second byte never starts a match", "a", leadA, 1, 0},
        {"second byte never folded", leada, leadA, 1, 0},
        {"same double-byte character", leadA, "z" + leadA, 1, 2},
        {"letter after a character", "a", leadA + "A", 1, 3},
        {"non-letters exact", "[", "{", 1, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(text::findIgnoreCase(c.needle, c.hay, c.from), c.expected) << c.name;
}

TEST(BytesReplaceAll, ReplacesEveryOccurrenceIgnoringCase)
{
    struct Case {
        const char* name;
        std::string s, from, to, expected;
    } const cases[] = {
        {"every occurrence", "aXbxc", "x", "-", "a-b-c"},
        {"resumes after a replacement", "aaa", "aa", "b", "ba"},
        {"replacement is not searched again", "ab", "a", "aa", "aab"},
        {"empty pattern", "abc", "", "z", "abc"},
        {"pattern longer than text", "ab", "abc", "z", "ab"},
        {"to empty removes", "a-b-c", "-", "", "abc"},
        {"second byte left alone", leadA + "A", "a", "b", leadA + "b"},
        {"double-byte pattern exact", leadA + leada, leadA, "Q", "Q" + leada},
        {"pattern ending in half a character", "x\x81\x41y", "x\x81", "Z", "Z\x41y"},
    };
    for (const auto& c : cases) EXPECT_EQ(text::replaceAll(c.s, c.from, c.to), c.expected) << c.name;
}

TEST(BytesPart, ClampsStartAndCount)
{
    EXPECT_EQ(text::part("abcdef", 2, 3), "bcd");
    EXPECT_EQ(text::part("abcdef", 0, 2), "ab");
    EXPECT_EQ(text::part("abcdef", -5, 2), "ab");
    EXPECT_EQ(text::part("abcdef", 5, 100), "ef");
    EXPECT_EQ(text::part("abcdef", 6, 1), "f");
    EXPECT_EQ(text::part("abcdef", 7, 1), "");
    EXPECT_EQ(text::part("abcdef", 2, 0), "");
    EXPECT_EQ(text::part("abcdef", 2, -1), "");
    EXPECT_EQ(text::part("", 1, 1), "");
    EXPECT_EQ(text::part("abc", INT64_MAX, INT64_MAX), "");
    EXPECT_EQ(text::part("abc", 2, INT64_MAX), "bc");
}

TEST(BytesErase, RemovesWithinTheText)
{
    struct Case {
        Pos start, count;
        const char* expected;
    } const cases[] = {
        {2, 2, "adef"},   {1, 6, ""},        {2, 100, "a"},    {6, 1, "abcde"},   {7, 1, "abcdef"},
        {0, 2, "abcdef"}, {-1, 2, "abcdef"}, {3, 0, "abcdef"}, {3, -2, "abcdef"}, {2, INT64_MAX, "a"},
    };
    for (const auto& c : cases) {
        std::string s = "abcdef";
        text::erase(s, c.start, c.count);
        EXPECT_EQ(s, c.expected) << c.start << "," << c.count;
    }
}

TEST(BytesInsert, ClampsPosition)
{
    struct Case {
        Pos start;
        const char* expected;
    } const cases[] = {{1, "XYabc"},  {2, "aXYbc"}, {3, "abXYc"}, {4, "abcXY"},
                       {99, "abcXY"}, {0, "XYabc"}, {-3, "XYabc"}};
    for (const auto& c : cases) {
        std::string s = "abc";
        text::insert("XY", s, c.start);
        EXPECT_EQ(s, c.expected) << c.start;
    }
    std::string empty;
    text::insert("XY", empty, 5);
    EXPECT_EQ(empty, "XY");
}

TEST(BytesLower, AsciiLettersOnlyNeverSecondBytes)
{
    EXPECT_EQ(text::lower("ABC xyz 09[]@"), "abc xyz 09[]@");
    EXPECT_EQ(text::lower(leadA + "AZ"), leadA + "az");
    EXPECT_EQ(text::lower("A\x81"), "a\x81");
    EXPECT_EQ(text::lower("\xC0\xC1"), "\xC0\xC1");
    EXPECT_EQ(text::lower(""), "");
    std::string s = "Q" + leadA;
    text::lowerInPlace(s);
    EXPECT_EQ(s, "q" + leadA);
}

TEST(BytesTrim, RemovesBytesUpTo32)
{
    using namespace std::string_literals;
    EXPECT_EQ(text::trim(" \t\0ab c\x01\x20"s), "ab c");
    EXPECT_EQ(text::trim(" \r\n "), "");
    EXPECT_EQ(text::trim(""), "");
    EXPECT_EQ(text::trim("!x!"), "!x!");
    EXPECT_EQ(text::trim(" " + leadA + " "), leadA);
}

} // namespace
} // namespace qv::text
