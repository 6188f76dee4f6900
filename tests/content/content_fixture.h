#pragma once
// Shared by the content operation tests: a fresh temporary folder per test,
// files written into it and added to a workspace as marked entries, and the
// bytes of output files read back.

#include "operation/workspace.h"
#include "support/gbk.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace qv::testing {

class ContentFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* base = std::getenv("QV_TEST_TMP");
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::path(base ? base : ::testing::TempDir()) / "content" /
                  (std::string(info->test_suite_name()) + "." + info->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        ws.random = RandomIndex(7);
    }
    void TearDown() override
    {
        if (!HasFailure()) std::filesystem::remove_all(folder_);
    }

    // Writes `bytes` to `name` in the test folder and returns its path.
    std::string writeFile(const std::string& name, const std::string& bytes)
    {
        const auto path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    // Writes the file and appends it to the list; marked unless told not to.
    void addFile(const std::string& name, const std::string& bytes, bool marked = true)
    {
        writeFile(name, bytes);
        addEntry(name, marked);
    }
    // Appends an entry for `name` in the test folder without writing it.
    void addEntry(const std::string& name, bool marked = true, std::int64_t created = 0, std::int64_t modified = 0)
    {
        ws.files.append({name, folder_.string(), 0, created, modified});
        ws.files.setMark(ws.files.lastRow(), marked);
        ++ws.counters.stSrcCount;
    }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    bool exists(const std::string& name) const { return std::filesystem::exists(folder_ / name); }
    std::string read(const std::string& name) const
    {
        std::ifstream in(folder_ / name, std::ios::binary);
        EXPECT_TRUE(in.good()) << name << " is missing";
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // The recorded message texts (UTF-8), in order.
    std::vector<std::string> messageTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& m : host.messages) texts.push_back(m.text);
        return texts;
    }

    Workspace ws;
    RecordingHost host;

private:
    std::filesystem::path folder_;
};

} // namespace qv::testing
