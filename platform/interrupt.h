#pragma once
// Ctrl-C, SIGTERM and SIGHUP as a stop request: once watchInterrupts() was
// called, the first of them only sets a flag that a running operation reads
// between files (and between the blocks of a file it streams, and while an
// outside program works), so it ends cleanly with what it has done. A second
// one ends the process at once, as usual; but while an outside program runs
// (setInterruptibleChildGroup) it kills that program's process group instead,
// so the run still ends by itself and removes what it staged.

#include <sys/types.h>

namespace qv {

void watchInterrupts();

// True once an interrupt arrived after watchInterrupts().
bool interruptRequested();

// The process group a second interrupt kills while it is not 0; 0 when no
// outside program runs.
void setInterruptibleChildGroup(pid_t group);

// True when standard error is a terminal (progress is shown only there).
bool stderrIsTerminal();

} // namespace qv
