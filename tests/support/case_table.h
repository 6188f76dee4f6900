#pragma once
// Table tests whose rows each give one input and the result it must give:
// NamedCase is such a row, expectEachCase checks every row and names the
// row that fails.

#include <gtest/gtest.h>

namespace qv::testing {

template <typename Input, typename Expected> struct NamedCase {
    const char* name;
    Input input;
    Expected expected;
};

// Checks that `result(row.input)` equals `row.expected` for every row.
template <typename Cases, typename Result> void expectEachCase(const Cases& cases, Result result)
{
    for (const auto& c : cases) EXPECT_EQ(result(c.input), c.expected) << c.name;
}

} // namespace qv::testing
