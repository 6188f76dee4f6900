#include "content/line_pattern.h"

#include "content_fixture.h"
#include "text/bytes.h"
#include "text/field_split.h"
#include "text/run_error.h"

#include <random>

namespace qv {
namespace {

using testing::gbk;
using LinePatternJob = testing::ContentFixture;

TEST(LinePattern, FieldsReplaceTheParameterNames)
{
    struct Case {
        std::string pattern;
        std::string line;
        std::string expected;
    } cases[] = {
        {"insert into t values('$1','$2');", "a;b", "insert into t values('a','b');"},
        {"$1-$2-$3", "a;b", "a-b-$3"},
        {"[$1]", " x ; y ", "[x]"},
        {"[$1][$2]", ";a", "[][a]"},
        {"[$1][$2][$3]", "a; ;b", "[a][][b]"},
        {"[$1][$2]", "a;b;", "[a][b]"},
        {"[$1][$2][$3]", "a\t\tb", "[a][b][$3]"},
        {"[$1|$2]", "a:b;x", "[a:b|x]"},
        {"<$1>", "hello", "<hello>"},
        {"$1\r\n$2", "a b", "a\r\nb"},
        {"$1$1", "Q", "QQ"},
        {"${Chs2Num($1)}", gbk("一百零五"), "105"},
        {"[$1]${Len($2)}", "a;xyz", "[a]3"},
    };
    for (const Case& c : cases) {
        LinePattern pattern(c.pattern, "$", 3);
        EXPECT_EQ(pattern.apply(c.line), c.expected) << c.pattern << " / " << c.line;
    }
}

TEST(LinePattern, NamesAreReplacedInAscendingOrderAsPlainText)
{
    // $1 also matches the start of $10; a field holding a later name is
    // replaced again by the later field.
    LinePattern ten("$10|$2", "$", 10);
    EXPECT_EQ(ten.apply("a;b;c;d;e;f;g;h;i;j"), "a0|b");
    LinePattern chain("$1", "$", 2);
    EXPECT_EQ(chain.apply("$2;z"), "z");
    LinePattern prefix("#1-#2-$1", "#", 2);
    EXPECT_EQ(prefix.apply("a;b"), "a-b-$1");
}

TEST(LinePattern, CountLimitsTheNames)
{
    LinePattern none("$1", "$", 0);
    EXPECT_EQ(none.apply("a;b"), "$1");
    LinePattern many("$16|$17", "P", 40);
    EXPECT_EQ(many.apply("1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17"), "$16|$17");
}

TEST(LinePattern, SeparatorIsFixedByTheFirstLineThatHasOne)
{
    LinePattern pattern("[$1|$2]", "$", 3);
    EXPECT_EQ(pattern.apply("   "), std::nullopt);
    EXPECT_EQ(pattern.apply("hello"), "[hello|$2]");
    EXPECT_EQ(pattern.separator(), '\0');
    EXPECT_EQ(pattern.apply("c d;e"), "[c d|e]");
    EXPECT_EQ(pattern.separator(), ';');
    EXPECT_EQ(pattern.apply("p\tq;r"), "[p\tq|r]");
    EXPECT_EQ(pattern.apply("u v"), "[u v|$2]");
}

// Fields cut by the field split and names replaced one after another over the
// whole text: the plain form of what the pattern does to a line.
std::string plainInstance(std::string pattern, std::string_view line, char separator,
                          const std::vector<std::string>& names)
{
    const std::vector<std::string> fields = text::splitFields(text::trim(line), std::string_view(&separator, 1));
    for (std::size_t k = 0; k < std::min(fields.size(), names.size()); ++k)
        pattern = text::replaceAll(pattern, names[k], fields[k]);
    return pattern;
}

TEST(LinePattern, MatchesThePlainFieldSplitAndReplacementOnRandomGbkBytes)
{
    // Lead bytes before separators and names test where characters start;
    // "a$" and "A" in fields test the case-blind, chained replacement.
    static const std::string alphabet = "ab;; \x81\x81\xB0;$$12A a\xFF";
    const std::vector<std::string> names{"A1", "A2", "A12"};
    std::mt19937 random(3);
    for (int round = 0; round < 3000; ++round) {
        std::string line = "x;", pattern;
        for (std::size_t i = random() % 14; i > 0; --i) line += alphabet[random() % alphabet.size()];
        for (std::size_t i = random() % 10; i > 0; --i) pattern += alphabet[random() % alphabet.size()];
        LinePattern linePattern(pattern, "A", 3);
        ASSERT_EQ(linePattern.apply(line).value_or("?"), plainInstance(pattern, line, ';', names))
            << "pattern [" << pattern << "] line [" << line << "]";
    }
}

TEST(ExpandCalls, AlwaysEndsAndPassesOverBracesThatCloseNoCall)
{
    struct Case {
        std::string text;
        std::string expected;
    } cases[] = {
        {"no calls", "no calls"},
        {"a}b", "a}b"},
        {"{abc}", "{abc}"},
        {"${Len(abc)}${Len(de)}", "32"},
        {"x} ${GetLeft(1)}", "x} x"},
        {"${Len(${Len(abcdefghij)})}", "2"},
        {"a\\tb}", "a\tb}"},
        {"${AddLeft(<)}", "<${AddLeft(<)}"},
        {"${AddRight(})}", "${AddRight(})})}})}"},
        {"${LineOrg()}", "${LineOrg()}"},
        {"}}}${", "}}}${"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        expandCalls(text);
        EXPECT_EQ(text, c.expected) << c.text;
    }
}

TEST(ExpandCalls, SelfCopyingCallsStayWithinTheSizeBound)
{
    std::string text;
    for (int i = 0; i < 40; ++i) text += "${AddLeft(ab)}";
    expandCalls(text);
    EXPECT_LE(text.size(), 40u * 14 * 64 + (1u << 20));
}

TEST_F(LinePatternJob, EmptyPatternIsRefusedWithFocus)
{
    addFile("a.txt", "a");
    EXPECT_EQ(refusalFocus(btnReplaceClick({"", "$", "3"}, ws, host, fs)), "mmPattern");
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"模式格式为空,请输入后再试!"});
    EXPECT_FALSE(exists("a.qv.txt"));
}

TEST_F(LinePatternJob, SeparatorOutlivesTheFileAndBlankLinesDisappear)
{
    addFile("1.txt", "\r\na:b;x\r\n  \r\n");
    addFile("2.txt", "p\tq;r\r\n\t\r\ns");
    addFile("3.txt", " \r\n\t");
    btnReplaceClick({"$1=$2\r\n", " $ ", "2"}, ws, host, fs);
    EXPECT_EQ(read("1.qv.txt"), "a:b=x\r\n\r\n");
    EXPECT_EQ(read("2.qv.txt"), "p\tq=r\r\n\r\ns=$2\r\n\r\n");
    EXPECT_EQ(read("3.qv.txt"), "");
    EXPECT_EQ(host.messages.back().text, "成功处理完成,共处理 3 个文件!");
}

TEST_F(LinePatternJob, CountThatDoesNotConvertEndsTheRun)
{
    addFile("a.txt", "a");
    EXPECT_THROW(btnReplaceClick({"$1", "$", "three"}, ws, host, fs), RunError);
    EXPECT_FALSE(exists("a.qv.txt"));
}

} // namespace
} // namespace qv
