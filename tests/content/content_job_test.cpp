#include "content/content_job.h"

#include "content/line_cut.h"
#include "content_fixture.h"
#include "support/run_error_message.h"
#include "text/run_error.h"

#include <filesystem>

namespace qv {
namespace {

using testing::gbk;
using Job = testing::ContentFixture;

// Copies every line; the frame's own reading and writing rules show through.
FileVerdict copyLines(const text::LineList& source, const ContentFile&, text::LineList& output, Host&)
{
    for (const std::string_view line : source) output.append(line);
    return FileVerdict::written();
}

ContentJob copyJob()
{
    ContentJob job;
    job.transform = copyLines;
    return job;
}

TEST_F(Job, SelectionCheckStopsBeforeAnything)
{
    ws.counters.stChangeCount = 5;
    bool prepared = false;
    ContentJob job = copyJob();
    job.prepare = [&] { prepared = true; };
    EXPECT_EQ(runContentJob(ws, host, fs, job).status, OperationResult::Status::NotSelected);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"没有源文件，请搜索后再试！"});

    host.messages.clear();
    addFile("a.txt", "x", false);
    EXPECT_EQ(runContentJob(ws, host, fs, job).status, OperationResult::Status::NotSelected);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"请先选择文件！"});
    EXPECT_FALSE(prepared);
    EXPECT_FALSE(exists("a.qv.txt"));
    EXPECT_EQ(ws.counters.stChangeCount, 5);
}

TEST_F(Job, RefusalIsShownWithItsFocusAndNothingIsTouched)
{
    addFile("a.txt", "x");
    ws.counters.stChangeCount = 5;
    bool prepared = false;
    ContentJob job = copyJob();
    job.check = [] { return std::optional<Refusal>(Refusal{gbk("不行"), "edtThing"}); };
    job.prepare = [&] { prepared = true; };
    const OperationResult outcome = runContentJob(ws, host, fs, job);
    EXPECT_EQ(outcome.status, OperationResult::Status::Refused);
    EXPECT_EQ(refusalFocus(outcome), "edtThing");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(host.messages[0].text, "不行");
    EXPECT_FALSE(prepared);
    EXPECT_FALSE(exists("a.qv.txt"));
    EXPECT_EQ(ws.counters.stChangeCount, 5);
}

TEST_F(Job, WritesNormalisedLinesBesideEveryMarkedSourceInDisplayOrder)
{
    addFile("crlf.txt", "a\r\nb\r\n");
    addFile("mixed.txt", "a\rb\nc");
    addFile("skip.txt", "unmarked", false);
    addFile("nul.txt", std::string("one\r\ntw\0o\r\nthree", 16));
    addFile("empty.txt", "");
    addFile("README", gbk("中文\n"));
    addFile("a.qv.txt", "again");
    std::vector<std::string> seen;
    ContentJob job = copyJob();
    job.transform = [&](const text::LineList& s, const ContentFile& f, text::LineList& o, Host& h) {
        seen.emplace_back(f.name());
        return copyLines(s, f, o, h);
    };
    ws.counters.stChangeCount = 9;

    const OperationResult outcome = runContentJob(ws, host, fs, job);

    EXPECT_EQ(outcome.status, OperationResult::Status::Done);
    EXPECT_EQ(outcome.processed, 6);
    EXPECT_EQ(ws.counters.stChangeCount, 6);
    EXPECT_EQ(seen, (std::vector<std::string>{"crlf.txt", "mixed.txt", "nul.txt", "empty.txt", "README", "a.qv.txt"}));
    EXPECT_EQ(read("crlf.qv.txt"), "a\r\nb\r\n");
    EXPECT_EQ(read("mixed.qv.txt"), "a\r\nb\r\nc\r\n");
    EXPECT_FALSE(exists("skip.qv.txt"));
    EXPECT_EQ(read("nul.qv.txt"), "one\r\ntw\r\n");
    EXPECT_EQ(read("empty.qv.txt"), "");
    EXPECT_EQ(read("README.qv"), "\xD6\xD0\xCE\xC4\r\n");
    EXPECT_EQ(read("a.qv.qv.txt"), "again\r\n");
    EXPECT_EQ(read("crlf.txt"), "a\r\nb\r\n") << "the source stays";
    EXPECT_EQ(host.eventCalls, 7) << "once per row, marked or not";
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(host.messages[0].text, "成功处理完成,共处理 6 个文件!");
}

TEST_F(Job, UnreadableThirdFileLeavesTwoOutputsAndTheCounterAtTwo)
{
    addFile("1.txt", "one");
    addFile("2.txt", "two");
    addEntry("3.txt");
    addFile("4.txt", "four");
    EXPECT_EQ(testing::runErrorMessage([&] { runContentJob(ws, host, fs, copyJob()); }),
              "Cannot open file " + path("3.txt"));
    EXPECT_EQ(read("1.qv.txt"), "one\r\n");
    EXPECT_EQ(read("2.qv.txt"), "two\r\n");
    EXPECT_FALSE(exists("4.qv.txt"));
    EXPECT_EQ(ws.counters.stChangeCount, 2);
    EXPECT_TRUE(host.messages.empty()) << "no closing message";
}

