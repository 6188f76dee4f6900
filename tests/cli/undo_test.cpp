// qorvane-cli undo on the real disk: every journaled subcommand's run taken
// back, undo of an undo, a killed rename taken back, refusals, a damaged
// journal and the list and dry-run formats.

#include "cli_run.h"
#include "platform/posix_file_system.h"
#include "support/killed_run.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace qv::cli {
namespace {

using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

// The bytes of `path`, read without touching its access time.
std::string readQuietly(const fs::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOATIME);
    if (fd < 0) return "<unreadable>";
    std::string bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return bytes;
}

std::string hexOf(std::string_view bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const unsigned char c : bytes) out += {digits[c >> 4], digits[c & 15]};
    return out;
}

// Each file of the run folder with everything undo must give back: name,
// content, the two POSIX times to the nanosecond, permission bits, the
// attribute bits and creation time the program reads, and the stored DOS
// attributes, byte for byte.
Strings snapshot(const fs::path& folder)
{
    PosixFileSystem posix;
    Strings out;
    for (const auto& e : fs::directory_iterator(folder)) {
        struct stat st { };
        ::lstat(e.path().c_str(), &st);
        const std::optional<FileEntry> entry = posix.stat(e.path().string());
        std::string line = e.path().filename().string() + " [" + readQuietly(e.path()) + "]";
        line += " m=" + std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
        line += " a=" + std::to_string(st.st_atim.tv_sec) + "." + std::to_string(st.st_atim.tv_nsec);
        line += " mode=" + std::to_string(st.st_mode & 07777);
        if (entry) {
            line += " attr=" + std::to_string(entry->attributes);
            line += " c=" + std::to_string(entry->creationTime.time_since_epoch().count());
        }
        char dos[256];
        const ssize_t length = ::lgetxattr(e.path().c_str(), "user.DOSATTRIB", dos, sizeof dos);
        line += length < 0 ? std::string(" dos=none") : " dos=" + hexOf(std::string_view(dos, length));
        out.push_back(line);
    }
    std::sort(out.begin(), out.end());
    return out;
}

Strings lines(const std::string& text)
{
    Strings out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        out.push_back(text.substr(start, end - start));
    return out;
}

// The field `index` (from 0) of a TAB separated line.
std::string field(const std::string& line, int index)
{
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) start = line.find('\t', start) + 1;
    return line.substr(start, line.find('\t', start) - start);
}

