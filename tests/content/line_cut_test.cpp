#include "content/line_cut.h"

#include "content_fixture.h"
#include "text/run_error.h"

namespace qv {
namespace {

using testing::gbk;
CONTENT_TEST_SUITES(LineCut);

TEST_F(LineCut, ChecksRefuseInOrderAndTouchNothing)
{
    struct Case {
        LineCutParams params;
        std::string message;
    } cases[] = {
        {{"", true, TemplateLines::WithText, "1", ""}, "请输入内容截取格式！"},
        {{" \t ", true, TemplateLines::Keyword, "1", ""}, "请输入内容截取格式！"},
        {{"GetLeft(2)", true, TemplateLines::Keyword, "1", ""}, "内容截取格式不正确，请在左边选择变量或函数！"},
        {{"${GetLeft(2)}", true, TemplateLines::Keyword, "x", ""}, "关键字不能为空，请输入后再试！"},
    };
    addFile("a.txt", "abc");
    for (const Case& c : cases) {
        ws.counters.stChangeCount = 3;
        expectRefusal([&] { return btnCutClick(c.params, ws, host, fs); }, c.message);
        EXPECT_EQ(ws.counters.stChangeCount, 3);
    }
}

TEST_F(LineCutInMemory, LineModesAndKeepModes)
{
    // Lines: "abcdef", "", "  ", "xy", "kAB".
    const std::string source = "abcdef\r\n\n  \rxy\r\nkAB";
    struct Case {
        const char* name;
        std::string templ;
        bool keepCut;
        TemplateLines lines;
        std::string keyword;
        std::string expected;
    } cases[] = {
        // A cut that returns the whole line counts as no cut: empty in
        // keep-the-piece mode; a line of blanks reaches the evaluator.
        {"text piece", "${GetLeft(2)}", true, TemplateLines::WithText, "", "ab\r\n\r\n\r\n\r\nkA\r\n"},
        {"text rest", "${GetLeft(2)}", false, TemplateLines::WithText, "", "cdef\r\n\r\n  \r\nxy\r\nB\r\n"},
        {"all piece", "${GetRight(1)}", true, TemplateLines::All, "", "f\r\n\r\n \r\ny\r\nB\r\n"},
        {"all rest", "${GetRight(1)}", false, TemplateLines::All, "", "abcde\r\n\r\n \r\nx\r\nkA\r\n"},
        {"keyword piece", "${DelLeft(1)}", true, TemplateLines::Keyword, "k", "\r\n\r\n\r\n\r\nAB\r\n"},
        {"keyword rest", "${DelLeft(1)}", false, TemplateLines::Keyword, "k", "abcdef\r\n\r\n  \r\nxy\r\nk\r\n"},
        {"keyword is case-sensitive", "${DelLeft(1)}", true, TemplateLines::Keyword, "K", "\r\n\r\n\r\n\r\n\r\n"},
        {"trimmed template", "  ${GetMid(2,3)} \t", true, TemplateLines::WithText, "", "bcd\r\n\r\n \r\ny\r\nAB\r\n"},
    };
    addFile("a.txt", source);
    for (const Case& c : cases) {
        btnCutClick({c.templ, c.keepCut, c.lines, "1", c.keyword}, ws, host, fs);
        EXPECT_EQ(read("a.qv.txt"), c.expected) << c.name;
    }
    EXPECT_EQ(host.messages.back().text, "成功处理完成,共处理 1 个文件!");
}

TEST_F(LineCut, RestRemovesOnlyTheFirstOccurrenceOfThePiece)
{
    addFile("a.txt", "x[y]z[y]\r\n[y]");
    btnCutClick({"${GetStr2([,])}", false, TemplateLines::All, "1", ""}, ws, host, fs);
    // The second line's piece is the whole line: not cut, so it stays.
    EXPECT_EQ(read("a.qv.txt"), "xz[y]\r\n[y]\r\n");
}

TEST_F(LineCut, LineNumberModeCutsOneLineAndCopiesTheRest)
{
    struct Case {
        std::string number;
        bool keepCut;
        std::string expected;
    } cases[] = {
        {"2", true, "one\r\nt\r\nthree\r\n"},    {"0", true, "o\r\ntwo\r\nthree\r\n"},
        {"-7", false, "ne\r\ntwo\r\nthree\r\n"}, {"99", true, "one\r\ntwo\r\nt\r\n"},
        {"$2", false, "one\r\nwo\r\nthree\r\n"},
    };
    addFile("a.txt", "one\ntwo\nthree");
    for (const Case& c : cases) {
        btnCutClick({"${GetLeft(1)}", c.keepCut, TemplateLines::LineNumber, c.number, ""}, ws, host, fs);
        EXPECT_EQ(read("a.qv.txt"), c.expected) << c.number;
    }
}

TEST_F(LineCut, LineNumberModeKeepsAWholeLineResult)
{
    addFile("a.txt", "ab\r\ncd\r\n");
    btnCutClick({"${GetLeft(9)}", true, TemplateLines::LineNumber, "1", ""}, ws, host, fs);
    EXPECT_EQ(read("a.qv.txt"), "ab\r\ncd\r\n");
}

TEST_F(LineCut, FileWithoutLinesGivesAnEmptyOutputInEveryMode)
{
    addFile("empty.txt", "");
    for (const TemplateLines lines : {TemplateLines::LineNumber, TemplateLines::All}) {
        btnCutClick({"${GetLeft(1)}", true, lines, "1", ""}, ws, host, fs);
        EXPECT_EQ(read("empty.qv.txt"), "");
    }
    EXPECT_EQ(ws.counters.stChangeCount, 1);
}

TEST_F(LineCut, PositionsCountBytesOfGbkText)
{
    addFile("cn.txt", gbk("中文字符abc\r\n甲乙"));
    btnCutClick({"${GetMid(3,4)}", true, TemplateLines::WithText, "1", ""}, ws, host, fs);
    EXPECT_EQ(read("cn.qv.txt"), "\xCE\xC4\xD7\xD6\r\n\xD2\xD2\r\n"); // 文字, 乙
}

TEST_F(LineCut, LineNumberThatDoesNotConvertEndsTheRunBeforeAnyFile)
{
    addFile("a.txt", "abc");
    expectRunError(
        [&] {
            btnCutClick({"${GetLeft(1)}", true, TemplateLines::WithText, "1x", ""}, ws, host, fs);
        },
        "'1x' is not a valid integer value");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(LineCut, ProcessesEventsOncePerRowAndOncePerBlockRead)
{
    addFile("a.txt", "1\r\n2\r\n3");
    addFile("b.txt", "x", false);
    btnCutClick({"${GetLeft(1)}", true, TemplateLines::All, "1", ""}, ws, host, fs);
    EXPECT_EQ(host.eventCalls, 2 + 2) << "two rows; the file's one block and its end";
}

} // namespace
} // namespace qv
