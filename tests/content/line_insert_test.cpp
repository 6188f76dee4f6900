#include "content/line_insert.h"

#include "content/line_rules.h"
#include "content_fixture.h"
#include "template/file_variables.h"
#include "text/run_error.h"

namespace qv {
namespace {

using testing::gbk;
using LineInsert = testing::ContentFixture;

TEST_F(LineInsert, ChecksRefuseInOrderAndTouchNothing)
{
    struct Case {
        LineInsertParams params;
        std::string message;
    } cases[] = {
        {{"  ", TemplateLines::Keyword, "1", ""}, "请输入内容插入格式！"},
        {{"AddLeft(x)", TemplateLines::Keyword, "1", ""}, "内容插入格式不正确，请在左边选择变量或函数！"},
        {{"${AddLeft(x)}", TemplateLines::Keyword, "bad", ""}, "关键字不能为空，请输入后再试！"},
    };
    addFile("a.txt", "abc");
    for (const Case& c : cases) expectRefusal([&] { return btnInsClick(c.params, ws, host, fs); }, c.message);
}

TEST_F(LineInsert, SerialNumbersCountProcessedLinesAndRestartWithEachFile)
{
    struct Case {
        TemplateLines lines;
        std::string keyword;
        std::string expected;
    } cases[] = {
        {TemplateLines::WithText, "", "001-a\r\n\r\n002-b\r\n"},
        {TemplateLines::All, "", "001-a\r\n002-\r\n003-b\r\n"},
        {TemplateLines::Keyword, "b", "a\r\n\r\n001-b\r\n"},
    };
    addFile("1.txt", "a\r\n\r\nb");
    addFile("2.txt", "a\n\nb\n");
    for (const Case& c : cases) {
        btnInsClick({"${AddLeft(${Sn(1,3)}-)}", c.lines, "1", c.keyword}, ws, host, fs);
        EXPECT_EQ(read("1.qv.txt"), c.expected);
        EXPECT_EQ(read("2.qv.txt"), c.expected);
    }
    EXPECT_EQ(ws.counters.stChangeCount, 2);
}

TEST_F(LineInsert, FileVariablesAndTokensAreReplacedOnEveryProcessedLine)
{
    addFile("a.txt", "x\r\ny");
    btnInsClick({"${AddRight(${Filename})}", TemplateLines::All, "1", ""}, ws, host, fs);
    EXPECT_EQ(read("a.qv.txt"), "xa.txt\r\nya.txt\r\n");

    btnInsClick({"${AddLeft(${FULLNAME}|${filename}|${Sn(9,2)}|${SN(9,2)} )}", TemplateLines::All, "1", ""}, ws, host,
                fs);
    const std::string path = this->path("a.txt");
    EXPECT_EQ(read("a.qv.txt"), path + "|a.txt|09|09 x\r\n" + path + "|a.txt|10|10 y\r\n");
}

TEST_F(LineInsert, LineNumberModeChangesOneLineAndGivesTheTokenItsStartValue)
{
    struct Case {
        std::string number;
        std::string expected;
    } cases[] = {
        {"2", "a\r\n05:b\r\nc\r\n"},
        {"-3", "05:a\r\nb\r\nc\r\n"},
        {"40", "a\r\nb\r\n05:c\r\n"},
    };
    addFile("a.txt", "a\nb\nc");
    for (const Case& c : cases) {
        btnInsClick({"${AddLeft(${Sn(5,2)}:)}", TemplateLines::LineNumber, c.number, ""}, ws, host, fs);
        EXPECT_EQ(read("a.qv.txt"), c.expected) << c.number;
    }
    addFile("empty.txt", "");
    btnInsClick({"${AddLeft(x)}", TemplateLines::LineNumber, "1", ""}, ws, host, fs);
    EXPECT_EQ(read("empty.qv.txt"), "");
}

TEST_F(LineInsert, GbkTextKeepsItsBytes)
{
    addFile("cn.txt", gbk("中文\r\n"));
    btnInsClick({gbk("${AddMid(3,字)}"), TemplateLines::WithText, "1", ""}, ws, host, fs);
    EXPECT_EQ(read("cn.qv.txt"), "\xD6\xD0\xD7\xD6\xCE\xC4\r\n"); // 中字文
}

TEST_F(LineInsert, BadSerialTokensAndLineNumbersEndTheRunBeforeAnyFile)
{
    struct Case {
        std::string templ;
        std::string number;
        std::string error;
    } cases[] = {
        {"${AddLeft(${Sn(1)})}", "1", "'' is not a valid integer value"},
        {"${AddLeft(${Sn(a, 2)})}", "1", "'a' is not a valid integer value"},
        {"${AddLeft(${Sn(1,2 x)})}", "1", "'2 x' is not a valid integer value"},
        {"${AddLeft(${Sn(1,2", "1", "'' is not a valid integer value"},
        {"${AddLeft(x)}", "", "'' is not a valid integer value"},
    };
    addFile("a.txt", "abc");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.templ);
        expectRunError([&] { btnInsClick({c.templ, TemplateLines::WithText, c.number, ""}, ws, host, fs); }, c.error);
    }
}

TEST(PaddedNumber, PadsWithAtMostSixteenZerosAndNeverCuts)
{
    struct Case {
        std::int64_t value, width;
        std::string expected;
    } cases[] = {
        {7, 3, "007"},
        {1234, 2, "1234"},
        {5, 0, "5"},
        {5, -4, "5"},
        {5, 20, "00000000000000005"},
        {-5, 4, "00-5"},
        {2147483648, 12, "002147483648"},
    };
    for (const Case& c : cases) EXPECT_EQ(paddedNumber(c.value, c.width), c.expected) << c.value << "/" << c.width;
}

} // namespace
} // namespace qv
