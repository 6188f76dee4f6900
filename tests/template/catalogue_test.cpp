#include "template/catalogue.h"

#include "support/gbk.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using qv::catalogueEntries;
using qv::insertCatalogueItem;
using qv::testing::gbk;

TEST(CatalogueTest, HasFortyFiveDistinctEntries)
{
    const auto& entries = catalogueEntries();
    ASSERT_EQ(entries.size(), 45u);
    std::set<std::string> texts;
    for (const auto& entry : entries) texts.insert(entry.text);
    EXPECT_EQ(texts.size(), 45u);
}

TEST(CatalogueTest, EntriesAreExactGbkBytes)
{
    const auto& entries = catalogueEntries();
    ASSERT_EQ(entries.size(), 45u);
    EXPECT_EQ(entries[0].text, "${Ext}: \xD4\xAD\xC0\xA9\xD5\xB9\xC3\xFB"); // 原扩展名
    EXPECT_EQ(entries[0].insertion, "${Ext}");
    EXPECT_EQ(entries[5].insertion, "${Sn(\xBF\xAA\xCA\xBC\xD0\xF2\xBA\xC5,\xB3\xA4\xB6\xC8)}"); // 开始序号,长度
}

TEST(CatalogueTest, EntryAndInsertionTexts)
{
    struct Case {
        std::size_t index;
        const char* text;
        const char* insertion;
    };
    const Case cases[] = {
        {0, "${Ext}: 原扩展名", "${Ext}"},
        {1, "${Filename}: 原文件名", "${Filename}"},
        {3, "${Date(yyyymmdd)}: 日期格式", "${Date(yyyy-mmm-dd)}"},
        {4, "${Time(hhnnss)}: 时间格式", "${Time(hh:nn:ss)}"},
        {5, "${Sn(10,n)}: 从10开始的序号", "${Sn(开始序号,长度)}"},
        {6, "${LastDir}: 最后一级目录名", "${LastDir}"},
        {8, "${DelRange(s1,s2)}: 删除字符范围", "${DelRange(要删除的开始字符,要删除的结束字符)}"},
        {23, "${AddMid2(s1,n,s2)}: 关键字位置添加字符", "${AddMid2(要添加的字符关键字,偏移量,要添加的字符)}"},
        {28, "${LineRandStr()}: 随机行的字符", "${LineRandStr()}"},
        {32, "${GetMid2(s,n1,n2)}: 关键字位置获取字符", "${GetMid2(要获取位置的关键字,偏移量,要获取的字符数量)}"},
        {33, "${XlsTo(s)}: Excel转换为", "${XlsTo(新的扩展名)}"},
        {38, "${LineOrg()}: 当前行的字符", "${LineOrg()}"},
        {39, "${Chs2Num(s)}: 中文数字转阿拉伯数字", "${Chs2Num(需要转换的字符)}"},
        {40, "${ToUtf8()}: 文件内容转换为UTF8编码", "${ToUtf8()}"},
        {42, "${CreateDate}: 原文件创建日期", "${CreateDate}"},
        {44, "${RepStr2(n1,n2,s)}: 按位置替换字符", "${RepStr2(开始位置,字符数量,替换的新字符)}"},
    };
    const auto& entries = catalogueEntries();
    ASSERT_EQ(entries.size(), 45u);
    for (const Case& c : cases) {
        EXPECT_EQ(entries[c.index].text, gbk(c.text)) << c.index;
        EXPECT_EQ(entries[c.index].insertion, gbk(c.insertion)) << c.index;
    }
}

// The name of the variable or function an entry inserts.
std::string itemName(const std::string& item)
{
    const auto end = item.find_first_of("(}", 2);
    return end == std::string::npos ? std::string() : item.substr(2, end - 2);
}

// Every insertion is one whole item naming the same variable or function as
// the entry it belongs to, so no long form sits on the wrong entry.
TEST(CatalogueTest, InsertionsAreWholeItemsOfTheirEntry)
{
    for (const auto& entry : catalogueEntries()) {
        ASSERT_GE(entry.insertion.size(), 4u) << entry.text;
        EXPECT_EQ(entry.insertion.substr(0, 2), "${") << entry.text;
        EXPECT_EQ(entry.insertion.back(), '}') << entry.text;
        EXPECT_NE(entry.text.find("}: "), std::string::npos) << entry.text;
        EXPECT_FALSE(itemName(entry.insertion).empty()) << entry.text;
        EXPECT_EQ(itemName(entry.insertion), itemName(entry.text)) << entry.text;
    }
}

TEST(CatalogueInsertTest, WithoutSelectionInsertsAtCaret)
{
    struct Case {
        const char* box;
        qv::text::Pos caret;
        const char* expected;
    };
    const Case cases[] = {
        {"", 0, "${Ext}"},          {"abc", 0, "${Ext}abc"},  {"abc", 1, "a${Ext}bc"},
        {"abc", 3, "abc${Ext}"},    {"abc", 4, "abc${Ext}"}, // caret beyond the end
        {"abc", 1000, "abc${Ext}"}, {"abc", -5, "${Ext}abc"},
    };
    for (const Case& c : cases) EXPECT_EQ(insertCatalogueItem(c.box, c.caret, 0, "${Ext}"), c.expected) << c.caret;
}

TEST(CatalogueInsertTest, CaretCountsBytesOfChineseText)
{
    EXPECT_EQ(insertCatalogueItem(gbk("前后"), 2, 0, "${Ext}"), gbk("前${Ext}后"));
}

TEST(CatalogueInsertTest, SelectionReplacesEveryOccurrenceIgnoringCase)
{
    EXPECT_EQ(insertCatalogueItem("abc_ABC", 0, 3, "${Ext}"), "${Ext}_${Ext}");
    EXPECT_EQ(insertCatalogueItem("abc_ABC", 4, 3, "${Ext}"), "${Ext}_${Ext}");
    EXPECT_EQ(insertCatalogueItem("x_y_x", 2, 1, "${Ext}"), "x_${Ext}_x");
    EXPECT_EQ(insertCatalogueItem("abcdef", 4, 100, "Z"), "abcdZ"); // selection cut at the end
}

TEST(CatalogueInsertTest, SelectionBeyondTheEndInsertsAtTheEnd)
{
    EXPECT_EQ(insertCatalogueItem("abc", 3, 2, "Z"), "abcZ");
    EXPECT_EQ(insertCatalogueItem("abc", 10, 2, "Z"), "abcZ");
    EXPECT_EQ(insertCatalogueItem("abc", 1, -2, "Z"), "aZbc"); // negative length: no selection
}

// A selected character is not matched where its bytes straddle two others.
TEST(CatalogueInsertTest, SelectionMatchesWholeCharactersOnly)
{
    const std::string box = "\xB0\xD2\xBB\xA1\xD2\xBB"; // 耙弧一
    EXPECT_EQ(insertCatalogueItem(box, 4, 2, "Z"), "\xB0\xD2\xBB\xA1Z");
}

} // namespace
