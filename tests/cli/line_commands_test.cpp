#include "cli/command_table.h"
#include "cli/subcommands.h"

#include "cli/options.h"
#include "support/test_folder.h"
#include "text/run_error.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace qv::cli {
namespace {

using CommandName = const char*;

class LineCommands : public testing::FolderTest {
protected:
    LineCommands() : FolderTest("line_commands") { }
    std::string file(const std::string& name, const std::string& bytes) const { return write(name, bytes); }
    int run(CommandName command, std::vector<std::string> args)
    {
        std::ostringstream o, e;
        const int status = runCommand(*findCommand(command), args, o, e);
        out = o.str();
        err = e.str();
        return status;
    }

    std::string out, err;
};

TEST_F(LineCommands, EachSubcommandWritesItsOutputFileAndTheClosingMessage)
{
    const std::string a = file("a.txt", "abcdef\nk1;k2\n\nz");
    struct Case {
        CommandName command;
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {"cut", {"--template", "${GetMid(2,3)}", a}, "bcd\r\n1;k\r\n\r\n\r\n"},
        {"cut",
         {"--template", "${GetLeft(1)}", "--keep", "rest", "--lines", "keyword:;", a},
         "abcdef\r\n1;k2\r\n\r\nz\r\n"},
        {"cut", {"--template", "${GetLeft(2)}", "--lines", "number:2", a}, "abcdef\r\nk1\r\n\r\nz\r\n"},
        {"insert",
         {"--template", "${AddLeft(${Sn(1,2)}.)}", "--lines", "all", a},
         "01.abcdef\r\n02.k1;k2\r\n03.\r\n04.z\r\n"},
        {"pattern", {"--pattern", "$2\n$1", "--count", "2", a}, "$2\r\nabcdef\r\nk2\r\nk1\r\n$2\r\nz\r\n"},
        {"delete-lines", {"--numbers", "1,3", a}, "k1;k2\r\nz\r\n"},
        {"delete-lines", {"--empty", a}, "abcdef\r\nk1;k2\r\nz\r\n"},
        {"delete-lines", {"--interval", "2:1", a}, "k1;k2\r\nz\r\n"},
        {"extract-lines", {"--keywords", "k2;z", a}, "k1;k2\r\nz\r\n"},
        {"extract-lines", {"--interval", "2:0", "--no-empty", a}, "abcdef\r\n"},
        {"extract-lines", {"--interval", "2:2", a}, "k1;k2\r\nz\r\n"},
        {"insert-lines", {"--content", "<${LineStr(4)}>\\t", "--at", "1", a}, "abcdef\r\n<z>\t\r\nk1;k2\r\n\r\nz\r\n"},
        {"insert-lines", {"--content", "--", "--keywords", "k", a}, "abcdef\r\n--\r\nk1;k2\r\n\r\nz\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.command, c.args), 0) << c.args[0] << " " << c.args[1] << err;
        EXPECT_EQ(read("a.qv.txt"), c.expected) << c.args[0] << " " << c.args[1];
        EXPECT_EQ(out, "成功处理完成,共处理 1 个文件!\n");
        EXPECT_EQ(err, "");
    }
}

TEST_F(LineCommands, RefusalsGoToStandardErrorWithStatusOne)
{
    const std::string a = file("a.txt", "x");
    EXPECT_EQ(run("cut", {a}), 1);
    EXPECT_EQ(err, "请输入内容截取格式！\n");
    EXPECT_EQ(run("delete-lines", {"--interval", "0:1", a}), 1);
    EXPECT_EQ(err, "间隔行数必须大于0,请输入后再试!\n");
    EXPECT_EQ(run("insert-lines", {"--content", "x"}), 1);
    EXPECT_EQ(err, "没有源文件，请搜索后再试！\n");
    EXPECT_EQ(out, "");
    EXPECT_FALSE(std::filesystem::exists(folder_ / "a.qv.txt"));
}

TEST_F(LineCommands, WrongUsageAndRunErrorsAreThrownForTheDispatcher)
{
    const std::string a = file("a.txt", "x");
    EXPECT_THROW(run("cut", {"--template", "${GetLeft(1)}", "--keep", "both", a}), UsageError);
    EXPECT_THROW(run("cut", {"--template", "${GetLeft(1)}", "--lines", "number", a}), UsageError);
    EXPECT_THROW(run("delete-lines", {"--empty", "--numbers", "2", a}), UsageError);
    EXPECT_THROW(run("extract-lines", {"--interval", "3", a}), UsageError);
    EXPECT_THROW(run("delete-lines", {"--numbers", "1-", a}), RunError);
    EXPECT_THROW(run("cut", {"--template", "${GetLeft(1)}", (folder_ / "missing.txt").string()}), RunError);
}

TEST_F(LineCommands, HelpListsTheOptionsWithTheirDefaults)
{
    EXPECT_EQ(run("pattern", {"--help"}), 0);
    EXPECT_NE(out.find("--prefix"), std::string::npos);
    EXPECT_NE(out.find("--count"), std::string::npos);
    EXPECT_NE(out.find("3"), std::string::npos);
}

} // namespace
} // namespace qv::cli
