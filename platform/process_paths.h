#pragma once
// Where this process runs from: the folder of its executable and its current
// working folder. Both are the operating system's bytes (UTF-8 on Debian).

#include <string>

namespace qv {

// The folder that holds the running executable; "" when the system does not
// say. One readlink call.
std::string executableFolder();

// The process's current working folder; "" when it cannot be read (it was
// deleted, or is not reachable).
std::string currentFolder();

// The id of this process, for names of our own that must not clash with
// another instance's.
int processId();

} // namespace qv
