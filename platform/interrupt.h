#pragma once
// Ctrl-C as a stop request: once watchInterrupts() was called, the first
// SIGINT (or SIGTERM) only sets a flag that a running operation reads between
// files (and between the blocks of a file it streams), so it ends cleanly
// with what it has done; a second one ends the process at once, as usual.

namespace qv {

void watchInterrupts();

// True once an interrupt arrived after watchInterrupts().
bool interruptRequested();

// True when standard error is a terminal (progress is shown only there).
bool stderrIsTerminal();

} // namespace qv
