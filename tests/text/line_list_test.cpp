#include "text/line_list.h"

#include "support/case_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::text {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

Lines toVector(const LineList& list)
{
    Lines out;
    for (const std::string_view line : list) out.emplace_back(line);
    return out;
}

TEST(LineListFromBytes, CutsAtEveryKindOfBreak)
{
    const testing::NamedCase<std::string, Lines> cases[] = {
        {"empty text", "", {}},
        {"one line without break", "abc", {"abc"}},
        {"final break adds no line", "abc\r\n", {"abc"}},
        {"CR LF", "a\r\nb\r\nc", {"a", "b", "c"}},
        {"lone LF", "a\nb\n", {"a", "b"}},
        {"lone CR", "a\rb\r", {"a", "b"}},
        {"mixed breaks", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
        {"only a break", "\r\n", {""}},
        {"only a lone CR", "\r", {""}},
        {"empty lines kept", "\n\n\nx", {"", "", "", "x"}},
        {"trailing empty line", "a\n\n", {"a", ""}},
        {"text ends at NUL", "ab\ncd\0ef\ngh"s, {"ab", "cd"}},
        {"NUL right after a break", "ab\n\0cd"s, {"ab"}},
        {"NUL first", "\0abc\n"s, {}},
        {"CR before NUL", "ab\r\0\ncd"s, {"ab"}},
        {"double-byte text untouched", "\xD6\xD0\xCE\xC4\r\n\x81\x0D", {"\xD6\xD0\xCE\xC4", "\x81"}},
        {"blanks kept", "  a \t\r\n", {"  a \t"}},
    };
    testing::expectEachCase(cases, [](const std::string& bytes) { return toVector(LineList::fromBytes(bytes)); });
}

TEST(LineListFromBytes, LongRunsOfOneBreakKind)
{
    std::string crOnly;
    std::string lfOnly;
    for (int i = 0; i < 1000; ++i) {
        crOnly += "line\r";
        lfOnly += "x\n";
    }
    const LineList fromCr = LineList::fromBytes(crOnly);
    ASSERT_EQ(fromCr.size(), 1000u);
    EXPECT_EQ(fromCr[0], "line");
    EXPECT_EQ(fromCr[999], "line");
    EXPECT_EQ(fromCr.byteCount(), 4000u);
    const LineList fromLf = LineList::fromBytes(lfOnly);
    ASSERT_EQ(fromLf.size(), 1000u);
    EXPECT_EQ(fromLf[500], "x");
}

TEST(LineListJoin, EveryLineEndsWithCrLf)
{
    const testing::NamedCase<LineList, std::string> cases[] = {
        {"empty list", {}, ""},
        {"one empty line", {""}, "\r\n"},
        {"last line ends too", {"a", "b"}, "a\r\nb\r\n"},
        {"empty lines", {"", "x", ""}, "\r\nx\r\n\r\n"},
    };
    testing::expectEachCase(cases, joinLines);
}

TEST(LineListJoin, NormalisesBreaksOfARead)
{
    EXPECT_EQ(joinLines(LineList::fromBytes("a\rb\nc")), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(joinLines(LineList::fromBytes("a\r\n\r\nb\r\n")), "a\r\n\r\nb\r\n");
    EXPECT_EQ(joinLines(LineList::fromBytes("ab\0\r\n"s)), "ab\r\n");
}

TEST(LineListBuild, AppendClearAndSizes)
{
    LineList list;
    EXPECT_TRUE(list.empty());
    list.reserve(3, 10);
    list.append("one");
    list.append("");
    list.append("three");
    EXPECT_EQ(toVector(list), (Lines{"one", "", "three"}));
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(list.byteCount(), 8u);
    EXPECT_EQ(list.joinedSize(), 14u);

    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(joinLines(list), "");
    list.append("again");
    EXPECT_EQ(toVector(list), (Lines{"again"}));
}

TEST(LineListBuild, AppendsALineOfItself)
{
    LineList list = LineList::fromBytes("first\nsecond");
    for (int i = 0; i < 200; ++i) list.append(list[1]);
    EXPECT_EQ(list.size(), 202u);
    EXPECT_EQ(list[201], "second");
    EXPECT_EQ(list[0], "first");
}

TEST(LineListBuild, ComparesLineByLine)
{
    EXPECT_EQ(LineList::fromBytes("a\nb"), (LineList{"a", "b"}));
    EXPECT_FALSE(LineList::fromBytes("ab") == (LineList{"a", "b"}));
    EXPECT_FALSE(LineList::fromBytes("a\n") == (LineList{"a", ""}));
}

} // namespace
} // namespace qv::text
