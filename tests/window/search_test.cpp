#include "operation/workspace.h"
#include "platform/posix_file_system.h"
#include "support/gbk.h"
#include "support/recording_host.h"
#include "support/run_error_message.h"
#include "support/temp_tree.h"
#include "text/run_error.h"
#include "window/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>

namespace qv {
namespace {

using testing::gbk;
using testing::RecordingHost;
using testing::TempTree;

class Search : public ::testing::Test {
protected:
    std::vector<std::string> found() const
    {
        std::vector<std::string> out;
        for (std::size_t row = 1; row <= ws.files.entryCount(); ++row) {
            const std::string folder(ws.files.folder(row));
            const std::string relative =
                folder.size() > tree.root().size() ? folder.substr(tree.root().size() + 1) + "/" : "";
            out.push_back(relative + std::string(ws.files.name(row)));
        }
        return out;
    }
    SearchOutcome search(SearchCriteria criteria) { return cbSearchClick(ws, host, fs, criteria); }
    SearchCriteria in(const std::string& types, bool subfolders = true) const
    {
        SearchCriteria c;
        c.folders = tree.root();
        c.types = types;
        c.subfolders = subfolders;
        return c;
    }

    TempTree tree;
    PosixFileSystem fs;
    Workspace ws;
    RecordingHost host;
};

using Found = std::vector<std::string>;

TEST_F(Search, GoesMaskByMaskThenFolderByFolder)
{
    tree.file("a/1.txt");
    tree.file("a/1.ini");
    tree.file("b/2.txt");
    tree.file("b/2.ini");
    tree.file("b/2.dat");
    SearchCriteria c;
    c.folders = tree.path("a") + " ; " + tree.path("b");
    c.types = "*.txt;*.ini";
    search(c);
    EXPECT_EQ(found(), (Found{"a/1.txt", "b/2.txt", "a/1.ini", "b/2.ini"}));
    EXPECT_EQ(ws.counters.stSrcCount, 4);
    EXPECT_EQ(ws.files.cell(1, 1), tree.path("a"));
    EXPECT_EQ(ws.files.cell(1, 5), ".txt");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Search, MasksAreWindowsStyleAndNotDeduplicated)
{
    tree.file("Upper.TXT");
    tree.file("a.txt.bak");
    tree.file("[x].txt");
    search(in("*.txt;[x]*", false));
    EXPECT_EQ(found().size(), 3u);
    EXPECT_EQ(found()[2], "[x].txt");
    EXPECT_EQ(ws.counters.stSrcCount, 3);
}

TEST_F(Search, EnumeratesFoldersDepthFirstOwnFilesFirst)
{
    tree.file("x.txt");
    tree.file("sub/y.txt");
    tree.file("sub/deep/z.txt");
    search(in("*.txt"));
    EXPECT_EQ(found(), (Found{"x.txt", "sub/y.txt", "sub/deep/z.txt"}));
    EXPECT_EQ(ws.files.folder(3), tree.path("sub/deep"));
    search(in("*.txt", false));
    EXPECT_EQ(found(), (Found{"x.txt"}));
}

TEST_F(Search, TypeTextEdgeCases)
{
    tree.file("a.txt");
    tree.file(" b.ini");
    tree.file("c.ini");
    search(in("*.txt;"));
    EXPECT_EQ(found(), (Found{"a.txt"}));
    search(in("*.txt; *.ini"));
    EXPECT_EQ(found(), (Found{"a.txt", " b.ini"}));
    search(in(";"));
    EXPECT_TRUE(ws.files.isEmpty());
    EXPECT_EQ(ws.counters.stSrcCount, 0);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Search, BlankTypesAreRefusedAndChangeNothing)
{
    tree.file("a.txt");
    search(in("*.txt"));
    search(in(" \t "));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(host.messages[0].text, "文件类型为空,请设置好后再试！");
    EXPECT_EQ(found(), (Found{"a.txt"}));
}

TEST_F(Search, NothingFoundLeavesAnUnmarkedPlaceholder)
{
    ws.files.append(ListEntry{"old", "/x", 1, 0, 0});
    ws.files.setMark(1, true);
    search(in("*.none"));
    EXPECT_TRUE(ws.files.isEmpty());
    EXPECT_EQ(ws.counters.stSrcCount, 0);
    EXPECT_FALSE(ws.files.isMarked(1));
}

TEST_F(Search, NewEntriesStartUnmarked)
{
    tree.file("a.txt");
    tree.file("b.txt");
    ws.files.append(ListEntry{"old1", "/x", 1, 0, 0});
    ws.files.append(ListEntry{"old2", "/x", 1, 0, 0});
    btnSelAllClick(ws);
    search(in("*.txt"));
    ASSERT_EQ(found(), (Found{"a.txt", "b.txt"}));
    EXPECT_FALSE(ws.files.isMarked(1));
    EXPECT_FALSE(ws.files.isMarked(2));
}

// Names in an order no hash or creation order gives: digits before letters,
// letters without regard to case, "_" after "Z", then by UTF-16 value (so
// the full-width "ａ" after the Chinese names, unlike code page 936 bytes).
TEST_F(Search, EachFolderListsItsNamesInNtfsOrder)
{
    for (const char* name : {"文档19.txt", "ａ.txt", "_x.txt", "b.txt", "文档16.txt", "Z.txt", "报告_25.txt", "9.txt",
                             "A.txt", "10.txt", "sub2/y.txt", "Sub1/x.txt", "Sub1/W.txt"})
        tree.file(name);
    search(in("*.txt"));
    EXPECT_EQ(found(),
              (Found{"10.txt", "9.txt", "A.txt", "b.txt", "Z.txt", "_x.txt", gbk("报告_25.txt"), gbk("文档16.txt"),
                     gbk("文档19.txt"), gbk("ａ.txt"), "Sub1/W.txt", "Sub1/x.txt", "sub2/y.txt"}));
}

TEST_F(Search, SizeBoundsAreInclusiveAndSixtyFourBit)
{
    tree.file("empty.txt", 0);
    tree.file("exact.txt", 50000);
    tree.file("over.txt", 50001);
    tree.file("huge.txt", 3000000000LL);
    SearchCriteria c = in("*.txt");
    c.sizeFilter = true;
    search(c);
    std::vector<std::string> names = found();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Found{"empty.txt", "exact.txt"}));
    c.minSize = "2999999999.9";
    c.maxSize = "3000000000";
    search(c);
    EXPECT_EQ(found(), (Found{"huge.txt"}));
    EXPECT_EQ(ws.files.cell(1, 2), "3000000000");
}

