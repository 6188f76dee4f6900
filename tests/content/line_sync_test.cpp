#include "content/line_sync.h"

#include "content_fixture.h"
#include "support/gbk.h"
#include "support/run_error_message.h"
#include "text/run_error.h"

namespace qv {
namespace {

using testing::gbk;
using testing::utf8;
using LineSync = testing::ContentFixture;

TEST_F(LineSync, SyncsTable)
{
    struct Case {
        const char* name;
        std::string keywords;
        std::string source;
        std::string target;
        std::string output;
        const char* message;
    };
    const Case cases[] = {
        {"keywords in any letter case, source case kept", "ab;CD", "xAbx\r\nnone\r\nzcdz\r\n", "t1\r\nt2\r\nt3\r\n",
         "xAbx\r\nt2\r\nzcdz\r\n", "成功处理完成,共处理 2 条记录!"},
        {"only separators: nothing matches", "; ;", "a\r\n", "t\r\n", "t\r\n", "成功处理完成,共处理 0 条记录!"},
        {"blank separates keywords", "aa bb", "xbbx\n", "t", "xbbx\r\n", "成功处理完成,共处理 1 条记录!"},
        {"quoted keyword keeps its blank", "^a b^", "a b\r\nab\r\n", "1\r\n2\r\n", "a b\r\n2\r\n",
         "成功处理完成,共处理 1 条记录!"},
        {"longer source matching within the target", "k", "k1\r\nk2\r\nx\r\ny\r\n", "1\r\n2\r\n", "k1\r\nk2\r\n",
         "成功处理完成,共处理 2 条记录!"},
        {"GBK keyword", gbk("翻译"), gbk("需要翻译\r\n其他\r\n"), gbk("原文\r\n原文\r\n"), gbk("需要翻译\r\n原文\r\n"),
         "成功处理完成,共处理 1 条记录!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ws.files.clear();
        host.messages.clear();
        addFile("src.txt", c.source);
        addFile("dst.txt", c.target);
        btnLineSynClick({c.keywords}, ws, host, fs);
        EXPECT_EQ(read("dst.qv.txt"), c.output);
        EXPECT_EQ(messageTexts(), std::vector<std::string>{c.message});
    }
}

TEST_F(LineSync, MatchBeyondTheTargetIsARunErrorNamingTheLine)
{
    addFile("src.txt", "x\r\nx\r\nkey here\r\n");
    addFile("dst.txt", "1\r\n2\r\n");
    EXPECT_EQ(utf8(testing::runErrorMessage([&] { btnLineSynClick({"key"}, ws, host, fs); })),
              "源文件第 3 行含有关键字,但目标文件只有 2 行!");
    EXPECT_FALSE(exists("dst.qv.txt"));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(LineSync, ChecksComeInOrder)
{
    btnLineSynClick({""}, ws, host, fs);
    addFile("a.txt", "x");
    btnLineSynClick({""}, ws, host, fs);
    const OperationResult outcome = btnLineSynClick({"k"}, ws, host, fs);
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"没有源文件，请搜索后再试！", "关键字为空,请输入后再试!",
                                                        "请选择需要按关键字进行同步的两个文件！"}));
    EXPECT_EQ(refusalFocus(outcome), "");
    const OperationResult empty = btnLineSynClick({""}, ws, host, fs);
    EXPECT_EQ(refusalFocus(empty), "edtLineKeys");
    EXPECT_FALSE(exists("a.qv.txt"));
}

TEST_F(LineSync, MatchesOnlyWholeCharacters)
{
    // 0x81 0x52 is one GBK character whose second byte is the letter "R":
    // the keyword "r" must not match inside it.
    const std::string text = gbk("丶R");
    ASSERT_EQ(text.size(), 3u);
    const std::string trailR = std::string("\x81\x52", 2);
    addFile("src.txt", trailR + "\r\n" + text + "\r\n");
    addFile("dst.txt", "1\r\n2\r\n");
    btnLineSynClick({"r"}, ws, host, fs);
    EXPECT_EQ(read("dst.qv.txt"), "1\r\n" + text + "\r\n");
}

} // namespace
} // namespace qv
