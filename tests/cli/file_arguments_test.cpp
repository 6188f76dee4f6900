// FILE arguments, --list lines and search folders whose code page 936 form
// would name another file are refused by name; the look-alike file is never
// touched and the rest of the run goes on.
#include "cli/command_table.h"
#include "cli/search_command.h"
#include "cli/subcommands.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qv::cli {
namespace {

namespace fs = std::filesystem;
using CommandName = const char*;

class UnconvertibleNames : public testing::FolderTest {
protected:
    UnconvertibleNames() : FolderTest("cli-names") { }
    std::string make(const std::string& name, const std::string& bytes = "line 1\r\nline 2\r\n") const
    {
        return write(name, bytes);
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(folder_)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

TEST_F(UnconvertibleNames, AreRefusedAndTheLookAlikeIsLeftAlone)
{
    struct Name {
        std::string onDisk;    // what the user names (need not exist)
        std::string lookAlike; // the file its lossy code page 936 form names
        std::string shown;     // how the refusal prints it
    };
    const std::vector<Name> badNames{
        {"😀.txt", "?.txt", "😀.txt"},
        {"\xff.txt", "?.txt", "\\xFF.txt"},
        {"a\u200b.txt", "a.txt", "a\\u{200B}.txt"},
    };
    struct Command {
        CommandName name;
        std::vector<std::string> options;
    };
    const std::vector<Command> commands{
        {"delete-lines", {"--numbers", "1"}},
        {"dates", {"--modify", "2001-02-03"}},
        {"rename", {"--template", "${AddLeft(new_)}"}},
        {"stats", {}},
    };
    for (const Name& name : badNames) {
        for (const Command& command : commands) {
            fs::remove_all(folder_);
            fs::create_directories(folder_);
            make(name.lookAlike);
            const auto lookAlikeTime = fs::last_write_time(folder_ / name.lookAlike);
            std::vector<std::string> args = command.options;
            args.push_back((folder_ / name.onDisk).string());

            std::ostringstream out, err;
            const int status = runCommand(*findCommand(command.name), args, out, err);

            EXPECT_EQ(status, 1) << name.shown;
            EXPECT_NE(err.str().find("文件名无法准确转换为 GBK 编码，已跳过：" + (folder_ / "").string() + name.shown),
                      std::string::npos)
                << err.str();
            EXPECT_EQ(names(), std::vector<std::string>{name.lookAlike}) << name.shown;
            EXPECT_EQ(fs::last_write_time(folder_ / name.lookAlike), lookAlikeTime) << name.shown;
        }
    }
}

TEST_F(UnconvertibleNames, TheRestOfTheRunGoesOn)
{
    const std::string good = make("good.txt");
    make("?.txt");
    const std::string list =
        make("list.txt", (folder_ / "\xff.txt").string() + "\n" + (folder_ / "good2.txt").string());
    make("good2.txt");
    std::ostringstream out, err;
    const int status =
        runCommand(*findCommand("delete-lines"), {"--list", list, (folder_ / "😀.txt").string(), good}, out, err);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out.str(), "成功处理完成,共处理 2 个文件!\n");
    EXPECT_EQ(names(),
              (std::vector<std::string>{"?.txt", "good.qv.txt", "good.txt", "good2.qv.txt", "good2.txt", "list.txt"}));
}

TEST_F(UnconvertibleNames, SearchSkipsARefusedFolderAndSearchesTheOthers)
{
    fs::create_directories(folder_ / "ok");
    fs::create_directories(folder_ / "?");
    make("ok/found.txt");
    make("?/wrong.txt");
    std::ostringstream out, err;
    const std::string folders = (folder_ / "😀").string() + ";" + (folder_ / "ok").string();
    const int status = runCommand(*findCommand("search"), {"--folder", folders, "--no-sub"}, out, err);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out.str().substr(0, out.str().find('\t')), "found.txt");
    EXPECT_EQ(out.str().find("wrong.txt"), std::string::npos);
    EXPECT_NE(err.str().find("文件名无法准确转换为 GBK 编码，已跳过："), std::string::npos);
}

} // namespace
} // namespace qv::cli
