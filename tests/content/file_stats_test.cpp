#include "content/file_stats.h"

#include "content_fixture.h"
#include "support/run_error_message.h"
#include "text/run_error.h"

namespace qv {
namespace {

using testing::gbk;
using testing::utf8;
CONTENT_TEST_SUITES(Stats);

TEST_F(StatsInMemory, CountsTable)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::int64_t size, all, empty, data, max, min, ave;
    };
    const Case cases[] = {
        {"worked example", "ab\r\n\r\nabcd\r\n", 12, 3, 1, 2, 4, 2, 6},
        {"empty file", "", 0, 0, 0, 0, 0, 50, 0},
        {"one line without break", "abc", 3, 1, 0, 1, 3, 3, 3},
        {"all data lines longer than 50", std::string(60, 'x') + "\r\n" + std::string(70, 'y') + "\r\n", 134, 2, 0, 2,
         70, 50, 67},
        {"two Chinese characters count 4 bytes", gbk("中文"), 4, 1, 0, 1, 4, 4, 4},
        {"lone CR between two texts", "ab\rcd", 5, 2, 0, 2, 2, 2, 2},
        {"blank line is a data line", "  \n\n", 4, 2, 1, 1, 2, 2, 4},
        {"text after NUL not counted as lines", std::string("ab\r\ncd\0ef\r\n", 11), 11, 2, 0, 2, 2, 2, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ws.files.clear();
        host.messages.clear();
        addFile("s.txt", c.bytes);
        const std::optional<FileStats> stats = btnFileInfoClick({1}, ws, host, fs);
        ASSERT_TRUE(stats);
        EXPECT_EQ(stats->edtFileSize, c.size);
        EXPECT_EQ(stats->edtAllLine, c.all);
        EXPECT_EQ(stats->edtEmptyLine, c.empty);
        EXPECT_EQ(stats->edtDataLine, c.data);
        EXPECT_EQ(stats->edtCharMax, c.max);
        EXPECT_EQ(stats->edtCharMin, c.min);
        EXPECT_EQ(stats->edtCharAve, c.ave);
        EXPECT_EQ(stats->edtFilename, path("s.txt"));
        EXPECT_EQ(messageTexts(), std::vector<std::string>{"成功统计完成!"});
        EXPECT_EQ(host.messages[0].kind, MessageKind::Information);
    }
}

TEST_F(Stats, OnlyTheCurrentRowCounts)
{
    addFile("a.txt", "a\r\n");
    addFile("b.txt", "bb\r\nbb\r\n", false);
    addFile("c.txt", "ccc\r\n");
    EXPECT_FALSE(btnFileInfoClick({2}, ws, host, fs));
    EXPECT_FALSE(btnFileInfoClick({0}, ws, host, fs));
    EXPECT_FALSE(btnFileInfoClick({9}, ws, host, fs));
    const auto stats = btnFileInfoClick({3}, ws, host, fs);
    ASSERT_TRUE(stats);
    EXPECT_EQ(stats->edtCharMax, 3);
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"请选择需要进行统计的文件！", "请选择需要进行统计的文件！",
                                                        "请选择需要进行统计的文件！", "成功统计完成!"}));
    EXPECT_EQ(host.messages[0].kind, MessageKind::Error);
}

TEST_F(Stats, SelectionCheckAndUnreadableFile)
{
    EXPECT_FALSE(btnFileInfoClick({1}, ws, host, fs));
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"没有源文件，请搜索后再试！"});
    addEntry("missing.txt");
    EXPECT_EQ(testing::runErrorMessage([&] { btnFileInfoClick({1}, ws, host, fs); }),
              "Cannot open file " + path("missing.txt"));
    EXPECT_EQ(host.messages.size(), 1u);
}

} // namespace
} // namespace qv
