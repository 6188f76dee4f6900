// Files whose names on disk are code page 936 bytes, beside UTF-8 twins of the
// same text, made on the real disk.
#include "cli/search_command.h"
#include "cli/subcommands.h"
#include "cli_run.h"
#include "operation/workspace.h"
#include "platform/posix_file_system.h"
#include "support/recording_host.h"
#include "support/test_folder.h"
#include "window/list_commands.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace qv::cli {
namespace {

const std::string gbkName = "\xD6\xD0\xCE\xC4.txt";               // 中文.txt in code page 936
const std::string utf8Name = "\xE4\xB8\xAD\xE6\x96\x87.txt";      // 中文.txt in UTF-8
const std::string latin1Name = "caf\xE9.txt";                     // neither UTF-8 nor GBK
const std::string utf8Output = "\xE4\xB8\xAD\xE6\x96\x87.qv.txt"; // 中文.qv.txt in UTF-8

class GbkNames : public testing::FolderTest {
protected:
    GbkNames() : FolderTest("cli") { }
    std::string make(const std::string& name, const std::string& content)
    {
        std::ofstream(folder_ / name, std::ios::binary) << content;
        return (folder_ / name).string();
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(folder_ / name); }
    struct stat statOf(const std::string& name) const
    {
        struct stat info { };
        ::lstat((folder_ / name).c_str(), &info);
        return info;
    }
};

TEST_F(GbkNames, SearchListsBothTwinsAndSkipsNamesOfNeitherEncoding)
{
    make(gbkName, "gbk\r\n");
    make(utf8Name, "utf8\r\n");
    make(latin1Name, "x");
    const CliRun r = run("search", {"--folder", folder_.string(), "--sort", "size", "--show-encoding"});
    // Name, folder, size, type and encoding of each line; the times left out.
    std::vector<std::string> rows;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> cells;
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
        ASSERT_EQ(cells.size(), 7u) << line;
        rows.push_back(cells[0] + "|" + cells[1] + "|" + cells[2] + "|" + cells[5] + "|" + cells[6]);
    }
    const std::string folder = folder_.string();
    EXPECT_EQ(rows,
              (std::vector<std::string>{"中文.txt|" + folder + "|5|.txt|gbk", "中文.txt|" + folder + "|6|.txt|utf-8"}));
    EXPECT_NE(r.err.find("有 1 个文件或目录的名称既不是UTF-8编码也不是GBK编码，已跳过。"), std::string::npos) << r.err;
}

// Each command acts on the GBK-named file alone; its UTF-8 twin keeps its
// content, times and permissions.
TEST_F(GbkNames, OperationsReachTheGbkFileNotItsTwin)
{
    struct Case {
        const char* why;
        std::string command;
        std::vector<std::string> options;
    };
    const Case cases[] = {
        {"delete-lines", "delete-lines", {"--numbers", "1"}},
        {"dates", "dates", {"--modify", "2001-02-03", "--time", "04:05:06"}},
        {"attrs", "attrs", {"--readonly"}},
        {"rename", "rename", {"--template", "${AddLeft(新_)}"}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        const std::string gbkPath = make(gbkName, "one\r\ntwo\r\n");
        make(utf8Name, "twin\r\n");
        const struct stat twinBefore = statOf(utf8Name);
        std::vector<std::string> args = c.options;
        args.push_back(gbkPath);
        const CliRun r = run(c.command.c_str(), args);
        EXPECT_EQ(r.status, 0) << c.why << r.err;
        const struct stat twinAfter = statOf(utf8Name);
        EXPECT_EQ(twinAfter.st_mtim.tv_sec, twinBefore.st_mtim.tv_sec) << c.why;
        EXPECT_EQ(twinAfter.st_mode, twinBefore.st_mode) << c.why;
        EXPECT_EQ(read(utf8Name), "twin\r\n") << c.why;
        const std::string name = c.command == "rename" ? "\xE6\x96\xB0_\xE4\xB8\xAD\xE6\x96\x87.txt" : gbkName;
        EXPECT_TRUE(exists(name)) << c.why;
        if (c.command == "delete-lines") EXPECT_EQ(read(utf8Output), "two\r\n") << c.why;
        if (c.command == "dates") EXPECT_NE(statOf(gbkName).st_mtim.tv_sec, twinBefore.st_mtim.tv_sec) << c.why;
        if (c.command == "attrs") EXPECT_EQ(statOf(gbkName).st_mode & 0222, 0u) << c.why;
        if (c.command == "rename") EXPECT_FALSE(exists(gbkName)) << c.why;
    }
}

TEST_F(GbkNames, AddAndDeleteReachTheGbkFileNotItsTwin)
{
    const std::string gbkPath = make(gbkName, "gbk");
    make(utf8Name, "utf8");
    const std::string folder = folder_.string();
    Workspace ws;
    testing::RecordingHost host;
    PosixFileSystem fs;
    btnAddClick(ws, host, fs, {gbkPath, folder + "/" + latin1Name, make(latin1Name, "x")});
    ASSERT_EQ(ws.files.entryCount(), 1u);
    EXPECT_EQ(ws.files.cell(1, NameColumn), "\xD6\xD0\xCE\xC4.txt");
    EXPECT_EQ(ws.files.cell(1, FolderColumn), folder);
    EXPECT_EQ(ws.files.cell(1, SizeColumn), "3");
    ws.files.setMark(1, true);
    cbDelClick(ws, host, fs);
    EXPECT_FALSE(exists(gbkName));
    EXPECT_EQ(read(utf8Name), "utf8");
}

TEST_F(GbkNames, ToUtf8ConvertsAThousandNamesKeepingContentTimesAndModes)
{
    std::vector<std::string> args{"--to-utf8"};
    for (int i = 0; i < 1000; ++i) {
        const std::string gbk = "\xB1\xA8\xB8\xE6" + std::to_string(i) + ".txt"; // 报告<i>.txt
        args.push_back(make(gbk, std::to_string(i)));
        ::chmod(args.back().c_str(), i % 2 ? 0640 : 0604);
        const timespec times[2] = {{1000000000 + i, 0}, {1100000000 + i, 0}};
        ::utimensat(AT_FDCWD, args.back().c_str(), times, 0);
    }
    make("plain.txt", "p");
    args.push_back((folder_ / "plain.txt").string());
    const CliRun r = run("rename", args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "成功处理文件总数量：1000\n");
    for (int i = 0; i < 1000; i += 111) {
        const std::string utf8 = "报告" + std::to_string(i) + ".txt";
        EXPECT_EQ(read(utf8), std::to_string(i));
        const struct stat info = statOf(utf8);
        EXPECT_EQ(info.st_mode & 07777, i % 2 ? 0640u : 0604u);
        EXPECT_EQ(info.st_mtim.tv_sec, 1100000000 + i);
        EXPECT_FALSE(exists("\xB1\xA8\xB8\xE6" + std::to_string(i) + ".txt"));
    }
    EXPECT_EQ(read("plain.txt"), "p");
}

TEST_F(GbkNames, ATwinBlocksTheConversionWithoutOverwriting)
{
    const std::string gbkPath = make(gbkName, "gbk");
    make(utf8Name, "utf8");
    const CliRun r = run("rename", {"--to-utf8", gbkPath});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "成功处理文件总数量：0");
    EXPECT_NE(r.out.find("中文.txt"), std::string::npos) << r.out;
    EXPECT_EQ(read(gbkName), "gbk");
    EXPECT_EQ(read(utf8Name), "utf8");
}

} // namespace
} // namespace qv::cli
