#include "cli/content_commands.h"

#include "cli/dispatcher.h"
#include "cli/options.h"
#include "platform/interrupt.h"
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

using CommandFunction = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

class ContentCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* base = std::getenv("QV_TEST_TMP");
        folder_ = std::filesystem::path(base ? base : ::testing::TempDir()) / "cli-content" /
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override
    {
        if (!HasFailure()) std::filesystem::remove_all(folder_);
    }
    std::string make(const std::string& name, const std::string& bytes)
    {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
        return (folder_ / name).string();
    }
    std::string read(const std::string& name)
    {
        std::ifstream in(folder_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static CliRun run(CommandFunction command, const std::vector<std::string>& args)
    {
        std::ostringstream out, err;
        const int status = command(args, out, err);
        return {status, out.str(), err.str()};
    }

    std::filesystem::path folder_;
};

TEST_F(ContentCommands, MergeKeysAndSyncLines)
{
    const std::string source = make("s.ini", "Port=8080\r\n");
    const std::string target = make("t.ini", "port=80\r\nHost=x\r\n");
    CliRun result = run(runMergeKeysCommand, {source, target});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "成功处理完成,共处理 1 条记录!\n");
    EXPECT_EQ(read("t.qv.ini"), "Port=8080\r\nHost=x\r\n");

    result = run(runSyncLinesCommand, {"--keywords", "host", make("a.txt", "x\r\nHOST\r\n"), target});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(read("t.qv.ini"), "port=80\r\nHOST\r\n");

    result = run(runSyncLinesCommand, {source, target});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "关键字为空,请输入后再试!\n");
}

TEST_F(ContentCommands, TwoFilePickTakesTheFirstTwoFiles)
{
    const std::string source = make("s.ini", "Port=8080\r\n");
    const std::string target = make("t.ini", "port=80\r\n");
    const std::string third = make("u.ini", "Port=1\r\n");
    struct Case {
        CommandFunction command;
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::vector<Case> cases{
        {runMergeKeysCommand, {source}, 1, "请选择需要按关键字进行合并的两个文件！\n"},
        {runSyncLinesCommand, {"--keywords", "Port", source}, 1, "请选择需要按关键字进行同步的两个文件！\n"},
        {runMergeKeysCommand, {source, target, third}, 0, ""},
        {runSyncLinesCommand, {"--keywords", "Port", source, target, third}, 0, ""},
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
    const CliRun result = run(runStatsCommand, {file});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "文件大小:12\n总行数:3\n空行数:1\n数据行数:2\n行最大字符数:4\n行最小字符数:2\n"
                          "行平均字符数:6\n统计文件名称:" +
                              file + "\n成功统计完成!\n");
}

TEST_F(ContentCommands, CombineReplaceCharset)
{
    const std::string a = make("a.txt", "1\n"), b = make("b.txt", "2");
    CliRun result = run(runCombineCommand, {a, b});
    EXPECT_EQ(result.out, "成功处理完成,共处理 2 个文件!\n");
    EXPECT_EQ(read("b.qv.txt"), "1\r\n2\r\n");

    result = run(runReplaceCommand, {"--template", "${DelMid(${Pos(x)},1)}", make("r.txt", "axbx")});
    EXPECT_EQ(read("r.qv.txt"), "ab\r\n");

    result = run(runCharsetCommand, {"--call", "${ToAnsi()}", make("u.txt", "中"), make("g.txt", "\xD6\xD0")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(read("u.qv.txt"), "\xD6\xD0\r\n");
    EXPECT_EQ(result.out, "成功处理完成,共处理 1 个文件!\n1 个文件未处理\n" + (folder_ / "g.txt").string() +
                              "：不是有效的UTF-8编码\n");

    result = run(runCharsetCommand, {"--call", "", a});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "新文件格式为空,请输入后再试!\n");
    result = run(runReplaceCommand, {});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "没有源文件，请搜索后再试！\n");
    EXPECT_THROW(run(runCombineCommand, {(folder_ / "missing.txt").string()}), RunError);
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
    const CliRun result = run(runCharsetCommand, {"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("--call C"), std::string::npos);
    EXPECT_NE(result.out.find("(default: empty)"), std::string::npos);
}

} // namespace
} // namespace qv::cli