TEST_F(Search, BadBoundIsARunErrorBeforeAnythingChanges)
{
    tree.file("a.txt");
    search(in("*.txt"));
    SearchCriteria c = in("*.txt");
    c.sizeFilter = true;
    c.maxSize = "5万";
    EXPECT_EQ(testing::runErrorMessage([&] { search(c); }), "'5万' is not a valid floating point value");
    EXPECT_EQ(found(), (Found{"a.txt"}));
    EXPECT_EQ(ws.counters.stSrcCount, 1);
    c.sizeFilter = false; // bounds are not read while the filter is off
    search(c);
    EXPECT_EQ(found(), (Found{"a.txt"}));
}

class DateSearch : public Search {
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        savedTz_ = tz ? std::optional<std::string>(tz) : std::nullopt;
        setenv("TZ", "CST-8", 1); // UTC+8, no daylight saving
        tzset();
    }
    void TearDown() override
    {
        if (savedTz_)
            setenv("TZ", savedTz_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    std::optional<std::string> savedTz_;
};

TEST_F(DateSearch, WholeLocalDaysBothBoundsInclusive)
{
    // 2024-03-01 23:59 and 2024-03-02 00:00 in UTC+8; 2024-02-29 12:00.
    tree.file("late.txt");
    tree.file("next.txt");
    tree.file("before.txt");
    tree.times("late.txt", 1709308740, 1709308740);
    tree.times("next.txt", 1709308800, 1709308800);
    tree.times("before.txt", 1709179200, 1709179200);
    SearchCriteria c = in("*.txt");
    c.dateFilter = true;
    c.minDate = {2024, 3, 1};
    c.maxDate = {2024, 3, 1};
    search(c);
    EXPECT_EQ(found(), (Found{"late.txt"}));
    EXPECT_EQ(ws.files.cell(1, 4), "2024-03-01 23:59:00");
    c.minDate = {2024, 2, 29};
    c.maxDate = {2024, 3, 2};
    search(c);
    EXPECT_EQ(found().size(), 3u);
}

TEST_F(DateSearch, FiltersOnTheChosenTime)
{
    tree.file("a.txt");
    tree.times("a.txt", 1709308740, 1709308800); // accessed 1 March, written 2 March
    SearchCriteria c = in("*.txt");
    c.dateFilter = true;
    c.minDate = {2024, 3, 1};
    c.maxDate = {2024, 3, 1};
    c.dateKind = DateKind::LastAccess;
    search(c);
    EXPECT_EQ(found(), (Found{"a.txt"}));
    c.dateKind = DateKind::LastWrite;
    search(c);
    EXPECT_TRUE(found().empty());
}

TEST_F(Search, AttributeTestsForFilesAndFolders)
{
    tree.file("plain.txt");
    tree.file(".hidden.txt");
    tree.folder("folder.txt");             // a plain directory is never listed
    tree.symlink("plain.txt", "link.txt"); // a reparse point is never listed
    tree.file("real/inner.txt");
    tree.symlink("real", "linked"); // nor entered
    tree.file(".hiddendir/h.txt");
    search(in("*.txt"));
    std::vector<std::string> names = found();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Found{".hidden.txt", ".hiddendir/h.txt", "plain.txt", "real/inner.txt"}));
}

