#include "filelist/file_list.h"
#include "filelist/workspace.h"
#include "support/gbk.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using testing::gbk;
using testing::RecordingHost;

ListEntry entry(std::string name, std::string folder = "/d", std::int64_t size = 0)
{
    return ListEntry{std::move(name), std::move(folder), size, 0, 0};
}

std::vector<std::string> names(const FileList& files)
{
    std::vector<std::string> out;
    for (std::size_t row = 1; row <= files.entryCount(); ++row) out.emplace_back(files.name(row));
    return out;
}

Workspace fiveEntries()
{
    Workspace ws;
    for (const char* n : {"a", "b", "c", "d", "e"}) ws.files.append(entry(n));
    ws.counters.stSrcCount = 5;
    return ws;
}

TEST(FileList, FreshListShowsHeaderAndPlaceholderRow)
{
    FileList files;
    EXPECT_TRUE(files.isEmpty());
    EXPECT_EQ(files.lastRow(), 1u);
    EXPECT_EQ(files.cell(0, 0), gbk("文件名称"));
    EXPECT_EQ(files.cell(0, 2), gbk("大小(字节)"));
    EXPECT_EQ(files.cell(0, 5), gbk("文件类型"));
    for (int c = 0; c < 6; ++c) EXPECT_EQ(files.cell(1, c), "");
    EXPECT_FALSE(files.isMarked(1));
    EXPECT_EQ(files.cell(7, 0), "");
    EXPECT_EQ(files.cell(1, 9), "");
    EXPECT_TRUE(files.isConsistent());
}

TEST(FileList, AppendFillsPlaceholderThenAddsRows)
{
    FileList files;
    files.append(ListEntry{"Report.TXT", "/home/u", 3000000000LL, 1709308740, 0});
    EXPECT_EQ(files.lastRow(), 1u);
    EXPECT_EQ(files.cell(1, 0), "Report.TXT");
    EXPECT_EQ(files.cell(1, 1), "/home/u");
    EXPECT_EQ(files.cell(1, 2), "3000000000");
    EXPECT_EQ(files.cell(1, 3), "2024-03-01 15:59:00");
    EXPECT_EQ(files.cell(1, 4), "1970-01-01 00:00:00");
    EXPECT_EQ(files.cell(1, 5), ".TXT");
    EXPECT_EQ(files.fullPath(1), "/home/u/Report.TXT");
    files.append(entry("b.txt", ""));
    EXPECT_EQ(files.lastRow(), 2u);
    EXPECT_EQ(files.fullPath(2), "/b.txt");
    EXPECT_TRUE(files.isConsistent());
}

TEST(FileList, TypeCellIsFromTheLastDot)
{
    EXPECT_EQ(typeOf("archive.tar.gz"), ".gz");
    EXPECT_EQ(typeOf("README"), "");
    EXPECT_EQ(typeOf(".profile"), ".profile");
    EXPECT_EQ(typeOf("name."), ".");
    EXPECT_EQ(typeOf(gbk("报告.文本")), gbk(".文本"));
}

