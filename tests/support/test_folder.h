#pragma once
// The scratch folder of a test that works on the real disk.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace qv::testing {

// An empty folder for the running test: <base>/<area>/<Suite>.<Test>, where
// base is $QV_TEST_TMP (the build sets it) or the system's temporary folder.
// Whatever an earlier run left there is removed first.
std::filesystem::path freshTestFolder(std::string_view area);

// Removes `folder` and everything in it, read-only entries included (write
// permission is given back first, so a non-root run can clean up). Errors
// are ignored.
void removeTestFolder(const std::filesystem::path& folder);

// A test on the real disk: folder_ is a fresh test folder of `area` for each
// test, removed after a test that passed (kept after a failure, to look at).
class FolderTest : public ::testing::Test {
protected:
    explicit FolderTest(std::string area) : area_(std::move(area)) { }
    void SetUp() override { folder_ = freshTestFolder(area_); }
    void TearDown() override
    {
        if (!HasFailure()) removeTestFolder(folder_);
    }

    // Writes `bytes` to `name` in the folder; gives its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    // The bytes of `name` in the folder; "" when it cannot be read.
    std::string read(const std::string& name) const;

    std::filesystem::path folder_;

private:
    std::string area_;
};

} // namespace qv::testing
