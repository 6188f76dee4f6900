#include "platform/file_io.h"

#include "platform/posix_file_system.h"
#include "support/gbk.h"
#include "support/run_error_message.h"
#include "support/test_folder.h"
#include "text/run_error.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>

namespace qv {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// A fresh empty folder per test.
class FileIoTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = testing::freshTestFolder("file_io"); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    static void put(const std::string& systemPath, const std::string& bytes)
    {
        std::ofstream(systemPath, std::ios::binary) << bytes;
    }

    static std::string get(const std::string& systemPath)
    {
        std::ifstream in(systemPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(folder_)) out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    fs::path folder_;
};

TEST_F(FileIoTest, ReadsWholeFileBytes)
{
    const std::string content = "a\r\nb\0c\xD6\xD0\n"s;
    put(path("in.txt"), content);
    EXPECT_EQ(readFileBytes(path("in.txt")), content);
    put(path("empty.txt"), "");
    EXPECT_EQ(readFileBytes(path("empty.txt")), "");

    std::string large(3 * 1024 * 1024 + 7, 'x');
    large[12345] = '\n';
    put(path("large.txt"), large);
    EXPECT_EQ(readFileBytes(path("large.txt")), large);
}

// A reader tells whether its file was cut, grown or rewritten (a new
// modification time) since it was opened: what was read may be incomplete.
TEST_F(FileIoTest, ReaderSeesAFileChangedSinceItWasOpened)
{
    struct Case {
        const char* what;
        std::function<void(const std::string&)> change;
        bool changed;
    };
    const std::vector<Case> cases{
        {"untouched", [](const std::string&) {}, false},
        {"cut", [](const std::string& p) { fs::resize_file(p, 3); }, true},
        {"grown", [](const std::string& p) { std::ofstream(p, std::ios::app) << "more"; }, true},
        {"same size, new time",
         [](const std::string& p) { fs::last_write_time(p, fs::last_write_time(p) + std::chrono::seconds(5)); }, true},
    };
    for (const Case& c : cases) {
        put(path("f.txt"), "0123456789");
        PosixFileReader reader(path("f.txt"));
        char buffer[4];
        reader.read(buffer, sizeof buffer);
        c.change(path("f.txt"));
        EXPECT_EQ(reader.changedSinceOpened(), c.changed) << c.what;
    }
}

TEST_F(FileIoTest, ReadRefusalsNameThePathAsGiven)
{
    fs::create_directory(folder_ / "sub");
    const std::string missing = path("missing.txt");
    EXPECT_EQ(testing::runErrorMessage([&] { readFileBytes(missing); }), "Cannot open file " + missing);
    EXPECT_EQ(testing::runErrorMessage([&] { readFileBytes(path("sub")); }), "Cannot open file " + path("sub"));
    EXPECT_EQ(testing::runErrorMessage([] { readFileBytes(""); }), "Cannot open file ");

    // A NUL would cut the name short and open another file. (The message
    // text, a C string, shows the path up to the NUL.)
    put(path("a"), "wrong file");
    const std::string withNul = path("a") + "\0.txt"s;
    EXPECT_EQ(testing::runErrorMessage([&] { readFileBytes(withNul); }), "Cannot open file " + path("a"));
}

TEST_F(FileIoTest, OnlyRegularFilesAreRead)
{
    // None of these may block or read for ever: a FIFO without a writer, a
    // device without end, and links to them.
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    fs::create_symlink(path("fifo"), path("to-fifo"));
    fs::create_symlink("/dev/zero", path("to-zero"));
    put(path("real.txt"), "real");
    fs::create_symlink(path("real.txt"), path("to-real"));
    for (const std::string& source : {path("fifo"), path("to-fifo"), std::string("/dev/zero"), path("to-zero")})
        EXPECT_EQ(testing::runErrorMessage([&] { readFileBytes(source); }), "Cannot open file " + source);
    EXPECT_EQ(readFileBytes(path("to-real")), "real");
}

TEST_F(FileIoTest, ReadOnlyOutputIsNotReplaced)
{
    put(path("by-mode.txt"), "kept");
    fs::permissions(path("by-mode.txt"), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(testing::runErrorMessage([&] { writeFileAtomically(path("by-mode.txt"), "new"); }),
              "Cannot create file " + path("by-mode.txt"));
    EXPECT_EQ(get(path("by-mode.txt")), "kept");

    // The read-only attribute alone, with the write permission given back.
    put(path("by-attribute.txt"), "kept");
    if (PosixFileSystem().setAttributes(path("by-attribute.txt"), attr::readOnly) != FsStatus::Ok)
        GTEST_SKIP() << "this file system keeps no user extended attributes";
    fs::permissions(path("by-attribute.txt"), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(testing::runErrorMessage(
                  [&] { PosixFileSystem().writeLineList(path("by-attribute.txt"), text::LineList{"new"}); }),
              "Cannot create file " + path("by-attribute.txt"));
    EXPECT_EQ(get(path("by-attribute.txt")), "kept");
    EXPECT_EQ(names(), (std::vector<std::string>{"by-attribute.txt", "by-mode.txt"}));
}

TEST_F(FileIoTest, DiskPathsNameExactlyTheirBytes)
{
    put(path("中文.txt"), "utf-8 name");
    const std::string gbkBytes = path(testing::gbk("中文.txt"));
    put(gbkBytes, "gbk name");
    EXPECT_EQ(readFileBytes(path("中文.txt")), "utf-8 name");
    EXPECT_EQ(readFileBytes(gbkBytes), "gbk name");

    // 0x81 0x20 is neither UTF-8 nor code page 936: the file of exactly that
    // name is made, never "?x"; a message shows the name with "?".
    put(path("?x"), "other file");
    const std::string odd = path("\x81\x20x");
    EXPECT_EQ(testing::runErrorMessage([&] { readFileBytes(odd); }), "Cannot open file " + path("? x"));
    writeFileAtomically(odd, "new");
    EXPECT_EQ(get(odd), "new");
    EXPECT_EQ(get(path("?x")), "other file");
}

TEST_F(FileIoTest, WriteCreatesAndReplaces)
{
    writeFileAtomically(path("out.txt"), "first");
    EXPECT_EQ(get(path("out.txt")), "first");
    writeFileAtomically(path("out.txt"), "2");
    EXPECT_EQ(get(path("out.txt")), "2");
    writeFileAtomically(path("out.txt"), "");
    EXPECT_EQ(get(path("out.txt")), "");
    EXPECT_TRUE(fs::exists(path("out.txt")));
    EXPECT_EQ(names(), (std::vector<std::string>{"out.txt"}));
}

TEST_F(FileIoTest, NewFileGetsOrdinaryPermissions)
{
    const mode_t old = ::umask(022);
    writeFileAtomically(path("out.txt"), "x");
    ::umask(old);
    struct stat status { };
    ASSERT_EQ(::stat(path("out.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
}

TEST_F(FileIoTest, WriteRefusalsLeaveNothingBehind)
{
    const std::string inMissingFolder = path("no/such/out.txt");
    EXPECT_EQ(testing::runErrorMessage([&] { writeFileAtomically(inMissingFolder, "x"); }),
              "Cannot create file " + inMissingFolder);

    fs::create_directory(folder_ / "sub");
    put(path("sub/keep.txt"), "kept");
    EXPECT_EQ(testing::runErrorMessage([&] { writeFileAtomically(path("sub"), "x"); }),
              "Cannot create file " + path("sub"));
    EXPECT_EQ(get(path("sub/keep.txt")), "kept");
    EXPECT_EQ(names(), (std::vector<std::string>{"sub"}));

    EXPECT_EQ(testing::runErrorMessage([] { writeFileAtomically("", "x"); }), "Cannot create file ");
}

TEST_F(FileIoTest, FailedWriteKeepsTheOldTarget)
{
    put(path("out.txt"), "old content");
    // Limit the size of files this process may write, so the write of the
    // temporary file fails half way.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limited = previous;
    limited.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);

    const std::string message =
        testing::runErrorMessage([&] { writeFileAtomically(path("out.txt"), std::string(100000, 'n')); });
    text::LineList lines;
    for (int i = 0; i < 10000; ++i) lines.append("some line");
    const std::string listMessage =
        testing::runErrorMessage([&] { PosixFileSystem().writeLineList(path("out.txt"), lines); });

    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(message, "Cannot create file " + path("out.txt"));
    EXPECT_EQ(listMessage, "Cannot create file " + path("out.txt"));
    EXPECT_EQ(get(path("out.txt")), "old content");
    EXPECT_EQ(names(), (std::vector<std::string>{"out.txt"}));
}

TEST_F(FileIoTest, LineListsRoundTrip)
{
    put(path("in.txt"), "a\rb\nc\r\n\r\nd\0ignored\n"s);
    const text::LineList lines = PosixFileSystem().readLineList(path("in.txt"));
    EXPECT_EQ(lines, (text::LineList{"a", "b", "c", "", "d"}));

    PosixFileSystem().writeLineList(path("out.txt"), lines);
    EXPECT_EQ(get(path("out.txt")), "a\r\nb\r\nc\r\n\r\nd\r\n");

    PosixFileSystem().writeLineList(path("out.txt"), text::LineList());
    EXPECT_EQ(get(path("out.txt")), "");
    EXPECT_EQ(testing::runErrorMessage([&] { PosixFileSystem().readLineList(path("missing")); }),
              "Cannot open file " + path("missing"));
}

TEST_F(FileIoTest, WriteLineListStreamsLargeAndLongLines)
{
    // Lines around and beyond the staging buffer's size (1 MiB).
    text::LineList lines;
    const std::string longLine(3 * 1024 * 1024, 'L');
    const std::string nearChunk(1024 * 1024 - 2, 'N');
    lines.append("short");
    lines.append(longLine);
    lines.append(nearChunk);
    lines.append(nearChunk);
    lines.append("");
    for (int i = 0; i < 100000; ++i) lines.append("row");
    PosixFileSystem().writeLineList(path("out.txt"), lines);

    std::string expected = "short\r\n" + longLine + "\r\n" + nearChunk + "\r\n" + nearChunk + "\r\n\r\n";
    for (int i = 0; i < 100000; ++i) expected += "row\r\n";
    EXPECT_EQ(get(path("out.txt")), expected);
    EXPECT_EQ(get(path("out.txt")), text::joinLines(lines));
}

} // namespace
} // namespace qv
