// Writing outputs when things go wrong: a run killed part way, the file-size
// limit, a full disk, and temporaries left by killed runs.
#include "platform/file_io.h"

#include "support/run_error_message.h"
#include "support/test_folder.h"
#include "text/run_error.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace qv {
namespace {

namespace fs = std::filesystem;

class OutputFaults : public ::testing::Test {
protected:
    void SetUp() override { folder_ = testing::freshTestFolder("output_faults"); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(folder_)) out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    static std::string get(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Runs `body` in a child process; its wait status.
    template <typename Body> static int inChild(Body body)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            body();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return status;
    }

    fs::path folder_;
};

TEST_F(OutputFaults, KilledWriteLeavesNoPartialFile)
{
    const std::string content(256 << 20, 'k');
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::write(ready[1], "x", 1);
        writeFileAtomically(path("out.txt"), content);
        ::_exit(0);
    }
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);

    // Killed before the end: nothing; after it: the complete file.
    const std::vector<std::string> left = names();
    if (!left.empty()) {
        EXPECT_EQ(left, std::vector<std::string>{"out.txt"});
        EXPECT_EQ(fs::file_size(path("out.txt")), content.size());
    }
}

TEST_F(OutputFaults, FileSizeLimitFailsTheWriteInsteadOfKilling)
{
    std::ofstream(path("out.txt")) << "old";
    const int status = inChild([&] {
        rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            writeFileAtomically(path("out.txt"), std::string(100000, 'n'));
        } catch (const RunError& error) {
            ::_exit(error.what() == "Cannot create file " + path("out.txt") ? 0 : 3);
        }
        ::_exit(4);
    });
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(names(), std::vector<std::string>{"out.txt"});
    EXPECT_EQ(get(path("out.txt")), "old");
}

TEST_F(OutputFaults, FullDiskFailsTheWriteAndKeepsTheOldFile)
{
    const fs::path small = folder_ / "small";
    fs::create_directories(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
    const std::string target = (small / "out.txt").string();
    std::ofstream(target) << "old";
    const std::string message =
        testing::runErrorMessage([&] { writeFileAtomically(target, std::string(1 << 20, 'f')); });
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(small)) left.push_back(entry.path().filename().string());
    const std::string kept = get(target);
    ::umount(small.c_str());

    EXPECT_EQ(message, "Cannot create file " + target);
    EXPECT_EQ(left, std::vector<std::string>{"out.txt"});
    EXPECT_EQ(kept, "old");
}

TEST_F(OutputFaults, StaleTemporariesOfDeadWritersAreRemoved)
{
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string hex = "0123456789abcdef";
    const std::string deadName = ".qv-tmp-" + std::to_string(dead) + "-" + hex;
    const std::vector<std::string> kept{
        ".qv-tmp-" + std::to_string(::getpid()) + "-" + hex, // this process is writing it
        ".qv-tmp-1-" + hex,                                  // a live process is
        ".qv-tmp-" + std::to_string(dead) + "-0123",         // not one of our names
        ".qv-tmp-" + std::to_string(dead) + "-0123456789ABCDEF",
        ".qv-tmp-x-" + hex,
        "notes.txt",
    };
    for (const std::string& name : kept) std::ofstream(path(name)) << "x";
    std::ofstream(path(deadName)) << "x";

    EXPECT_EQ(removeStaleTemporaries(folder_.string()), 1u);
    std::vector<std::string> expected = kept;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names(), expected);

    std::ofstream(path(deadName)) << "x";
    EXPECT_EQ(removeStaleTemporaries(folder_.string()), 0u) << "a folder is scanned once per process";
}

} // namespace
} // namespace qv
