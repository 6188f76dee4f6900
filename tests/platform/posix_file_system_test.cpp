#include "platform/posix_file_system.h"

#include "support/gbk.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace qv {
namespace {

using namespace std::chrono;
using namespace std::string_literals;
using testing::gbk;

// A fresh folder per test, removed afterwards.
class PosixFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testing::freshTestFolder("posix_fs").string();
        umask(022);
    }
    void TearDown() override { testing::removeTestFolder(root); }

    // Creates a file (UTF-8 name relative to root) with `content`; gives its
    // code page 936 path.
    std::string write(const std::string& name, const std::string& content = "x")
    {
        std::ofstream(root + "/" + name, std::ios::binary) << content;
        return root + "/" + name;
    }
    void skipWithoutUserXattrs()
    {
        const std::string probe = root + "/.probe";
        std::ofstream(probe) << "";
        const bool ok = setxattr(probe.c_str(), "user.qv", "1", 1, 0) == 0;
        std::filesystem::remove(probe);
        if (!ok) GTEST_SKIP() << "the file system under " << root << " refuses user extended attributes";
    }
    std::vector<std::string> names(const Listing& listing)
    {
        std::vector<std::string> out;
        for (const FileEntry& e : listing.entries) out.push_back(e.name);
        std::sort(out.begin(), out.end());
        return out;
    }
    std::uint32_t attributesOf(const std::string& path) { return fs.stat(path).value().attributes; }
    mode_t modeOf(const std::string& utf8Path)
    {
        struct stat info;
        EXPECT_EQ(lstat(utf8Path.c_str(), &info), 0);
        return info.st_mode & 07777;
    }

    std::string root; // ASCII, so the same in UTF-8 and code page 936
    PosixFileSystem fs;
};

TEST_F(PosixFileSystemTest, ListsMatchingNamesWithDerivedAttributes)
{
    write("a.txt");
    write("B.TXT");
    write("c.ini");
    write("a.txt.bak");
    std::filesystem::create_directory(root + "/sub");

    EXPECT_EQ(names(fs.list(root, "*.txt")), (std::vector<std::string>{"B.TXT", "a.txt"}));
    EXPECT_EQ(names(fs.list(root, "*.*")),
              (std::vector<std::string>{".", "..", "B.TXT", "a.txt", "a.txt.bak", "c.ini", "sub"}));
    EXPECT_TRUE(fs.list(root + "/missing", "*").entries.empty());
    EXPECT_TRUE(fs.list(root, "").entries.empty());

    for (const FileEntry& e : fs.list(root, "*").entries) {
        const bool folder = e.name == "." || e.name == ".." || e.name == "sub";
        EXPECT_EQ(e.attributes, folder ? 0x10u : 0x20u) << e.name;
        if (e.name == "sub") {
            EXPECT_EQ(e.size, 0u);
        }
    }
}

TEST_F(PosixFileSystemTest, EmptyFolderMeansRootAndTrailingSeparatorIsAccepted)
{
    const Listing top = fs.list("", "tmp");
    ASSERT_EQ(top.entries.size(), 1u);
    EXPECT_EQ(top.entries[0].name, "tmp");
    EXPECT_TRUE(top.entries[0].attributes & attr::directory);

    write("a.txt");
    EXPECT_EQ(names(fs.list(root + "/", "a.txt")), (std::vector<std::string>{"a.txt"}));
}

TEST_F(PosixFileSystemTest, ChineseNamesComeInCodePage936)
{
    const std::string path = write("报告.txt", "12345");
    const Listing listing = fs.list(root, "*.TXT");
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_EQ(listing.entries[0].name, "\xB1\xA8\xB8\xE6.txt");
    EXPECT_EQ(listing.entries[0].size, 5u);
    EXPECT_EQ(fs.stat(path).value().name, "\xB1\xA8\xB8\xE6.txt");
    EXPECT_TRUE(fs.exists(path));
}

