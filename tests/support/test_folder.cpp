#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace qv::testing {

std::filesystem::path freshTestFolder(std::string_view area)
{
    const char* base = std::getenv("QV_TEST_TMP");
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string test = info ? std::string(info->test_suite_name()) + "." + info->name() : "outside-a-test";
    const std::filesystem::path folder =
        std::filesystem::path(base ? base : std::filesystem::temp_directory_path().string()) / area / test;
    removeTestFolder(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

void removeTestFolder(const std::filesystem::path& folder)
{
    std::error_code ignored;
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(folder, ignored);
}

std::string FolderTest::write(const std::string& name, const std::string& bytes) const
{
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
    return (folder_ / name).string();
}

std::string FolderTest::read(const std::string& name) const
{
    std::ifstream in(folder_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace qv::testing
