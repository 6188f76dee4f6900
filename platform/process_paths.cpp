#include "platform/process_paths.h"

#include <filesystem>
#include <unistd.h>

namespace qv {

std::string executableFolder()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return exe.parent_path().string();
}

std::string currentFolder()
{
    std::error_code error;
    const auto folder = std::filesystem::current_path(error);
    if (error) return {};
    return folder.string();
}

int processId()
{
    return static_cast<int>(getpid());
}

} // namespace qv
