#include "content/key_merge.h"

#include "content_fixture.h"
#include "text/run_error.h"

namespace qv {
namespace {

using testing::gbk;
CONTENT_TEST_SUITES(KeyMerge);

TEST_F(KeyMerge, KeyIsTheBytesBeforeTheFirstEquals)
{
    EXPECT_EQ(keyOf("Port=8080"), "Port");
    EXPECT_EQ(keyOf("Key = v"), "Key ");
    EXPECT_EQ(keyOf("a=b=c"), "a");
    EXPECT_EQ(keyOf("=value"), "");
    EXPECT_EQ(keyOf("[net]"), "");
}

TEST_F(KeyMergeInMemory, MergesTable)
{
    struct Case {
        const char* name;
        std::string source;
        std::string target;
        std::string output;
        const char* message;
    };
    const Case cases[] = {
        {"value taken, case of the source key", "Port=8080\r\n", "[net]\r\nport=80\r\nHost=x\r\n",
         "[net]\r\nPort=8080\r\nHost=x\r\n", "成功处理完成,共处理 1 条记录!"},
        {"empty value deletes", "Port=\r\n", "a=1\r\nPORT=80\r\nb=2", "a=1\r\nb=2\r\n",
         "成功处理完成,共处理 1 条记录!"},
        {"second source line takes the first value", "k=1\nk=2\n", "k=0\n", "k=1\r\n", "成功处理完成,共处理 2 条记录!"},
        {"only the first target line of two sections", "k=new\r\n", "[a]\r\nk=1\r\n[b]\r\nk=2\r\n",
         "[a]\r\nk=new\r\n[b]\r\nk=2\r\n", "成功处理完成,共处理 1 条记录!"},
        {"untrimmed key does not match", "Key =1\r\n", "Key=0\r\n", "Key=0\r\n", "成功处理完成,共处理 0 条记录!"},
        {"two empty values delete two target lines", "k=\r\nk=\r\nk=\r\n", "k=1\r\nx\r\nk=2\r\n", "x\r\n",
         "成功处理完成,共处理 2 条记录!"},
        {"lines without key take no part", "=x\r\nplain\r\n", "=y\r\nplain\r\n", "=y\r\nplain\r\n",
         "成功处理完成,共处理 0 条记录!"},
        {"GBK keys and values", gbk("名称=新值\r\n"), gbk("名称=旧\r\n其他=1\r\n"), gbk("名称=新值\r\n其他=1\r\n"),
         "成功处理完成,共处理 1 条记录!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ws.files.clear();
        host.messages.clear();
        addFile("source.ini", c.source);
        addFile("target.ini", c.target);
        ws.counters.stChangeCount = 9;
        btnSynClick({}, ws, host, fs);
        EXPECT_EQ(read("target.qv.ini"), c.output);
        EXPECT_EQ(messageTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(host.messages[0].kind, MessageKind::Information);
        EXPECT_EQ(read("target.ini"), c.target);
        EXPECT_EQ(ws.counters.stChangeCount, 9);
    }
}

TEST_F(KeyMerge, ThirdMarkedFileIsIgnored)
{
    addFile("a.ini", "k=1\r\n");
    addFile("b.ini", "k=0\r\n");
    addFile("c.ini", "k=2\r\n");
    EXPECT_EQ(btnSynClick({}, ws, host, fs).processed, 1);
    EXPECT_EQ(read("b.qv.ini"), "k=1\r\n");
    EXPECT_FALSE(exists("c.qv.ini"));
}

TEST_F(KeyMerge, RefusesWithoutTwoMarkedFiles)
{
    btnSynClick({}, ws, host, fs);
    addFile("a.ini", "k=1\r\n");
    addFile("b.ini", "k=0\r\n", false);
    const OperationResult outcome = btnSynClick({}, ws, host, fs);
    EXPECT_EQ(outcome.status, OperationResult::Status::Refused);
    EXPECT_EQ(messageTexts(),
              (std::vector<std::string>{"没有源文件，请搜索后再试！", "请选择需要按关键字进行合并的两个文件！"}));
    EXPECT_EQ(host.messages[1].kind, MessageKind::Error);
    EXPECT_FALSE(exists("b.qv.ini"));
}

TEST_F(KeyMerge, UnreadableTargetIsARunErrorWithoutOutput)
{
    addFile("a.ini", "k=1\r\n");
    addEntry("missing.ini");
    EXPECT_THROW(btnSynClick({}, ws, host, fs), RunError);
    EXPECT_FALSE(exists("missing.qv.ini"));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(KeyMerge, ProcessesEventsBeforeEachSourceLine)
{
    addFile("a.ini", "a=1\r\nb=2\r\nc\r\n");
    addFile("b.ini", "a=0\r\n");
    btnSynClick({}, ws, host, fs);
    EXPECT_EQ(host.eventCalls, 3);
}

} // namespace
} // namespace qv