TEST(Marks, SelectAllOnEmptyListMarksPlaceholderButCheckStillRefuses)
{
    Workspace ws;
    RecordingHost host;
    btnSelAllClick(ws);
    EXPECT_TRUE(ws.files.isMarked(1));
    EXPECT_FALSE(selectionCheck(ws, host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(host.messages[0].text, "没有源文件，请搜索后再试！");
    btnDelClick(ws);
    EXPECT_TRUE(ws.files.isEmpty());
    EXPECT_EQ(ws.counters.stSrcCount, 0);
    ws.files.append(entry("found.txt"));
    EXPECT_TRUE(ws.files.isMarked(1));
}

TEST(Marks, SelectionCheckNeedsOneMarkAndAcceptsTheLastRowAlone)
{
    Workspace ws = fiveEntries();
    RecordingHost host;
    EXPECT_FALSE(selectionCheck(ws, host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "请先选择文件！");
    ws.files.setMark(5, true);
    EXPECT_TRUE(selectionCheck(ws, host));
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST(Marks, InvertAndClearAll)
{
    Workspace ws = fiveEntries();
    ws.files.setMark(2, true);
    btnInverseClick(ws);
    EXPECT_TRUE(ws.files.isMarked(1));
    EXPECT_FALSE(ws.files.isMarked(2));
    EXPECT_TRUE(ws.files.isMarked(5));
    btnDeSelAllClick(ws);
    for (std::size_t row = 1; row <= 5; ++row) EXPECT_FALSE(ws.files.isMarked(row));
}

TEST(Marks, RowZeroAndRowsPastTheListAreNeverMarked)
{
    FileList files;
    files.append(entry("a"));
    files.setMark(0, true);
    files.setMark(2, true);
    files.setMark(1000000, true);
    EXPECT_FALSE(files.isMarked(0));
    EXPECT_FALSE(files.isMarked(2));
    EXPECT_FALSE(files.isMarked(1000000));
    EXPECT_TRUE(files.isConsistent());
}

TEST(Marks, GrowWithTheListPastHalfAMillionRows)
{
    FileList files;
    for (int i = 0; i < 600000; ++i) files.append(entry("f", "/d"));
    files.setMark(599999, true);
    files.setMark(600000, true);
    EXPECT_TRUE(files.isMarked(599999));
    EXPECT_TRUE(files.isMarked(600000));
    EXPECT_FALSE(files.isMarked(600001));
    EXPECT_TRUE(files.isConsistent());
}

TEST(RemoveMarked, EntriesMoveUpAndMarksStayOnPositions)
{
    Workspace ws = fiveEntries();
    ws.files.setMark(2, true);
    ws.files.setMark(4, true);
    btnDelClick(ws);
    EXPECT_EQ(names(ws.files), (std::vector<std::string>{"a", "c", "e"}));
    EXPECT_EQ(ws.counters.stSrcCount, 3);
    EXPECT_TRUE(ws.files.isMarked(2)); // now holds "c"
    EXPECT_FALSE(ws.files.isMarked(3));
    EXPECT_TRUE(ws.files.isConsistent());
}

TEST(RemoveMarked, TheOnlyEntryLeavesThePlaceholderRow)
{
    Workspace ws;
    ws.files.append(entry("only.txt"));
    ws.counters.stSrcCount = 1;
    ws.files.setMark(1, true);
    btnDelClick(ws);
    EXPECT_TRUE(ws.files.isEmpty());
    EXPECT_EQ(ws.files.lastRow(), 1u);
    EXPECT_EQ(ws.files.cell(1, 0), "");
    EXPECT_EQ(ws.counters.stSrcCount, 0);
    EXPECT_TRUE(ws.files.isMarked(1));
}

TEST(RemoveMarked, AMarkBeyondTheShortenedListComesBackWithNewRows)
{
    Workspace ws = fiveEntries();
    ws.files.setMark(5, true);
    btnDelClick(ws);
    EXPECT_EQ(ws.files.lastRow(), 4u);
    ws.files.append(entry("new"));
    EXPECT_TRUE(ws.files.isMarked(5));
}

TEST(TwoFilePick, TakesTheFirstTwoMarkedRows)
{
    FileList files;
    for (int i = 0; i < 10; ++i) files.append(entry("f"));
    files.setMark(3, true);
    EXPECT_FALSE(pickTwoFiles(files).found);
    files.setMark(7, true);
    files.setMark(9, true);
    const TwoFilePick pick = pickTwoFiles(files);
    EXPECT_TRUE(pick.found);
    EXPECT_EQ(pick.first, 3u);
    EXPECT_EQ(pick.second, 7u);
}

TEST(Counters, ShowDecimalText)
{
    EXPECT_EQ(counterText(0), "0");
    EXPECT_EQ(counterText(1000000), "1000000");
    EXPECT_EQ(counterText(-2), "-2");
}

TEST(RandomIndex, StaysInRangeAndRepeatsForASeed)
{
    RandomIndex a(42), b(42);
    EXPECT_EQ(a(0), 0);
    EXPECT_EQ(a(-5), 0);
    for (int i = 0; i < 1000; ++i) {
        const std::int64_t v = a(7);
        EXPECT_GE(v, 0);
        EXPECT_LT(v, 7);
        EXPECT_EQ(v, b(7));
    }
}

} // namespace
} // namespace qv
