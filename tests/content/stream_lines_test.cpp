#include "content/content_job.h"
#include "content/file_combine.h"
#include "content/insert_new_lines.h"
#include "content/line_cut.h"
#include "content/line_delete_extract.h"
#include "content/line_insert.h"
#include "content/line_pattern.h"
#include "content_fixture.h"
#include "platform/file_io.h"
#include "text/line_list.h"

#include <filesystem>
#include <functional>
#include <random>

namespace qv {
namespace {

using Streaming = testing::ContentFixture;

// Random text made to hit the scanner's edges: breaks of every kind, NUL,
// GBK lead bytes with and without a valid second byte, field separators,
// blank lines and lines much longer than a small block.
std::string randomText(std::mt19937& random)
{
    static const std::string alphabet = "aaaabbR;;: \t\r\r\n\n\n\x81\xB0\xA1\xFF";
    std::string text;
    const std::size_t length = random() % 400;
    for (std::size_t i = 0; i < length; ++i) {
        if (random() % 200 == 0)
            text += '\0';
        else if (random() % 100 == 0)
            text += std::string(random() % 90, 'z');
        else
            text += alphabet[random() % alphabet.size()];
    }
    return text;
}

struct NamedJob {
    const char* name;
    std::function<ContentJob()> make;
};

TEST_F(Streaming, GivesWhatTheTransformGivesOverTheWholeFileForAnyBlockSize)
{
    RandomIndex picks(3);
    const NamedJob jobs[] = {
        {"cut rest",
         [] {
             return lineCutJob({"${GetMid(2,3)}", false, TemplateLines::All, "1", ""});
         }},
        {"cut piece with text",
         [] {
             return lineCutJob({"${GetLeft(2)}", true, TemplateLines::WithText, "1", ""});
         }},
        {"cut keyword",
         [] {
             return lineCutJob({"${GetRight(1)}", true, TemplateLines::Keyword, "1", "a"});
         }},
        {"insert",
         [] {
             return lineInsertJob({"${AddLeft(x)}", TemplateLines::All, "1", ""});
         }},
        {"insert serial",
         [] {
             return lineInsertJob({"${AddLeft(${Sn(7,3)}-)}", TemplateLines::WithText, "1", ""});
         }},
        {"delete interval",
         [] {
             return deleteLinesJob({DeleteMode::Interval, "1", "3", "2", ""});
         }},
        {"delete keyword",
         [] {
             return deleteLinesJob({DeleteMode::Keywords, "1", "2", "1", "R"});
         }},
        {"delete blank",
         [] {
             return deleteLinesJob({DeleteMode::BlankLines, "1", "2", "1", ""});
         }},
        {"extract interval",
         [] {
             return extractLinesJob({ExtractMode::Interval, "1", "2", "1", "", false});
         }},
        {"extract keyword",
         [] {
             return extractLinesJob({ExtractMode::Keywords, "1", "2", "1", "b", true});
         }},
        {"pattern",
         [] {
             return linePatternJob({"$2-$1|$3", "$", "3"});
         }},
        {"new lines",
         [&] {
             return insertNewLinesJob({"N\\r\\n${Filename}", "", NewLineMode::Interval, "0", "2", "1", ""}, picks);
         }},
    };
    std::mt19937 random(11);
    for (int round = 0; round < 12; ++round) {
        const std::string bytes = randomText(random);
        addFile("in.txt", bytes);
        const ContentFile file{ws.files, ws.files.lastRow(), path("in.txt")};
        const text::LineList lines = text::LineList::fromBytes(bytes);
        for (const NamedJob& named : jobs) {
            for (const std::size_t blockSize :
                 {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, std::size_t{64}, streamBlockSize}) {
                ContentJob whole = named.make();
                whole.prepare();
                const LineTransform reference = whole.perLine(file);
                ASSERT_TRUE(reference) << named.name;
                std::string expected;
                for (const std::string_view line : lines) reference(line, expected);

                ContentJob streamed = named.make();
                streamed.prepare();
                PosixAtomicFileWriter writer(path("out.txt"));
                ASSERT_TRUE(streamLines(fs, path("in.txt"), streamed.perLine(file), writer, host, blockSize));
                writer.commit();
                EXPECT_EQ(read("out.txt"), expected) << named.name << ", block " << blockSize << ", round " << round;
            }
        }
    }
}

TEST_F(Streaming, CombineWritesEveryFileAsItsLines)
{
    std::mt19937 random(5);
    std::string expected;
    for (int i = 0; i < 9; ++i) {
        const std::string bytes = randomText(random);
        addFile("f" + std::to_string(i) + ".txt", bytes);
        expected += text::joinLines(text::LineList::fromBytes(bytes));
    }
    btnFileCombineClick({}, ws, host, fs);
    EXPECT_EQ(read("f8.qv.txt"), expected);
    EXPECT_EQ(ws.counters.stChangeCount, 9);
}

// Asks to stop from the given event on.
class StoppingHost : public testing::RecordingHost {
public:
    explicit StoppingHost(long stopAt) : stopAt_(stopAt) { }
    bool stopRequested() override { return eventCalls >= stopAt_; }

private:
    long stopAt_;
};

TEST_F(Streaming, FileStoppedPartWayGetsNoOutputAndIsNotCounted)
{
    addFile("a.txt", "1\r\n2\r\n");
    addFile("b.txt", "3\r\n");
    // Events: row a, before its block, before its end: the stop comes there.
    StoppingHost stopping(3);
    const OperationResult cut = btnCutClick({"${GetLeft(1)}", true, TemplateLines::All, "1", ""}, ws, stopping, fs);
    EXPECT_EQ(cut.status, OperationResult::Status::Stopped);
    EXPECT_EQ(cut.processed, 0);
    EXPECT_EQ(ws.counters.stChangeCount, 0);

    StoppingHost stoppingCombine(6); // row a, its block and end, row b, its block: stopped within b
    const OperationResult combine = btnFileCombineClick({}, ws, stoppingCombine, fs);
    EXPECT_EQ(combine.status, OperationResult::Status::Stopped);
    EXPECT_EQ(ws.counters.stChangeCount, 0);

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path("")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.txt"})) << "no output, no temporary left";
}

} // namespace
} // namespace qv