// Files live in <test folder>/files, the journal in <test folder>/data,
// which $XDG_DATA_HOME points at while the test runs.
class Undo : public testing::FolderTest {
protected:
    Undo() : FolderTest("undo") { }
    void SetUp() override
    {
        FolderTest::SetUp();
        files_ = folder_ / "files";
        fs::create_directories(files_);
        if (const char* old = std::getenv("XDG_DATA_HOME")) oldDataHome_ = old;
        ::setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
    }
    void TearDown() override
    {
        if (oldDataHome_)
            ::setenv("XDG_DATA_HOME", oldDataHome_->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
        FolderTest::TearDown();
    }
    fs::path journal() const { return folder_ / "data" / "qorvane" / "journal"; }

    // A file with `bytes`, last written 2020-09-13 12:26:40.123456789 UTC and
    // last read an hour from now (ahead of its change time, so that reading
    // it leaves the access time alone on a relatime mount).
    std::string make(const std::string& name, const std::string& bytes)
    {
        const fs::path path = files_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        const timespec times[2] = {{std::time(nullptr) + 3600, 987654321}, {1600000000, 123456789}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
        return path.string();
    }
    void clearFiles()
    {
        testing::removeTestFolder(files_);
        fs::create_directories(files_);
    }
    Strings names() const
    {
        Strings out;
        for (const auto& e : fs::directory_iterator(files_)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    // A name list beside the run folder, for ${File(...)}.
    std::string nameList(const Strings& bases, const std::string& name = "names.list")
    {
        const fs::path list = folder_ / name;
        std::ofstream out(list, std::ios::binary);
        for (const std::string& base : bases) out << base << "\n";
        return list.string();
    }
    Strings runList() { return lines(run("undo", {"--list"}).out); }

    fs::path files_;
    std::optional<std::string> oldDataHome_;
};

TEST_F(Undo, EveryOperationTakenBackLeavesTheFolderAsBefore)
{
    struct Case {
        const char* command;
        Strings options;       // before the files
        Strings files;         // made with their own name as content; all are given
        Strings changed;       // the names right after the run
        std::string list = ""; // name list bases for ${File(...)}, one a line
    } cases[] = {
        {"rename", {"--template", "${AddLeft(x_)}"}, {"a.txt", "b.txt"}, {"x_a.txt", "x_b.txt"}},
        {"rename", {"--chains", "--template", "LIST"}, {"a.txt", "b.txt"}, {"a.txt", "b.txt"}, "b\na"},
        {"rename", {"--chains", "--template", "LIST"}, {"1.txt", "2.txt"}, {"2.txt", "3.txt"}, "2\n3"},
        {"ext", {"--template", "bak"}, {"a.txt", "b.txt"}, {"a.bak", "b.bak"}},
        {"dates", {"--modify", "2001-02-03", "--access", "2001-02-04", "--time", "04:05:06.789"}, {"a.txt"}, {"a.txt"}},
        {"dates", {"--create", "1999-12-31", "--time", "23:59:58"}, {"a.txt"}, {"a.txt"}},
        {"attrs", {"--readonly", "--hidden"}, {"a.txt", "b.txt"}, {"a.txt", "b.txt"}},
        {"cut", {"--template", "${GetLeft(1)}"}, {"a.txt"}, {"a.qv.txt", "a.txt"}},
        {"combine", {}, {"a.txt", "b.txt"}, {"a.txt", "b.qv.txt", "b.txt"}},
        {"replace", {"--template", "${DelMid(${Pos(x)},1)}"}, {"x.txt"}, {"x.qv.txt", "x.txt"}},
        {"charset", {"--call", "${ToAnsi()}"}, {"a.txt"}, {"a.qv.txt", "a.txt"}},
        {"convert", {"--call", "${TxtTo(csv)}"}, {"a.txt"}, {"a.csv", "a.txt"}},
    };
    for (const Case& c : cases) {
        Strings args = c.options;
        SCOPED_TRACE(std::string(c.command) + " " + (args.empty() ? "" : args.back()));
        clearFiles();
        fs::remove_all(folder_ / "data");
        for (std::string& arg : args)
            if (arg == "LIST") arg = "${File(" + nameList(lines(c.list + "\n")) + ")}";
        for (const std::string& name : c.files) args.push_back(make(name, name + "\t1\r\n"));
        const Strings before = snapshot(files_);

        const CliRun done = run(c.command, args);
        ASSERT_EQ(done.status, 0) << done.out << done.err;
        EXPECT_EQ(names(), c.changed);
        ASSERT_NE(snapshot(files_), before);

        const CliRun undone = run("undo", {});
        EXPECT_EQ(undone.status, 0) << undone.out << undone.err;
        EXPECT_EQ(undone.err, "");
        EXPECT_EQ(snapshot(files_), before);
    }
}

TEST_F(Undo, StoredAttributesComeBackByteForByte)
{
    // A value the program cannot read and set-user-ID, which a change of
    // the read-only attribute drops: both come back exactly.
    const std::string a = make("a.txt", "a");
    const std::string foreign = "not a form the program knows";
    ASSERT_EQ(::setxattr(a.c_str(), "user.DOSATTRIB", foreign.data(), foreign.size(), 0), 0);
    ASSERT_EQ(::chmod(a.c_str(), 04755), 0);
    const Strings before = snapshot(files_);
    for (const Strings& args : std::vector<Strings>{{"--readonly", a}, {"--create", "1999-12-31", a}}) {
        const CliRun done = run(args[0] == "--readonly" ? "attrs" : "dates", args);
        ASSERT_EQ(done.status, 0) << done.out << done.err;
        ASSERT_NE(snapshot(files_), before) << args[0];
        const CliRun undone = run("undo", {});
        EXPECT_EQ(undone.status, 0) << undone.out << undone.err;
        EXPECT_EQ(snapshot(files_), before) << args[0];
    }
}

TEST_F(Undo, TakingBackTheUndoRedoesTheRun)
{
    const std::string a = make("a.txt", "a"), b = make("b.txt", "b");
    ASSERT_EQ(run("rename", {"--template", "${AddLeft(x_)}", a, b}).status, 0);
    const Strings renamed = snapshot(files_);
    ASSERT_EQ(run("undo", {}).status, 0);
    EXPECT_EQ(names(), (Strings{"a.txt", "b.txt"}));

    const std::string undoRun = field(runList().at(0), 0);
    const CliRun redo = run("undo", {"--run", undoRun});
    EXPECT_EQ(redo.status, 0) << redo.err;
    EXPECT_EQ(snapshot(files_), renamed);
    const Strings list = runList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(field(list[0], 2) + " " + field(list[0], 4), "撤销 done");
    EXPECT_EQ(field(list[1], 2) + " " + field(list[1], 4), "撤销 undone");
    EXPECT_EQ(field(list[2], 2) + " " + field(list[2], 4), "更改文件名称 done");
}

// A rename of 10,000 files killed with SIGKILL part way, then undo: every
// file is back under its original name, none lost, no temporary name left.
TEST_F(Undo, AKilledRenameIsTakenBackWhole)
{
    constexpr int count = 10000;
    // Every file holds its ten-byte name: sizes and times alike, so files
    // are told apart by their file numbers alone.
    Strings files, cycle;
    for (int i = 0; i < count; ++i) files.push_back(std::to_string(100000 + i) + ".txt");
    for (int i = 0; i < count; ++i) cycle.push_back(std::to_string(100000 + (i + 1) % count));
    for (const std::string& name : files) std::ofstream(files_ / name, std::ios::binary) << name;
    {
        std::ofstream list(folder_ / "files.list", std::ios::binary);
        for (const std::string& name : files) list << (files_ / name).string() << "\n";
    }
    const std::string fileList = (folder_ / "files.list").string();
    const std::string cycleList = nameList(cycle, "cycle.list");
    const std::vector<Strings> runs = {
        {"rename", "--template", "${AddLeft(x_)}", "--list", fileList},
        {"rename", "--chains", "--template", "${File(" + cycleList + ")}", "--list", fileList},
    };
    const auto runFor = [](const Strings& args, std::optional<std::chrono::microseconds> delay) {
        testing::runKilledAfter(QV_CLI, args, delay);
    };
    std::mt19937 random(20240522);
    for (const Strings& args : runs) {
        int killedPartWay = 0;
        // How long a whole run takes here (taken back too), so that the
        // kills fall inside one.
        const auto start = std::chrono::steady_clock::now();
        runFor(args, std::nullopt);
        const auto whole =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
        ASSERT_EQ(readQuietly(files_ / "100000.txt"), args[1] == "--chains" ? "109999.txt" : "<unreadable>");
        ASSERT_EQ(run("undo", {}).status, 0);
        ASSERT_EQ(names(), files);
        // Three kills, and more (up to twelve) until one falls inside the
        // changes: a slow machine spends longer before the first.
        for (int moment = 0; moment < 3 || (killedPartWay == 0 && moment < 12); ++moment) {
            const auto delay = std::chrono::microseconds(whole.count() / 10 + random() % (whole.count() + 1));
            SCOPED_TRACE(args[1] + " killed after " + std::to_string(delay.count()) + " us of " +
                         std::to_string(whole.count()));
            runFor(args, delay);

            std::size_t moved = 0;
            for (const auto& e : fs::directory_iterator(files_))
                moved += readQuietly(e.path()) != e.path().filename().string();
            killedPartWay += moved > 0 && moved < files.size();

            run("undo", {});
            std::size_t restored = 0, temporaries = 0;
            for (const auto& e : fs::directory_iterator(files_)) {
                const std::string name = e.path().filename().string();
                restored += readQuietly(e.path()) == name;
                temporaries += name.find(".qv-swap-") != std::string::npos;
            }
            EXPECT_EQ(restored, files.size());
            EXPECT_EQ(temporaries, 0u);
            EXPECT_EQ(names(), files);
            if (HasFailure()) return;
        }
        // Kills that all fell before the first or after the last change
        // prove little.
        EXPECT_GT(killedPartWay, 0) << args[1];
    }
}

TEST_F(Undo, AnOlderRunIsRefusedWhileANewerOneTouchedItsFiles)
{
    const std::string a = make("a.txt", "a");
    ASSERT_EQ(run("rename", {"--template", "${AddLeft(x_)}", a}).status, 0);
    ASSERT_EQ(run("ext", {"--template", "bak", (files_ / "x_a.txt").string()}).status, 0);
    const Strings list = runList();
    ASSERT_EQ(list.size(), 2u);
    const std::string newerTime = field(list[0], 1), olderId = field(list[1], 0);

    CliRun r = run("undo", {"--run", olderId});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "较新的操作（更改文件扩展名 " + newerTime + "）更改了同一文件，请先撤销它\n");
    EXPECT_EQ(names(), Strings{"x_a.bak"});

    ASSERT_EQ(run("undo", {}).status, 0);
    EXPECT_EQ(names(), Strings{"x_a.txt"});
    r = run("undo", {"--run", olderId});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(names(), Strings{"a.txt"});
}

TEST_F(Undo, ADamagedJournalIsReportedAndTheRunsBeforeTheDamageStayListed)
{
    const std::string a = make("a.txt", "a");
    ASSERT_EQ(run("rename", {"--template", "${AddLeft(x_)}", a}).status, 0);
    const auto intact = fs::file_size(journal());
    ASSERT_EQ(run("rename", {"--template", "${AddLeft(y_)}", (files_ / "x_a.txt").string()}).status, 0);
    fs::resize_file(journal(), fs::file_size(journal()) - 3); // the second run's end record torn

    CliRun r = run("undo", {"--list"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("撤销记录文件已损坏（第 "), std::string::npos) << r.err;
    ASSERT_EQ(lines(r.out).size(), 2u) << r.out;
    EXPECT_EQ(field(lines(r.out)[0], 4), "interrupted");
    EXPECT_EQ(field(lines(r.out)[1], 4), "done");

    // A run after the torn tail is journaled and can be taken back.
    ASSERT_EQ(run("ext", {"--template", "bak", (files_ / "y_x_a.txt").string()}).status, 0);
    r = run("undo", {"--list"});
    ASSERT_GE(lines(r.out).size(), 1u) << r.err;
    EXPECT_EQ(field(lines(r.out)[0], 2) + " " + field(lines(r.out)[0], 4), "更改文件扩展名 done") << r.out;
    EXPECT_EQ(run("undo", {}).status, 0);
    EXPECT_EQ(names(), Strings{"y_x_a.txt"});
    EXPECT_GT(intact, 0u);

    // A file that is no journal at all: reported, nothing listed, left alone.
    const std::string foreign = "not a journal\n";
    std::ofstream(journal(), std::ios::binary | std::ios::trunc) << foreign;
    r = run("undo", {"--list"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "撤销记录文件不是本程序的格式，已忽略\n");
    r = run("undo", {});
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(run("ext", {"--template", "txt", (files_ / "y_x_a.txt").string()}).status, 0);
    EXPECT_EQ(readQuietly(journal()), foreign);
}

TEST_F(Undo, ListDryRunAndNoJournal)
{
    const std::string a = make("a.txt", "a"), b = make("b.txt", "b");
    EXPECT_EQ(run("rename", {"--no-journal", "--template", "${AddLeft(n_)}", a}).status, 0);
    EXPECT_EQ(run("undo", {"--list"}).out, "");
    EXPECT_EQ(run("undo", {}).status, 1);

    ASSERT_EQ(run("rename", {"--template", "${AddLeft(x_)}", (files_ / "n_a.txt").string(), b}).status, 0);
    const std::regex line(R"(\d+-\d+-\d+\t\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\t更改文件名称\t2\tdone)");
    Strings list = runList();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(std::regex_match(list[0], line)) << list[0];

    const Strings before = snapshot(files_);
    const CliRun dry = run("undo", {"--dry-run"});
    EXPECT_EQ(dry.status, 0);
    const std::string f = files_.string() + "/";
    EXPECT_EQ(dry.out, f + "x_b.txt\t" + f + "b.txt\tok\n" + f + "x_n_a.txt\t" + f + "n_a.txt\tok\n");
    EXPECT_EQ(snapshot(files_), before);
    EXPECT_EQ(runList(), list);

    std::ofstream(files_ / "b.txt") << "in the way";
    EXPECT_EQ(run("undo", {"--dry-run"}).out, f + "x_b.txt\t" + f + "b.txt\tskipped: 原文件名已被其他文件占用\n" + f +
                                                  "x_n_a.txt\t" + f + "n_a.txt\tok\n");
    fs::remove(files_ / "b.txt");

    ASSERT_EQ(run("undo", {}).status, 0);
    list = runList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_TRUE(std::regex_match(list[0], std::regex(R"(\d+-\d+-\d+\t[-0-9 :]{19}\t撤销\t2\tdone)"))) << list[0];
    EXPECT_EQ(field(list[1], 4), "undone");
    EXPECT_EQ(names(), (Strings{"b.txt", "n_a.txt"}));
}

} // namespace
} // namespace qv::cli
