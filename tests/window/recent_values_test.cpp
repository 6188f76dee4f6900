#include "window/recent_values.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using Strings = std::vector<std::string>;

Strings numbered(int from, int to)
{
    Strings out;
    for (int i = from; i >= to; --i) out.push_back("v" + std::to_string(i));
    return out;
}

TEST(RecentValues, RememberKeepsDistinctValuesNewestFirst)
{
    struct Case {
        const char* what;
        Strings used; // in the order the runs used them
        Strings expected;
    } cases[] = {
        {"nothing used", {}, {}},
        {"one value", {"/home/a"}, {"/home/a"}},
        {"newest first", {"a", "b", "c"}, {"c", "b", "a"}},
        {"a repeat moves to the front", {"a", "b", "c", "a"}, {"a", "c", "b"}},
        {"the same twice is kept once", {"a", "a"}, {"a"}},
        {"letter case makes a different value", {"*.txt", "*.TXT"}, {"*.TXT", "*.txt"}},
        {"blanks are part of the value", {"a", " a"}, {" a", "a"}},
        {"an empty box is not history", {"a", "", "b"}, {"b", "a"}},
        {"an overlong value is not kept", {"a", std::string(4097, 'x')}, {"a"}},
        {"the longest kept value", {std::string(4096, 'x')}, {std::string(4096, 'x')}},
    };
    for (const Case& c : cases) {
        RecentValues history;
        for (const std::string& value : c.used) history.remember(value);
        EXPECT_EQ(history.values(), c.expected) << c.what;
    }
}

TEST(RecentValues, TheOldestDropsOutPastTwenty)
{
    RecentValues history;
    for (int i = 1; i <= 21; ++i) history.remember("v" + std::to_string(i));
    EXPECT_EQ(history.values(), numbered(21, 2));
    history.remember("v5"); // already held: nothing drops out
    Strings expected = {"v5"};
    for (int i = 21; i >= 2; --i)
        if (i != 5) expected.push_back("v" + std::to_string(i));
    EXPECT_EQ(history.values(), expected);
}

TEST(RecentValues, RememberTellsWhetherAnythingChanged)
{
    RecentValues history;
    EXPECT_TRUE(history.remember("a"));
    EXPECT_FALSE(history.remember("a"));
    EXPECT_FALSE(history.remember(""));
    EXPECT_TRUE(history.remember("b"));
    EXPECT_TRUE(history.remember("a"));
}

TEST(RecentValues, DamagedStoredListsAreCleanedUp)
{
    struct Case {
        const char* what;
        Strings stored;
        Strings expected;
    } cases[] = {
        {"a sound list", {"c", "b", "a"}, {"c", "b", "a"}},
        {"repeats: the newest stays", {"a", "b", "a", "b"}, {"a", "b"}},
        {"empty and overlong entries", {"", "a", std::string(5000, 'y'), "b"}, {"a", "b"}},
        {"too many", numbered(30, 1), numbered(30, 11)},
        {"too many with repeats counts distinct values", {"a", "a", "a", "b"}, {"a", "b"}},
    };
    for (const Case& c : cases) EXPECT_EQ(RecentValues::fromStored(c.stored).values(), c.expected) << c.what;
}

} // namespace
} // namespace qv
