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

TEST(TipLink, OnlyAbsoluteWebAddressesMayBeOpened)
{
    const std::vector<std::pair<std::string, bool>> cases = {
        {"https://x.example/sn", true},
        {"http://x.example", true},
        {"HTTPS://X.example/a?b=c#d", true},
        {"http://user@x.example:8080/", true},
        {"http://127.0.0.1:8080/tips", true},
        {"http://h/\xd6\xd0", true},
        {"", false},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"/usr/share/applications/evil.desktop", false},
        {"evil.desktop", false},
        {"run.sh", false},
        {"./notes.txt", false},
        {"notes.txt", false},
        {"smb://host/share", false},
        {"/usr/bin/xterm", false},
        {"ftp://x.example/", false},
        {"mailto:a@x.example", false},
        {"http:x.example", false},
        {"http:///etc/passwd", false},
        {"http://", false},
        {"http://:80/", false},
        {"http://user@/", false},
        {"http://x.example/a b", false},
        {"http://x.example/\r\nfile:///", false},
        {"http:\\\\x.example", false},
        {"http://x.example\\@evil", false},
        {" http://x.example", false},
        {"xhttp://x.example", false},
    };
    for (const auto& [link, openable] : cases) EXPECT_EQ(isOpenableTipLink(link), openable) << link;
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
    std::string atTheLimit = "t@#$l\r\n";
    atTheLimit.resize(1048576, 'x');
    EXPECT_TRUE(downloadReplacesCache(true, atTheLimit));
    EXPECT_FALSE(downloadReplacesCache(true, atTheLimit + "x"));
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
    tips.load("first@#$http://x.example/1\r\nsecond@#$http://x.example/2\r\n");
    ASSERT_EQ(tips.size(), 2u);
    for (int i = 0; i < 20; ++i) {
        const std::optional<Tip> tip = tips.next(random);
        ASSERT_TRUE(tip);
        EXPECT_TRUE((tip->text == "first" && tips.link() == "http://x.example/1") ||
                    (tip->text == "second" && tips.link() == "http://x.example/2"))
            << tip->text << " " << tips.link();
    }
    tips.load("");
    EXPECT_FALSE(tips.next(random));
    EXPECT_FALSE(tips.link().empty()); // an empty list leaves the link as it was
}

TEST(TipRotation, ALinkThatMayNotBeOpenedLeavesThePlainText)
{
    TipRotation tips;
    RandomIndex random(7);
    tips.load("open it@#$file:///usr/bin/xterm\r\n");
    const std::optional<Tip> tip = tips.next(random);
    ASSERT_TRUE(tip);
    EXPECT_EQ(tip->text, "open it");
    EXPECT_EQ(tips.link(), "");
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
