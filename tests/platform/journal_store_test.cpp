#include "platform/journal_store.h"

#include "support/gbk.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <regex>
#include <sys/stat.h>
#include <thread>

namespace qv::testing {
namespace {

using Code = JournalStatus::Code;

class PosixJournalStoreTest : public FolderTest {
protected:
    PosixJournalStoreTest() : FolderTest("journal") { }
    void SetUp() override
    {
        FolderTest::SetUp();
        // With no umask the modes seen are exactly those the store asks for.
        oldMask_ = ::umask(0);
    }
    void TearDown() override
    {
        ::umask(oldMask_);
        FolderTest::TearDown();
    }
    std::string at(const std::string& relative) const { return (folder_ / relative).string(); }
    static unsigned mode(const std::string& path)
    {
        struct stat st { };
        return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }

private:
    mode_t oldMask_ = 0;
};

TEST_F(PosixJournalStoreTest, AppendsReadsAndReplaces)
{
    PosixJournalStore store(at("data/qorvane/journal"));
    std::string bytes = "stale";
    EXPECT_TRUE(store.read(bytes).ok());
    EXPECT_EQ(bytes, "");
    EXPECT_FALSE(std::filesystem::exists(at("data"))); // reading creates nothing

    EXPECT_TRUE(store.append("one", "HDR").ok());
    EXPECT_TRUE(store.append("two", "HDR").ok());
    EXPECT_TRUE(store.read(bytes).ok());
    EXPECT_EQ(bytes, "HDRonetwo");
    EXPECT_EQ(mode(at("data")), 0700u);
    EXPECT_EQ(mode(at("data/qorvane")), 0700u);
    EXPECT_EQ(mode(at("data/qorvane/journal")), 0600u);
    EXPECT_EQ(mode(at("data/qorvane/journal.lock")), 0600u);

    std::string seen;
    EXPECT_TRUE(store
                    .rewrite([&](std::string_view current) {
                        seen = current;
                        return std::optional<std::string>("HDRtwo");
                    })
                    .ok());
    EXPECT_EQ(seen, "HDRonetwo");
    EXPECT_TRUE(store.rewrite([](std::string_view) { return std::optional<std::string>(); }).ok());
    EXPECT_TRUE(store.read(bytes).ok());
    EXPECT_EQ(bytes, "HDRtwo");
    EXPECT_EQ(mode(at("data/qorvane/journal")), 0600u);
    EXPECT_FALSE(std::filesystem::exists(at("data/qorvane/journal.new")));
}

TEST_F(PosixJournalStoreTest, FailuresAreReportedNotThrown)
{
    write("file", "x");
    PosixJournalStore underFile(at("file/qorvane/journal"));
    const JournalStatus status = underFile.append("one", "HDR");
    EXPECT_EQ(status.code, Code::CannotCreateFolder);
    EXPECT_EQ(utf8(journalStatusMessage(status)), "撤销记录无法写入：无法创建文件夹（Not a directory）");

    std::filesystem::create_directories(at("folder"));
    PosixJournalStore folderAsJournal(at("folder"));
    std::string bytes;
    EXPECT_EQ(folderAsJournal.read(bytes).code, Code::ForeignFile);
    EXPECT_EQ(folderAsJournal.append("one", "HDR").code, Code::CannotOpen);
    EXPECT_EQ(utf8(journalStatusMessage(folderAsJournal.read(bytes))), "撤销记录无法写入：该位置的文件不是撤销记录");
}

TEST_F(PosixJournalStoreTest, NoAppendIsLostToAConcurrentRewrite)
{
    // Two stores of one journal, as a window and a command line would have:
    // every rewrite renames a new file into place, and an append made to
    // the file it replaced would be lost.
    const std::string path = at("journal");
    PosixJournalStore appender(path);
    PosixJournalStore rewriter(path);
    std::thread rewrites([&] {
        for (int i = 0; i < 20; ++i)
            rewriter.rewrite([](std::string_view current) { return std::optional<std::string>(current); });
    });
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(appender.append(std::string(10, 'a'), "H").ok());
    rewrites.join();
    std::string bytes;
    EXPECT_TRUE(appender.read(bytes).ok());
    EXPECT_EQ(bytes, "H" + std::string(1000, 'a'));
}

TEST(JournalPath, FromTheEnvironment)
{
    struct Case {
        const char* xdgDataHome;
        const char* home;
        std::optional<std::string> path;
    } cases[] = {
        {nullptr, "/home/u", "/home/u/.local/share/qorvane/journal"},
        {"/data", "/home/u", "/data/qorvane/journal"},
        {"relative", "/home/u", "/home/u/.local/share/qorvane/journal"},
        {"", "/home/u", "/home/u/.local/share/qorvane/journal"},
        {"/data", nullptr, "/data/qorvane/journal"},
        {nullptr, "relative", std::nullopt},
        {nullptr, nullptr, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(journalPathFor(c.xdgDataHome, c.home), c.path)
            << (c.xdgDataHome ? c.xdgDataHome : "-") << " " << (c.home ? c.home : "-");
}

TEST(RunId, UniqueWithinTheProcess)
{
    const std::string first = newRunId();
    const std::string second = newRunId();
    EXPECT_NE(first, second);
    EXPECT_TRUE(std::regex_match(first, std::regex("[0-9]{10,}-[0-9]+-[0-9]+"))) << first;
}

} // namespace
} // namespace qv::testing
