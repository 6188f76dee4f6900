#include "operation/workspace.h"
#include "platform/posix_file_system.h"
#include "support/gbk.h"
#include "support/memory_file_system.h"
#include "support/recording_host.h"
#include "support/run_error_message.h"
#include "support/temp_tree.h"
#include "text/run_error.h"
#include "window/list_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

namespace qv {
namespace {

using testing::gbk;
using testing::RecordingHost;
using testing::TempTree;

class ListCommands : public ::testing::Test {
protected:
    void entries(std::initializer_list<std::pair<const char*, const char*>> rows)
    {
        for (const auto& [folder, name] : rows) ws.files.append(ListEntry{name, folder, 0, 0, 0});
        ws.counters.stSrcCount = static_cast<std::int64_t>(ws.files.entryCount());
    }

    TempTree tree;
    PosixFileSystem fs;
    Workspace ws;
    RecordingHost host;
};

TEST_F(ListCommands, AddAppendsChosenFilesInOrder)
{
    tree.file("a.txt", 12);
    tree.file("sub/b.ini");
    tree.symlink("a.txt", "link.txt");
    btnAddClick(ws, host, fs,
                {tree.path("sub/b.ini"), tree.path("missing.txt"), tree.path("link.txt"), tree.path("a.txt")});
    ASSERT_EQ(ws.files.entryCount(), 2u);
    EXPECT_EQ(ws.counters.stSrcCount, 2);
    EXPECT_EQ(ws.files.cell(1, 0), "b.ini");
    EXPECT_EQ(ws.files.cell(1, 1), tree.path("sub"));
    EXPECT_EQ(ws.files.cell(2, 2), "12");
    EXPECT_EQ(ws.files.fullPath(2), tree.path("a.txt"));
    btnAddClick(ws, host, fs, {tree.path("a.txt")});
    EXPECT_EQ(ws.files.entryCount(), 3u); // no duplicate check
}

TEST_F(ListCommands, AddKeepsBareNamesPointingAtTheSameFile)
{
    tree.file("here.txt");
    const std::string saved = std::filesystem::current_path();
    std::filesystem::current_path(tree.root());
    btnAddClick(ws, host, fs, {"here.txt"});
    std::filesystem::current_path(saved);
    ASSERT_EQ(ws.files.entryCount(), 1u);
    EXPECT_EQ(ws.files.folder(1), ".");
    EXPECT_EQ(ws.files.fullPath(1), "./here.txt");
}

TEST_F(ListCommands, ExportNamesWithAndWithoutFolder)
{
    entries({{"/x", "a.txt"}, {"/x", "b.txt"}, {"/y", gbk("报告.txt").c_str()}});
    ws.files.setMark(1, true);
    ws.files.setMark(3, true);
    host.savePath = tree.path("names.txt");
    host.answer = false;
    btnExpClick(ws, host, fs);
    EXPECT_EQ(host.questions, (std::vector<std::string>{"导出文件名称时，是否包含文件目录？"}));
    EXPECT_EQ(tree.read("names.txt"), "a.txt\r\n" + gbk("报告.txt") + "\r\n");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(host.messages[0].text, "文件名称导出成功,导出总数量：2");
    host.answer = true;
    btnExpClick(ws, host, fs);
    EXPECT_EQ(tree.read("names.txt"), "/x/a.txt\r\n/y/" + gbk("报告.txt") + "\r\n");
}

TEST_F(ListCommands, ExportFoldersOncePerFolderIgnoringCase)
{
    entries({{"/D/X", "1"}, {"/d/x", "2"}, {"/d/y", "3"}, {"/D/X", "4"}});
    btnSelAllClick(ws);
    host.savePath = tree.path("dirs.txt");
    btnExpDirClick(ws, host, fs);
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ(tree.read("dirs.txt"), "/D/X\r\n/d/y\r\n");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "文件目录导出成功,导出总数量：2");
}

TEST_F(ListCommands, ExportCancelledOrRefused)
{
    host.savePath = tree.path("out.txt");
    btnExpClick(ws, host, fs);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "没有源文件，请搜索后再试！");
    EXPECT_EQ(host.saveDialogs, 0);
    entries({{"/x", "a.txt"}});
    btnExpDirClick(ws, host, fs);
    EXPECT_EQ(host.messages.back().text, "请先选择文件！");
    ws.files.setMark(1, true);
    host.savePath.reset();
    btnExpClick(ws, host, fs);
    EXPECT_EQ(host.saveDialogs, 1);
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_FALSE(tree.exists("out.txt"));
}

