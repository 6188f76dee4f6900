#pragma once
// The message of the run error an action throws, for tests that expect one,
// and the check of a table of inputs that each must raise one.

#include "text/run_error.h"

#include <gtest/gtest.h>

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

// A row of a run error table: the input and the message it must raise.
struct RunErrorCase {
    std::string input;
    std::string message;
};

// Checks that `action(row.input)` throws a run error with `row.message`, for
// every row.
template <typename Cases, typename Action> void expectRunErrors(const Cases& cases, Action action)
{
    for (const RunErrorCase& c : cases) {
        EXPECT_EQ(runErrorMessage([&] { action(c.input); }), c.message) << c.input;
    }
}

} // namespace qv::testing
