#pragma once
#include "support/test_folder.h"
// A fresh folder per test on the real disk, with helpers to lay out files,
#include "support/test_folder.h"
// sizes and times. Paths given to the helpers are relative to the folder and
#include "support/test_folder.h"
// UTF-8; root() is ASCII so it is also valid code page 936.
#include "support/test_folder.h"

#include "support/test_folder.h"
#include <gtest/gtest.h>

#include "support/test_folder.h"
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "support/test_folder.h"
namespace qv::testing {
#include "support/test_folder.h"

#include "support/test_folder.h"
class TempTree {
#include "support/test_folder.h"
public:
#include "support/test_folder.h"
    TempTree()
#include "support/test_folder.h"
    {
#include "support/test_folder.h"
        root_ = freshTestFolder("tree").string();
#include "support/test_folder.h"
    }
#include "support/test_folder.h"
    ~TempTree()
    {
        removeTestFolder(root_);
    }
#include "support/test_folder.h"
    TempTree(const TempTree&) = delete;
#include "support/test_folder.h"
    TempTree& operator=(const TempTree&) = delete;
#include "support/test_folder.h"

#include "support/test_folder.h"
    const std::string& root() const
    {
        return root_;
    }
#include "support/test_folder.h"
    std::string path(const std::string& relative) const
    {
        return root_ + "/" + relative;
    }
#include "support/test_folder.h"

#include "support/test_folder.h"
    void folder(const std::string& relative) const
    {
        std::filesystem::create_directories(path(relative));
    }
#include "support/test_folder.h"

#include "support/test_folder.h"
    // A file of `size` bytes (sparse beyond what is written).
#include "support/test_folder.h"
    void file(const std::string& relative, std::int64_t size = 0) const
#include "support/test_folder.h"
    {
#include "support/test_folder.h"
        const auto p = std::filesystem::path(path(relative));
#include "support/test_folder.h"
        std::filesystem::create_directories(p.parent_path());
#include "support/test_folder.h"
        const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
#include "support/test_folder.h"
        ASSERT_GE(fd, 0) << p;
#include "support/test_folder.h"
        ASSERT_EQ(::ftruncate(fd, size), 0);
#include "support/test_folder.h"
        ::close(fd);
#include "support/test_folder.h"
    }
#include "support/test_folder.h"

#include "support/test_folder.h"
    void symlink(const std::string& target, const std::string& relative) const
#include "support/test_folder.h"
    {
#include "support/test_folder.h"
        ASSERT_EQ(::symlink(target.c_str(), path(relative).c_str()), 0);
#include "support/test_folder.h"
    }
#include "support/test_folder.h"

#include "support/test_folder.h"
    // Sets last-access and last-write time, in seconds since 1970 UTC.
#include "support/test_folder.h"
    void times(const std::string& relative, std::int64_t access, std::int64_t write) const
#include "support/test_folder.h"
    {
#include "support/test_folder.h"
        const timespec t[2] = {{access, 0}, {write, 0}};
#include "support/test_folder.h"
        ASSERT_EQ(::utimensat(AT_FDCWD, path(relative).c_str(), t, AT_SYMLINK_NOFOLLOW), 0);
#include "support/test_folder.h"
    }
#include "support/test_folder.h"

#include "support/test_folder.h"
    std::string read(const std::string& relative) const
#include "support/test_folder.h"
    {
#include "support/test_folder.h"
        std::ifstream in(path(relative), std::ios::binary);
#include "support/test_folder.h"
        return std::string(std::istreambuf_iterator<char>(in), {});
#include "support/test_folder.h"
    }
#include "support/test_folder.h"

#include "support/test_folder.h"
    bool exists(const std::string& relative) const
#include "support/test_folder.h"
    {
#include "support/test_folder.h"
        struct stat st { };
#include "support/test_folder.h"
        return ::lstat(path(relative).c_str(), &st) == 0;
#include "support/test_folder.h"
    }
#include "support/test_folder.h"

#include "support/test_folder.h"
private:
#include "support/test_folder.h"
    std::string root_;
#include "support/test_folder.h"
};
#include "support/test_folder.h"

#include "support/test_folder.h"
} // namespace qv::testing
#include "support/test_folder.h"
