#include "undo/journal_writer.h"

#include "memory_journal_store.h"

#include <gtest/gtest.h>

namespace qv::testing {
namespace {

using Code = JournalStatus::Code;

const RunBeginRecord header{"rename", FileTime(std::chrono::seconds(1700000000)), 28800, {{"template", "x"}}};

std::vector<std::string> kinds(const std::string& bytes)
{
    static const char* names[] = {"begin", "rename", "times", "attributes", "output", "undo", "end"};
    std::vector<std::string> out;
    for (const JournalRecord& r : readJournal(bytes).records) out.push_back(r.runId + ":" + names[r.body.index()]);
    return out;
}

// A writer on an empty journal held in memory, with the default bounds.
class JournalWriterTest : public ::testing::Test {
protected:
    MemoryJournalStore store;
    JournalWriter writer{store};
};

TEST_F(JournalWriterTest, RecordsReachTheStoreOnlyAtFlushAndEnd)
{
    writer.beginRun("r1", header);
    writer.addRename("a", "b");
    writer.add(TimesRecord{"c", FileTime{}, FileTime{}, std::nullopt});
    EXPECT_EQ(writer.buffered(), 2u);
    EXPECT_EQ(store.appends, 0);

    EXPECT_TRUE(writer.flush().ok());
    EXPECT_EQ(store.appends, 1);
    EXPECT_EQ(writer.buffered(), 0u);
    EXPECT_EQ(kinds(store.bytes), (std::vector<std::string>{"r1:begin", "r1:rename", "r1:times"}));
    EXPECT_TRUE(writer.flush().ok());
    EXPECT_EQ(store.appends, 1); // nothing buffered, nothing written

    writer.add(OutputRecord{"d", 3, FileTime{}, 7, false});
    EXPECT_TRUE(writer.endRun().ok());
    EXPECT_EQ(store.appends, 3);
    EXPECT_EQ(kinds(store.bytes),
              (std::vector<std::string>{"r1:begin", "r1:rename", "r1:times", "r1:output", "r1:end"}));
    const RunHistory history = readRunHistory(store.bytes);
    ASSERT_EQ(history.runs.size(), 1u);
    EXPECT_EQ(history.runs[0].header, header);
    EXPECT_EQ(history.runs[0].state, RunState::Done);
}

TEST_F(JournalWriterTest, RunWithoutChangesLeavesNothing)
{
    writer.beginRun("r1", header);
    EXPECT_TRUE(writer.flush().ok());
    EXPECT_TRUE(writer.endRun().ok());
    EXPECT_EQ(store.bytes, "");
    EXPECT_EQ(store.appends, 0);
}

TEST_F(JournalWriterTest, UndoRunNamesItsTarget)
{
    writer.beginRun("r1", header);
    writer.addRename("a", "b");
    writer.endRun();
    writer.beginRun("u1", RunBeginRecord{"undo", FileTime{}, 0, {}}, "r1");
    writer.addRename("b", "a");
    EXPECT_TRUE(writer.endRun().ok());
    const RunHistory history = readRunHistory(store.bytes);
    ASSERT_EQ(history.runs.size(), 2u);
    EXPECT_EQ(history.runs[0].undoes, "r1");
    EXPECT_EQ(history.runs[1].state, RunState::Undone);
}

TEST_F(JournalWriterTest, TornTailIsCutOffBeforeTheFirstRecords)
{
    writer.beginRun("old", header);
    writer.addRename("a", "b");
    writer.flush();
    const std::size_t whole = store.bytes.size();
    store.bytes += std::string("\x40\0\0\0\x12\x34", 6); // a power cut in the next append

    writer.beginRun("new", header);
    writer.addRename("c", "d");
    EXPECT_TRUE(writer.endRun().ok());
    ASSERT_TRUE(writer.repairedDamage());
    EXPECT_EQ(*writer.repairedDamage(), (JournalDamage{whole, JournalDamageKind::Truncated}));
    const RunHistory history = readRunHistory(store.bytes);
    EXPECT_FALSE(history.damage);
    ASSERT_EQ(history.runs.size(), 2u);
    EXPECT_EQ(history.runs[0].id, "new");
    EXPECT_EQ(history.runs[1].state, RunState::Interrupted);
}

TEST_F(JournalWriterTest, ForeignFileIsNeverWritten)
{
    store.bytes = "my notes\n";
    writer.beginRun("r1", header);
    writer.addRename("a", "b");
    EXPECT_EQ(writer.flush().code, Code::ForeignFile);
    writer.addRename("c", "d");
    EXPECT_EQ(writer.endRun().code, Code::ForeignFile);
    EXPECT_EQ(store.bytes, "my notes\n");
    EXPECT_EQ(store.appends, 0);
}

TEST_F(JournalWriterTest, FirstFailureStays)
{
    writer.beginRun("r1", header);
    writer.addRename("a", "b");
    EXPECT_TRUE(writer.flush().ok());
    store.failWith = Code::CannotWrite;
    writer.addRename("c", "d");
    const JournalStatus failed = writer.flush();
    EXPECT_EQ(failed.code, Code::CannotWrite);
    EXPECT_EQ(failed.systemError, 28);
    store.failWith = Code::Ok;
    writer.addRename("e", "f");
    EXPECT_EQ(writer.buffered(), 0u);
    EXPECT_EQ(writer.endRun().code, Code::CannotWrite);
    EXPECT_EQ(writer.status().code, Code::CannotWrite);
    EXPECT_EQ(store.appends, 2);
    EXPECT_EQ(kinds(store.bytes), (std::vector<std::string>{"r1:begin", "r1:rename"}));
}

TEST(JournalWriter, EndOfRunTrimsTheOldestRuns)
{
    MemoryJournalStore store;
    JournalWriter writer(store, JournalBounds{2, 1 << 20});
    for (const char* id : {"r1", "r2", "r3"}) {
        writer.beginRun(id, header);
        writer.addRename("a", "b");
        EXPECT_TRUE(writer.endRun().ok());
    }
    EXPECT_EQ(store.rewrites, 1); // only the third run found the journal full
    const RunHistory history = readRunHistory(store.bytes);
    ASSERT_EQ(history.runs.size(), 2u);
    EXPECT_EQ(history.runs[0].id, "r3");
    EXPECT_EQ(history.runs[1].id, "r2");
}

} // namespace
} // namespace qv::testing
