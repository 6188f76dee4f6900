#include "platform/file_system.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace qv {
namespace {

// The stand-in file systems: what the preloaded shim refuses.
constexpr const char* vfat = "";                                                    // RENAME_NOREPLACE and hard links
constexpr const char* smb = "QV_CASEFOLD_LINKS=1";                                  // RENAME_NOREPLACE
constexpr const char* ext4Casefold = "QV_CASEFOLD_NOREPLACE=1 QV_CASEFOLD_LINKS=1"; // nothing

struct CaseFoldCase {
    const char* what;
    const char* fileSystem;
    const char* fault;              // QV_CASEFOLD_FAULT
    std::vector<std::string> files; // each holding its own name
    std::string from, to;
    std::optional<FsStatus> status; // none: SIGTERM ends the run
    std::vector<std::string> after; // "name=content", sorted
};

// The sanitizer runtime this test runs with, if any: it must come first in
// the LD_PRELOAD of a sanitized child.
std::string sanitizerRuntime()
{
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (const auto at = line.find('/'); at != std::string::npos && line.find("/libasan.so") != std::string::npos)
            return line.substr(at);
    return "";
}

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class CaseFoldRenameTest : public ::testing::Test {
protected:
    void SetUp() override { folder = testing::freshTestFolder("casefold").string(); }
    void TearDown() override { testing::removeTestFolder(folder); }

    // Runs the rename tool under the shim: the status it printed, or none
    // when SIGTERM ended it.
    std::optional<FsStatus> renameUnderShim(const CaseFoldCase& c)
    {
        std::string preload = sanitizerRuntime();
        preload += (preload.empty() ? "" : " ") + std::string(QV_CASEFOLD_SHIM);
        const std::string command = "exec env " + std::string(c.fileSystem) + " QV_CASEFOLD_FAULT='" + c.fault +
                                    "' QV_CASEFOLD_DIR='" + folder + "' LD_PRELOAD='" + preload + "' '" +
                                    QV_RENAME_TOOL + "' '" + folder + "/" + c.from + "' '" + folder + "/" + c.to +
                                    "' 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return std::nullopt;
        std::string output;
        char buffer[256];
        while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
        const int exit = pclose(pipe);
        if (WIFSIGNALED(exit) && WTERMSIG(exit) == SIGTERM && output.empty()) return std::nullopt;
        int status = -1;
        std::istringstream(output) >> status;
        EXPECT_EQ(output, std::to_string(status) + "\n");
        return static_cast<FsStatus>(status);
    }

    std::vector<std::string> entries()
    {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            out.push_back(e.path().filename().string() + "=" + readAll(e.path()));
        std::sort(out.begin(), out.end());
        return out;
    }

    std::string folder;
};

// A 255-byte name, the longest Linux file systems take.
const std::string longLower = std::string(251, 'a') + ".txt";
const std::string longUpper = "A" + std::string(250, 'a') + ".txt";

TEST_F(CaseFoldRenameTest, CaseOnlyRenamesWorkAndNeverReplaceOrLoseAName)
{
    const CaseFoldCase cases[] = {
        {"case only, vfat", vfat, "", {"a.txt"}, "a.txt", "A.txt", FsStatus::Ok, {"A.txt=a.txt"}},
        {"case only, smb", smb, "", {"a.txt"}, "a.txt", "A.txt", FsStatus::Ok, {"A.txt=a.txt"}},
        {"case only, ext4 casefold", ext4Casefold, "", {"a.txt"}, "a.txt", "A.txt", FsStatus::Ok, {"A.txt=a.txt"}},
        {"case only, name at the length limit",
         vfat,
         "",
         {longLower},
         longLower,
         longUpper,
         FsStatus::Ok,
         {longUpper + "=" + longLower}},
        {"onto another file, vfat",
         vfat,
         "",
         {"a.txt", "b.txt"},
         "a.txt",
         "B.txt",
         FsStatus::NotSupported,
         {"a.txt=a.txt", "b.txt=b.txt"}},
        {"onto another file, smb",
         smb,
         "",
         {"a.txt", "b.txt"},
         "a.txt",
         "B.txt",
         FsStatus::AlreadyExists,
         {"a.txt=a.txt", "b.txt=b.txt"}},
        {"onto another file, ext4 casefold",
         ext4Casefold,
         "",
         {"a.txt", "b.txt"},
         "a.txt",
         "B.txt",
         FsStatus::AlreadyExists,
         {"a.txt=a.txt", "b.txt=b.txt"}},
        {"second step fails, vfat",
         vfat,
         "fail-second",
         {"a.txt"},
         "a.txt",
         "A.txt",
         FsStatus::Failed,
         {"a.txt=a.txt"}},
        {"second step fails, smb", smb, "fail-second", {"a.txt"}, "a.txt", "A.txt", FsStatus::Failed, {"a.txt=a.txt"}},
        {"second step fails, ext4 casefold",
         ext4Casefold,
         "fail-second",
         {"a.txt"},
         "a.txt",
         "A.txt",
         FsStatus::Failed,
         {"a.txt=a.txt"}},
        {"SIGTERM after the first step, vfat",
         vfat,
         "term-after-first",
         {"a.txt"},
         "a.txt",
         "A.txt",
         std::nullopt,
         {"A.txt=a.txt"}},
        {"SIGTERM after the first step, ext4 casefold",
         ext4Casefold,
         "term-after-first",
         {"a.txt"},
         "a.txt",
         "A.txt",
         std::nullopt,
         {"A.txt=a.txt"}},
    };
    for (const CaseFoldCase& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& e : std::filesystem::directory_iterator(folder)) std::filesystem::remove(e.path());
        for (const std::string& name : c.files) std::ofstream(folder + "/" + name, std::ios::binary) << name;
        EXPECT_EQ(renameUnderShim(c), c.status);
        EXPECT_EQ(entries(), c.after);
    }
}

} // namespace
} // namespace qv
