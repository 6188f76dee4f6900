#pragma once
// Runs a program as a child process with its output dropped, and kills it
// with SIGKILL after a delay: for tests of what a killed run leaves behind.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace qv::testing {

// Runs `program` with `args`; kills it after `delay` unless it is over by
// then, or lets it run to its end without one. With `dataHome`, the child's
// $XDG_DATA_HOME (where it keeps its undo journal).
inline void runKilledAfter(const char* program, const std::vector<std::string>& args,
                           std::optional<std::chrono::microseconds> delay, const char* dataHome = nullptr)
{
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (dataHome) setenv("XDG_DATA_HOME", dataHome, 1);
        std::freopen("/dev/null", "w", stdout);
        execv(program, argv.data());
        _exit(127);
    }
    if (delay) {
        std::this_thread::sleep_for(*delay);
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

} // namespace qv::testing
