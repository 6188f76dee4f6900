// Races against the real file system: another thread swaps a file or a
// folder for a symbolic link, back and forth, while the changes run. Each
// race runs for at most about two seconds and a bounded number of rounds.

#include "platform/posix_file_system.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace qv {
namespace {

using namespace std::chrono;

// Exchanges the entries `a` and `b` of `folder` (RENAME_EXCHANGE) over and
// over until destroyed.
class Swapper {
public:
    Swapper(const std::string& folder, std::string a, std::string b)
        : dir_(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)), thread_([this, a, b] {
              while (!stop_.load(std::memory_order_relaxed))
                  renameat2(dir_, a.c_str(), dir_, b.c_str(), RENAME_EXCHANGE);
          })
    { }
    ~Swapper()
    {
        stop_ = true;
        thread_.join();
        close(dir_);
    }
    Swapper(const Swapper&) = delete;
    Swapper& operator=(const Swapper&) = delete;

private:
    int dir_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Rounds of a race: until `rounds` are done or two seconds have passed.
class RaceClock {
public:
    explicit RaceClock(int rounds) : left_(rounds) { }
    bool again() { return left_-- > 0 && steady_clock::now() - start_ < 2s; }

private:
    int left_;
    steady_clock::time_point start_ = steady_clock::now();
};

class SwapRaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* base = std::getenv("QV_TEST_TMP");
        std::filesystem::create_directories(base ? base : "/tmp");
        std::string pattern = std::string(base ? base : "/tmp") + "/qv-race-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(root); }

    static struct stat lstatOf(const std::string& path)
    {
        struct stat info { };
        EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
        return info;
    }

    std::string root; // ASCII, so the same in UTF-8 and code page 936
    PosixFileSystem fs;
};

TEST_F(SwapRaceTest, FileSwappedForALinkNeverPassesAChangeToTheLinkTarget)
{
    const std::string victim = root + "/victim";
    std::ofstream(victim) << "v";
    ASSERT_EQ(chmod(victim.c_str(), 0700), 0);
    const timespec fixed[2] = {{978307200, 0}, {978307200, 0}}; // 2001-01-01 00:00 UTC
    ASSERT_EQ(utimensat(AT_FDCWD, victim.c_str(), fixed, 0), 0);

    // race/f is a set-user-ID file of ours, race/alt a link to the victim;
    // the swapper exchanges them.
    std::filesystem::create_directory(root + "/race");
    const std::string file = root + "/race/f";
    std::ofstream(file) << "f";
    ASSERT_EQ(chmod(file.c_str(), 04755), 0);
    std::filesystem::create_symlink(victim, root + "/race/alt");

    TimeChange times;
    times.lastWrite = times.lastAccess = FileTime(sys_days(year(2020) / 1 / 2));
    int rounds = 0;
    {
        const Swapper swapper(root + "/race", "f", "alt");
        for (RaceClock clock(20000); clock.again(); ++rounds) {
            fs.setAttributes(file, attr::readOnly | attr::archive);
            fs.setAttributes(file, attr::archive);
            fs.setTimes(file, times);
            const struct stat now = lstatOf(victim);
            ASSERT_EQ(now.st_mode & 07777, 0700u) << "round " << rounds;
            ASSERT_EQ(now.st_mtim.tv_sec, 978307200) << "round " << rounds;
            ASSERT_EQ(now.st_atim.tv_sec, 978307200) << "round " << rounds;
        }
    }
    EXPECT_GT(rounds, 0);
    EXPECT_LT(getxattr(victim.c_str(), "user.DOSATTRIB", nullptr, 0), 0);
}

TEST_F(SwapRaceTest, FolderSwappedForALinkNeverSendsRenamesOrDeletesToTheOtherFolder)
{
    // work and other hold the same names; alias is a link to other, and the
    // swapper exchanges work and alias.
    constexpr int files = 400;
    for (const char* folder : {"/work", "/other"}) {
        std::filesystem::create_directory(root + folder);
        for (int i = 0; i < files; ++i) {
            std::ofstream(root + folder + "/n" + std::to_string(i)) << folder;
            std::ofstream(root + folder + "/d" + std::to_string(i)) << folder;
        }
    }
    std::filesystem::create_directory_symlink(root + "/other", root + "/alias");
    {
        const Swapper swapper(root, "work", "alias");
        RaceClock clock(files);
        for (int i = 0; clock.again(); ++i) {
            const std::string n = root + "/work/n" + std::to_string(i);
            fs.renameNoReplace(n, root + "/work/m" + std::to_string(i));
            fs.remove(root + "/work/d" + std::to_string(i));
        }
    }
    std::vector<std::string> missing;
    for (int i = 0; i < files; ++i)
        for (const char* name : {"/n", "/d"})
            if (!std::filesystem::exists(root + "/other" + name + std::to_string(i)))
                missing.push_back(name + std::to_string(i));
    EXPECT_EQ(missing, std::vector<std::string>{});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root + "/other"), {}), 2 * files);
}

TEST_F(SwapRaceTest, ChangesInsideALinkedFolderAreRefusedAsSuch)
{
    std::filesystem::create_directory(root + "/real");
    std::ofstream(root + "/real/a.txt") << "a";
    std::filesystem::create_directory_symlink(root + "/real", root + "/linked");
    const std::string a = root + "/linked/a.txt";
    EXPECT_EQ(fs.renameNoReplace(a, root + "/linked/b.txt"), FsStatus::FolderIsLink);
    EXPECT_EQ(fs.remove(a), FsStatus::FolderIsLink);
    EXPECT_EQ(fs.setAttributes(a, attr::hidden), FsStatus::FolderIsLink);
    EXPECT_EQ(fs.setTimes(a, TimeChange{std::nullopt, FileTime{}, std::nullopt}), FsStatus::FolderIsLink);
    EXPECT_TRUE(std::filesystem::exists(root + "/real/a.txt"));
}

} // namespace
} // namespace qv
