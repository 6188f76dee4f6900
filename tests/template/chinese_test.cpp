#include "template/chinese.h"

#include "platform/chinese_script.h"
#include "support/gbk.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qv::ConvertChineseNumerals;
using qv::ToSimplifiedGbk;
using qv::ToTraditionalBig5;
using qv::testing::gbk;

struct NumeralCase {
    const char* input;    // UTF-8, converted to GBK for the call
    std::string expected; // GBK bytes
};

TEST(ConvertChineseNumeralsTest, TransliteratesDigitByDigit)
{
    const NumeralCase cases[] = {
        {"二十三", "23"},
        {"一百零五", "105"},
        {"一千", "1"},
        {"十", ""},
        {"第叁章", "\xB5\xDA"
                   "3"
                   "\xD5\xC2"},
        {"两", "\xC1\xBD"}, // not in the table: unchanged
        {"一二三四五六七八九零", "1234567890"},
        {"壹贰叁肆伍陆柒捌玖", "123456789"},
        {"十百千万亿兆拾", ""},
        {"三万五千", "35"},
        {"壹佰贰仟", "1\xB0\xDB"
                     "2\xC7\xAA"}, // financial hundred and thousand signs stay
        {"abc 12", "abc 12"},
        {"", ""},
    };
    for (const NumeralCase& c : cases) EXPECT_EQ(ConvertChineseNumerals(gbk(c.input)), c.expected) << c.input;
}

// The bytes of a numeral character may appear across the boundary of two
// other characters; such bytes are never taken for the numeral.
TEST(ConvertChineseNumeralsTest, NeverMatchesInsideOtherCharacters)
{
    const std::string unchanged[] = {
        "\xB0\xD2\xBB\xA1", // 耙弧: holds the bytes of 一 (D2 BB)
        "\xC4\xCA\xAE\x50", // 氖甈: holds the bytes of 十 (CA AE)
        "\xB0\xB6\xFE\x50", // 岸 and a GBK/4 character: holds the bytes of 二 (B6 FE)
        "\xB0\xD2\xBB",     // 耙 and a lone lead byte
    };
    for (const std::string& text : unchanged) EXPECT_EQ(ConvertChineseNumerals(text), text);

    EXPECT_EQ(ConvertChineseNumerals("\xB0\xD2\xBB\xA1\xD2\xBB"), "\xB0\xD2\xBB\xA1"
                                                                  "1");
    EXPECT_EQ(ConvertChineseNumerals("a\xD2\xBB"), "a1");
}

TEST(ConvertChineseNumeralsTest, KeepsBytesAfterNul)
{
    EXPECT_EQ(ConvertChineseNumerals(std::string("\xD2\xBB\0\xB6\xFE", 5)), std::string("1\0"
                                                                                        "2",
                                                                                        3));
}

struct ScriptCase {
    std::string gbk;
    std::string big5;
};

// Our chosen mapping is OpenCC's phrase-aware table; these pin its results.
TEST(ToTraditionalBig5Test, MapsSimplifiedGbkToTraditionalBig5)
{
    const ScriptCase cases[] = {
        {"\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4", "\xC2\xB2\xC5\xE9\xA4\xA4\xA4\xE5"}, // 简体中文 -> 簡體中文
        {"abc\xD6\xD0\xCE\xC4", "abc\xA4\xA4\xA4\xE5"},                           // abc中文
        {"\xC3\xC7\xD5\xE2", "\xAD\xCC\xB3\x6F"},                                 // 们这 -> 們這
        {"\xCD\xB7\xB7\xA2", "\xC0\x59\xBE\x76"},                                 // 头发 -> 頭髮
        {"\xB7\xA2\xD5\xB9", "\xB5\x6F\xAE\x69"},                                 // 发展 -> 發展
        {"\xA4\xA2\xA2\xD9", "??"},                                               // あ① are not in Big5
        {"\x81\x20", "? "},                                                       // not a GBK character
    };
    for (const ScriptCase& c : cases) EXPECT_EQ(ToTraditionalBig5(c.gbk), c.big5);
}

TEST(ToTraditionalBig5Test, LeavesAsciiUnchanged)
{
    const std::string ascii = "Hello, World! 0123456789 ~`!@#$%^&*()_+-={}[]|\\:;\"'<>?,./\t\r\n";
    EXPECT_EQ(ToTraditionalBig5(ascii), ascii);
}

TEST(ToSimplifiedGbkTest, MapsTraditionalBig5ToSimplifiedGbk)
{
    const ScriptCase cases[] = {
        {"\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4", "\xC2\xB2\xC5\xE9\xA4\xA4\xA4\xE5"}, // 簡體中文 -> 简体中文
        {"\xCD\xB7\xB7\xA2", "\xC0\x59\xBE\x76"},                                 // 頭髮 -> 头发
        {"x\xB9\xFA"
         "y",
         "x\xB0\xEA"
         "y"},              // 國 -> 国
        {"? ", "\xA4\x20"}, // not a Big5 character
    };
    for (const ScriptCase& c : cases) EXPECT_EQ(ToSimplifiedGbk(c.big5), c.gbk);
}

TEST(ScriptConversionTest, RoundTripGivesBackSimplifiedText)
{
    const char* texts[] = {
        "中华人民共和国", "简体中文测试", "我们说这是发展的国家", "台湾的后面", "学习汉语", "数据库 abc 123",
    };
    for (const char* text : texts) EXPECT_EQ(ToSimplifiedGbk(ToTraditionalBig5(gbk(text))), gbk(text)) << text;
}

TEST(ScriptConversionTest, EmptyInputGivesEmptyOutput)
{
    EXPECT_EQ(ToTraditionalBig5(""), "");
    EXPECT_EQ(ToSimplifiedGbk(""), "");
    EXPECT_EQ(ToTraditionalBig5(std::string("\0abc", 4)), "");
    EXPECT_EQ(ToSimplifiedGbk(std::string("\0abc", 4)), "");
}

TEST(ScriptConversionTest, TextEndsAtFirstNul)
{
    EXPECT_EQ(ToTraditionalBig5(std::string("\xD6\xD0\0\xCE\xC4", 5)), "\xA4\xA4");
    EXPECT_EQ(ToSimplifiedGbk(std::string("\xA4\xA4\0\xA4\xE5", 5)), "\xD6\xD0");
}

TEST(ScriptConversionTest, SurvivesEveryByteValue)
{
    std::string bytes;
    for (int b = 1; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    for (int b = 255; b >= 1; --b) bytes.push_back(static_cast<char>(b));
    EXPECT_FALSE(ToTraditionalBig5(bytes).empty());
    EXPECT_FALSE(ToSimplifiedGbk(bytes).empty());
    EXPECT_EQ(ConvertChineseNumerals(bytes).size(), bytes.size());
}

TEST(ChineseScriptTest, MapsUtf8ByPhrase)
{
    EXPECT_EQ(qv::simplifiedToTraditional("头发和发展"), "頭髮和發展");
    EXPECT_EQ(qv::traditionalToSimplified("頭髮和發展"), "头发和发展");
}

TEST(ChineseScriptTest, ReplacesIllFormedUtf8AndStopsAtNul)
{
    EXPECT_EQ(qv::simplifiedToTraditional("a\xFF"
                                          "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(qv::traditionalToSimplified("\xE4\xB8"), "\xEF\xBF\xBD");
    EXPECT_EQ(qv::simplifiedToTraditional(std::string("\xE5\x8F\x91\0x", 5)), "\xE7\x99\xBC"); // 发 -> 發
    EXPECT_EQ(qv::traditionalToSimplified(""), "");
}

} // namespace
