#include "text/line_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::text {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

Lines scan(const std::vector<std::string>& blocks)
{
    Lines lines;
    const auto collect = [&](std::string_view line) { lines.emplace_back(line); };
    LineScanner scanner;
    for (const std::string& block : blocks) scanner.feed(block, collect);
    scanner.finish(collect);
    return lines;
}

TEST(LineScanner, BreaksAtBlockEdges)
{
    struct Case {
        const char* name;
        std::vector<std::string> blocks;
        Lines expected;
    } const cases[] = {
        {"no blocks", {}, {}},
        {"CR LF split between blocks", {"a\r", "\nb"}, {"a", "b"}},
        {"CR at a block end, then a line", {"a\r", "b"}, {"a", "b"}},
        {"CR at a block end, then CR", {"a\r", "\rb"}, {"a", "", "b"}},
        {"lone CR ends the text", {"a\r"}, {"a"}},
        {"LF at a block start after LF", {"a\n", "\n"}, {"a", ""}},
        {"line over three blocks", {"ab", "cd", "e\r\n"}, {"abcde"}},
        {"last line over blocks, no break", {"x\nab", "cd"}, {"x", "abcd"}},
        {"break only", {"\r\n"}, {""}},
        {"NUL ends the text mid-block", {"a\nb\0c\nd"s, "e\n"}, {"a", "b"}},
        {"NUL after a split line", {"ab", "c\0\n"s, "x"}, {"abc"}},
        {"NUL right after a CR", {"a\r", "\0\nb"s}, {"a"}},
        {"NUL first", {"\0a"s}, {}},
        {"empty block between", {"a", "", "b\n"}, {"ab"}},
    };
    for (const Case& c : cases) EXPECT_EQ(scan(c.blocks), c.expected) << c.name;
}

TEST(LineScanner, StartsAfreshAfterFinish)
{
    Lines lines;
    const auto collect = [&](std::string_view line) { lines.emplace_back(line); };
    LineScanner scanner;
    scanner.feed("a\0b"s, collect);
    scanner.finish(collect);
    scanner.feed("\ncd\r", collect);
    scanner.finish(collect);
    EXPECT_EQ(lines, (Lines{"a", "", "cd"}));
}

} // namespace
} // namespace qv::text