TEST_F(PosixFileSystemTest, NamesWithoutLosslessCodePage936FormAreSkippedAndCounted)
{
    write("\xF0\x9F\x98\x80.txt"); // an emoji, which GBK lacks
    write("\xFF\xFE.txt");         // not UTF-8 at all
    write("?.txt");                // what the emoji would turn into
    write("ok.txt");
    write("\xF0\x9F\x98\x80.ini");

    const Listing listing = fs.list(root, "*.txt");
    EXPECT_EQ(names(listing), (std::vector<std::string>{"?.txt", "ok.txt"}));
    EXPECT_EQ(listing.skippedNames, 2u);
    EXPECT_EQ(fs.list(root, "ok.*").skippedNames, 0u);

    // A path is taken as its bytes, never approximated: "\x81" is not "?".
    const std::string lone = root + "/\x81";
    EXPECT_FALSE(fs.stat(lone));
    EXPECT_FALSE(fs.exists(lone));
    EXPECT_EQ(fs.remove(lone), FsStatus::NotFound);
    EXPECT_EQ(fs.remove(root + "/ok.txt\0x"s), FsStatus::InvalidName);
    EXPECT_TRUE(std::filesystem::exists(root + "/ok.txt"));
}

TEST_F(PosixFileSystemTest, SizesBeyondFourGigabytesAreExact)
{
    const std::string path = write("big.bin", "");
    ASSERT_EQ(truncate((root + "/big.bin").c_str(), 5368709121), 0); // sparse: 5 GiB + 1
    EXPECT_EQ(fs.stat(path).value().size, 5368709121u);
    ASSERT_EQ(truncate((root + "/big.bin").c_str(), 3221225472), 0); // 3 GiB
    EXPECT_EQ(fs.list(root, "big.bin").entries.at(0).size, 3221225472u);
}

TEST_F(PosixFileSystemTest, SymbolicLinksAreReparsePointsAndRemovedThemselves)
{
    write("target.txt", "keep");
    std::filesystem::create_symlink("target.txt", root + "/link.txt");
    std::filesystem::create_directory(root + "/dir");
    std::filesystem::create_directory_symlink("dir", root + "/dirlink");

    const FileEntry link = fs.list(root, "link.txt").entries.at(0);
    EXPECT_EQ(link.attributes, 0x400u);
    EXPECT_EQ(link.size, 0u);
    EXPECT_EQ(attributesOf(root + "/dirlink"), 0x400u);

    EXPECT_EQ(fs.remove(root + "/link.txt"), FsStatus::Ok);
    EXPECT_FALSE(std::filesystem::is_symlink(std::filesystem::symlink_status(root + "/link.txt")));
    std::ifstream in(root + "/target.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");
}

TEST_F(PosixFileSystemTest, RemoveRefusesReadOnlyFilesAndFolders)
{
    const std::string locked = write("locked.txt");
    chmod((root + "/locked.txt").c_str(), 0444);
    EXPECT_EQ(attributesOf(locked), 0x21u);
    EXPECT_EQ(fs.remove(locked), FsStatus::ReadOnly);
    EXPECT_TRUE(fs.exists(locked));

    std::filesystem::create_directory(root + "/dir");
    EXPECT_EQ(fs.remove(root + "/dir"), FsStatus::IsDirectory);
    EXPECT_EQ(fs.remove(root + "/nothing.txt"), FsStatus::NotFound);

    const std::string plain = write("plain.txt");
    EXPECT_EQ(fs.remove(plain), FsStatus::Ok);
    EXPECT_FALSE(fs.exists(plain));
}

TEST_F(PosixFileSystemTest, SpecialFilesCarryTheDeviceBit)
{
    ASSERT_EQ(mkfifo((root + "/pipe").c_str(), 0644), 0);
    EXPECT_EQ(attributesOf(root + "/pipe"), 0x40u);
}

