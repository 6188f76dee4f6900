#include "fileops/file_dates.h"

#include "fileops_fixture.h"
#include "refusing_file_system.h"
#include "support/memory_file_system.h"
#include "text/run_error.h"

namespace qv::testing {
namespace {

using Strings = std::vector<std::string>;
constexpr std::int64_t beijing = 8 * 3600;

// Every file starts with these times, UTC. In Beijing they read as created
// 2021-11-30 14:00:00, last written 2023-06-07 15:04:05.123 and last
// accessed 2022-02-03 04:05:06.500.
const FileTime created0 = utcTime(1638252000);
const FileTime written0 = utcTime(1686121445, 123);
const FileTime accessed0 = utcTime(1643832306, 500);
// The same two as list cells, local seconds.
constexpr std::int64_t createdCell0 = 1638280800;
constexpr std::int64_t modifiedCell0 = 1686150245;

class FileDates : public FileOpsFixture {
protected:
    void addDatedFile(const std::string& name, bool marked = true)
    {
        addFile(name, "x", marked, createdCell0, modifiedCell0);
        ASSERT_EQ(fs.setTimes(gbk(path(name).string()), TimeChange{created0, written0, accessed0}), FsStatus::Ok);
    }
    FileEntry entry(const std::string& name) const { return fs.stat(gbk(path(name).string())).value(); }
    void run(const DateParams& params) { btnDateClick(params, ws, host, fs, beijing); }
};

TEST_F(FileDates, NothingTickedIsRefused)
{
    addDatedFile("a.txt");
    DateParams params;
    params.chkDirDate = true;
    ws.counters.stChangeCount = 4;
    run(params);
    EXPECT_EQ(messageTexts(), Strings{"请选择新的日期或时间！"});
    EXPECT_EQ(ws.counters.stChangeCount, 4);
    EXPECT_EQ(entry("a.txt").lastWriteTime, written0);
}

TEST_F(FileDates, DateBoxesWithAndWithoutTheTimeBox)
{
    struct Case {
        const char* what;
        DateParams params;
        FileTime written, created, accessed;
        std::string modifiedCell, createdCell;
    } cases[] = {
        {"modify, own time of day",
         {.ckModify = true, .dtModify = {2020, 1, 2}},
         utcTime(1577948645),
         created0,
         accessed0,
         "2020-01-02 15:04:05",
         "2021-11-30 14:00:00"},
        {"modify at 08:00",
         {.ckModify = true, .dtModify = {2020, 1, 2}, .chkTime = true, .dtpTime = {8, 0, 0, 777}},
         utcTime(1577923200),
         created0,
         accessed0,
         "2020-01-02 08:00:00",
         "2021-11-30 14:00:00"},
        {"create, own time of day",
         {.ckCreate = true, .dtCreate = {2020, 1, 2}},
         written0,
         utcTime(1577944800),
         accessed0,
         "2023-06-07 15:04:05",
         "2020-01-02 14:00:00"},
        {"access, own time of day (the local date differs from the UTC one)",
         {.ckAccess = true, .dtAccess = {2020, 1, 2}},
         written0,
         created0,
         utcTime(1577909106),
         "2023-06-07 15:04:05",
         "2021-11-30 14:00:00"},
        {"all three at 23:30",
         {.ckModify = true,
          .dtModify = {2020, 1, 2},
          .ckCreate = true,
          .dtCreate = {2019, 5, 6},
          .ckAccess = true,
          .dtAccess = {2018, 7, 8},
          .chkTime = true,
          .dtpTime = {23, 30, 0, 0}},
         utcTime(1577979000),
         utcTime(1557156600),
         utcTime(1531063800),
         "2020-01-02 23:30:00",
         "2019-05-06 23:30:00"},
        {"only the time of day, milliseconds included; cells stay",
         {.chkTime = true, .dtpTime = {9, 30, 15, 250}},
         utcTime(1686101415, 250),
         utcTime(1638235815, 250),
         utcTime(1643851815, 250),
         "2023-06-07 15:04:05",
         "2021-11-30 14:00:00"},
    };
    for (const auto& c : cases) {
        startOver();
        const std::string name = std::to_string(&c - cases) + ".txt";
        addDatedFile(name);
        run(c.params);
        const FileEntry e = entry(name);
        EXPECT_EQ(e.lastWriteTime, c.written) << c.what;
        EXPECT_EQ(e.creationTime, c.created) << c.what;
        EXPECT_EQ(e.lastAccessTime, c.accessed) << c.what;
        EXPECT_EQ(ws.files.cell(1, ModifiedColumn), c.modifiedCell) << c.what;
        EXPECT_EQ(ws.files.cell(1, CreatedColumn), c.createdCell) << c.what;
        EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：1"}) << c.what;
    }
}

TEST_F(FileDates, ReadOnlyMissingAndFolderEntriesAreNotCounted)
{
    addDatedFile("locked.txt");
    ASSERT_EQ(fs.setAttributes(gbk(path("locked.txt").string()), attr::readOnly), FsStatus::Ok);
    addEntry("missing.txt");
    folder("sub");
    addEntry("sub");
    addDatedFile("ok.txt");
    run({.ckModify = true, .dtModify = {2020, 1, 2}});
    EXPECT_EQ(entry("locked.txt").lastWriteTime, written0);
    EXPECT_EQ(entry("ok.txt").lastWriteTime, utcTime(1577948645));
    EXPECT_EQ(ws.files.cell(1, ModifiedColumn), "2023-06-07 15:04:05");
    EXPECT_EQ(ws.files.cell(4, ModifiedColumn), "2020-01-02 15:04:05");
    EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：1\r\n3 个文件未处理"});
    EXPECT_EQ(host.messages[0].details, path("locked.txt").string() + "：文件是只读的\r\n" +
                                            path("missing.txt").string() + "：文件不存在\r\n" + path("sub").string() +
                                            "：这是一个文件夹");
}

TEST_F(FileDates, FolderOfTheFilesChangesToo)
{
    addDatedFile("d/a.txt");
    addDatedFile("d/b.txt");
    addDatedFile("d/c.txt", false);
    run({.ckModify = true, .dtModify = {2020, 1, 2}, .chkTime = true, .dtpTime = {8, 0, 0, 0}, .chkDirDate = true});
    EXPECT_EQ(entry("d").lastWriteTime, utcTime(1577923200));
    EXPECT_EQ(entry("d/c.txt").lastWriteTime, written0);
    EXPECT_EQ(ws.counters.stChangeCount, 2);
}

TEST_F(FileDates, FolderThatRefusedIsNotTriedAgainForItsFiles)
{
    MemoryFileSystem memory;
    RefusingFileSystem recording(memory);
    for (const char* p : {"/a/1.txt", "/a/2.txt", "/a/3.txt", "/b/1.txt", "/b/2.txt"}) {
        memory.addFile(p, 1, 0, created0, written0, accessed0);
        ws.files.append({std::string(p).substr(3), std::string(p).substr(0, 2), 1, createdCell0, modifiedCell0});
        ws.files.setMark(ws.files.lastRow(), true);
    }
    recording.refused = {"/a"};
    btnDateClick({.ckAccess = true, .dtAccess = {2020, 1, 2}, .chkDirDate = true}, ws, host, recording, beijing);
    EXPECT_EQ(recording.calls, (Strings{"/a/1.txt", "/a", "/a/2.txt", "/a/3.txt", "/b/1.txt", "/b", "/b/2.txt", "/b"}));
    // The folder was last accessed at 1970-01-01 08:00 Beijing time.
    EXPECT_EQ(memory.find("/b")->lastAccessTime, utcTime(1577923200));
    EXPECT_EQ(ws.counters.stChangeCount, 5);
    EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：5\r\n1 个文件未处理"});
    EXPECT_EQ(host.messages[0].details, "/a：没有权限");
}

TEST_F(FileDates, CreationTimeThatCannotBeStoredIsReportedOnce)
{
    MemoryFileSystem memory;
    memory.setStorageSupported(false);
    for (const char* p : {"/a/1.txt", "/a/2.txt"}) {
        memory.addFile(p, 1, 0, created0, written0, accessed0);
        ws.files.append({std::string(p).substr(3), "/a", 1, createdCell0, modifiedCell0});
        ws.files.setMark(ws.files.lastRow(), true);
    }
    btnDateClick({.ckModify = true, .dtModify = {2020, 1, 2}, .ckCreate = true, .dtCreate = {2020, 1, 2}}, ws, host,
                 memory, beijing);
    EXPECT_EQ(messageTexts(), (Strings{"成功处理文件总数量：0\r\n2 个文件未处理"}));
    EXPECT_EQ(host.messages[0].details, "/a/1.txt：所在的文件系统不能保存扩展属性 user.DOSATTRIB，无法记录创建日期\r\n"
                                        "/a/2.txt：所在的文件系统不能保存扩展属性 user.DOSATTRIB，无法记录创建日期");
    EXPECT_EQ(memory.find("/a/1.txt")->lastWriteTime, written0);
    EXPECT_EQ(ws.files.cell(1, ModifiedColumn), "2023-06-07 15:04:05");

    // Last-write and last-access need no extended attribute.
    host.messages.clear();
    btnDateClick({.ckModify = true, .dtModify = {2020, 1, 2}}, ws, host, memory, beijing);
    EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：2"});
}

TEST_F(FileDates, TimesOutsideTheRepresentableRangeAreNotWritten)
{
    addDatedFile("a.txt");
    run({.ckModify = true, .dtModify = {9999, 12, 31}});
    EXPECT_EQ(entry("a.txt").lastWriteTime, written0);
    EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：0\r\n1 个文件未处理"});
}

} // namespace
} // namespace qv::testing
