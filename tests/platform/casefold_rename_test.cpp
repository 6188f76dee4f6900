#include "platform/file_system.h"
#include "support/shim_child.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace qv {
namespace {

// A stand-in file system: its name and the settings that tell the preloaded
// shim what to refuse.
struct StandIn {
    const char* name;
    const char* settings;
};
constexpr StandIn vfat{"vfat", ""};                  // RENAME_NOREPLACE and hard links
constexpr StandIn smb{"smb", "QV_CASEFOLD_LINKS=1"}; // RENAME_NOREPLACE
constexpr StandIn ext4Casefold{"ext4 casefold", "QV_CASEFOLD_NOREPLACE=1 QV_CASEFOLD_LINKS=1"}; // nothing

struct Outcome {
    StandIn fileSystem;
    std::optional<FsStatus> status; // none: SIGTERM ends the run
};

struct CaseFoldCase {
    const char* what;
    const char* fault;              // QV_CASEFOLD_FAULT
    std::vector<std::string> files; // each holding its own name
    std::string from, to;
    std::vector<std::string> after; // "name=content", sorted, on every file system
    std::vector<Outcome> outcomes;
};

class CaseFoldRenameTest : public ::testing::Test {
protected:
    void SetUp() override { folder = testing::freshTestFolder("casefold").string(); }
    void TearDown() override { testing::removeTestFolder(folder); }

    // Runs the rename tool under the shim: the status it printed, or none
    // when SIGTERM ended it.
    std::optional<FsStatus> renameUnderShim(const CaseFoldCase& c, const StandIn& fileSystem)
    {
        const std::string preload = testing::preloadWith(QV_CASEFOLD_SHIM);
        const std::string command = "exec env " + std::string(fileSystem.settings) + " QV_CASEFOLD_FAULT='" + c.fault +
                                    "' QV_CASEFOLD_DIR='" + folder + "' LD_PRELOAD='" + preload + "' '" +
                                    QV_RENAME_TOOL + "' '" + folder + "/" + c.from + "' '" + folder + "/" + c.to +
                                    "' 2>&1";
        const auto [started, output, exit] = testing::runCommand(command);
        if (!started) return std::nullopt;
        if (WIFSIGNALED(exit) && WTERMSIG(exit) == SIGTERM && output.empty()) return std::nullopt;
        int status = -1;
        std::istringstream(output) >> status;
        EXPECT_EQ(output, std::to_string(status) + "\n");
        return static_cast<FsStatus>(status);
    }

    std::string folder;
};

// A 255-byte name, the longest Linux file systems take.
const std::string longLower = std::string(251, 'a') + ".txt";
const std::string longUpper = "A" + std::string(250, 'a') + ".txt";

TEST_F(CaseFoldRenameTest, CaseOnlyRenamesWorkAndNeverReplaceOrLoseAName)
{
    const CaseFoldCase cases[] = {
        {"case only",
         "",
         {"a.txt"},
         "a.txt",
         "A.txt",
         {"A.txt=a.txt"},
         {{vfat, FsStatus::Ok}, {smb, FsStatus::Ok}, {ext4Casefold, FsStatus::Ok}}},
        {"case only, name at the length limit",
         "",
         {longLower},
         longLower,
         longUpper,
         {longUpper + "=" + longLower},
         {{vfat, FsStatus::Ok}}},
        {"onto another file",
         "",
         {"a.txt", "b.txt"},
         "a.txt",
         "B.txt",
         {"a.txt=a.txt", "b.txt=b.txt"},
         {{vfat, FsStatus::NotSupported}, {smb, FsStatus::AlreadyExists}, {ext4Casefold, FsStatus::AlreadyExists}}},
        {"second step fails",
         "fail-second",
         {"a.txt"},
         "a.txt",
         "A.txt",
         {"a.txt=a.txt"},
         {{vfat, FsStatus::Failed}, {smb, FsStatus::Failed}, {ext4Casefold, FsStatus::Failed}}},
        {"SIGTERM after the first step",
         "term-after-first",
         {"a.txt"},
         "a.txt",
         "A.txt",
         {"A.txt=a.txt"},
         {{vfat, std::nullopt}, {ext4Casefold, std::nullopt}}},
    };
    for (const CaseFoldCase& c : cases) {
        for (const auto& [fileSystem, status] : c.outcomes) {
            SCOPED_TRACE(std::string(c.what) + ", " + fileSystem.name);
            testing::fillFolder(folder, c.files);
            EXPECT_EQ(renameUnderShim(c, fileSystem), status);
            EXPECT_EQ(testing::folderEntries(folder), c.after);
        }
    }
}

} // namespace
} // namespace qv
