#include "cli/command_table.h"
#include "cli/subcommands.h"

#include "cli/dispatcher.h"
#include "cli/options.h"
#include "cli_run.h"
#include "platform/interrupt.h"
#include "support/test_folder.h"
#include "text/run_error.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace qv::cli {
namespace {

class ContentCommands : public testing::FolderTest {
protected:
    ContentCommands() : FolderTest("cli-content") { }
    std::string make(const std::string& name, const std::string& bytes) const { return write(name, bytes); }
};

TEST_F(ContentCommands, MergeKeysAndSyncLines)
{
    const std::string source = make("s.ini", "Port=8080\r\n");
    const std::string target = make("t.ini", "port=80\r\nHost=x\r\n");
    CliRun result = run("merge-keys", {source, target});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "成功处理完成,共处理 1 条记录!\n");
    EXPECT_EQ(read("t.qv.ini"), "Port=8080\r\nHost=x\r\n");

    result = run("sync-lines", {"--keywords", "host", make("a.txt", "x\r\nHOST\r\n"), target});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(read("t.qv.ini"), "port=80\r\nHOST\r\n");

    result = run("sync-lines", {source, target});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "关键字为空,请输入后再试!\n");
}

TEST_F(ContentCommands, TwoFilePickTakesTheFirstTwoFiles)
{
    const std::string source = make("s.ini", "Port=8080\r\n");
    const std::string target = make("t.ini", "port=80\r\n");
    const std::string third = make("u.ini", "Port=1\r\n");
    struct Case {
        CommandName command;
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::vector<Case> cases{
        {"merge-keys", {source}, 1, "请选择需要按关键字进行合并的两个文件！\n"},
        {"sync-lines", {"--keywords", "Port", source}, 1, "请选择需要按关键字进行同步的两个文件！\n"},
        {"merge-keys", {source, target, third}, 0, ""},
        {"sync-lines", {"--keywords", "Port", source, target, third}, 0, ""},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(folder_ / "t.qv.ini");
        const CliRun result = run(c.command, c.args);
        EXPECT_EQ(result.status, c.status) << c.args.size();
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(std::filesystem::exists(folder_ / "t.qv.ini"), c.status == 0);
    }
    EXPECT_EQ(read("t.qv.ini"), "Port=8080\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder_ / "u.qv.ini"));
}

TEST_F(ContentCommands, StatsPrintsResultsThenMessage)
{
    const std::string file = make("s.txt", "ab\r\n\r\nabcd\r\n");
    const CliRun result = run("stats", {file});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "文件大小:12\n总行数:3\n空行数:1\n数据行数:2\n行最大字符数:4\n行最小字符数:2\n"
                          "行平均字符数:6\n统计文件名称:" +
                              file + "\n成功统计完成!\n");
}

TEST_F(ContentCommands, CombineReplaceCharset)
{
    const std::string a = make("a.txt", "1\n"), b = make("b.txt", "2");
    CliRun result = run("combine", {a, b});
    EXPECT_EQ(result.out, "成功处理完成,共处理 2 个文件!\n");
    EXPECT_EQ(read("b.qv.txt"), "1\r\n2\r\n");

    result = run("replace", {"--template", "${DelMid(${Pos(x)},1)}", make("r.txt", "axbx")});
    EXPECT_EQ(read("r.qv.txt"), "ab\r\n");

    result = run("charset", {"--call", "${ToAnsi()}", make("u.txt", "中"), make("g.txt", "\xD6\xD0")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(read("u.qv.txt"), "\xD6\xD0\r\n");
    EXPECT_EQ(result.out, "成功处理完成,共处理 1 个文件!\n1 个文件未处理\n" + (folder_ / "g.txt").string() +
                              "：不是有效的UTF-8编码\n");

    result = run("charset", {"--call", "", a});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "新文件格式为空,请输入后再试!\n");
    result = run("replace", {});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "没有源文件，请搜索后再试！\n");
    EXPECT_THROW(run("combine", {(folder_ / "missing.txt").string()}), RunError);
}

// Ctrl-C before the first file: the closing message keeps its first line,
// says the run was stopped and how many files it left, and the command
// exits with 130. In a child process, since the stop request stays.
TEST_F(ContentCommands, AStoppedRunSaysSoAndExitsWith130)
{
    const std::string a = make("a.txt", "x\r\n"), b = make("b.txt", "y\r\n");
    EXPECT_EXIT(
        {
            watchInterrupts();
            std::raise(SIGINT);
            std::exit(runCli({"charset", "--call", "${ToUtf8()}", a, b}, std::cerr, std::cerr));
        },
        ::testing::ExitedWithCode(130), "^成功处理完成,共处理 0 个文件!\n已停止处理，还有 2 个选中的文件未处理\n$");
    EXPECT_EQ(read("a.qv.txt"), "");
}

TEST_F(ContentCommands, HelpListsOptionsWithDefaults)
{
    const CliRun result = run("charset", {"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("--call C"), std::string::npos);
    EXPECT_NE(result.out.find("(default: empty)"), std::string::npos);
}

} // namespace
} // namespace qv::cli