TEST_F(ListCommands, ExportToAnUnwritablePlaceIsARunError)
{
    entries({{"/x", "a.txt"}});
    ws.files.setMark(1, true);
    host.savePath = tree.path("no/such/dir.txt");
    EXPECT_EQ(testing::runErrorMessage([&] { btnExpDirClick(ws, host, fs); }),
              "Cannot create file " + tree.path("no/such/dir.txt"));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ListCommands, DeleteRemovesDeletedRowsAndSkipsRefusals)
{
    tree.file("1.txt");
    tree.file("2.txt");
    tree.file("3.txt");
    tree.file("4.txt");
    ASSERT_EQ(::chmod(tree.path("2.txt").c_str(), 0444), 0); // read-only: refused
    entries({{tree.root().c_str(), "1.txt"},
             {tree.root().c_str(), "2.txt"},
             {tree.root().c_str(), "3.txt"},
             {tree.root().c_str(), "4.txt"}});
    ws.files.setMark(1, true);
    ws.files.setMark(2, true);
    ws.files.setMark(3, true);
    cbDelClick(ws, host, fs);
    EXPECT_EQ(host.questions, (std::vector<std::string>{"此操作将从磁盘上删除此文件且不可恢复,确认要删除吗?"}));
    EXPECT_FALSE(tree.exists("1.txt"));
    EXPECT_TRUE(tree.exists("2.txt"));
    EXPECT_FALSE(tree.exists("3.txt"));
    EXPECT_TRUE(tree.exists("4.txt"));
    ASSERT_EQ(ws.files.entryCount(), 2u);
    EXPECT_EQ(ws.files.name(1), "2.txt");
    EXPECT_EQ(ws.files.name(2), "4.txt");
    EXPECT_TRUE(ws.files.isMarked(1));  // 2.txt was refused and keeps its mark
    EXPECT_FALSE(ws.files.isMarked(2)); // 4.txt was never marked
    EXPECT_EQ(ws.counters.stSrcCount, 2);
    EXPECT_EQ(ws.counters.stDeleteCount, 2);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.eventCalls, 4);
}

TEST_F(ListCommands, DeleteStopsBetweenFiles)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) tree.file(name);
    entries({{tree.root().c_str(), "a.txt"}, {tree.root().c_str(), "b.txt"}, {tree.root().c_str(), "c.txt"}});
    btnSelAllClick(ws);
    int calls = 0;
    host.onProcessEvents = [&] { host.stop = ++calls > 1; };
    cbDelClick(ws, host, fs);
    // The walk goes up from the last row: only c.txt went before the stop.
    EXPECT_TRUE(fs.exists(tree.path("a.txt")));
    EXPECT_TRUE(fs.exists(tree.path("b.txt")));
    EXPECT_FALSE(fs.exists(tree.path("c.txt")));
    EXPECT_EQ(ws.files.entryCount(), 2u);
    EXPECT_EQ(ws.counters.stDeleteCount, 1);
}

TEST_F(ListCommands, DeleteAnsweredNoOrDeletingNothingChangesNothing)
{
    tree.file("1.txt");
    entries({{tree.root().c_str(), "1.txt"}, {tree.root().c_str(), "gone.txt"}});
    btnSelAllClick(ws);
    ws.counters.stDeleteCount = 7;
    host.answer = false;
    cbDelClick(ws, host, fs);
    EXPECT_TRUE(tree.exists("1.txt"));
    EXPECT_EQ(ws.files.entryCount(), 2u);
    host.answer = true;
    ws.files.setMark(1, false);
    cbDelClick(ws, host, fs); // only the missing file is marked
    EXPECT_EQ(ws.files.entryCount(), 2u);
    EXPECT_EQ(ws.counters.stDeleteCount, 7);
}