// Every kind of entry in one tree, searched with each combination of masks,
// subfolders and size filter: what is listed, and the names told as skipped.
TEST_F(Search, ListsExactlyTheAcceptableEntriesOfEveryKind)
{
    tree.file("plain.txt", 10);
    tree.file("big.txt", 5000);
    tree.file("conf.ini", 20);
    tree.file("other.dat");
    tree.symlink("plain.txt", "tofile.txt");
    tree.symlink("real", "tofolder.txt");
    tree.symlink("nowhere", "dangling.txt");
    ASSERT_EQ(::mkfifo(tree.path("pipe.txt").c_str(), 0644), 0);
    tree.file("real/inner.txt");
    tree.file("hid.txt");
    tree.file("sys.txt");
    tree.file("temp.txt");
    tree.file("hiddir.txt/a.ini");
    tree.file("sysdir/b.txt");
    tree.file("tempdir/c.txt");
    tree.file("bad\xff.txt");
    tree.file("bad\xfe.ini");
    const std::pair<const char*, std::uint32_t> attributes[] = {
        {"hid.txt", attr::hidden},    {"sys.txt", attr::system}, {"temp.txt", attr::temporary},
        {"hiddir.txt", attr::hidden}, {"sysdir", attr::system},  {"tempdir", attr::temporary}};
    for (const auto& [name, bits] : attributes)
        if (fs.setAttributes(tree.path(name), bits) != FsStatus::Ok) GTEST_SKIP() << "no user extended attributes";

    struct Case {
        const char* types;
        bool subfolders;
        bool sizeFilter; // 0 to 100 bytes
        Found listed;    // sorted
        std::size_t skipped;
    };
    const Case cases[] = {
        {"*.txt",
         true,
         false,
         {"big.txt", "hid.txt", "hiddir.txt", "plain.txt", "real/inner.txt", "sys.txt", "sysdir/b.txt"},
         2},
        {"*.txt", false, false, {"big.txt", "hid.txt", "hiddir.txt", "plain.txt", "sys.txt"}, 1},
        {"*.txt;*.ini",
         true,
         false,
         {"big.txt", "conf.ini", "hid.txt", "hiddir.txt", "hiddir.txt/a.ini", "plain.txt", "real/inner.txt", "sys.txt",
          "sysdir/b.txt"},
         2},
        {"*.ini;*.txt", false, true, {"conf.ini", "hid.txt", "hiddir.txt", "plain.txt", "sys.txt"}, 1},
        {"*.*",
         false,
         false,
         {"big.txt", "conf.ini", "hid.txt", "hiddir.txt", "other.dat", "plain.txt", "sys.txt", "sysdir"},
         2},
    };
    for (const Case& c : cases) {
        SearchCriteria criteria = in(c.types, c.subfolders);
        criteria.sizeFilter = c.sizeFilter;
        criteria.maxSize = "100";
        host.messages.clear();
        search(criteria);
        Found names = found();
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.listed) << c.types << (c.subfolders ? " with subfolders" : "");
        const std::string told =
            "有 " + std::to_string(c.skipped) + " 个文件或目录的名称既不是UTF-8编码也不是GBK编码，已跳过。";
        ASSERT_EQ(host.messages.size(), 1u) << c.types;
        EXPECT_EQ(host.messages[0].text, told) << c.types;
    }
}

