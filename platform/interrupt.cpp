#include "platform/interrupt.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace qv {
namespace {

volatile std::sig_atomic_t interrupted = 0;
std::atomic<pid_t> childGroup{0};
static_assert(std::atomic<pid_t>::is_always_lock_free, "read in a signal handler");

constexpr int stopSignals[] = {SIGINT, SIGTERM, SIGHUP};

void onInterrupt(int signal)
{
    if (!interrupted) {
        interrupted = 1;
        return;
    }
    if (const pid_t group = childGroup.load(); group > 0) {
        ::kill(-group, SIGKILL); // the waiting run reaps it and cleans up
        return;
    }
    std::signal(signal, SIG_DFL); // delivered again when the handler returns
    ::raise(signal);
}

} // namespace

void watchInterrupts()
{
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (const int signal : stopSignals) sigaddset(&action.sa_mask, signal);
    action.sa_flags = SA_RESTART;
    for (const int signal : stopSignals) ::sigaction(signal, &action, nullptr);
}

bool interruptRequested()
{
    return interrupted != 0;
}

void setInterruptibleChildGroup(pid_t group)
{
    childGroup.store(group);
}

bool stderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace qv
