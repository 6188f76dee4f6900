#include "cli/options.h"
#include "cli/subcommands.h"
#include "cli_run.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace qv::cli {
namespace {

class DryRun : public testing::FolderTest {
protected:
    DryRun() : FolderTest("cli-dry-run") { }
    void SetUp() override
    {
        FolderTest::SetUp();
        a = write("a.txt", "ab\n\xD6\xD0\xCE\xC4\n"); // "中文" in GBK: not UTF-8
        x = write("x.txt", "x\n");
        xqv = write("x.qv.txt", "mine\n");
    }
    std::string at(const std::string& name) const { return (folder_ / name).string(); }
    std::set<std::string> names() const
    {
        std::set<std::string> out;
        for (const auto& item : std::filesystem::directory_iterator(folder_)) out.insert(item.path().filename());
        return out;
    }
    std::string a, x, xqv;
};

// A dry run does the whole run but writes nothing, and prints one line per
// FILE: source, result, status.
TEST_F(DryRun, PrintsOneLinePerFileAndWritesNothing)
{
    const std::string self = "skipped: 输出文件是本次处理的源文件";
    struct Case {
        CommandName command;
        std::vector<std::string> args;
        std::string expected; // "@" stands for the folder
    } cases[] = {
        {"cut",
         {"--template", "${GetLeft(1)}", "--dry-run", a, x, xqv},
         "@/a.txt\t@/a.qv.txt\tok\n@/x.txt\t@/x.qv.txt\t" + self + "\n@/x.qv.txt\t@/x.qv.qv.txt\tok\n"},
        {"delete-lines", {"--numbers", "1", "--dry-run", a}, "@/a.txt\t@/a.qv.txt\tok\n"},
        {"charset",
         {"--call", "${ToAnsi()}", "--dry-run", a, x},
         "@/a.txt\t@/a.qv.txt\tskipped: 不是有效的UTF-8编码\n@/x.txt\t@/x.qv.txt\treplace\n"},
        {"replace", {"--template", "${Pos(a)}", "--dry-run", a}, "@/a.txt\t@/a.qv.txt\tok\n"},
        {"combine", {"--dry-run", a, x}, "@/a.txt\t@/x.qv.txt\treplace\n@/x.txt\t@/x.qv.txt\treplace\n"},
        {"convert",
         {"--call", "${TxtTo(txt)}", "--dry-run", a, xqv},
         "@/a.txt\t@/a.txt\tskipped: 转换后的文件就是源文件\n@/x.qv.txt\t@/x.qv.txt\tskipped: "
         "转换后的文件就是源文件\n"},
        {"convert", {"--call", "${XlsTo(csv)}", "--dry-run", x}, "@/x.txt\t@/x.csv\tok\n"},
    };
    for (const Case& c : cases) {
        const CliRun result = run(c.command, c.args);
        std::string expected = c.expected;
        for (std::size_t at = expected.find('@'); at != std::string::npos; at = expected.find('@', at))
            expected.replace(at, 1, folder_.string());
        EXPECT_EQ(result.status, 0) << c.args[0];
        EXPECT_EQ(result.out, expected) << c.args[0];
    }
    EXPECT_EQ(names(), (std::set<std::string>{"a.txt", "x.txt", "x.qv.txt"}));
    EXPECT_EQ(read("x.qv.txt"), "mine\n");
}

TEST_F(DryRun, RefusedParametersExitOneWithTheMessage)
{
    struct Case {
        CommandName command;
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {"cut", {"--dry-run", a}, "请输入内容截取格式！\n"},
        {"cut", {"--preview", "3", a}, "请输入内容截取格式！\n"},
        {"convert", {"--dry-run", a}, "新文件格式为空,请输入后再试!\n"},
        {"charset", {"--preview", "1", a}, "新文件格式为空,请输入后再试!\n"},
    };
    for (const Case& c : cases) {
        const CliRun result = run(c.command, c.args);
        EXPECT_EQ(result.status, 1) << c.args[0];
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, c.err);
    }
    EXPECT_THROW(run("cut", {"--template", "${GetLeft(1)}", "--preview", "0", a}), UsageError);
}

// A preview prints the first N lines of the first FILE's output in UTF-8.
TEST_F(DryRun, PreviewPrintsTheFirstLinesOfTheFirstOutput)
{
    const std::string u8 = write("u8.txt", "\xE4\xB8\xAD\xE6\x96\x87\r\nb\r\nc\r\n");
    struct Case {
        CommandName command;
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {"cut", {"--template", "${GetLeft(1)}", "--preview", "1", a, x}, "a\n"},
        {"extract-lines", {"--numbers", "2,1", "--preview", "5", a}, "中文\nab\n"},
        {"charset", {"--call", "${ToUtf8()}", "--preview", "2", a}, "ab\n中文\n"},
        {"charset", {"--call", "${ToAnsi()}", "--preview", "2", u8}, "中文\nb\n"},
        {"replace", {"--template", "${DelMid(${Pos(b)},1)}", "--preview", "9", a}, "a\n中文\n"},
        {"insert-lines", {"--content", "new", "--at", "1", "--preview", "2", x}, "x\nnew\n"},
    };
    for (const Case& c : cases) {
        const CliRun result = run(c.command, c.args);
        EXPECT_EQ(result.status, 0) << c.args[1];
        EXPECT_EQ(result.out, c.out) << c.args[1];
    }
    EXPECT_EQ(names(), (std::set<std::string>{"a.txt", "x.txt", "x.qv.txt", "u8.txt"}));
}

} // namespace
} // namespace qv::cli
