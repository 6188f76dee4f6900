#include "fileops/file_attributes.h"

#include "fileops_fixture.h"
#include "refusing_file_system.h"
#include "support/memory_file_system.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace qv::testing {
namespace {

using Strings = std::vector<std::string>;
constexpr std::uint32_t dosBits = attr::readOnly | attr::hidden | attr::system | attr::archive;

// user.DOSATTRIB of `path` in hex as getfattr shows it, or "" when absent.
std::string dosAttribHex(const std::filesystem::path& path)
{
    const std::string command =
        "getfattr --absolute-names -n user.DOSATTRIB -e hex '" + path.string() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return "popen failed";
    std::string output;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
    const auto at = output.find("user.DOSATTRIB=");
    if (at == std::string::npos) return "";
    const auto end = output.find('\n', at);
    return output.substr(at + 15, end == std::string::npos ? std::string::npos : end - at - 15);
}

mode_t modeOf(const std::filesystem::path& path)
{
    struct stat info { };
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

class FileAttributes : public FileOpsFixture {
protected:
    std::uint32_t bits(const std::string& name) const
    {
        return fs.stat(gbk(path(name).string())).value().attributes & dosBits;
    }
    void run(const AttributeParams& params) { btnPropClick(params, ws, host, fs); }
};

TEST_F(FileAttributes, NoBitTickedIsRefused)
{
    addFile("a.txt");
    ws.counters.stChangeCount = 2;
    run({.ckNormal = false, .chkDirProp = true});
    EXPECT_EQ(messageTexts(), Strings{"请选择新的属性！"});
    EXPECT_EQ(ws.counters.stChangeCount, 2);
    EXPECT_EQ(dosAttribHex(path("a.txt")), "");
}

TEST_F(FileAttributes, TickedBitsAreSetTheOthersClearedAndStoredAsSambaDoes)
{
    struct Case {
        AttributeParams params;
        std::uint32_t expected;
        std::string hex; // version 5: valid_flags 1, attrib, no creation time
    } cases[] = {
        {{}, 0x20, "0x000005000500000001000000200000000000000000000000"},
        {{.ckNormal = false, .ckHidden = true}, 0x02, "0x000005000500000001000000020000000000000000000000"},
        {{.ckNormal = false, .ckSystem = true}, 0x04, "0x000005000500000001000000040000000000000000000000"},
        {{.ckSystem = true, .ckReadonly = true, .ckHidden = true},
         0x27,
         "0x000005000500000001000000270000000000000000000000"},
    };
    for (const auto& c : cases) {
        startOver();
        const std::string name = std::to_string(&c - cases) + ".txt";
        addFile(name);
        // Start from the opposite bits, so every bit has to change.
        ASSERT_EQ(fs.setAttributes(gbk(path(name).string()), ~c.expected & dosBits & ~attr::readOnly), FsStatus::Ok);
        run(c.params);
        EXPECT_EQ(bits(name), c.expected) << name;
        EXPECT_EQ(dosAttribHex(path(name)), c.hex) << name;
        EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：1"});
    }
}

TEST_F(FileAttributes, ReadOnlyAlsoTakesAwayAndGivesBackTheWritePermission)
{
    addFile("a.txt");
    std::filesystem::permissions(path("a.txt"), std::filesystem::perms(0644));
    run({.ckReadonly = true});
    EXPECT_EQ(modeOf(path("a.txt")), 0444u);
    EXPECT_EQ(bits("a.txt"), attr::readOnly | attr::archive);
    run({});
    EXPECT_EQ(modeOf(path("a.txt")) & 0200, 0200u);
    EXPECT_EQ(bits("a.txt"), attr::archive);
    EXPECT_EQ(ws.counters.stChangeCount, 1);
}

TEST_F(FileAttributes, FolderGetsTheSameBitsNotCounted)
{
    addFile("d/a.txt");
    addFile("d/b.txt");
    addFile("e/c.txt", "x", false);
    run({.ckNormal = false, .ckHidden = true, .chkDirProp = true});
    EXPECT_EQ(bits("d"), attr::hidden);
    EXPECT_EQ(bits("e"), 0u);
    EXPECT_EQ(bits("d/a.txt"), attr::hidden);
    EXPECT_EQ(bits("e/c.txt"), attr::archive);
    EXPECT_EQ(ws.counters.stChangeCount, 2);
}

TEST_F(FileAttributes, FolderIsSetOnceAfterSuccessAndTriedAgainAfterRefusal)
{
    MemoryFileSystem memory;
    RefusingFileSystem recording(memory);
    for (const char* p : {"/a/1.txt", "/a/2.txt", "/a/3.txt", "/b/1.txt", "/b/2.txt", "/a/4.txt"}) {
        memory.addFile(p);
        ws.files.append({std::string(p).substr(3), std::string(p).substr(0, 2)});
        ws.files.setMark(ws.files.lastRow(), true);
    }
    recording.refused = {"/b", "/a/3.txt"};
    btnPropClick({.ckSystem = true, .chkDirProp = true}, ws, host, recording);
    // "/a" is remembered after its success; the refusals of "/b" leave it
    // remembered, so "/a/4.txt" does not set it again.
    EXPECT_EQ(recording.calls,
              (Strings{"/a/1.txt", "/a", "/a/2.txt", "/a/3.txt", "/b/1.txt", "/b", "/b/2.txt", "/b", "/a/4.txt"}));
    EXPECT_EQ(memory.find("/a")->attributes & dosBits, attr::archive | attr::system);
    // The folder that refused is listed once, after the file it was tried for.
    EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：5\r\n2 个文件未处理"});
    EXPECT_EQ(host.messages[0].details, "/a/3.txt：没有权限\r\n/b：没有权限");
}

TEST_F(FileAttributes, FileSystemWithoutStorageIsReportedOnce)
{
    MemoryFileSystem memory;
    memory.setStorageSupported(false);
    for (const char* p : {"/a/1.txt", "/a/2.txt", "/a/3.txt"}) {
        memory.addFile(p);
        ws.files.append({std::string(p).substr(3), "/a"});
        ws.files.setMark(ws.files.lastRow(), true);
    }
    btnPropClick({.ckHidden = true, .chkDirProp = true}, ws, host, memory);
    // The three files and, once, their folder.
    EXPECT_EQ(messageTexts(), (Strings{"成功处理文件总数量：0\r\n4 个文件未处理"}));
    EXPECT_EQ(host.messages[0].details.substr(0, host.messages[0].details.find("\r\n")),
              "/a/1.txt：所在的文件系统不能保存扩展属性 user.DOSATTRIB，无法记录存档、系统、隐藏和只读属性");
    EXPECT_EQ(host.messages[0].kind, MessageKind::Information);
}

TEST_F(FileAttributes, FileOfAnotherUserIsNotCounted)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run the operation as the user 'nobody' on a file 'nobody' does not own";
    addFile("a.txt");
    std::filesystem::permissions(path("a.txt"), std::filesystem::perms(0644));
    const std::string file = path("a.txt").string();

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Exit codes: 10 + files counted; 99 when 'nobody' cannot reach the file.
        if (setgid(65534) != 0 || setuid(65534) != 0 || access(file.c_str(), R_OK) != 0) _exit(99);
        RecordingHost childHost;
        btnPropClick({.ckHidden = true}, ws, childHost, fs);
        _exit(10 + static_cast<int>(ws.counters.stChangeCount));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 99) GTEST_SKIP() << "the user 'nobody' cannot reach the test folder";
    EXPECT_EQ(WEXITSTATUS(status), 10);
    EXPECT_EQ(bits("a.txt"), attr::archive);
    EXPECT_EQ(dosAttribHex(path("a.txt")), "");
}

