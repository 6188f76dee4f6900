#include "platform/interrupt.h"

#include <csignal>
#include <unistd.h>

namespace qv {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int signal)
{
    interrupted = 1;
    std::signal(signal, SIG_DFL); // the next one ends the process
}

} // namespace

void watchInterrupts()
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

bool interruptRequested()
{
    return interrupted != 0;
}

bool stderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace qv
