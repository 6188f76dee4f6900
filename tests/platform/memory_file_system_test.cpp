#include "support/memory_file_system.h"

#include "support/gbk.h"

#include <gtest/gtest.h>

namespace qv::testing {
namespace {

std::vector<std::string> names(const Listing& listing)
{
    std::vector<std::string> out;
    for (const FileEntry& e : listing.entries) out.push_back(e.name);
    return out;
}

TEST(MemoryFileSystem, ListsInOrderAddedWithDotEntriesFirst)
{
    MemoryFileSystem fs;
    fs.addFile("/d/b.txt", 7);
    fs.addFile("/d/a.TXT", 8);
    fs.addFolder("/d/sub", attr::directory | attr::readOnly);
    fs.addFile("/d/c.ini");

    EXPECT_EQ(names(fs.list("/d", "*.txt")), (std::vector<std::string>{"b.txt", "a.TXT"}));
    EXPECT_EQ(names(fs.list("/d/", "*.*")), (std::vector<std::string>{".", "..", "b.txt", "a.TXT", "sub", "c.ini"}));
    EXPECT_EQ(fs.list("/d", "*").entries.at(4).attributes, 0x11u);
    EXPECT_EQ(fs.list("/d", "a.txt").entries.at(0).size, 8u);
    EXPECT_EQ(fs.list("/d", "b.txt").entries.at(0).attributes, 0x20u);
    EXPECT_TRUE(fs.list("/none", "*").entries.empty());
    EXPECT_TRUE(fs.list("/d/b.txt", "*").entries.empty());
    EXPECT_EQ(names(fs.list("", "d")), (std::vector<std::string>{"d"}));
}

TEST(MemoryFileSystem, CountsUnconvertibleNamesForCatchAllMasks)
{
    MemoryFileSystem fs;
    fs.addFile("/d/" + gbk("报告.txt"));
    fs.addUnconvertibleNames("/d", 2);
    EXPECT_EQ(fs.list("/d", "*.*").skippedNames, 2u);
    EXPECT_EQ(fs.list("/d", "*.txt").skippedNames, 0u);
    EXPECT_EQ(names(fs.list("/d", "*.txt")), (std::vector<std::string>{gbk("报告.txt")}));
}

TEST(MemoryFileSystem, ChangesFollowTheRealRules)
{
    MemoryFileSystem fs;
    fs.addFile("/d/a.txt");
    fs.addFile("/d/b.txt");
    fs.addFile("/d/ro.txt", 1, attr::readOnly | attr::archive);
    fs.addSpecial("/d/link", attr::reparsePoint);

    EXPECT_EQ(fs.remove("/d/ro.txt"), FsStatus::ReadOnly);
    EXPECT_EQ(fs.remove("/d"), FsStatus::IsDirectory);
    EXPECT_EQ(fs.remove("/d/link"), FsStatus::Ok);
    EXPECT_EQ(fs.remove("/d/link"), FsStatus::NotFound);

    EXPECT_EQ(fs.renameNoReplace("/d/a.txt", "/d/b.txt"), FsStatus::AlreadyExists);
    EXPECT_EQ(fs.renameNoReplace("/d/a.txt", "/d/A.TXT"), FsStatus::Ok);
    EXPECT_EQ(names(fs.list("/d", "*.txt")), (std::vector<std::string>{"b.txt", "ro.txt", "A.TXT"}));
    EXPECT_EQ(fs.renameNoReplace("/d/b.txt", "/e/b.txt"), FsStatus::NotFound);

    TimeChange change;
    change.lastWrite = FileTime(std::chrono::seconds(1000));
    EXPECT_EQ(fs.setTimes("/d/ro.txt", change), FsStatus::ReadOnly);
    EXPECT_EQ(fs.setTimes("/d/b.txt", change), FsStatus::Ok);
    EXPECT_EQ(fs.find("/d/b.txt")->lastWriteTime, FileTime(std::chrono::seconds(1000)));

    EXPECT_EQ(fs.setAttributes("/d/b.txt", attr::hidden | attr::system), FsStatus::Ok);
    EXPECT_EQ(fs.find("/d/b.txt")->attributes, 0x6u);
    EXPECT_EQ(fs.setAttributes("/d/b.txt", attr::normal), FsStatus::Ok);
    EXPECT_EQ(fs.find("/d/b.txt")->attributes, 0x80u);

    fs.setStorageSupported(false);
    EXPECT_EQ(fs.setAttributes("/d/b.txt", attr::archive), FsStatus::NotSupported);
    change.creation = FileTime(std::chrono::seconds(5));
    EXPECT_EQ(fs.setTimes("/d/b.txt", change), FsStatus::NotSupported);
}

TEST(MemoryFileSystem, RenamingAFolderMovesItsContents)
{
    MemoryFileSystem fs;
    fs.addFile("/d/x/1.txt");
    EXPECT_EQ(fs.renameNoReplace("/d/x", "/d/y"), FsStatus::Ok);
    EXPECT_EQ(fs.paths(), (std::vector<std::string>{"/", "/d", "/d/y", "/d/y/1.txt"}));
    EXPECT_EQ(names(fs.list("/d/y", "*.txt")), (std::vector<std::string>{"1.txt"}));
}

} // namespace
} // namespace qv::testing
