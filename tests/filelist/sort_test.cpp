#include "filelist/sort.h"
#include "operation/workspace.h"
#include "support/gbk.h"
#include "window/mouse_release.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using testing::gbk;

std::vector<std::string> column(const FileList& files, int c)
{
    std::vector<std::string> out;
    for (std::size_t row = 1; row <= files.entryCount(); ++row) out.push_back(files.cell(row, c));
    return out;
}

void add(FileList& files, std::string name, std::string folder = "/d", std::int64_t size = 0, std::int64_t created = 0,
         std::int64_t modified = 0)
{
    files.append(ListEntry{std::move(name), std::move(folder), size, created, modified});
}

using Names = std::vector<std::string>;

// Sorts `files` by `sortColumn` and returns the names in their new order.
Names namesSortedBy(FileList& files, int sortColumn, bool ascending)
{
    sortFileList(files, sortColumn, ascending);
    return column(files, 0);
}

// A list of entries with these names, in this order, all in folder "/d".
FileList listOf(std::initializer_list<std::string> names)
{
    FileList files;
    for (const std::string& name : names) add(files, name);
    return files;
}

TEST(SortByName, IgnoresLetterCaseBothWays)
{
    FileList files = listOf({"B.txt", "c.txt", "a.txt"});
    EXPECT_EQ(namesSortedBy(files, NameColumn, true), (Names{"a.txt", "B.txt", "c.txt"}));
    EXPECT_EQ(namesSortedBy(files, NameColumn, false), (Names{"c.txt", "B.txt", "a.txt"}));
}

TEST(SortByName, EqualNamesGoByFormerRowNumberAsText)
{
    FileList files;
    for (int i = 1; i <= 10; ++i)
        add(files, i == 2 || i == 10 ? "same" : "x" + std::to_string(i), "/f" + std::to_string(i));
    sortFileList(files, NameColumn, true);
    EXPECT_EQ(files.folder(1), "/f10");
    EXPECT_EQ(files.folder(2), "/f2");
    sortFileList(files, NameColumn, false);
    EXPECT_EQ(files.folder(9), "/f2");
    EXPECT_EQ(files.folder(10), "/f10");
}

TEST(SortByName, KeysCarryTheRowNumberAfterADot)
{
    // Keys "a-.1" and "a.2": "-" (0x2D) sorts before "." (0x2E).
    FileList files = listOf({"a-", "a"});
    EXPECT_EQ(namesSortedBy(files, NameColumn, true), (Names{"a-", "a"}));
}

TEST(SortByName, ChineseNamesFollowTheirCodePageBytes)
{
    FileList files = listOf({gbk("张三.txt"), gbk("阿明.txt"), "Zoo.txt", gbk("李四.txt")});
    // ASCII first, then GB2312 level-one characters in pinyin order.
    EXPECT_EQ(namesSortedBy(files, NameColumn, true),
              (Names{"Zoo.txt", gbk("阿明.txt"), gbk("李四.txt"), gbk("张三.txt")}));
}

TEST(SortByFolder, OrdersByFolderThenName)
{
    FileList files;
    add(files, "a.txt", "/b");
    add(files, "z.txt", "/a");
    add(files, "b.txt", "/A");
    sortFileList(files, FolderColumn, true);
    EXPECT_EQ(column(files, 1), (Names{"/A", "/a", "/b"}));
    EXPECT_EQ(column(files, 0), (Names{"b.txt", "z.txt", "a.txt"}));
}

TEST(SortByType, OrdersByExtensionThenName)
{
    FileList files = listOf({"b.txt", "a.ini", "a.txt", "noext"});
    EXPECT_EQ(namesSortedBy(files, TypeColumn, true), (Names{"a.ini", "a.txt", "b.txt", "noext"}));
}

TEST(SortByDate, IsChronological)
{
    FileList files;
    add(files, "new", "/d", 0, 1709337600, 100);
    add(files, "old", "/d", 0, 951782400, 300);
    add(files, "mid", "/d", 0, 1000000000, 200);
    EXPECT_EQ(namesSortedBy(files, CreatedColumn, true), (Names{"old", "mid", "new"}));
    EXPECT_EQ(namesSortedBy(files, ModifiedColumn, false), (Names{"old", "mid", "new"}));
}

