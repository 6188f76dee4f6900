#pragma once
// A fresh folder per test on the real disk, with helpers to lay out files,
// sizes and times. Paths given to the helpers are relative to the folder and
// UTF-8; root() is ASCII so it is also valid code page 936.

#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::testing {

class TempTree {
public:
    TempTree() { root_ = freshTestFolder("tree").string(); }
    ~TempTree() { removeTestFolder(root_); }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& root() const { return root_; }
    std::string path(const std::string& relative) const { return root_ + "/" + relative; }

    void folder(const std::string& relative) const { std::filesystem::create_directories(path(relative)); }

    // A file of `size` bytes (sparse beyond what is written).
    void file(const std::string& relative, std::int64_t size = 0) const
    {
        const auto p = std::filesystem::path(path(relative));
        std::filesystem::create_directories(p.parent_path());
        const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0) << p;
        ASSERT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
    }

    void symlink(const std::string& target, const std::string& relative) const
    {
        ASSERT_EQ(::symlink(target.c_str(), path(relative).c_str()), 0);
    }

    // Sets last-access and last-write time, in seconds since 1970 UTC.
    void times(const std::string& relative, std::int64_t access, std::int64_t write) const
    {
        const timespec t[2] = {{access, 0}, {write, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path(relative).c_str(), t, AT_SYMLINK_NOFOLLOW), 0);
    }

    std::string read(const std::string& relative) const
    {
        std::ifstream in(path(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    bool exists(const std::string& relative) const
    {
        struct stat st { };
        return ::lstat(path(relative).c_str(), &st) == 0;
    }

private:
    std::string root_;
};

} // namespace qv::testing
