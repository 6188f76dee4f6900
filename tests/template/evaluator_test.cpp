#include "template/evaluator.h"

#include "support/fixed_clock.h"
#include "support/gbk.h"
#include "template/evaluator_functions.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace qv {
namespace {

using testing::gbk;

struct EvalCase {
    std::string subject;
    std::string templ;
    std::string expected;
};

// Tuesday 2026-12-08 09:30:15.250.
const testing::FixedClock kClock({2026, 12, 8, 9, 30, 15, 250});

void expectResults(const std::vector<EvalCase>& cases)
{
    for (const auto& c : cases)
        EXPECT_EQ(EvaluateTemplate(c.subject, c.templ, kClock), c.expected)
            << "subject: " << testing::utf8(c.subject) << "\ntemplate: " << testing::utf8(c.templ);
}

TEST(EvaluateTemplate, TemplateWithoutCallIsTheResult)
{
    expectResults({
        {"name", "abc", "abc"},
        {"name", "", ""},
        {"name", "a\\tb", "a\tb"},
        {"name", "a\\Tb\\R\\n\\N", "a\tb\r\n\n"},
        {"name", "\\\\t", "\\\t"},
        {"name", "\\x", "\\x"},
        {"name", "$ {x}", "$ {x}"},
    });
}

TEST(EvaluateTemplate, TakesOneCallFromTheFirstDollarBraceToTheLastByte)
{
    expectResults({
        {"name", "${AddLeft(x)}", "xname"},
        {"name", "pre_${AddLeft(x)}", "xname"},
        {"name", "${AddLeft(x)}abc", "x)}aname"},
        {"name", "${Ext}", "Ext"},
        {"name", "${Ext", "Ex"},
        {"name", "${", ""},
        {"name", "${}", ""},
        {"name", "${(", ""},
        {"name", "${()}", "name"},
        {"name", "${Foo(1)}", "name"},
        {"name", "${ AddLeft(x)}", "name"},
        {"name", "${addleft(x)}", "xname"},
        {"name", "${ADDLEFT(x)}", "xname"},
        {"name", "${AddLeft(a\\tb)}", "a\tbname"},
        {"name", "${AddLeft(x,y,z)}", "xname"},
        {"name", "${LineOrg()}", "name"},
    });
}

TEST(EvaluateTemplate, SplitsArgumentsAtTheFirstTwoCommas)
{
    const auto split = evaluator::splitArguments("a,b,c,d");
    EXPECT_EQ(split.a1, "a");
    EXPECT_EQ(split.a2, "b");
    EXPECT_EQ(split.a3, "c,d");
    const auto two = evaluator::splitArguments("a,b");
    EXPECT_EQ(two.a2, "b");
    EXPECT_EQ(two.a3, "");
    const auto one = evaluator::splitArguments("a");
    EXPECT_EQ(one.a1, "a");
    EXPECT_EQ(one.a2, "");
    expectResults({{"key", "${AddMid2(key,3,x,y)}", "keyx,y"}});
}

TEST(EvaluateTemplate, DeleteFunctions)
{
    expectResults({
        {"banana", "${DelStr(a)}", "bnana"},
        {"banana", "${DelStr(A)}", "banana"},
        {"banana", "${DelStr()}", "banana"},
        {"x[y]z[w]", "${DelRange([,])}", "xz[w]"},
        {"xaya", "${DelRange(a,a)}", "x"},
        {"x[y]z[w]", "${DelRange([,#)}", "x[y]z[w]"},
        {"x[y]z[w]", "${DelRange(,])}", "x[y]z[w]"},
        {"abcde", "${DelLeft(2)}", "cde"},
        {"abcde", "${DelLeft(99)}", ""},
        {"abcde", "${DelLeft(0)}", "abcde"},
        {"abcde", "${DelRight(2)}", "abc"},
        {"abcde", "${DelRight(5)}", ""},
        {"abcde", "${DelRight(6)}", "abcde"},
        {"abcde", "${DelRight(10)}", "abcde"},
        {"abcde", "${DelMid(2,2)}", "ade"},
        {"abcde", "${DelMid(4,99)}", "abc"},
        {"abcde", "${DelMid(0,2)}", "abcde"},
        {"abcde", "${DelMid(9,2)}", "abcde"},
        {"key=value", "${DelStrL(=)}", "value"},
        {"key=value", "${DelStrR(=)}", "key"},
        {"key=value", "${DelStrL(zz)}", "key=value"},
    });
}

TEST(EvaluateTemplate, AddAndReplaceFunctions)
{
    expectResults({
        {"name", "${AddRight(y)}", "namey"},
        {"abc", "${AddMid(2,X)}", "aXbc"},
        {"abc", "${AddMid(99,X)}", "abcX"},
        {"abc", "${AddMid(0,X)}", "abc"},
        {"my key", "${AddMid2(key,0,X)}", "my Xkey"},
        {"my key", "${AddMid2(key,3,X)}", "my keyX"},
        {"my key", "${AddMid2(key,-99,X)}", "Xmy key"},
        {"my key", "${AddMid2(zz,0,X)}", "my key"},
        {"banana", "${RepStr(A,o)}", "bonono"},
        {"banana", "${RepStr(an,)}", "ba"},
        {"abcdef", "${RepStr2(2,3,XY)}", "aXYef"},
        {"abc", "${RepStr2(10,3,XY)}", "abcXY"},
        {"abc", "${RepStr2(0,3,XY)}", "abc"},
        {"abAB", "${Xchg(a,b)}", "baba"},
        {"x(!@#$%^&*)y", "${Xchg(1,2)}", "x2y"},
    });
}

TEST(EvaluateTemplate, GetFunctions)
{
    expectResults({
        {"abcdef", "${GetLeft(2)}", "ab"},
        {"abcdef", "${GetLeft(1+1)}", "ab"},
        {"abcdef", "${GetLeft(0.9)}", "abcdef"},
        {"abcdef", "${GetLeft(x)}", "abcdef"},
        {"abcdef", "${GetLeft(-1)}", "abcdef"},
        {"abcde", "${GetRight(2)}", "de"},
        {"abcde", "${GetRight(10)}", "abcde"},
        {"abcdefghijkl", "${GetMid(3,8)}", "cdefghij"},
        {"abcdef", "${GetMid(20,2)}", ""},
        {"abcdef", "${GetMid(0,2)}", "abcdef"},
        {"my key=value", "${GetStr(key,5)}", "key=v"},
        {"my key=value", "${GetStr(key,0)}", "my key=value"},
        {"my key=value", "${GetStr(zz,3)}", "my key=value"},
        {"x[y]z[w]", "${GetStr2([,])}", "[y]"},
        {"x[y]z[w]", "${GetStr2(],[)}", "]z["},
        {"x[y]z[w]", "${GetStr2([,#)}", "x[y]z[w]"},
        {"my key=value", "${GetMid2(key,3,2)}", "=v"},
        {"my key=value", "${GetMid2(key,-3,2)}", "my"},
        {"my key=value", "${GetMid2(key,-4,2)}", "my key=value"},
        {"my key=value", "${GetMid2(key,3,0)}", "my key=value"},
        {"abc", "${Pos(c)}", "3"},
        {"abc", "${Pos(zz)}", "0"},
        {"anything", "${Len(abc)}", "3"},
        {"anything", "${Len()}", "0"},
        {"anything", "${Len(" + gbk("中文") + ")}", "4"},
    });
}

// Huge or negative numbers must not overflow the position arithmetic.
TEST(EvaluateTemplate, ExtremeNumbersStayInRange)
{
    expectResults({
        {"abcdef", "${GetMid(2,2147483647)}", "bcdef"},
        {"abcdef", "${GetMid(99999999999,2)}", ""},
        {"abcdef", "${GetRight(2147483647)}", "abcdef"},
        {"abcdef", "${DelRight(2147483647)}", "abcdef"},
        {"abcdef", "${DelRight(-2147483648)}", "abcdef"},
        {"my key", "${AddMid2(key,2147483647,X)}", "my keyX"},
        {"my key", "${AddMid2(key,-2147483648,X)}", "Xmy key"},
        {"my key", "${GetMid2(key,2147483647,2147483647)}", ""},
        {"my key", "${GetMid2(key,-2147483648,2)}", "my key"},
        {"abcdef", "${RepStr2(2147483647,2147483647,X)}", "abcdefX"},
        {"abcdef", "${NewLine(2147483647)}", "abcdef"},
        {"abcdef", "${AddMid(1e300,X)}", "abcdefX"},
    });
}

TEST(EvaluateTemplate, NewLineNeverSplitsACharacter)
{
    const std::string chinese = gbk("中文数字");
    expectResults({
        {"abcdefgh", "${NewLine(4)}", "abcd\r\nefgh"},
        {"abcdefghi", "${NewLine(4)}", "abcd\r\nefgh\r\ni"},
        {"abcdefgh", "${NewLine(8)}", "abcdefgh"},
        {"abc", "${NewLine(0)}", "abc"},
        {chinese, "${NewLine(4)}", gbk("中文\r\n数字")},
        {chinese, "${NewLine(3)}", gbk("中\r\n文\r\n数\r\n字")},
        {chinese, "${NewLine(1)}", gbk("中\r\n文\r\n数\r\n字")},
        {gbk("a中b"), "${NewLine(2)}", gbk("a\r\n中\r\nb")},
        {gbk("ab中"), "${NewLine(1)}", gbk("a\r\nb\r\n中")},
        {"ab\x81", "${NewLine(2)}", "ab\r\n\x81"},
    });
}

// A match never begins on the second byte of a character: the needle D0 CE
// is the second byte of 中 (D6 D0) followed by the first byte of 文 (CE C4).
TEST(EvaluateTemplate, MatchesNeverStartInsideACharacter)
{
    const std::string subject = gbk("中文");
    const std::string straddling = "\xD0\xCE";
    expectResults({
        {subject, "${Pos(" + straddling + ")}", "0"},
        {subject, "${DelStr(" + straddling + ")}", subject},
        {subject, "${RepStr(" + straddling + ",x)}", subject},
        {subject, "${DelStrL(" + straddling + ")}", subject},
        {subject, "${Pos(" + gbk("文") + ")}", "3"},
        {subject + "ab", "${GetStr2(" + gbk("文") + ",b)}", gbk("文ab")},
        // "}" (7D) as the second byte of 亇 (81 7D) closes no call.
        {"s", "${AddLeft(${Len(\x81\x7D)})}", "2s"},
    });
}

TEST(EvaluateTemplate, ResolvesNestedCallsAgainstTheSubject)
{
    expectResults({
        {"xxabcyy", "${DelMid(${Pos(abc)},3)}", "xxyy"},
        {"hello", "${Len(${LineOrg()})}", "5"},
        {"hello", "${AddLeft(${GetLeft(${Len(abc)})})}", "helhello"},
        {"hello", "${AddLeft(${Len(ab)}-${Len(ab)})}", "2-2hello"},
        {"hello", "${AddLeft(${Len(ab)}${Len(abc)})}", "23hello"},
        {"hello", "${GetMid(${Len(ab)},${Len(abc)})}", "ell"},
        {"hello", "${AddLeft(${Ext})}", "Exthello"},
        {gbk("第三章"), gbk("${Chs2Num(${GetStr(第,4)})}"), gbk("第3")},
        // Identical calls share one evaluation, letter case ignored.
        {"s", "${AddLeft(${AddLeft(x)}${AddLeft(X)})}", "xsxss"},
    });
}

// A nested result is text, never template: a "${" or "}" inside it opens or
// closes nothing, so a subject cannot make evaluation loop or grow.
TEST(EvaluateTemplate, NestedResultsAreNotEvaluatedAgain)
{
    expectResults({
        {"a${LineOrg()}", "${Len(${LineOrg()})}", "13"},
        {"echo ${HOME}", "${AddRight(${LineOrg()})}", "echo ${HOME}echo ${HOME}"},
        {"x}y", "${AddLeft(${LineOrg()}${Len(ab)})}", "x}y2x}y"},
        {"${Len(abc)}", "${GetLeft(${LineOrg()})}", "${Len(abc)}"},
    });
}

// Results are skipped whole when looking for the next call, so a large
// subject full of "${" and "}" costs no more than one pass per step.
TEST(EvaluateTemplate, LargeResultsFullOfMarkersAreSkippedWhole)
{
    std::string calls;
    for (int i = 0; i < 50000; ++i) calls += "${LineOrg()}";
    EXPECT_EQ(EvaluateTemplate(calls, "${Len(${LineOrg()})}", kClock), "600000");
    std::string braces;
    for (int i = 0; i < 50000; ++i) braces += "}a";
    EXPECT_EQ(EvaluateTemplate(braces, "${Len(${LineOrg()}${Len(x)})}", kClock), "100001");
}

// When a step of the nested-call loop changes nothing, the argument text is
// used as it stands.
TEST(EvaluateTemplate, StuckNestedCallsLeaveTheArgumentText)
{
    expectResults({
        {"s", "${AddLeft(a}${Len(xy)})}", "a}${Len(xy)}s"},
        {"s", "${AddLeft(${Len(xy))}", "${Len(xy)s"},
        {"name", "${AddLeft(x)}${AddRight(y)}", "x)}${AddRight(yname"},
        {"s", "${AddLeft({x}${Len(ab)})}", "{x}${Len(ab)}s"},
        {"s", "${AddLeft(${${})}", "${s"},
    });
}

// Deep and wide nesting give the right text; this only finishes quickly
// because nested calls are resolved in about linear time.
TEST(EvaluateTemplate, ResolvesTenThousandNestedCalls)
{
    const int n = 10000;
    std::string deep, deepLen, wide = "${AddLeft(";
    for (int i = 0; i < n; ++i) deep += "${AddLeft(a";
    for (int i = 0; i < n; ++i) deep += ")}";
    for (int i = 0; i < n; ++i) deepLen += "${Len(";
    deepLen += "xyz";
    for (int i = 0; i < n; ++i) deepLen += ")}";
    for (int i = 0; i < n; ++i) wide += i % 2 == 0 ? "${Len(ab)}" : "${LEN(AB)}${Len(" + std::to_string(i) + ")}";
    wide += ")}";
    std::string wideResult;
    for (int i = 0; i < n; ++i) wideResult += i % 2 == 0 ? "2" : "2" + std::to_string(std::to_string(i).size());
    expectResults({
        {"s", deep, std::string(n, 'a') + std::string(n, 's')},
        {"s", deepLen, "1"},
        {"s", wide, wideResult + "s"},
    });
}

// Growth is refused before the text is built: each of these would need
// gigabytes, yet fails at once.
TEST(EvaluateTemplate, RefusesTextsPastTheBound)
{
    const std::string manyA(65536, 'a');
    std::string copies;
    for (int i = 0; i < 4097; ++i) copies += "${LineOrg()}"; // 4097 x 64 KiB > 256 MiB
    const std::string cases[] = {
        "${Len(" + copies + ")}",
        "${RepStr(a," + std::string(4097, 'b') + ")}",
        "${Xchg(a," + std::string(4097, 'b') + ")}",
    };
    for (const std::string& templ : cases) {
        SCOPED_TRACE(templ.substr(0, 40));
        try {
            EvaluateTemplate(manyA, templ, kClock);
            ADD_FAILURE() << "no error";
        } catch (const EvaluatedTextTooLong& error) {
            EXPECT_EQ(std::string(error.what()), gbk("生成的文本超过 256 MB 的上限，处理已停止！"));
        }
    }
}

// Every function that lengthens its subject checks the bound it is given,
// which is inclusive.
TEST(EvaluateTemplate, FunctionsThatGrowTextCheckTheBound)
{
    struct Case {
        const char* name;
        const char* args;
        bool fits; // within 8 bytes, from the subject "abcdef"
    };
    const Case cases[] = {
        {"AddLeft", "xy", true},      {"AddLeft", "xyz", false},     {"AddRight", "xyz", false},
        {"AddMid", "2,xyz", false},   {"AddMid2", "c,0,xyz", false}, {"RepStr2", "1,1,xyzw", false},
        {"RepStr2", "1,1,xyz", true}, {"RepStr", "a,xyz", true},     {"RepStr", "a,xyzw", false},
        {"Xchg", "a,xyzw", false},    {"NewLine", "3", true},        {"NewLine", "2", false},
        {"Date", "yyyymmdd", true},   {"Date", "c", false},          {"Time", "hh:nn:ss zzz", false},
        {"DelLeft", "1", true},
    };
    for (const Case& c : cases) {
        const auto call = [&] {
            return evaluator::applyFunction(evaluator::findFunction(c.name), "abcdef",
                                            evaluator::splitArguments(c.args), kClock, 8);
        };
        if (c.fits)
            EXPECT_LE(call().size(), 8u) << c.name << "(" << c.args << ")";
        else
            EXPECT_THROW(call(), EvaluatedTextTooLong) << c.name << "(" << c.args << ")";
    }
}

TEST(EvaluateTemplate, DateUsesTodayAtMidnightAndTimeUsesDayZero)
{
    expectResults({
        {"s", "${Date(yyyy)}", "2026"},
        {"s", "${Date(yyyy-mmm-dd)}", gbk("2026-12月-08")},
        {"s", "${Date(yyyymmdd)}", "20261208"},
        {"s", "${Date(hh:nn:ss)}", "00:00:00"},
        {"s", "${Date(dddd)}", gbk("星期二")},
        {"s", "${Time(hh:nn:ss)}", "09:30:15"},
        {"s", "${Time(yyyy)}", "1899"},
        {"s", "${Time(yyyy-mm-dd)}", "1899-12-30"},
        {"s", "${Time(ddd)}", gbk("周六")},
        {"s", "${TIME(h:mm zzz)}", "9:30 250"},
    });
}

TEST(EvaluateTemplate, ReachesTheChineseConversions)
{
    expectResults({
        {"s", "${Chs2Num(" + gbk("一百零五") + ")}", "105"},
        {"s", "${Chs2Num(" + gbk("二十三") + ")}", "23"},
        {"abc", "${gb2big()}", "abc"},
        {"", "${gb2big()}", ""},
        {gbk("中国"), "${GB2BIG()}", "\xA4\xA4\xB0\xEA"},
        {"\xA4\xA4\xB0\xEA", "${big2gb()}", gbk("中国")},
        {"", "${big2gb()}", ""},
    });
}

TEST(EvaluateTemplate, RecognisesEveryFunctionName)
{
    const char* names[] = {"date",    "time",    "repstr",   "repstr2", "delstr",  "delrange", "delleft", "delright",
                           "delmid",  "addleft", "addright", "addmid",  "getleft", "getright", "getmid",  "getstr",
                           "getstr2", "addmid2", "newline",  "xchg",    "delstrl", "delstrr",  "pos",     "getmid2",
                           "gb2big",  "big2gb",  "len",      "lineorg", "chs2num"};
    for (const char* name : names) EXPECT_NE(evaluator::findFunction(name), evaluator::Function::Unknown) << name;
    EXPECT_EQ(evaluator::findFunction("GetMid2"), evaluator::Function::GetMid2);
    EXPECT_EQ(evaluator::findFunction("getmid3"), evaluator::Function::Unknown);
    EXPECT_EQ(evaluator::findFunction("getmi"), evaluator::Function::Unknown);
    EXPECT_EQ(evaluator::findFunction(""), evaluator::Function::Unknown);
}

} // namespace
} // namespace qv
