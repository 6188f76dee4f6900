#include "filelist/file_list.h"
#include "filelist/sort.h"
#include "operation/workspace.h"
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

// Keeps its own copy of the name column, changed only by what the list tells
// it, so a test can check that the notifications alone describe the list.
class ShadowObserver : public FileListObserver {
public:
    explicit ShadowObserver(FileList& files) : files_(files)
    {
        files.setObserver(this);
        listReset();
    }
    void rowsInserted(std::size_t first, std::size_t last) override
    {
        for (std::size_t row = first; row <= last; ++row)
            rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(row - 1), std::string(files_.name(row)));
    }
    void rowsRemoved(std::size_t first, std::size_t last) override
    {
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(first - 1),
                   rows.begin() + static_cast<std::ptrdiff_t>(last));
    }
    void listReset() override
    {
        ++resets;
        rows.clear();
        for (std::size_t row = 1; row <= files_.lastRow(); ++row) rows.emplace_back(files_.name(row));
    }
    void cellsChanged(std::size_t first, std::size_t last, int, int) override
    {
        for (std::size_t row = first; row <= last; ++row) rows.at(row - 1) = std::string(files_.name(row));
    }

    std::vector<std::string> rows; // one per grid row below the header, "" for the placeholder
    int resets = 0;

private:
    FileList& files_;
};