TEST_F(Search, ReadOnlyFolderIsNotEntered)
{
    tree.file("ro/inner.txt");
    tree.file("rw/inner.txt");
    if (fs.setAttributes(tree.path("ro"), attr::readOnly) != FsStatus::Ok)
        GTEST_SKIP() << "no user extended attributes";
    search(in("*.txt"));
    EXPECT_EQ(found(), (Found{"rw/inner.txt"}));
}

TEST_F(Search, TrailingSeparatorIsKeptAsTyped)
{
    tree.file("a.txt");
    SearchCriteria c = in("*.txt", false);
    c.folders = tree.root() + "/";
    search(c);
    ASSERT_EQ(ws.files.entryCount(), 1u);
    EXPECT_EQ(ws.files.folder(1), tree.root() + "/");
    EXPECT_EQ(ws.files.fullPath(1), tree.root() + "//a.txt");
}

TEST_F(Search, StopKeepsWhatWasFoundAndCountsIt)
{
    for (int i = 0; i < 20; ++i) tree.file("f" + std::to_string(i) + ".txt");
    host.onProcessEvents = [&] {
        if (host.eventCalls == 5) host.stop = true;
    };
    search(in("*.txt;*.txt"));
    // The entry whose event processing pressed stop is still taken.
    EXPECT_EQ(ws.files.entryCount(), 5u);
    EXPECT_EQ(ws.counters.stSrcCount, 5);
    EXPECT_EQ(host.eventCalls, 5);
    // Once the stop request is cleared, the next search runs to the end.
    host.onProcessEvents = nullptr;
    host.stop = false;
    search(in("*.txt"));
    EXPECT_EQ(ws.files.entryCount(), 20u);
}

TEST_F(Search, CounterGrowsWhileSearchingAndEventsRunPerEntry)
{
    tree.file("a/1.txt");
    tree.file("b/2.txt");
    std::vector<std::int64_t> seen;
    host.onProcessEvents = [&] { seen.push_back(ws.counters.stSrcCount); };
    SearchCriteria c;
    c.folders = tree.path("a") + ";" + tree.path("b");
    c.types = "*.txt";
    c.subfolders = false;
    search(c);
    EXPECT_EQ(seen, (std::vector<std::int64_t>{0, 1}));
    EXPECT_EQ(ws.counters.stSrcCount, 2);
}

TEST_F(Search, ChineseNamesAreListedInCodePage936AndUnconvertibleOnesCounted)
{
    tree.file("报告.txt");
    tree.file(gbk("中文.txt")); // a name written in GBK on disk
    tree.file("bad\xff.txt");
    tree.file("\xe2\x82\xac\xf0\x9f\x98\x80.txt"); // "€😀": GBK has no emoji
    const SearchOutcome outcome = search(in("*.txt"));
    Found names = found();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Found{gbk("报告.txt"), gbk("中文.txt")})); // byte order
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(host.messages[0].text, "有 1 个文件或目录的名称无法以GBK编码表示，已跳过。\n"
                                     "有 1 个文件或目录的名称既不是UTF-8编码也不是GBK编码，已跳过。");
    // The counts lead to the names, shown as near as the code page allows.
    const std::string badName = tree.root() + "/bad?.txt：名称既不是UTF-8编码也不是GBK编码";
    const std::string emojiName = tree.root() + "/€?.txt：名称无法以GBK编码表示";
    const std::string& details = host.messages[0].details;
    EXPECT_TRUE(details == badName + "\r\n" + emojiName || details == emojiName + "\r\n" + badName) << details;
    ASSERT_EQ(outcome.skipped.size(), 2u);
}

TEST_F(Search, MissingFolderFindsNothingAndAnEmptyItemMeansTheRoot)
{
    tree.file("a.txt");
    SearchCriteria c = in("*.qv-none", false);
    c.folders = tree.path("nowhere") + ";;" + tree.root() + ";" + tree.path("a.txt") + ";" + tree.path("nowhere");
    const SearchOutcome outcome = search(c);
    EXPECT_TRUE(ws.files.isEmpty());
    EXPECT_TRUE(host.messages.empty());
    // The front end tells of the folders that are not there, each once.
    EXPECT_EQ(outcome.missingFolders, (std::vector<std::string>{tree.path("nowhere"), tree.path("a.txt")}));
}

} // namespace
} // namespace qv
