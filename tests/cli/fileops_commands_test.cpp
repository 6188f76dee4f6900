#include "cli/command_table.h"
#include "cli/fileops_commands.h"

#include "cli/options.h"
#include "cli_run.h"
#include "platform/posix_file_system.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace qv::cli {
namespace {

class FileOpsCommands : public testing::FolderTest {
protected:
    FileOpsCommands() : FolderTest("cli") { }
    std::string make(const std::string& name)
    {
        std::ofstream(folder_ / name) << name;
        return (folder_ / name).string();
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(folder_)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

TEST_F(FileOpsCommands, RenameWithUtf8TemplateAndFiles)
{
    const std::string a = make("a.txt"), b = make("报告.doc");
    const CliRun r = run("rename", {"--template", "${AddLeft(新_)}", a, b});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "成功处理文件总数量：2\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(names(), (std::vector<std::string>{"新_a.txt", "新_报告.doc"}));
}

TEST_F(FileOpsCommands, RenameReadsTheDatesTheTemplateAsksFor)
{
    const std::string a = make("a.txt");
    const timespec noon[2] = {{1623758400, 0}, {1623758400, 0}}; // 2021-06-15 12:00 UTC
    ASSERT_EQ(::utimensat(AT_FDCWD, a.c_str(), noon, 0), 0);
    const CliRun r = run("rename", {"--template", "${FileName}_${ModifyDate}", a});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(names(), (std::vector<std::string>{"a_2021-06-15.txt"}));
}

TEST_F(FileOpsCommands, RefusalsGiveStatusOneAndLeftAloneFilesAreListed)
{
    const std::string a = make("a.txt");
    CliRun r = run("rename", {a});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "请输入新文件名格式！\n");
    EXPECT_EQ(r.out, "");

    r = run("rename", {"--template", "${AddLeft(x)}"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "没有源文件，请搜索后再试！\n");

    r = run("rename", {"--template", "${AddLeft(../)}", a});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "成功处理文件总数量：0\n1 个文件未处理\n" + a +
                         "：算出的新文件名为空、是“.”或“..”，或含有“/”，这样的名称会使文件离开所在目录\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(names(), std::vector<std::string>{"a.txt"});

    r = run("dates", {a});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "请选择新的日期或时间！\n");

    // 256 bytes, one more than a Linux file system takes.
    r = run("rename", {"--template", "${AddRight(" + std::string(251, 'b') + ")}", a});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "成功处理文件总数量：0\n1 个文件未处理\n" + a + "：文件名过长\n");
    EXPECT_EQ(names(), std::vector<std::string>{"a.txt"});
}

TEST_F(FileOpsCommands, ExtWithListFile)
{
    make("a.txt");
    make("b.txt");
    std::ofstream(folder_ / "files.lst") << (folder_ / "a.txt").string() << "\n\n"
                                         << (folder_ / "b.txt").string() << "\n";
    const CliRun r = run("ext", {"--template", "${Ext}.BAK", "--list", (folder_ / "files.lst").string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "成功处理文件总数量：2\n");
    EXPECT_EQ(names(), (std::vector<std::string>{"a.txt.bak", "b.txt.bak", "files.lst"}));
}

TEST_F(FileOpsCommands, DatesAndAttributesReachTheFiles)
{
    const std::string a = make("a.txt");
    CliRun r = run("dates", {"--modify", "2020-01-02", "--time", "08:00:00", a});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "成功处理文件总数量：1\n");
    PosixFileSystem fs;
    const auto written = fs.stat(a)->lastWriteTime;
    // 2020-01-02 08:00:00 local: within a day of 2020-01-02 00:00 UTC, seconds exact.
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(written.time_since_epoch()).count();
    EXPECT_LE(std::abs(seconds - 1577923200), 14 * 3600);
    EXPECT_EQ(seconds % 60, 0);

    r = run("attrs", {a});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(fs.stat(a)->attributes & 0x27u, 0x20u);
    r = run("attrs", {"--hidden", "--system", a});
    EXPECT_EQ(fs.stat(a)->attributes & 0x27u, 0x06u);
    r = run("attrs", {"--archive", "--readonly", a});
    EXPECT_EQ(fs.stat(a)->attributes & 0x27u, 0x21u);
    EXPECT_EQ(r.out, "成功处理文件总数量：1\n");
}

TEST_F(FileOpsCommands, SymbolicLinksAreNamedAsTheReasonTheyWereLeftAlone)
{
    const std::string target = make("a.txt");
    const std::string link = (folder_ / "link.txt").string();
    std::filesystem::create_symlink(target, link);
    const struct {
        CommandName command;
        std::vector<std::string> args;
    } cases[] = {{"attrs", {"--readonly", link}}, {"dates", {"--create", "2020-01-02", link}}};
    for (const auto& c : cases) {
        const CliRun r = run(c.command, c.args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "成功处理文件总数量：0\n1 个文件未处理\n" + link +
                             "：这是一个符号链接，符号链接本身不能记录属性和创建日期\n");
    }
}

TEST_F(FileOpsCommands, BadDatesAndTimesAreWrongUsage)
{
    const std::string a = make("a.txt");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--modify", "2023-02-29", a}, "--modify: '2023-02-29' is not a valid date"},
        {{"--create", "yesterday", a}, "--create: 'yesterday' is not a valid date"},
        {{"--time", "25:00:00", a}, "--time: '25:00:00' is not a valid time"},
    };
    for (const auto& c : cases) {
        try {
            run("dates", c.args);
            ADD_FAILURE() << c.message;
        } catch (const UsageError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

TEST_F(FileOpsCommands, HelpListsTheOptionsWithDefaults)
{
    const CliRun r = run("dates", {"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* option : {"--modify", "--create", "--access", "--time", "--dirs", "--list", "(default: today)"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    EXPECT_NE(run("attrs", {"--help"}).out.find("--readonly"), std::string::npos);
    EXPECT_NE(run("rename", {"--help"}).out.find("--template"), std::string::npos);
    EXPECT_NE(run("ext", {"--help"}).out.find("--template"), std::string::npos);
}

} // namespace
} // namespace qv::cli
