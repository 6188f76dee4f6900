#include "content/line_delete_extract.h"

#include "content_fixture.h"
#include "support/run_error_message.h"
#include "text/run_error.h"

namespace qv {
namespace {

using testing::gbk;
CONTENT_TEST_SUITES(DeleteLines);
using ExtractLines = testing::ContentFixture;

const std::string tenLines = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n";

TEST(RangeList, EntriesInTypedOrder)
{
    struct Case {
        std::string text;
        std::vector<LineRange> expected;
    } cases[] = {
        {"3,5-8", {{3, 3}, {5, 8}}},
        {" 3 5-8 ", {{3, 3}, {5, 8}}},
        {"8-5", {{5, 8}}},
        {"-5", {{-5, -5}}},
        {"5--2", {{-2, 5}}},
        {"1,,2", {{1, 1}, {2, 2}}},
        {"\"7\",$A", {{7, 7}, {10, 10}}},
        {"2-1", {{1, 2}}},
        {" \t", {}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(parseRangeList(c.text), c.expected) << c.text;
}

TEST(RangeList, PartsThatAreNotIntegersAreRunErrors)
{
    const testing::RunErrorCase cases[] = {
        {"3-", "'' is not a valid integer value"},
        {"1-2-3", "'2-3' is not a valid integer value"},
        {"a", "'a' is not a valid integer value"},
        {"1,x-2", "'x' is not a valid integer value"},
        {"99999999999", "'99999999999' is not a valid integer value"},
    };
    testing::expectRunErrors(cases, parseRangeList);
}

TEST_F(DeleteLinesInMemory, EveryModeOnTenLines)
{
    struct Case {
        DeleteLinesParams params;
        std::string expected;
    } cases[] = {
        {{DeleteMode::LineNumbers, "1", "2", "1", ""}, "2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n"},
        {{DeleteMode::LineNumbers, "2-1", "2", "1", ""}, "3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n"},
        {{DeleteMode::LineNumbers, "100,0,-3", "2", "1", ""}, tenLines},
        {{DeleteMode::LineNumbers, "3,5-8", "2", "1", ""}, "1\r\n2\r\n4\r\n9\r\n10\r\n"},
        {{DeleteMode::LineNumbers, "5-8,3", "2", "1", ""}, "1\r\n2\r\n4\r\n5\r\n10\r\n"},
        {{DeleteMode::LineNumbers, "9-20", "0", "1", ""}, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n"},
        {{DeleteMode::LineNumbers, "1-2147483647,1", "2", "1", ""}, ""},
        {{DeleteMode::Interval, "1", "2", "2", ""}, "1\r\n3\r\n5\r\n7\r\n9\r\n"},
        {{DeleteMode::Interval, "1", "2", "-4", ""}, "2\r\n4\r\n6\r\n8\r\n10\r\n"},
        {{DeleteMode::Interval, "1", "3", "3", ""}, "1\r\n2\r\n4\r\n5\r\n7\r\n8\r\n10\r\n"},
        {{DeleteMode::Interval, "1", "1", "1", ""}, ""},
        {{DeleteMode::Keywords, "1", "2", "1", "1;5"}, "2\r\n3\r\n4\r\n6\r\n7\r\n8\r\n9\r\n"},
        {{DeleteMode::Keywords, "1", "2", "1", "   "}, tenLines},
        {{DeleteMode::BlankLines, "1", "2", "1", ""}, tenLines},
    };
    addFile("ten.txt", tenLines);
    for (const Case& c : cases) {
        btnDelLineClick(c.params, ws, host, fs);
        EXPECT_EQ(read("ten.qv.txt"), c.expected) << c.params.edtDelLineNo << " " << c.params.edtLines;
    }
}

TEST_F(DeleteLines, BlankLinesAndKeywordsOnCharacterBoundaries)
{
    // 81 41 is one GBK character whose second byte is an "A" that is no
    // character of its own.
    ASSERT_EQ(gbk("丄"), "\x81\x41");
    addFile("a.txt", "a\r\n\r\n \t \r\nb\r\n\x81\x41\r\nxAy\r\n");
    btnDelLineClick({DeleteMode::BlankLines, "1", "2", "1", ""}, ws, host, fs);
    EXPECT_EQ(read("a.qv.txt"), "a\r\nb\r\n\x81\x41\r\nxAy\r\n");
    btnDelLineClick({DeleteMode::Keywords, "1", "2", "1", "A;^b^"}, ws, host, fs);
    EXPECT_EQ(read("a.qv.txt"), "a\r\n\r\n \t \r\n\x81\x41\r\n");
}

TEST_F(DeleteLines, RefusalsComeBeforeAnythingIsRead)
{
    struct Case {
        DeleteLinesParams params;
        std::string message;
        std::string focus;
    } cases[] = {
        {{DeleteMode::Keywords, "1", "2", "1", ""}, "删除关键字为空,请输入后再试!", "edtDelKeys"},
        {{DeleteMode::Interval, "1", "0", "1", ""}, "间隔行数必须大于0,请输入后再试!", "edtLines"},
        {{DeleteMode::Interval, "1", "-2", "1", ""}, "间隔行数必须大于0,请输入后再试!", "edtLines"},
    };
    addFile("a.txt", "abc");
    for (const Case& c : cases) {
        const auto click = [&] { return btnDelLineClick(c.params, ws, host, fs); };
        EXPECT_EQ(refusalFocus(expectRefusal(click, c.message)), c.focus);
    }
}

TEST_F(DeleteLines, FieldsAreReadInEveryModeBeforeAnyFile)
{
    struct Case {
        DeleteLinesParams params;
        std::string error;
    } cases[] = {
        {{DeleteMode::Keywords, "3-", "2", "1", "k"}, "'' is not a valid integer value"},
        {{DeleteMode::BlankLines, "1", "", "1", ""}, "'' is not a valid integer value"},
        {{DeleteMode::Interval, "1", "2 ", "1", ""}, "'2 ' is not a valid integer value"},
        {{DeleteMode::LineNumbers, "1", "2", "one", ""}, "'one' is not a valid integer value"},
    };
    addFile("a.txt", "abc");
    for (const Case& c : cases) expectRunError([&] { btnDelLineClick(c.params, ws, host, fs); }, c.error);
}

TEST_F(ExtractLines, EveryModeOnLinesWithBlanks)
{
    // Lines: a, "", c, "  ", e, f.
    struct Case {
        ExtractLinesParams params;
        std::string expected;
    } cases[] = {
        {{ExtractMode::LineNumbers, "3,1", "2", "1", "", true}, "c\r\na\r\n"},
        {{ExtractMode::LineNumbers, "5,1-2", "2", "1", "", false}, "e\r\na\r\n\r\n"},
        {{ExtractMode::LineNumbers, "2-1,1,99,-1", "2", "1", "", true}, "a\r\n\r\na\r\n"},
        {{ExtractMode::Interval, "1", "2", "0", "", true}, "a\r\nc\r\ne\r\n"},
        {{ExtractMode::Interval, "1", "2", "2", "", true}, "\r\n  \r\nf\r\n"},
        {{ExtractMode::Interval, "1", "2", "2", "", false}, "f\r\n"},
        {{ExtractMode::Interval, "1", "1", "5", "", false}, "a\r\nc\r\ne\r\nf\r\n"},
        {{ExtractMode::Keywords, "1", "2", "1", "f a;e", true}, "a\r\ne\r\nf\r\n"},
        {{ExtractMode::Keywords, "1", "2", "1", "^ ^", true}, "  \r\n"},
        {{ExtractMode::Keywords, "1", "2", "1", "^ ^", false}, ""},
        {{ExtractMode::Keywords, "1", "2", "1", " ", true}, ""},
    };
    addFile("a.txt", "a\r\n\r\nc\r\n  \r\ne\r\nf");
    for (const Case& c : cases) {
        btnGetLineClick(c.params, ws, host, fs);
        EXPECT_EQ(read("a.qv.txt"), c.expected) << c.params.edtGetLineNum << " " << c.params.edtGetKeys;
    }
}

TEST_F(ExtractLines, RefusalsAndRunErrors)
{
    addFile("a.txt", "abc");
    OperationResult outcome = btnGetLineClick({ExtractMode::Keywords, "1", "2", "1", "", true}, ws, host, fs);
    EXPECT_EQ(refusalFocus(outcome), "edtGetKeys");
    outcome = btnGetLineClick({ExtractMode::Interval, "1", "$0", "1", "", true}, ws, host, fs);
    EXPECT_EQ(refusalFocus(outcome), "edtGetLines");
    EXPECT_EQ(messageTexts(),
              (std::vector<std::string>{"提取关键字为空,请输入后再试!", "间隔行数必须大于0,请输入后再试!"}));
    // An N of 0 matters only in interval mode.
    btnGetLineClick({ExtractMode::LineNumbers, "1", "0", "1", "", true}, ws, host, fs);
    EXPECT_EQ(read("a.qv.txt"), "abc\r\n");
    EXPECT_THROW(btnGetLineClick({ExtractMode::Keywords, "1-2-3", "2", "1", "a", true}, ws, host, fs), RunError);
}

TEST_F(ExtractLines, UnreadableThirdFileLeavesTwoOutputs)
{
    addFile("1.txt", "x\r\ny");
    addFile("2.txt", "z");
    addEntry("3.txt");
    EXPECT_THROW(btnGetLineClick({ExtractMode::LineNumbers, "2,1", "2", "1", "", true}, ws, host, fs), RunError);
    EXPECT_EQ(read("1.qv.txt"), "y\r\nx\r\n");
    EXPECT_EQ(read("2.qv.txt"), "z\r\n");
    EXPECT_EQ(ws.counters.stChangeCount, 2);
    EXPECT_TRUE(host.messages.empty());
}

} // namespace
} // namespace qv
