#include "cli/dispatcher.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qv::cli {
namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun run(std::vector<std::string> args)
{
    std::ostringstream out, err;
    const int status = runCli(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(EvalCommand, PrintsTheEvaluatedTemplateInUtf8)
{
    struct Case {
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {{"eval", "${GetStr2([,])}", "x[y]z[w]"}, "[y]\n"},       {{"eval", "${Chs2Num(一百零五)}"}, "105\n"},
        {{"eval", "${AddLeft(前缀_)}", "名字"}, "前缀_名字\n"},   {{"eval", "plain"}, "plain\n"},
        {{"eval", "--", "--not-an-option"}, "--not-an-option\n"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.status, exitDone) << c.args[1];
        EXPECT_EQ(r.out, c.expected) << c.args[1];
        EXPECT_EQ(r.err, "");
    }
}

TEST(EvalCommand, RawPrintsCodePage936Bytes)
{
    const CliRun r = run({"eval", "--raw", "${GetLeft(2)}", "中文"});
    EXPECT_EQ(r.status, exitDone);
    EXPECT_EQ(r.out, "\xD6\xD0");
}

TEST(NumberCommand, PrintsValueThenTruncatedInteger)
{
    EXPECT_EQ(run({"number", "2*(3+4)"}).out, "14\n14\n");
    EXPECT_EQ(run({"number", "10/4"}).out, "2.5\n2\n");
    EXPECT_EQ(run({"number", "-1.9"}).out, "-1.9\n-1\n");
    EXPECT_EQ(run({"number", "abc"}).out, "0\n0\n");
}

TEST(Dispatcher, UsageProblemsAreRefusedWithStatusOne)
{
    EXPECT_EQ(run({}).status, exitRefused);
    EXPECT_EQ(run({"frobnicate"}).status, exitRefused);
    const CliRun unknownOption = run({"eval", "--bogus", "x"});
    EXPECT_EQ(unknownOption.status, exitRefused);
    EXPECT_NE(unknownOption.err.find("unknown option --bogus"), std::string::npos);
    EXPECT_EQ(run({"number"}).status, exitRefused);
    EXPECT_EQ(run({"eval", "a", "b", "c"}).status, exitRefused);
}

TEST(Dispatcher, RunningOutOfMemoryIsReportedInWords)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit leaves";
#else
    // A child process with little address space left evaluates a template
    // whose result (about 100 MB) does not fit.
    const pid_t child = ::fork();
    if (child == 0) {
        std::ifstream statm("/proc/self/statm");
        std::size_t pages = 0;
        statm >> pages;
        const rlimit limit{pages * static_cast<std::size_t>(::getpagesize()) + (48 << 20), RLIM_INFINITY};
        ::setrlimit(RLIMIT_AS, &limit);
        const CliRun r = run({"eval", "${RepStr(a," + std::string(1000, 'b') + ")}", std::string(100000, 'a')});
        ::_exit(r.status == 2 && r.err == "内存不足，处理已中止！\n" && r.out.empty() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}

TEST(Dispatcher, HelpListsSubcommandsAndOptions)
{
    const CliRun overview = run({"--help"});
    EXPECT_EQ(overview.status, exitDone);
    EXPECT_NE(overview.out.find("eval"), std::string::npos);
    EXPECT_NE(overview.out.find("number"), std::string::npos);
    const CliRun eval = run({"eval", "--help"});
    EXPECT_EQ(eval.status, exitDone);
    EXPECT_NE(eval.out.find("--raw"), std::string::npos);
}

TEST(Dispatcher, OverviewListsEverySubcommandInOrder)
{
    const std::string overview = run({"--help"}).out;
    std::size_t at = 0;
    for (const char* name :
         {"eval",       "number",     "search",  "rename",       "ext",           "dates",        "attrs",
          "cut",        "insert",     "pattern", "delete-lines", "extract-lines", "insert-lines", "stats",
          "merge-keys", "sync-lines", "combine", "replace",      "charset",       "convert"}) {
        at = overview.find(std::string("\n  ") + name + " ", at);
        ASSERT_NE(at, std::string::npos) << name;
    }
}

TEST(Dispatcher, WrongArgumentCountsPrintTheUsageLine)
{
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"eval"}, "qorvane-cli eval: usage: qorvane-cli eval [--raw] TEMPLATE [SUBJECT]\n"},
        {{"eval", "a", "b", "c"}, "qorvane-cli eval: usage: qorvane-cli eval [--raw] TEMPLATE [SUBJECT]\n"},
        {{"number"}, "qorvane-cli number: usage: qorvane-cli number TEXT\n"},
        {{"stats", "a", "b"}, "qorvane-cli stats: usage: qorvane-cli stats FILE\n"},
    };
    for (const Case& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.status, exitRefused) << c.args[0];
        EXPECT_EQ(r.err, c.err);
    }
    const CliRun help = run({"stats", "--help"});
    EXPECT_EQ(help.out, "usage: qorvane-cli stats FILE\nPrints the line counts of FILE.\n"
                        "  --help                    show this help\n");
}

} // namespace
} // namespace qv::cli