// The grid's name column as rows, the placeholder row included.
std::vector<std::string> gridNames(const FileList& files)
{
    std::vector<std::string> out;
    for (std::size_t row = 1; row <= files.lastRow(); ++row) out.emplace_back(files.name(row));
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
    ws.files.append(entry("found.txt")); // the placeholder's mark is not the entry's
    EXPECT_FALSE(ws.files.isMarked(1));
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

TEST(RemoveMarked, EntriesMoveUpWithoutTakingTheRemovedMarks)
{
    Workspace ws = fiveEntries();
    ws.files.setMark(2, true);
    ws.files.setMark(4, true);
    btnDelClick(ws);
    EXPECT_EQ(names(ws.files), (std::vector<std::string>{"a", "c", "e"}));
    EXPECT_EQ(ws.counters.stSrcCount, 3);
    for (std::size_t row = 1; row <= 3; ++row) EXPECT_FALSE(ws.files.isMarked(row)) << row;
    EXPECT_TRUE(ws.files.isConsistent());
}

TEST(Marks, MoveWithTheirEntriesWhenARowIsRemoved)
{
    Workspace ws = fiveEntries();
    ws.files.setMark(4, true); // "d"
    ws.files.removeRow(2);     // "b" goes, "d" moves up to row 3
    ws.files.removeRow(1);
    EXPECT_EQ(names(ws.files), (std::vector<std::string>{"c", "d", "e"}));
    EXPECT_FALSE(ws.files.isMarked(1));
    EXPECT_TRUE(ws.files.isMarked(2));
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
    EXPECT_FALSE(ws.files.isMarked(1));
}

TEST(RemoveMarked, ARemovedMarkNeverComesBackWithNewRows)
{
    Workspace ws = fiveEntries();
    ws.files.setMark(5, true);
    btnDelClick(ws);
    EXPECT_EQ(ws.files.lastRow(), 4u);
    ws.files.append(entry("new"));
    EXPECT_FALSE(ws.files.isMarked(5));
}

TEST(Marks, ANewSearchStartsUnmarked)
{
    Workspace ws = fiveEntries();
    btnSelAllClick(ws);
    ws.files.clear();
    EXPECT_FALSE(ws.files.isMarked(1)); // the placeholder row
    ws.files.append(entry("x"));
    ws.files.append(entry("y"));
    EXPECT_FALSE(ws.files.isMarked(1));
    EXPECT_FALSE(ws.files.isMarked(2));
}

// Each case removes rows one at a time, in the order given, from a list of
// `count` entries named by their first row. The expected list is what
// moving every following row up by one gives.
TEST(RemoveRow, AnyWalkGivesTheListThatShiftingRowsGives)
{
    struct Case {
        const char* what;
        std::size_t count;
        std::vector<std::size_t> removals;
    };
    const Case cases[] = {
        {"bottom-up, every second row", 9, {9, 7, 5, 3, 1}},
        {"top-down, the same row again and again", 5, {1, 1, 1}},
        {"top-down, following the shifted rows", 8, {2, 3, 4}},
        {"back and forth", 10, {5, 9, 1, 7, 2, 2}},
        {"every row, ending on the placeholder", 4, {4, 3, 2, 1}},
        {"rows outside the list are ignored", 3, {0, 4, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileList files;
        std::vector<std::string> expected;
        for (std::size_t i = 1; i <= c.count; ++i) {
            files.append(entry(std::to_string(i)));
            expected.push_back(std::to_string(i));
        }
        ShadowObserver shadow(files);
        for (const std::size_t row : c.removals) {
            files.removeRow(row);
            if (row >= 1 && row <= expected.size())
                expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(row - 1));
        }
        EXPECT_EQ(names(files), expected);
        EXPECT_EQ(shadow.rows, gridNames(files));
        EXPECT_TRUE(files.isConsistent());
        // The list goes on working after the walk.
        files.append(entry("new"));
        expected.push_back("new");
        EXPECT_EQ(names(files), expected);
        EXPECT_EQ(shadow.rows, gridNames(files));
    }
}

TEST(Notifications, DescribeEveryChangeAsRanges)
{
    Workspace ws;
    ShadowObserver shadow(ws.files);
    const auto expectInStep = [&](const char* after) {
        SCOPED_TRACE(after);
        EXPECT_EQ(shadow.rows, gridNames(ws.files));
    };
    for (const char* n : {"e", "a", "d", "b", "c", "f", "g"}) ws.files.append(entry(n));
    expectInStep("appending into the placeholder row and below it");
    ws.files.setName(3, "dd");
    expectInStep("renaming an entry");
    sortFileList(ws.files, NameColumn, true);
    expectInStep("sorting");
    ws.files.setMark(2, true);
    ws.files.setMark(3, true);
    ws.files.setMark(7, true);
    btnDelClick(ws);
    expectInStep("removing two runs of marked rows");
    btnSelAllClick(ws);
    btnDelClick(ws);
    expectInStep("removing every row");
    EXPECT_EQ(shadow.resets, 1); // only the first one, when the observer started
    for (int i = 0; i < 100; ++i) ws.files.append(entry(std::to_string(i)));
    btnDeSelAllClick(ws);
    for (std::size_t row = 1; row <= 100; row += 2) ws.files.setMark(row, true);
    btnDelClick(ws);
    expectInStep("removing fifty runs at once");
    EXPECT_EQ(shadow.resets, 2);
    ws.files.clear();
    expectInStep("clearing");
}

// Removing marked rows in one pass gives the list that the row-by-row walk
// (from the last row up, shifting the following rows each time) gives.
TEST(RemoveMarked, OnePassMatchesTheRowByRowWalk)
{
    const std::vector<std::vector<std::size_t>> markSets = {
        {}, {1}, {12}, {1, 2, 3}, {2, 4, 6, 8, 10, 12}, {1, 3, 5, 7, 9, 11}, {5, 6, 7, 8}, {1, 12, 13, 40},
    };
    for (const auto& marks : markSets) {
        Workspace ws;
        std::vector<std::string> expected;
        for (int i = 1; i <= 12; ++i) {
            ws.files.append(entry(std::to_string(i)));
            expected.push_back(std::to_string(i));
        }
        for (const std::size_t row : marks) ws.files.setMark(row, true);
        for (std::size_t row = expected.size(); row >= 1; --row)
            if (ws.files.isMarked(row)) expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(row - 1));
        ws.counters.stSrcCount = 12;
        btnDelClick(ws);
        EXPECT_EQ(names(ws.files), expected) << ::testing::PrintToString(marks);
        EXPECT_EQ(ws.counters.stSrcCount, static_cast<std::int64_t>(expected.size()));
        for (std::size_t row = 1; row <= ws.files.lastRow(); ++row) EXPECT_FALSE(ws.files.isMarked(row));
    }
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
