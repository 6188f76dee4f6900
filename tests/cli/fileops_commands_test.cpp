#include "cli/command_table.h"
#include "cli/subcommands.h"

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
    EXPECT_EQ(r.out, "成功处理文件总数量：0\n1 个文件未处理\n" + a +
                         "：算出的新文件名超过 255 字节，文件系统不接受这样长的名称\n");
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

TEST_F(FileOpsCommands, DryRunPrintsThePlanOneLineAFileAndChangesNothing)
{
    const std::string one = make("1.txt"), two = make("2.txt"), three = make("3.txt");
    const std::string a1 = make("a1.txt"), a2 = make("a2.txt"), xtxt = make("x.txt");
    make("x.doc");
    const std::string link = (folder_ / "link.txt").string();
    std::filesystem::create_symlink(one, link);
    const std::string dir = folder_.string() + "/";
    const std::string longExt(255, 'e');
    const struct {
        const char* what;
        CommandName command;
        std::vector<std::string> args;
        int status;
        std::string out, err;
    } cases[] = {
        {"shift without chains",
         "rename",
         {"--dry-run", "--template", "${Sn(2,1)}", one, two, three},
         0,
         one + "\t" + dir + "2.txt\tchain\n" + two + "\t" + dir + "3.txt\tchain\n" + three + "\t" + dir + "4.txt\tok\n",
         ""},
        {"shift with chains",
         "rename",
         {"--dry-run", "--chains", "--template", "${Sn(2,1)}", one, two, three},
         0,
         one + "\t" + dir + "2.txt\tok\n" + two + "\t" + dir + "3.txt\tok\n" + three + "\t" + dir + "4.txt\tok\n",
         ""},
        {"duplicate, unchanged, a name held by a file that stays",
         "rename",
         {"--dry-run", "--template", "${GetLeft(1)}", a1, a2, one, two},
         0,
         a1 + "\t" + dir + "a.txt\tok\n" + a2 + "\t" + dir + "a.txt\tduplicate\n" + one + "\t" + dir +
             "1.txt\tunchanged\n" + two + "\t" + dir + "2.txt\tunchanged\n",
         ""},
        {"a name taken outside the run, invalid names",
         "ext",
         {"--dry-run", "--template", "doc", xtxt, one},
         0,
         xtxt + "\t" + dir + "x.doc\texists\n" + one + "\t" + dir + "1.doc\tok\n",
         ""},
        {"invalid names",
         "ext",
         {"--dry-run", "--template", "${ext}/", one},
         0,
         one + "\t" + dir + "1.txt/\tinvalid\n",
         ""},
        {"a name longer than 255 bytes",
         "ext",
         {"--dry-run", "--template", longExt, one},
         0,
         one + "\t" + dir + "1." + longExt + "\tinvalid\n",
         ""},
        {"refused template", "ext", {"--dry-run", one}, 1, "", "请输入新扩展名格式！\n"},
        {"attributes: a link is left alone",
         "attrs",
         {"--dry-run", "--hidden", one, link},
         0,
         one + "\t\tok\n" + link + "\t\tskipped: 这是一个符号链接，符号链接本身不能记录属性和创建日期\n",
         ""},
        {"dates: a missing file is left alone",
         "dates",
         {"--dry-run", "--modify", "2020-01-02", one, dir + "gone.txt"},
         0,
         one + "\t\tok\n" + dir + "gone.txt\t\tskipped: 文件不存在\n",
         ""},
        {"dates: nothing ticked", "dates", {"--dry-run", one}, 1, "", "请选择新的日期或时间！\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun r = run(c.command, c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(names(), (std::vector<std::string>{"1.txt", "2.txt", "3.txt", "a1.txt", "a2.txt", "link.txt", "x.doc",
                                                     "x.txt"}));
    }
    EXPECT_EQ(PosixFileSystem().stat(one)->attributes & 0x2u, 0u);
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
