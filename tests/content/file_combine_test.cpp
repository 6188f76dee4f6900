#include "content/file_combine.h"

#include "content_fixture.h"
#include "text/run_error.h"

#include <filesystem>

namespace qv {
namespace {

using testing::gbk;
CONTENT_TEST_SUITES(Combine);

TEST_F(CombineInMemory, ConcatenatesInDisplayOrderIntoTheLastMarkedFile)
{
    addFile("a.txt", "a1\na2");
    addFile("skip.txt", "no\r\n", false);
    addFile("b.txt", "");
    addFile("c.txt", gbk("中\r丙\r\n"));
    const OperationResult outcome = btnFileCombineClick({}, ws, host, fs);
    EXPECT_EQ(outcome.processed, 3);
    EXPECT_EQ(read("c.qv.txt"), "a1\r\na2\r\n" + gbk("中\r\n丙\r\n"));
    EXPECT_EQ(read("c.txt"), gbk("中\r丙\r\n"));
    EXPECT_FALSE(exists("a.qv.txt"));
    EXPECT_EQ(ws.counters.stChangeCount, 3);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"成功处理完成,共处理 3 个文件!"});
}

TEST_F(CombineInMemory, OutputThatNamesOneOfItsFilesIsNotWritten)
{
    addFile("a.qv.txt", "mine");
    addFile("a.txt", "new");
    const OperationResult outcome = btnFileCombineClick({}, ws, host, fs);
    EXPECT_EQ(read("a.qv.txt"), "mine");
    EXPECT_EQ(outcome.processed, 0);
    ASSERT_EQ(outcome.skipped.size(), 1u);
    EXPECT_EQ(outcome.skipped[0].path, path("a.txt"));
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"成功处理完成,共处理 0 个文件!\r\n1 个文件未处理"});
}

TEST_F(Combine, OneMarkedFileGivesACopyWithCrLf)
{
    addFile("only.txt", "x\ny");
    btnFileCombineClick({}, ws, host, fs);
    EXPECT_EQ(read("only.qv.txt"), "x\r\ny\r\n");
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"成功处理完成,共处理 1 个文件!"});
}

TEST_F(Combine, LastFileInAnotherFolderReceivesTheResult)
{
    addFile("a.txt", "a\r\n");
    std::filesystem::create_directory(path("sub"));
    writeFile("sub/z.txt", "z");
    ws.files.append({"z.txt", path("sub"), 0, 0, 0});
    ws.files.setMark(ws.files.lastRow(), true);
    btnFileCombineClick({}, ws, host, fs);
    EXPECT_EQ(read("sub/z.qv.txt"), "a\r\nz\r\n");
}

TEST_F(Combine, UnreadableFileStopsTheRunWithoutOutput)
{
    addFile("a.txt", "a\r\n");
    addFile("b.txt", "b\r\n");
    addEntry("missing.txt");
    addFile("d.txt", "d\r\n");
    EXPECT_THROW(btnFileCombineClick({}, ws, host, fs), RunError);
    EXPECT_EQ(ws.counters.stChangeCount, 2);
    EXPECT_FALSE(exists("d.qv.txt"));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Combine, SelectionCheckLeavesTheCounter)
{
    addFile("a.txt", "a", false);
    ws.counters.stChangeCount = 4;
    btnFileCombineClick({}, ws, host, fs);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"请先选择文件！"});
    EXPECT_EQ(ws.counters.stChangeCount, 4);
}

} // namespace
} // namespace qv
