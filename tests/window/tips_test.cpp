#include "window/tips.h"

#include <gtest/gtest.h>

#include <set>

namespace qv {
namespace {

struct LineCase {
    std::string line;
    std::string text;
    std::string link;
};

TEST(TipLine, SplitsAtTheFirstSeparator)
{
    const std::vector<LineCase> cases = {
        {"Use ${Sn(1,3)}@#$https://x.example/sn", "Use ${Sn(1,3)}", "https://x.example/sn"},
        {"text@#$notes.txt", "text", "notes.txt"},
        {"ends with it@#$", "ends with it", ""},
        {"@#$https://x.example", "", "https://x.example"},
        {"a@#$b@#$c", "a", "b@#$c"},
        {"no separator here", "no separator here", ""},
        {"\xd6\xd0\xce\xc4@#$http://h/\xd6\xd0", "\xd6\xd0\xce\xc4", "http://h/\xd6\xd0"},
    };
    for (const LineCase& c : cases) {
        const Tip tip = parseTipLine(c.line);
        EXPECT_EQ(tip.text, c.text) << c.line;
        EXPECT_EQ(tip.link, c.link) << c.line;
    }
}

TEST(TipLine, FileSplitsAtEveryBreakAndSkipsEmptyLines)
{
    EXPECT_EQ(tipLines("a@#$1\r\nb@#$2\rc@#$3\n\r\n\nd"), (std::vector<std::string>{"a@#$1", "b@#$2", "c@#$3", "d"}));
    EXPECT_TRUE(tipLines("").empty());
    EXPECT_TRUE(tipLines("\r\n\r\n").empty());
}

TEST(TipCache, OnlyASuccessfulDownloadWithTipsReplacesIt)
{
    EXPECT_TRUE(downloadReplacesCache(true, "t@#$l\r\n"));
    EXPECT_FALSE(downloadReplacesCache(false, "t@#$l\r\n"));
    EXPECT_FALSE(downloadReplacesCache(true, ""));
    EXPECT_FALSE(downloadReplacesCache(true, "\r\n"));
}

TEST(TipCache, ShippedTipsStandInForAMissingOrEmptyCache)
{
    EXPECT_EQ(tipSource(std::string("cached@#$c"), "shipped@#$s"), "cached@#$c");
    EXPECT_EQ(tipSource(std::nullopt, "shipped@#$s"), "shipped@#$s");
    EXPECT_EQ(tipSource(std::string("\r\n"), "shipped@#$s"), "shipped@#$s");
}

TEST(TipRotation, ShowsLoadedTipsAndKeepsTheLinkOfTheLastOne)
{
    TipRotation tips;
    RandomIndex random(7);
    EXPECT_FALSE(tips.next(random));
    tips.load("first@#$one\r\nsecond@#$two\r\n");
    ASSERT_EQ(tips.size(), 2u);
    for (int i = 0; i < 20; ++i) {
        const std::optional<Tip> tip = tips.next(random);
        ASSERT_TRUE(tip);
        EXPECT_TRUE((tip->text == "first" && tips.link() == "one") || (tip->text == "second" && tips.link() == "two"))
            << tip->text << " " << tips.link();
    }
    tips.load("");
    EXPECT_FALSE(tips.next(random));
    EXPECT_FALSE(tips.link().empty()); // an empty list leaves the link as it was
}

TEST(TipRotation, EveryTipComesUp)
{
    TipRotation tips;
    RandomIndex random(1);
    tips.load("a@#$1\nb@#$2\nc@#$3\n");
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) seen.insert(tips.next(random)->text);
    EXPECT_EQ(seen, (std::set<std::string>{"a", "b", "c"}));
}

} // namespace
} // namespace qv