TEST_F(Job, PrepareErrorEndsTheRunBeforeTheCounterIsReset)
{
    addFile("1.txt", "one");
    ws.counters.stChangeCount = 4;
    ContentJob job = copyJob();
    job.prepare = [] { throw RunError("'x' is not a valid integer value"); };
    EXPECT_THROW(runContentJob(ws, host, fs, job), RunError);
    EXPECT_FALSE(exists("1.qv.txt"));
    EXPECT_EQ(ws.counters.stChangeCount, 4);
}

TEST_F(Job, SkippedFilesAreNotWrittenNorCountedAndAreNamedBehindTheClosingMessage)
{
    addFile("good.txt", "ok");
    addFile("bad.txt", "no");
    addFile("bad2.txt", "no");
    ContentJob job = copyJob();
    job.transform = [](const text::LineList& s, const ContentFile& f, text::LineList& o, Host& h) {
        if (s[0] == "no") return FileVerdict::skipped("not wanted");
        return copyLines(s, f, o, h);
    };
    const OperationResult outcome = runContentJob(ws, host, fs, job);
    EXPECT_EQ(outcome.processed, 1);
    ASSERT_EQ(outcome.skipped.size(), 2u);
    EXPECT_EQ(outcome.skipped[1].path, path("bad2.txt"));
    EXPECT_EQ(outcome.skipped[1].reason, "not wanted");
    EXPECT_FALSE(exists("bad.qv.txt"));
    EXPECT_EQ(ws.counters.stChangeCount, 1);
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"成功处理完成,共处理 1 个文件!\r\n2 个文件未处理"}));
    EXPECT_EQ(host.messages[0].details, path("bad.txt") + "：not wanted\r\n" + path("bad2.txt") + "：not wanted");
}

// An output that would replace a marked source is not written, whichever of
// the two comes first: x.qv.txt stays the user's file.
TEST_F(Job, OutputThatNamesASourceOfTheRunIsNotWritten)
{
    addFile("x.txt", "new");
    addFile("x.qv.txt", "user's own");
    addFile("y.qv.txt", "user's too");
    addEntry("./y.txt");
    writeFile("y.txt", "other");
    const OperationResult outcome = runContentJob(ws, host, fs, copyJob());
    EXPECT_EQ(read("x.qv.txt"), "user's own");
    EXPECT_EQ(read("x.qv.qv.txt"), "user's own\r\n");
    EXPECT_EQ(read("y.qv.txt"), "user's too");
    EXPECT_EQ(outcome.processed, 2);
    ASSERT_EQ(outcome.skipped.size(), 2u);
    EXPECT_EQ(outcome.skipped[0].path, path("x.txt"));
    EXPECT_EQ(testing::utf8(outcome.skipped[0].reason), "输出文件是本次处理的源文件");
    EXPECT_EQ(outcome.skipped[1].path, path("./y.txt"));
}

// A source that shrinks between two blocks gives no output: its last line as
// read would be cut. The file is listed with the reason.
TEST_F(Job, SourceChangedWhileStreamedGetsNoOutput)
{
    std::string big;
    while (big.size() < 3 * streamBlockSize) big += "a line of text\n";
    addFile("big.txt", big);
    addFile("small.txt", "st");
    int blocks = 0;
    host.onProcessEvents = [&] {
        if (++blocks == 3) std::filesystem::resize_file(path("big.txt"), streamBlockSize + 7); // after block 1
    };
    const OperationResult outcome = btnCutClick({"${GetLeft(1)}", true, TemplateLines::All, "1", ""}, ws, host, fs);
    EXPECT_FALSE(exists("big.qv.txt"));
    EXPECT_EQ(read("small.qv.txt"), "s\r\n");
    ASSERT_EQ(outcome.skipped.size(), 1u);
    EXPECT_EQ(outcome.skipped[0].path, path("big.txt"));
    EXPECT_EQ(testing::utf8(outcome.skipped[0].reason), "文件在处理过程中被修改");
    EXPECT_EQ(outcome.processed, 1);
}

TEST(ClosingMessage, CountsFilesOrRecords)
{
    EXPECT_EQ(testing::utf8(closingMessage(0)), "成功处理完成,共处理 0 个文件!");
    EXPECT_EQ(testing::utf8(closingMessage(12, CountUnit::Records)), "成功处理完成,共处理 12 条记录!");
}

// Stopping ends the run between files: the files before the stop keep their
// output, the rest get none, and the closing message counts what was done
// and says how many marked files the stop left.
TEST_F(Job, StopEndsTheRunBetweenFiles)
{
    addFile("a.txt", "1");
    addFile("b.txt", "2");
    addFile("c.txt", "3");
    int calls = 0;
    host.onProcessEvents = [&] { host.stop = ++calls > 2; };
    const OperationResult result = runContentJob(ws, host, fs, copyJob());
    EXPECT_EQ(result.status, OperationResult::Status::Stopped);
    EXPECT_EQ(result.processed, 2);
    EXPECT_TRUE(exists("b.qv.txt"));
    EXPECT_FALSE(exists("c.qv.txt"));
    EXPECT_EQ(host.lastProgress, 2);
    EXPECT_EQ(messageTexts(),
              (std::vector<std::string>{"成功处理完成,共处理 2 个文件!\r\n已停止处理，还有 1 个选中的文件未处理"}));
}

} // namespace
} // namespace qv
