#include "platform/child_process.h"

#include "platform/interrupt.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace qv {
namespace {

constexpr std::chrono::milliseconds pollInterval{50};
constexpr std::chrono::milliseconds stopGrace{2000};

// This process's environment with each "NAME=value" of `overrides` replacing
// the variable of that name or added.
std::vector<std::string> mergedEnvironment(const std::vector<std::string>& overrides)
{
    std::vector<std::string> merged;
    const auto overridden = [&](std::string_view entry) {
        const std::string_view name = entry.substr(0, entry.find('='));
        for (const std::string& o : overrides)
            if (std::string_view(o).substr(0, o.find('=')) == name) return true;
        return false;
    };
    for (char** e = environ; e && *e; ++e)
        if (!overridden(*e)) merged.emplace_back(*e);
    merged.insert(merged.end(), overrides.begin(), overrides.end());
    return merged;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Kills what is left of the child's process group (helpers it started).
void killGroup(pid_t group)
{
    ::kill(-group, SIGKILL);
}

// True once the child has ended; it is seen but not yet reaped (WNOWAIT),
// so the group id cannot be taken by another process before the group is
// killed.
bool hasEnded(pid_t pid)
{
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
}

// Asks the group to end, and kills it when it has not within the grace time.
void stopGroup(pid_t group)
{
    ::kill(-group, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + stopGrace;
    while (!hasEnded(group) && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(pollInterval);
    killGroup(group);
}

// Makes the child's group the one a second interrupt kills, while it runs.
class InterruptibleGroup {
public:
    explicit InterruptibleGroup(pid_t group) { setInterruptibleChildGroup(group); }
    ~InterruptibleGroup() { setInterruptibleChildGroup(0); }
    InterruptibleGroup(const InterruptibleGroup&) = delete;
    InterruptibleGroup& operator=(const InterruptibleGroup&) = delete;
};

class SpawnSetup {
public:
    SpawnSetup()
    {
        ::posix_spawnattr_init(&attributes_);
        ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETPGROUP);
        ::posix_spawnattr_setpgroup(&attributes_, 0);
        ::posix_spawn_file_actions_init(&actions_);
        ::posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
        ::posix_spawn_file_actions_addopen(&actions_, 1, "/dev/null", O_WRONLY, 0);
        ::posix_spawn_file_actions_addopen(&actions_, 2, "/dev/null", O_WRONLY, 0);
    }
    ~SpawnSetup()
    {
        ::posix_spawn_file_actions_destroy(&actions_);
        ::posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    const posix_spawnattr_t* attributes() const { return &attributes_; }
    const posix_spawn_file_actions_t* actions() const { return &actions_; }

private:
    posix_spawnattr_t attributes_;
    posix_spawn_file_actions_t actions_;
};

} // namespace

ChildRun runChild(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                  std::chrono::milliseconds limit, const std::function<bool()>& keepWaiting)
{
    std::vector<std::string> arguments = argv;
    std::vector<std::string> variables = mergedEnvironment(environment);
    const std::vector<char*> argumentPointers = pointersTo(arguments);
    const std::vector<char*> variablePointers = pointersTo(variables);
    const SpawnSetup setup;

    // glibc's posix_spawnp reports a failed exec (program missing, not
    // executable) as its own result.
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argumentPointers[0], setup.actions(), setup.attributes(), argumentPointers.data(),
                       variablePointers.data()) != 0)
        return {ChildRun::Status::CouldNotStart, -1};

    const InterruptibleGroup interruptible(pid);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const bool ended = hasEnded(pid);
        const bool late = !ended && std::chrono::steady_clock::now() >= deadline;
        const bool stopped = !ended && !late && keepWaiting && !keepWaiting();
        if (ended || late || stopped) {
            if (stopped)
                stopGroup(pid);
            else
                killGroup(pid);
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
            if (late) return {ChildRun::Status::TimedOut, -1};
            if (stopped) return {ChildRun::Status::Stopped, -1};
            return {ChildRun::Status::Exited, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
        }
        std::this_thread::sleep_for(pollInterval);
    }
}

} // namespace qv
