// Swaps, shifts and cycles run by qorvane-cli as a separate process: on the
// case-insensitive stand-in (a preloaded shim), and killed at random moments.

#include "support/killed_run.h"
#include "support/shim_child.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace qv::cli {
namespace {

using Strings = std::vector<std::string>;

class RenameChains : public testing::FolderTest {
protected:
    RenameChains() : FolderTest("chains") { }

    // The rename arguments that give `marked` (in that order) the base names
    // `bases` through a name list beside the folder.
    Strings renameArgs(const Strings& marked, const Strings& bases, bool dryRun)
    {
        const std::string list = folder_.string() + ".list";
        std::ofstream out(list, std::ios::binary);
        for (const std::string& base : bases) out << base << "\n";
        Strings args{"rename", "--chains", "--template", "${File(" + list + ")}"};
        if (dryRun) args.push_back("--dry-run");
        for (const std::string& name : marked) args.push_back((folder_ / name).string());
        return args;
    }
    // Runs qorvane-cli under the shim; what it printed on stdout.
    std::string runUnderShim(const std::string& fileSystem, const Strings& args)
    {
        const std::string preload = testing::preloadWith(QV_CASEFOLD_SHIM);
        std::string command = "exec env " + fileSystem + " QV_CASEFOLD_DIR='" + folder_.string() + "' LD_PRELOAD='" +
                              preload + "' '" + QV_CLI + "'";
        for (const std::string& arg : args) command += " '" + arg + "'";
        return testing::runCommand(command).output;
    }
};

TEST_F(RenameChains, SwapsShiftsAndCyclesOnTheCaseInsensitiveStandIn)
{
    struct Case {
        const char* what;
        Strings files, marked, bases;
        std::string statuses; // the dry run's, one word a file
        Strings after;
    } cases[] = {
        {"swap", {"a.txt", "b.txt"}, {"a.txt", "b.txt"}, {"b", "a"}, "ok ok", {"a.txt=b.txt", "b.txt=a.txt"}},
        {"swap spelt in other letter case",
         {"a.txt", "b.txt"},
         {"a.txt", "b.txt"},
         {"B", "A"},
         "ok ok",
         {"A.txt=b.txt", "B.txt=a.txt"}},
        {"shift",
         {"1.txt", "2.txt", "3.txt"},
         {"1.txt", "2.txt", "3.txt"},
         {"2", "3", "4"},
         "ok ok ok",
         {"2.txt=1.txt", "3.txt=2.txt", "4.txt=3.txt"}},
        {"three-way cycle",
         {"a.txt", "b.txt", "c.txt"},
         {"a.txt", "b.txt", "c.txt"},
         {"b", "c", "a"},
         "ok ok ok",
         {"a.txt=c.txt", "b.txt=a.txt", "c.txt=b.txt"}},
        {"case-only change", {"a.txt"}, {"a.txt"}, {"A"}, "ok", {"A.txt=a.txt"}},
        {"another spelling of a name outside the run",
         {"a.txt", "b.txt"},
         {"a.txt"},
         {"B"},
         "exists",
         {"a.txt=a.txt", "b.txt=b.txt"}},
        {"two spellings of one new name",
         {"a.txt", "b.txt"},
         {"a.txt", "b.txt"},
         {"x", "X"},
         "ok duplicate",
         {"b.txt=b.txt", "x.txt=a.txt"}},
    };
    for (const char* fileSystem : {"QV_CASEFOLD_LINKS=1", "QV_CASEFOLD_NOREPLACE=1 QV_CASEFOLD_LINKS=1"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", " + fileSystem);
            testing::fillFolder(folder_, c.files);
            std::string statuses;
            std::string plan = runUnderShim(fileSystem, renameArgs(c.marked, c.bases, true));
            for (std::size_t end; (end = plan.find('\n')) != std::string::npos; plan.erase(0, end + 1))
                statuses += (statuses.empty() ? "" : " ") +
                            plan.substr(plan.rfind('\t', end) + 1, end - plan.rfind('\t', end) - 1);
            EXPECT_EQ(statuses, c.statuses);
            runUnderShim(fileSystem, renameArgs(c.marked, c.bases, false));
            EXPECT_EQ(testing::folderEntries(folder_), c.after);
        }
    }
}

// A chained run killed at a random moment: every file is under its old
// name, its new name or a temporary name of ours, none is lost or doubled.
TEST_F(RenameChains, AKilledRunLosesNoFile)
{
    // 200 files in one cycle (each takes the next one's name) and 100 in a
    // shift into free names.
    Strings files, bases;
    std::map<std::string, std::string> newName;
    for (int i = 0; i < 300; ++i) files.push_back(std::to_string(1000 + i) + ".txt");
    for (int i = 0; i < 300; ++i) {
        const int target = i < 200 ? 1000 + (i + 1) % 200 : 1001 + i;
        bases.push_back(std::to_string(target));
        newName[files[i]] = std::to_string(target) + ".txt";
    }
    const std::regex temporary(R"(\.qv-swap-\d+-\d+)");
    const Strings args = renameArgs(files, bases, false);
    // Starts the run; kills it after `delay` unless it is over by then; runs
    // it to its end without one. Each run journals into a journal of its own, so that the time before
    // the first rename does not grow with the other tests' runs.
    const std::string journalFolder = folder_.string() + ".data";
    const auto runFor = [&](std::optional<std::chrono::microseconds> delay) {
        std::filesystem::remove_all(journalFolder);
        testing::runKilledAfter(QV_CLI, args, delay, journalFolder.c_str());
    };
    // How long a whole run takes here, so the kills fall inside one.
    testing::fillFolder(folder_, files);
    const auto start = std::chrono::steady_clock::now();
    runFor(std::nullopt);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    ASSERT_EQ(testing::fileBytes(folder_ / "1000.txt"), "1199.txt");

    std::mt19937 random(4242);
    int killedPartWay = 0;
    // Sixteen kills, and more (up to 48) until one falls inside the renames.
    for (int trial = 0; trial < 16 || (killedPartWay == 0 && trial < 48); ++trial) {
        SCOPED_TRACE(trial);
        testing::fillFolder(folder_, files);
        runFor(std::chrono::microseconds(random() % (whole.count() + 1)));

        std::map<std::string, int> seen;
        bool moved = false, unmoved = false;
        for (const auto& e : std::filesystem::directory_iterator(folder_)) {
            const std::string name = e.path().filename().string(), content = testing::fileBytes(e.path());
            ++seen[content];
            moved = moved || name == newName[content];
            unmoved = unmoved || name == content;
            EXPECT_TRUE(name == content || name == newName[content] || std::regex_match(name, temporary))
                << name << " holds " << content;
        }
        EXPECT_EQ(seen.size(), files.size());
        for (const auto& [content, count] : seen) EXPECT_EQ(count, 1) << content;
        killedPartWay += moved && unmoved;
    }
    // The kills must also have hit runs part way, or the test proves little.
    EXPECT_GT(killedPartWay, 0);
}

} // namespace
} // namespace qv::cli
