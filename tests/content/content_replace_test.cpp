#include "content/content_replace.h"

#include "content_fixture.h"
#include "support/run_error_message.h"
#include "text/run_error.h"

namespace qv {
namespace {

using testing::gbk;
using Replace = testing::ContentFixture;

TEST(ReplaceKeyword, TakenFromThePosCall)
{
    const std::pair<const char*, const char*> cases[] = {
        {"${DelMid(${Pos(abc)},3)}", "abc"},
        {"${DelMid(${POS(AbC)},3)}", "AbC"},
        {"${DelMid(${pOs(x y)},3)}", "x y"},
        {"${AddLeft(x)}", ""},
        {"${DelMid(${Pos()},3)}", ""},
        {"${DelMid(${Pos(abc", ""},
        {"${Pos(a)}", "a"},
        {"${Pos(ab}", "a"},
    };
    for (const auto& [templ, keyword] : cases) EXPECT_EQ(replaceKeyword(templ), keyword) << templ;
}

TEST(ReplaceContent, RepeatsWhileTheKeywordOccurs)
{
    struct Case {
        const char* name;
        std::string text;
        std::string templ;
        std::string result;
    };
    const Case cases[] = {
        {"deletes every occurrence", "xabcyabcz\r\n", "${DelMid(${Pos(abc)},3)}", "xyz\r\n"},
        {"keyword matched with its case", "ab AB\r\n", "${DelMid(${pos(AB)},2)}", "ab \r\n"},
        {"edit creating a new occurrence goes on", "aabb\r\n", "${DelMid(${Pos(ab)},1)}", "bb\r\n"},
        {"positions are bytes of GBK text", gbk("中a中\r\n"), gbk("${RepStr2(${Pos(中)},2,文)}"), gbk("文a文\r\n")},
        {"absent keyword: unchanged", "xyz\r\n", "${DelMid(${Pos(q)},1)}", "xyz\r\n"},
        {"no keyword: template not applied", "xyz\r\n", "${AddLeft(q)}", "xyz\r\n"},
        {"application without effect stops", "abab\r\n", "${DelMid(${Pos(ab)},0)}", "abab\r\n"},
        {"keyword never removed: bounded", "ab", "${AddMid(${Pos(ab)},x)}", std::string(18, 'x') + "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(replaceContent(c.text, replaceKeyword(c.templ), c.templ), c.result);
    }
}

TEST(ReplaceContent, LimitCountsOverlappingOccurrencesOnCharacterStarts)
{
    EXPECT_EQ(replaceApplicationLimit("aaaa", "aa"), 2 * 3 + 16);
    EXPECT_EQ(replaceApplicationLimit("xyz", "aa"), 16);
    EXPECT_EQ(replaceApplicationLimit("xyz", ""), 16);
    // 0x81 0x52: the "R" is the second byte of one character.
    EXPECT_EQ(replaceApplicationLimit(std::string("\x81R R", 4), "R"), 2 * 1 + 16);
}

TEST_F(Replace, WritesEveryMarkedFile)
{
    addFile("a.txt", "1abc2\nabc");
    addFile("b.txt", "none");
    addFile("c.txt", "abc", false);
    const OperationResult outcome = btnRepContClick({"${DelMid(${Pos(abc)},3)}"}, ws, host, fs);
    EXPECT_EQ(outcome.processed, 2);
    EXPECT_EQ(read("a.qv.txt"), "12\r\n\r\n");
    EXPECT_EQ(read("b.qv.txt"), "none\r\n");
    EXPECT_FALSE(exists("c.qv.txt"));
    EXPECT_EQ(ws.counters.stChangeCount, 2);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"成功处理完成,共处理 2 个文件!"});
}

TEST_F(Replace, EvaluatorSeesTheLineBreaks)
{
    addFile("a.txt", "ab\ncd\n");
    btnRepContClick({"${DelMid(${Pos(cd)},4)}"}, ws, host, fs);
    EXPECT_EQ(read("a.qv.txt"), "ab\r\n");
}

TEST_F(Replace, EmptyTemplateIsRefused)
{
    addFile("a.txt", "x");
    EXPECT_EQ(refusalFocus(btnRepContClick({""}, ws, host, fs)), "edtRepCont");
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"内容替换格式为空,请输入后再试!"});
    EXPECT_FALSE(exists("a.qv.txt"));
}

TEST_F(Replace, UnreadableThirdFileLeavesTwoOutputs)
{
    addFile("a.txt", "a");
    addFile("b.txt", "b");
    addEntry("missing.txt");
    EXPECT_THROW(btnRepContClick({"${AddLeft(${Pos(a)})}"}, ws, host, fs), RunError);
    EXPECT_TRUE(exists("a.qv.txt"));
    EXPECT_TRUE(exists("b.qv.txt"));
    EXPECT_EQ(ws.counters.stChangeCount, 2);
}

// A template whose text would grow past the evaluator's bound ends the run
// with its message, and the file that hit it gets no output.
TEST_F(Replace, RunawayGrowthEndsTheRunWithoutOutput)
{
    addFile("a.txt", "xyz");
    addFile("b.txt", std::string(65536, 'a'));
    addFile("c.txt", "xyz");
    const std::string templ = "${RepStr(a," + std::string(4097, 'b') + "${Pos(a)})}";
    EXPECT_EQ(testing::runErrorMessage([&] { btnRepContClick({templ}, ws, host, fs); }),
              gbk("生成的文本超过 256 MB 的上限，处理已停止！"));
    EXPECT_EQ(read("a.qv.txt"), "xyz\r\n");
    EXPECT_FALSE(exists("b.qv.txt"));
    EXPECT_FALSE(exists("c.qv.txt"));
    EXPECT_EQ(ws.counters.stChangeCount, 1);
}

} // namespace
} // namespace qv
