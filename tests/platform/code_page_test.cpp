#include "platform/code_page.h"

#include "platform/icu_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using qv::CodePage;
using qv::testing::Icu;

// The index of the first unit where `a` and `b` differ; npos when equal.
template <typename Text> std::size_t firstDifference(const Text& a, const Text& b)
{
    if (a == b) return Text::npos;
    return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

struct Sample {
    const char* utf8;
    std::string bytes;
};

TEST(CodePageTest, GbkEncodesAndDecodesChineseText)
{
    const Sample samples[] = {
        {"中文", "\xD6\xD0\xCE\xC4"},
        {"简体abc", "\xBC\xF2\xCC\xE5"
                    "abc"},
        {"第3章", "\xB5\xDA"
                  "3"
                  "\xD5\xC2"},
        {"　", "\xA1\xA1"}, // ideographic space
        {"€", "\x80"},      // the one single-byte extra of code page 936
        {"丟", "\x81\x47"}, // a traditional character in the GBK extension
    };
    for (const Sample& s : samples) {
        EXPECT_EQ(CodePage::gbk().fromUtf8(s.utf8), s.bytes) << s.utf8;
        EXPECT_EQ(CodePage::gbk().toUtf8(s.bytes), s.utf8) << s.utf8;
        EXPECT_TRUE(CodePage::gbk().roundTrips(s.bytes)) << s.utf8;
    }
}

TEST(CodePageTest, Big5EncodesAndDecodesTraditionalText)
{
    const Sample samples[] = {
        {"中文", "\xA4\xA4\xA4\xE5"},
        {"簡體中文", "\xC2\xB2\xC5\xE9\xA4\xA4\xA4\xE5"},
        {"頭髮", "\xC0\x59\xBE\x76"}, // second bytes below 0x80
        {"€", "\xA3\xE1"},
        {"x臺y", "x\xBB\x4F"
                 "y"},
    };
    for (const Sample& s : samples) {
        EXPECT_EQ(CodePage::big5().fromUtf8(s.utf8), s.bytes) << s.utf8;
        EXPECT_EQ(CodePage::big5().toUtf8(s.bytes), s.utf8) << s.utf8;
        EXPECT_TRUE(CodePage::big5().roundTrips(s.bytes)) << s.utf8;
    }
}

TEST(CodePageTest, Utf16ConversionsAgreeWithTheTables)
{
    EXPECT_EQ(CodePage::gbk().toUtf16("\xD6\xD0"
                                      "a"),
              u"\u4E2Da");
    EXPECT_EQ(CodePage::gbk().fromUtf16(u"\u4E2Da"), "\xD6\xD0"
                                                     "a");
    EXPECT_EQ(CodePage::big5().toUtf16("\xA4\xA4"), u"\u4E2D");
    EXPECT_EQ(CodePage::big5().fromUtf16(u"\u4E2D"), "\xA4\xA4");
}

TEST(CodePageTest, UnmappableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(CodePage::big5().fromUtf8("简"), "?"); // simplified form, not in Big5
    EXPECT_EQ(CodePage::big5().fromUtf8("a简b们c"), "a?b?c");
    EXPECT_EQ(CodePage::big5().fromUtf8("あ①"), "??");            // kana and circled digit: GBK has them, Big5 not
    EXPECT_EQ(CodePage::gbk().fromUtf8("\xF0\xA0\x80\x80"), "?"); // U+20000: one "?" for the surrogate pair
    EXPECT_EQ(CodePage::gbk().fromUtf8("\xEA\xB0\x80"), "?");     // Hangul syllable
    EXPECT_EQ(CodePage::gbk().fromUtf16(u"\xD800x"), "?x");       // lone surrogate
}

TEST(CodePageTest, IllFormedUtf8BecomesQuestionMarks)
{
    EXPECT_EQ(CodePage::gbk().fromUtf8("a\xFF"
                                       "b"),
              "a?b");
    EXPECT_EQ(CodePage::gbk().fromUtf8("\xE4\xB8"), "?"); // truncated sequence
}

TEST(CodePageTest, EmptyInputGivesEmptyOutput)
{
    for (const CodePage* page : {&CodePage::gbk(), &CodePage::big5()}) {
        EXPECT_EQ(page->toUtf8(""), "");
        EXPECT_EQ(page->fromUtf8(""), "");
        EXPECT_EQ(page->toUtf16(""), u"");
        EXPECT_EQ(page->fromUtf16(u""), "");
        EXPECT_TRUE(page->roundTrips(""));
    }
}

TEST(CodePageTest, NulBytesAreKept)
{
    const std::string withNul("a\0\xD6\xD0", 4);
    EXPECT_EQ(CodePage::gbk().toUtf8(withNul), std::string("a\0\xE4\xB8\xAD", 5));
    EXPECT_EQ(CodePage::gbk().fromUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

// Bytes that are not a GBK character decode to U+FFFD, one for each bad
// byte, and a following ASCII byte is not swallowed; encoding gives "?".
TEST(CodePageTest, InvalidGbkSequencesDecodeToReplacementCharacters)
{
    struct Case {
        std::string bytes;
        std::u16string wide;
        std::string back;
    };
    const Case cases[] = {
        {"\x81\x20", u"\uFFFD ", "? "},       // lead byte, then a byte no character ends with
        {"a\xC4", u"a\uFFFD", "a?"},          // lead byte at the end
        {"\xC4\x7F", u"\uFFFD\x7F", "?\x7F"}, // 0x7F is no trail byte
        {"\x81\x30\x81\x30",
         u"\uFFFD"
         "0\uFFFD"
         "0",
         "?0?0"}, // GB18030 four-byte form is not 936
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CodePage::gbk().toUtf16(c.bytes), c.wide);
        EXPECT_EQ(CodePage::gbk().fromUtf16(CodePage::gbk().toUtf16(c.bytes)), c.back);
        EXPECT_FALSE(CodePage::gbk().roundTrips(c.bytes));
    }
}

// 0xFF has a private-use mapping in the Windows table and survives.
TEST(CodePageTest, ByteFfRoundTripsThroughPrivateUse)
{
    EXPECT_EQ(CodePage::gbk().toUtf16("\xFF"), u"\uF8F5");
    EXPECT_TRUE(CodePage::gbk().roundTrips("\xFF"));
}

TEST(CodePageTest, InvalidBig5SequenceDoesNotRoundTrip)
{
    EXPECT_EQ(CodePage::big5().toUtf16("\xA4\x20"), u"\uFFFD ");
    EXPECT_FALSE(CodePage::big5().roundTrips("\xA4\x20"));
    EXPECT_FALSE(CodePage::big5().roundTrips("\xA4"));
}

// Every byte and every two-byte sequence, one after another and each alone
// before a line break; every BMP unit, in a row and each before "x"; every
// code point as UTF-8.
TEST(CodePageTest, MatchesIcuOnEveryByteAndPairAndCharacter)
{
    std::string pairs, pairsApart;
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            pairs += {static_cast<char>(lead), static_cast<char>(trail)};
            pairsApart += {static_cast<char>(lead), static_cast<char>(trail), '\n'};
        }
    }
    std::u16string units, unitsApart;
    for (int unit = 0; unit < 0x10000; ++unit) {
        units += static_cast<char16_t>(unit);
        unitsApart += {static_cast<char16_t>(unit), u'x'};
    }
    std::string utf8;
    for (char32_t c = 0; c < 0x110000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const std::u16string unit = c < 0x10000 ? std::u16string(1, static_cast<char16_t>(c))
                                                : std::u16string{static_cast<char16_t>(0xD7C0 + (c >> 10)),
                                                                 static_cast<char16_t>(0xDC00 | (c & 0x3FF))};
        qv::appendUtf8(unit, utf8);
    }
    const std::pair<const CodePage*, const char*> pages[] = {{&CodePage::gbk(), "windows-936-2000"},
                                                             {&CodePage::big5(), "windows-950-2000"}};
    for (const auto& [page, name] : pages) {
        const Icu icu(name);
        for (const std::string& bytes : {pairs, pairsApart, "\x81" + pairs}) {
            EXPECT_EQ(firstDifference(page->toUtf16(bytes), icu.toUtf16(bytes)), std::u16string::npos) << name;
            EXPECT_EQ(firstDifference(page->toUtf8(bytes), icu.between(icu.utf8.get(), icu.page.get(), bytes)),
                      std::string::npos)
                << name;
        }
        for (const std::u16string& text : {units, unitsApart}) {
            EXPECT_EQ(firstDifference(page->fromUtf16(text), icu.fromUtf16(text)), std::string::npos) << name;
        }
        EXPECT_EQ(firstDifference(page->fromUtf8(utf8), icu.between(icu.page.get(), icu.utf8.get(), utf8)),
                  std::string::npos)
            << name;
    }
}

TEST(CodePageTest, NumbersAreTheWindowsCodePages)
{
    EXPECT_EQ(CodePage::gbk().number(), 936);
    EXPECT_EQ(CodePage::big5().number(), 950);
}

} // namespace
