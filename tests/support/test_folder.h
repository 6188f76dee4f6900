#pragma once
// The scratch folder of a test that works on the real disk.

#include <filesystem>
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

} // namespace qv::testing