TEST_F(PosixFileSystemTest, RenameNeverReplaces)
{
    const std::string a = write("a.txt", "A");
    const std::string b = write("b.txt", "B");
    EXPECT_EQ(fs.renameNoReplace(a, b), FsStatus::AlreadyExists);
    std::ifstream inA(root + "/a.txt"), inB(root + "/b.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(inA), {}), "A");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(inB), {}), "B");

    EXPECT_EQ(fs.renameNoReplace(a, root + "/新.txt"), FsStatus::Ok);
    EXPECT_TRUE(std::filesystem::exists(root + "/新.txt"));
    EXPECT_EQ(fs.renameNoReplace(a, root + "/c.txt"), FsStatus::NotFound);
    EXPECT_EQ(fs.renameNoReplace(b, root + "/c.txt\0x"s), FsStatus::InvalidName);
    EXPECT_EQ(fs.renameNoReplace(b, root + "/" + std::string(256, 'n')), FsStatus::NameTooLong);
    EXPECT_TRUE(std::filesystem::exists(root + "/b.txt"));
}

TEST_F(PosixFileSystemTest, CaseOnlyRenameWorks)
{
    const std::string lower = write("x.txt");
    EXPECT_EQ(fs.renameNoReplace(lower, root + "/X.TXT"), FsStatus::Ok);
    EXPECT_EQ(names(fs.list(root, "x.txt")), (std::vector<std::string>{"X.TXT"}));
}

TEST_F(PosixFileSystemTest, TimesAreSetToTheNanosecondAndCreationTo100ns)
{
    skipWithoutUserXattrs();
    const std::string path = write("t.txt");
    TimeChange change;
    change.creation = FileTime(sys_days(year(2001) / 2 / 3) + 4h + 5min + 6s + nanoseconds(123456789));
    change.lastWrite = FileTime(sys_days(year(2020) / 1 / 2) + 15h + 4min + 5s + nanoseconds(987654321));
    change.lastAccess = FileTime(sys_days(year(1999) / 12 / 31) + 23h + 59min + 59s);
    ASSERT_EQ(fs.setTimes(path, change), FsStatus::Ok);

    const FileEntry e = fs.stat(path).value();
    EXPECT_EQ(e.creationTime, FileTime(sys_days(year(2001) / 2 / 3) + 4h + 5min + 6s + nanoseconds(123456700)));
    EXPECT_EQ(e.lastWriteTime, FileTime(sys_days(year(2020) / 1 / 2) + 15h + 4min + 5s + nanoseconds(987654321)));
    EXPECT_EQ(e.lastAccessTime, FileTime(sys_days(year(1999) / 12 / 31) + 23h + 59min + 59s));
    EXPECT_EQ(e.attributes, 0x20u);

    // What Samba and getfattr see: version 5, attrib 0x20, the NT creation time.
    const std::string command = "getfattr -n user.DOSATTRIB -e hex '" + root + "/t.txt' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::string output;
    for (int c; (c = fgetc(pipe.get())) != EOF;) output.push_back(static_cast<char>(c));
    EXPECT_NE(output.find("user.DOSATTRIB=0x00000500050000001100000020000000"
                          "87dbc77d968dc001"),
              std::string::npos)
        << output;

    // Only the last-access time: the others stay.
    TimeChange access;
    access.lastAccess = FileTime(sys_days(year(2010) / 5 / 6));
    ASSERT_EQ(fs.setTimes(path, access), FsStatus::Ok);
    EXPECT_EQ(fs.stat(path)->lastWriteTime, e.lastWriteTime);
    EXPECT_EQ(fs.stat(path)->creationTime, e.creationTime);
    EXPECT_EQ(fs.stat(path)->lastAccessTime, FileTime(sys_days(year(2010) / 5 / 6)));
}

TEST_F(PosixFileSystemTest, TimesOfReadOnlyFilesAreRefused)
{
    const std::string path = write("ro.txt");
    chmod((root + "/ro.txt").c_str(), 0444);
    TimeChange change;
    change.lastWrite = FileTime(sys_days(year(2020) / 1 / 2));
    EXPECT_EQ(fs.setTimes(path, change), FsStatus::ReadOnly);
    EXPECT_NE(fs.stat(path)->lastWriteTime, FileTime(sys_days(year(2020) / 1 / 2)));
    EXPECT_EQ(fs.setTimes(root + "/none.txt", change), FsStatus::NotFound);
}

TEST_F(PosixFileSystemTest, AttributesReadBackAndReadOnlyFollowsPermissions)
{
    skipWithoutUserXattrs();
    const std::string path = write("f.txt");
    ASSERT_EQ(fs.setAttributes(path, attr::hidden | attr::system), FsStatus::Ok);
    EXPECT_EQ(attributesOf(path), 0x6u);

    ASSERT_EQ(fs.setAttributes(path, attr::readOnly | attr::archive), FsStatus::Ok);
    EXPECT_EQ(attributesOf(path), 0x21u);
    EXPECT_EQ(modeOf(root + "/f.txt"), 0444u);
    EXPECT_EQ(fs.remove(path), FsStatus::ReadOnly);

    ASSERT_EQ(fs.setAttributes(path, attr::archive), FsStatus::Ok);
    EXPECT_EQ(attributesOf(path), 0x20u);
    EXPECT_EQ(modeOf(root + "/f.txt"), 0644u);

    ASSERT_EQ(fs.setAttributes(path, attr::normal), FsStatus::Ok);
    EXPECT_EQ(attributesOf(path), 0x80u);

    // Set-user-ID, set-group-ID and sticky are never written back.
    ASSERT_EQ(chmod((root + "/f.txt").c_str(), 07755), 0);
    ASSERT_EQ(fs.setAttributes(path, attr::readOnly), FsStatus::Ok);
    EXPECT_EQ(modeOf(root + "/f.txt"), 0555u);
    ASSERT_EQ(chmod((root + "/f.txt").c_str(), 06555), 0);
    ASSERT_EQ(fs.setAttributes(path, attr::archive), FsStatus::Ok);
    EXPECT_EQ(modeOf(root + "/f.txt"), 0755u);
}

TEST_F(PosixFileSystemTest, StoredAttributesWinAndUnknownBitsStay)
{
    skipWithoutUserXattrs();
    const std::string path = write("u.txt");
    const std::string blob = "\x00\x00\x05\x00\x05\x00\x00\x00"s
                             "\x11\x00\x00\x00"s
                             "\x20\x00\x00\x40"s
                             "\x87\xdb\xc7\x7d\x96\x8d\xc0\x01"s;
    ASSERT_EQ(setxattr((root + "/u.txt").c_str(), "user.DOSATTRIB", blob.data(), blob.size(), 0), 0);
    EXPECT_EQ(attributesOf(path), 0x40000020u);
    EXPECT_EQ(fs.stat(path)->creationTime,
              FileTime(sys_days(year(2001) / 2 / 3) + 4h + 5min + 6s + nanoseconds(123456700)));

    ASSERT_EQ(fs.setAttributes(path, attr::hidden), FsStatus::Ok);
    EXPECT_EQ(attributesOf(path), 0x40000002u);
    // The creation time survives the attribute change.
    EXPECT_EQ(fs.stat(path)->creationTime,
              FileTime(sys_days(year(2001) / 2 / 3) + 4h + 5min + 6s + nanoseconds(123456700)));

    const std::string old = write("old.txt");
    ASSERT_EQ(setxattr((root + "/old.txt").c_str(), "user.DOSATTRIB", "0x23", 4, 0), 0);
    EXPECT_EQ(attributesOf(old), 0x23u);
}

TEST_F(PosixFileSystemTest, FolderAndDotNameAttributes)
{
    skipWithoutUserXattrs();
    std::filesystem::create_directory(root + "/dir");
    ASSERT_EQ(fs.setAttributes(root + "/dir", attr::readOnly), FsStatus::Ok);
    EXPECT_EQ(attributesOf(root + "/dir"), 0x11u);
    EXPECT_EQ(modeOf(root + "/dir"), 0755u); // a folder stays writable

    const std::string dotted = write(".cfg");
    EXPECT_EQ(attributesOf(dotted), 0x22u);
    ASSERT_EQ(fs.setAttributes(dotted, attr::archive), FsStatus::Ok);
    EXPECT_EQ(attributesOf(dotted), 0x22u); // the name keeps it hidden

    std::filesystem::create_symlink("dir", root + "/link");
    EXPECT_EQ(fs.setAttributes(root + "/link", attr::hidden), FsStatus::SymbolicLink);
    EXPECT_EQ(fs.setAttributes(root + "/none", attr::hidden), FsStatus::NotFound);
}

} // namespace
} // namespace qv