TEST(SortBySize, IsExactOnSixtyFourBitsWithTiesByFormerRow)
{
    FileList files;
    add(files, "r1", "/d", 101);
    add(files, "r2", "/d", 3000000000LL);
    add(files, "r3", "/d", 7);
    add(files, "r4", "/d", 7);
    add(files, "r5", "/d", 7);
    add(files, "r6", "/d", 7);
    add(files, "r7", "/d", 7);
    add(files, "r8", "/d", 7);
    add(files, "r9", "/d", 100);
    add(files, "r10", "/d", 7);
    EXPECT_EQ(namesSortedBy(files, SizeColumn, true),
              (Names{"r3", "r4", "r5", "r6", "r7", "r8", "r10", "r9", "r1", "r2"}));
    EXPECT_EQ(files.cell(10, 2), "3000000000");
    EXPECT_EQ(namesSortedBy(files, SizeColumn, false),
              (Names{"r2", "r1", "r9", "r10", "r8", "r7", "r6", "r5", "r4", "r3"}));
}

TEST(Sort, MarksMoveWithTheirEntries)
{
    FileList files = listOf({"e", "d", "c", "b", "a"});
    for (std::size_t row = 1; row <= 2; ++row) files.setMark(row, true); // "e" and "d"
    EXPECT_EQ(namesSortedBy(files, NameColumn, true), (Names{"a", "b", "c", "d", "e"}));
    const std::vector<bool> expected{false, false, false, true, true};
    for (std::size_t row = 1; row <= 5; ++row) EXPECT_EQ(files.isMarked(row), expected[row - 1]) << row;
    EXPECT_TRUE(files.isConsistent());
}

TEST(Sort, EmptyListAndUnknownColumnChangeNothing)
{
    FileList files;
    sortFileList(files, NameColumn, true);
    EXPECT_TRUE(files.isEmpty());
    add(files, "b");
    add(files, "a");
    sortFileList(files, 6, true);
    sortFileList(files, -1, true);
    EXPECT_EQ(column(files, 0), (Names{"b", "a"}));
}

TEST(MouseRelease, AlternatesDirectionOnEveryRelease)
{
    Workspace ws;
    for (const char* n : {"b", "a", "c"}) add(ws.files, n);
    const GridCell header{0, NameColumn};
    const GridCell sizeCell{2, SizeColumn};
    sgFilesMouseUp(ws, header, sizeCell); // first release: ascending
    EXPECT_EQ(column(ws.files, 0), (Names{"a", "b", "c"}));
    sgFilesMouseUp(ws, header, sizeCell); // second: descending
    EXPECT_EQ(column(ws.files, 0), (Names{"c", "b", "a"}));
    sgFilesMouseUp(ws, sizeCell, sizeCell); // a data cell flips the flag too
    sgFilesMouseUp(ws, header, sizeCell);
    EXPECT_EQ(column(ws.files, 0), (Names{"c", "b", "a"}));
    for (std::size_t row = 1; row <= 3; ++row) EXPECT_FALSE(ws.files.isMarked(row));
}

TEST(MouseRelease, NameCellTogglesItsRowsMark)
{
    Workspace ws;
    for (const char* n : {"b", "a"}) add(ws.files, n);
    const GridCell name2{2, NameColumn};
    sgFilesMouseUp(ws, name2, name2);
    EXPECT_TRUE(ws.files.isMarked(2));
    sgFilesMouseUp(ws, name2, name2);
    EXPECT_FALSE(ws.files.isMarked(2));
    // A release over no cell flips the direction flag and nothing else.
    sgFilesMouseUp(ws, name2, name2); // "a" marked
    const bool ascending = ws.sortAscending;
    sgFilesMouseUp(ws, std::nullopt, name2);
    EXPECT_NE(ws.sortAscending, ascending);
    EXPECT_TRUE(ws.files.isMarked(2));
    // A header click while a name cell is current only sorts; "a" keeps its mark.
    sgFilesMouseUp(ws, GridCell{0, NameColumn}, name2);
    EXPECT_EQ(column(ws.files, 0), (Names{"a", "b"}));
    EXPECT_TRUE(ws.files.isMarked(1));
    EXPECT_FALSE(ws.files.isMarked(2));
    EXPECT_TRUE(ws.files.isConsistent());
}

} // namespace
} // namespace qv
