#include "content/content_preview.h"

#include "content/charset_convert.h"
#include "content/line_cut.h"
#include "content/line_delete_extract.h"
#include "content_fixture.h"

namespace qv {
namespace {

using Preview = testing::MemoryContentFixture;

// Counts the bytes read through it, to show that a preview stops reading
// once it has its lines.
class CountingFileSystem final : public testing::MemoryFileSystem {
public:
    std::unique_ptr<FileReader> openForReading(std::string_view path) const override
    {
        class Counting final : public FileReader {
        public:
            Counting(std::unique_ptr<FileReader> inner, std::uint64_t& count) : inner_(std::move(inner)), count_(count)
            { }
            std::uint64_t size() const override { return inner_->size(); }
            std::size_t read(char* buffer, std::size_t capacity) override
            {
                const std::size_t got = inner_->read(buffer, capacity);
                count_ += got;
                return got;
            }
            bool changedSinceOpened() const override { return inner_->changedSinceOpened(); }

        private:
            std::unique_ptr<FileReader> inner_;
            std::uint64_t& count_;
        };
        return std::make_unique<Counting>(MemoryFileSystem::openForReading(path), bytesRead);
    }
    mutable std::uint64_t bytesRead = 0;
};

TEST_F(Preview, ShowsTheFirstLinesOfWhatTheRunWouldWrite)
{
    addFile("a.txt", "abc\ndef\rghi\r\n");
    addFile("a.qv.txt", "an earlier output", false);
    struct Case {
        const char* what;
        ContentJob job;
        std::size_t maxLines;
        std::vector<std::string> lines;
        bool complete;
    };
    const std::vector<Case> cases{
        {"streamed", lineCutJob({"${GetLeft(1)}", true, TemplateLines::All, "1", ""}), 5, {"a", "d", "g"}, true},
        {"streamed, cut short", lineCutJob({"${GetLeft(1)}", true, TemplateLines::All, "1", ""}), 2, {"a", "d"}, false},
        {"whole file",
         lineCutJob({"${GetLeft(2)}", true, TemplateLines::LineNumber, "2", ""}),
         9,
         {"abc", "de", "ghi"},
         true},
        {"lines chosen",
         extractLinesJob({ExtractMode::LineNumbers, "3,1", "2", "1", "", true}),
         9,
         {"ghi", "abc"},
         true},
    };
    for (const Case& c : cases) {
        const ContentPreview preview = previewContentJob(c.job, ws.files, 1, fs, c.maxLines);
        EXPECT_FALSE(preview.refusal) << c.what;
        EXPECT_EQ(preview.outputPath, path("a.qv.txt")) << c.what;
        EXPECT_EQ(preview.lines, c.lines) << c.what;
        EXPECT_EQ(preview.complete, c.complete) << c.what;
    }
    EXPECT_EQ(read("a.qv.txt"), "an earlier output");
}

TEST_F(Preview, RefusalsAndFilesTheRunWouldLeaveAlone)
{
    addFile("x.txt", "\xD6\xD0");
    addFile("x.qv.txt", "\xFF");
    const ContentPreview refused =
        previewContentJob(lineCutJob({"", true, TemplateLines::All, "1", ""}), ws.files, 1, fs, 9);
    ASSERT_TRUE(refused.refusal);
    EXPECT_EQ(testing::utf8(refused.refusal->message), "请输入内容截取格式！");
    const ContentPreview badNumber =
        previewContentJob(lineCutJob({"${GetLeft(1)}", true, TemplateLines::LineNumber, "x", ""}), ws.files, 1, fs, 9);
    ASSERT_TRUE(badNumber.refusal);
    EXPECT_EQ(badNumber.refusal->message, "'x' is not a valid integer value");

    const ContentPreview source = previewContentJob(
        charsetJob(CharsetCall::ToUtf8, fs, std::make_shared<ReplacedCharacterCounts>()), ws.files, 1, fs, 9);
    EXPECT_EQ(testing::utf8(source.skipReason), "输出文件是本次处理的源文件");
    const ContentPreview notUtf8 = previewContentJob(
        charsetJob(CharsetCall::ToAnsi, fs, std::make_shared<ReplacedCharacterCounts>()), ws.files, 2, fs, 9);
    EXPECT_EQ(testing::utf8(notUtf8.skipReason), "不是有效的UTF-8编码");
}

TEST(PreviewReading, StopsOnceItHasItsLines)
{
    CountingFileSystem fs;
    std::string big;
    while (big.size() < 8 * streamBlockSize) big += "0123456789\n";
    fs.addFileWithContent("/big.txt", big);
    FileList files;
    files.append({"big.txt", "", 0, 0, 0});
    files.setMark(1, true);
    const ContentPreview preview =
        previewContentJob(lineCutJob({"${GetLeft(1)}", true, TemplateLines::All, "1", ""}), files, 1, fs, 3);
    EXPECT_EQ(preview.lines, (std::vector<std::string>{"0", "0", "0"}));
    EXPECT_LE(fs.bytesRead, 2 * streamBlockSize);
}

} // namespace
} // namespace qv
