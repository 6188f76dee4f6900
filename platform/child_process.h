#pragma once
// Runs an outside program to its end, with a time limit.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace qv {

struct ChildRun {
    enum class Status {
        Exited,        // ended by itself; see exitCode
        CouldNotStart, // the program was not found or could not be executed
        TimedOut,      // killed at the time limit
        Stopped,       // ended because `keepWaiting` asked for it
    };
    Status status = Status::CouldNotStart;
    // The exit status when it exited normally; -1 when a signal ended it.
    int exitCode = -1;
};

// Starts `argv[0]` (searched on PATH) with the arguments `argv`, this
// process's environment plus `environment` ("NAME=value", overriding), and
// standard input, output and error on /dev/null. The child leads a process
// group of its own; when it ends, and at the time limit, the whole group is
// killed, so no helper process it started outlives the run. Calls
// `keepWaiting` about every 50 ms until then; when it returns false the group
// is sent SIGTERM, and SIGKILL when it has not ended within two seconds.
// While the child runs, a second interrupt of this process (see
// interrupt.h) kills the group at once instead of ending this process, so
// the caller still cleans up. `argv` must not be empty; an empty
// `keepWaiting` waits to the end.
ChildRun runChild(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                  std::chrono::milliseconds limit, const std::function<bool()>& keepWaiting);

} // namespace qv
