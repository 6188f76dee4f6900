#pragma once
// Shared by the file operation tests: a fresh temporary folder per test,
// files made in it and listed in a workspace as marked entries, the real
// file system, and the recorded messages.

#include "operation/workspace.h"
#include "platform/posix_file_system.h"
#include "support/gbk.h"
#include "support/recording_host.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qv::testing {

// A file time from whole seconds and milliseconds since 1970, UTC.
inline FileTime utcTime(std::int64_t seconds, std::int64_t milliseconds = 0)
{
    return FileTime(std::chrono::seconds(seconds) + std::chrono::milliseconds(milliseconds));
}

class FileOpsFixture : public ::testing::Test {
protected:
    void SetUp() override { folder_ = freshTestFolder("fileops"); }
    void TearDown() override
    {
        if (!HasFailure()) removeTestFolder(folder_);
    }

    // An empty workspace and message record, for the next case of a table.
    void startOver()
    {
        ws = Workspace{};
        host.messages.clear();
    }

    // The test folder, or a sub-folder of it (created), as a path string.
    std::string folder(const std::string& sub = "") const
    {
        if (sub.empty()) return folder_.string();
        std::filesystem::create_directories(folder_ / sub);
        return (folder_ / sub).string();
    }
    // `utf8Name` (may hold a "sub/" part) in the test folder.
    std::filesystem::path path(const std::string& utf8Name) const { return folder_ / utf8Name; }

    // Writes the file (UTF-8 name on disk) and lists it as a marked entry.
    void addFile(const std::string& utf8Name, const std::string& content = "x", bool marked = true,
                 std::int64_t created = 0, std::int64_t modified = 0)
    {
        std::filesystem::create_directories(path(utf8Name).parent_path());
        std::ofstream(path(utf8Name), std::ios::binary) << content;
        addEntry(utf8Name, marked, created, modified);
    }
    // Lists `utf8Name` without making it.
    void addEntry(const std::string& utf8Name, bool marked = true, std::int64_t created = 0, std::int64_t modified = 0)
    {
        const std::filesystem::path p = path(utf8Name);
        ws.files.append({gbk(p.filename().string()), gbk(p.parent_path().string()), 0, created, modified});
        ws.files.setMark(ws.files.lastRow(), marked);
        ++ws.counters.stSrcCount;
    }

    bool exists(const std::string& utf8Name) const { return std::filesystem::exists(path(utf8Name)); }
    std::string read(const std::string& utf8Name) const
    {
        std::ifstream in(path(utf8Name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The names in the test folder (or a sub-folder), sorted, UTF-8.
    std::vector<std::string> names(const std::string& sub = "") const
    {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(folder_ / sub))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    // The name cells of rows 1..N, UTF-8.
    std::vector<std::string> nameCells() const
    {
        std::vector<std::string> out;
        for (std::size_t row = 1; row <= ws.files.entryCount(); ++row) out.push_back(utf8(ws.files.name(row)));
        return out;
    }
    std::vector<std::string> messageTexts() const { return host.messageTexts(); }

    Workspace ws;
    RecordingHost host;
    PosixFileSystem fs;

private:
    std::filesystem::path folder_;
};

} // namespace qv::testing