TEST_F(FileAttributes, ThePlanNamesLinksAndFilesOfAnotherUser)
{
    addFile("a.txt");
    std::filesystem::create_symlink(path("a.txt"), path("link.txt"));
    addEntry("link.txt");
    const ChangePlan plan = planPropRun({.ckHidden = true}, ws.files, fs);
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].status, PlanStatus::Ok);
    EXPECT_EQ(plan[1].reason, gbk("这是一个符号链接，符号链接本身不能记录属性和创建日期"));

    if (geteuid() != 0) GTEST_SKIP() << "needs root to plan as the user 'nobody'";
    std::filesystem::permissions(path("a.txt"), std::filesystem::perms(0644));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Exit codes: 20 when the plan says "没有权限", 21 otherwise; 99 when
        // 'nobody' cannot reach the file.
        if (setgid(65534) != 0 || setuid(65534) != 0 || access(path("a.txt").c_str(), R_OK) != 0) _exit(99);
        const ChangePlan asNobody = planPropRun({.ckHidden = true}, ws.files, fs);
        _exit(asNobody[0].status == PlanStatus::Skipped && asNobody[0].reason == gbk("没有权限") ? 20 : 21);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 99) GTEST_SKIP() << "the user 'nobody' cannot reach the test folder";
    EXPECT_EQ(WEXITSTATUS(status), 20);
}

} // namespace
} // namespace qv::testing