TEST_F(ListCommands, DeletingASymlinkKeepsItsTarget)
{
    tree.file("target.txt", 5);
    tree.symlink("target.txt", "link.txt");
    entries({{tree.root().c_str(), "link.txt"}});
    ws.files.setMark(1, true);
    cbDelClick(ws, host, fs);
    EXPECT_FALSE(tree.exists("link.txt"));
    EXPECT_TRUE(tree.exists("target.txt"));
    EXPECT_TRUE(ws.files.isEmpty());
    EXPECT_EQ(ws.counters.stSrcCount, 0);
    EXPECT_EQ(ws.counters.stDeleteCount, 1);
}

TEST_F(ListCommands, DeleteSurvivesTheListEmptiedWhileItRuns)
{
    tree.file("1.txt");
    tree.file("2.txt");
    entries({{tree.root().c_str(), "1.txt"}, {tree.root().c_str(), "2.txt"}});
    btnSelAllClick(ws);
    host.onProcessEvents = [&] { ws.files.clear(); };
    cbDelClick(ws, host, fs);
    EXPECT_TRUE(tree.exists("1.txt"));
    EXPECT_TRUE(tree.exists("2.txt"));
}

// The delete command gives the list that deleting row by row from the last
// up, shifting the following rows after each deleted file, gives; refused
// files keep their rows.
TEST(DeleteWalk, MatchesTheRowByRowWalkOnMarkPatterns)
{
    struct Case {
        std::size_t count;
        std::vector<std::size_t> marks;
        std::vector<std::size_t> readOnly; // rows whose files refuse deletion
    };
    const Case cases[] = {
        {10, {2, 4, 6, 8, 10}, {}},      {10, {1, 3, 5, 7, 9}, {5}}, {6, {1, 2, 3, 4, 5, 6}, {}},
        {6, {1, 2, 3, 4, 5, 6}, {1, 6}}, {8, {3, 4, 5}, {4}},        {1, {1}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.marks) + " read-only " + ::testing::PrintToString(c.readOnly));
        testing::MemoryFileSystem fs;
        Workspace ws;
        RecordingHost host;
        std::vector<std::string> expected;
        for (std::size_t row = 1; row <= c.count; ++row) {
            const std::string name = std::to_string(row) + ".txt";
            const bool refuses = std::find(c.readOnly.begin(), c.readOnly.end(), row) != c.readOnly.end();
            fs.addFile("/d/" + name, 0, refuses ? attr::readOnly : 0);
            ws.files.append(ListEntry{name, "/d", 0, 0, 0});
            expected.push_back(name);
        }
        ws.counters.stSrcCount = static_cast<std::int64_t>(c.count);
        for (const std::size_t row : c.marks) ws.files.setMark(row, true);
        std::int64_t deleted = 0;
        for (std::size_t row = c.count; row >= 1; --row) {
            const bool refuses = std::find(c.readOnly.begin(), c.readOnly.end(), row) != c.readOnly.end();
            if (!ws.files.isMarked(row) || refuses) continue;
            expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(row - 1));
            ++deleted;
        }
        cbDelClick(ws, host, fs);
        std::vector<std::string> kept;
        for (std::size_t row = 1; row <= ws.files.entryCount(); ++row) kept.emplace_back(ws.files.name(row));
        EXPECT_EQ(kept, expected);
        EXPECT_EQ(ws.counters.stSrcCount, static_cast<std::int64_t>(expected.size()));
        EXPECT_EQ(ws.counters.stDeleteCount, deleted);
        for (const std::string& name : expected) EXPECT_TRUE(fs.exists("/d/" + name)) << name;
        EXPECT_TRUE(ws.files.isConsistent());
    }
}

} // namespace
} // namespace qv
