#pragma once
// The message of the run error an action throws, for tests that expect one.

#include "text/run_error.h"

#include <functional>
#include <string>

namespace qv::testing {

// The message of the RunError `action` throws; "no error" when it throws none.
inline std::string runErrorMessage(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RunError& error) {
        return error.what();
    }
    return "no error";
}

} // namespace qv::testing
