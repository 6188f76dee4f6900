#pragma once
// For tests that run a program as a child process under a preloaded shim
// (the case-insensitive stand-in) and then look at the folder it worked in:
// each file there holds its own first name, so a listing of "name=content"
// shows where every file went.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace qv::testing {

// The LD_PRELOAD value that loads `shim` into a child. The sanitizer runtime
// this test runs with, if any, must come first in a sanitized child's list.
inline std::string preloadWith(const std::string& shim)
{
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (const auto at = line.find('/'); at != std::string::npos && line.find("/libasan.so") != std::string::npos)
            return line.substr(at) + " " + shim;
    return shim;
}

// What a shell command printed, and its wait status; started is false when
// no shell could be started.
struct CommandRun {
    bool started = false;
    std::string output;
    int waitStatus = -1;
};

inline CommandRun runCommand(const std::string& command)
{
    CommandRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    run.started = true;
    char buffer[256];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
    run.waitStatus = pclose(pipe);
    return run;
}

inline std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Empties `folder` and writes each of `names` into it, holding its own name.
inline void fillFolder(const std::filesystem::path& folder, const std::vector<std::string>& names)
{
    for (const auto& e : std::filesystem::directory_iterator(folder)) std::filesystem::remove(e.path());
    for (const std::string& name : names) std::ofstream(folder / name, std::ios::binary) << name;
}

// "name=content" of every entry of `folder`, sorted.
inline std::vector<std::string> folderEntries(const std::filesystem::path& folder)
{
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        out.push_back(e.path().filename().string() + "=" + fileBytes(e.path()));
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace qv::testing
