#include "undo/run_history.h"

#include "journal_builder.h"

#include <gtest/gtest.h>

namespace qv::testing {
namespace {

using Strings = std::vector<std::string>;

Strings idsAndStates(const RunHistory& history)
{
    Strings out;
    for (const JournalRun& run : history.runs) out.push_back(run.id + " " + std::string(runStateName(run.state)));
    return out;
}

TEST(RunHistory, StatesNewestFirst)
{
    Journal j;
    j.begin("done").rename("done", "a", "b").end("done");
    j.begin("cut").rename("cut", "c", "d");
    j.begin("taken").rename("taken", "e", "f").end("taken");
    j.undo("u1", "taken").rename("u1", "f", "e").end("u1");
    j.begin("half").rename("half", "g", "h").end("half");
    j.undo("u2", "half").rename("u2", "h", "g"); // the undo was killed: its run stays done
    j.begin("redone").rename("redone", "i", "j").end("redone");
    j.undo("u3", "redone").end("u3");
    j.undo("u4", "u3").end("u4"); // taking back the undo makes its run done again
    const RunHistory history = readRunHistory(j.bytes());
    EXPECT_EQ(idsAndStates(history), (Strings{"u4 done", "u3 undone", "redone done", "u2 interrupted", "half done",
                                              "u1 done", "taken undone", "cut interrupted", "done done"}));
    EXPECT_EQ(history.runs[1].undoes, "redone");
    EXPECT_FALSE(history.runs[2].undoes);
    EXPECT_FALSE(history.damage);
}

TEST(RunHistory, UndoMarkersNamingNoEarlierRunChangeNothing)
{
    Journal j;
    j.undo("u1", "later").end("u1");
    j.begin("later").end("later");
    j.undo("u2", "missing").end("u2");
    EXPECT_EQ(idsAndStates(readRunHistory(j.bytes())), (Strings{"u2 done", "later done", "u1 done"}));
}

TEST(RunHistory, FileCountFollowsFilesThroughTemporaryNames)
{
    struct Case {
        const char* what;
        Journal journal;
        std::size_t files;
    } cases[] = {
        {"swap through a temporary",
         Journal().begin("r").rename("r", "A", "t").rename("r", "B", "A").rename("r", "t", "B"), 2},
        {"shift of three", Journal().begin("r").rename("r", "C", "D").rename("r", "B", "C").rename("r", "A", "B"), 3},
        {"outputs, one written twice", Journal().begin("r").output("r", "x").output("r", "y").output("r", "x"), 2},
        {"nothing", Journal().begin("r").end("r"), 0},
    };
    for (const Case& c : cases) {
        const RunHistory history = readRunHistory(c.journal.bytes());
        ASSERT_EQ(history.runs.size(), 1u) << c.what;
        EXPECT_EQ(history.runs[0].fileCount, c.files) << c.what;
    }
}

TEST(RunHistory, RecordsOutsideTheirRunAreIgnored)
{
    Journal j;
    j.rename("r", "before", "begin"); // no RunBegin yet
    j.begin("r", "first").rename("r", "a", "b").end("r");
    j.rename("r", "after", "end");
    j.begin("r", "again"); // a second RunBegin of the same id
    j.rename("other", "x", "y");
    const RunHistory history = readRunHistory(j.bytes());
    ASSERT_EQ(history.runs.size(), 1u);
    EXPECT_EQ(history.runs[0].header.operation, "first");
    EXPECT_EQ(history.runs[0].changes, (std::vector<FileRecord>{RenameRecord{"a", "b", std::nullopt}}));
    EXPECT_EQ(history.runs[0].state, RunState::Done);
}

TEST(RunHistory, InterleavedRunsKeepTheirOwnRecords)
{
    Journal j;
    j.begin("w").begin("c").rename("w", "a", "b").rename("c", "x", "y").rename("w", "b", "c").end("c");
    const RunHistory history = readRunHistory(j.bytes());
    EXPECT_EQ(idsAndStates(history), (Strings{"c done", "w interrupted"}));
    EXPECT_EQ(history.runs[1].changes,
              (std::vector<FileRecord>{RenameRecord{"a", "b", std::nullopt}, RenameRecord{"b", "c", std::nullopt}}));
}

TEST(RunHistory, DamagedJournalKeepsTheRunsBefore)
{
    Journal j;
    j.begin("a").rename("a", "x", "y").end("a").begin("b").rename("b", "p", "q");
    std::string bytes = j.bytes();
    bytes.resize(bytes.size() - 3);
    const RunHistory history = readRunHistory(bytes);
    EXPECT_EQ(idsAndStates(history), (Strings{"b interrupted", "a done"}));
    EXPECT_TRUE(history.runs[0].changes.empty());
    ASSERT_TRUE(history.damage);
    EXPECT_EQ(history.damage->kind, JournalDamageKind::Truncated);
}

TEST(RunHistory, NewestUndoableSkipsUndoneRunsAndUndos)
{
    Journal j;
    j.begin("old").end("old");
    j.begin("new").end("new");
    j.undo("u", "new").end("u");
    const RunHistory history = readRunHistory(j.bytes());
    ASSERT_NE(newestUndoable(history), nullptr);
    EXPECT_EQ(newestUndoable(history)->id, "old");
    EXPECT_EQ(findRun(history, "u")->undoes, "new");
    EXPECT_EQ(findRun(history, "none"), nullptr);
    EXPECT_EQ(newestUndoable(readRunHistory(Journal().undo("u", "x").end("u").bytes())), nullptr);
}

TEST(RunHistory, RunTimesInTheirOwnZone)
{
    struct Case {
        FileTime time;
        std::int32_t offset;
        const char* text;
    } cases[] = {
        {seconds(0), 0, "1970-01-01 00:00:00"},
        {seconds(1700000000) + std::chrono::milliseconds(999), 8 * 3600, "2023-11-15 06:13:20"},
        {seconds(1700000000), -5 * 3600, "2023-11-14 17:13:20"},
        {FileTime(std::chrono::nanoseconds(-1)), 0, "1969-12-31 23:59:59"},
        {seconds(951782400), 0, "2000-02-29 00:00:00"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatRunTime(c.time, c.offset), c.text) << c.text;
}

// A journal of runs r0, r1, ... each with `renames` records.
std::string runsOf(int count, int renames = 1)
{
    Journal j;
    for (int i = 0; i < count; ++i) {
        const std::string id = "r" + std::to_string(i);
        j.begin(id);
        for (int k = 0; k < renames; ++k) j.rename(id, "a", "b");
        j.end(id);
    }
    return j.bytes();
}

Strings runIds(std::string_view bytes)
{
    Strings ids;
    for (const JournalRun& run : readRunHistory(bytes).runs) ids.push_back(run.id);
    return ids;
}

TEST(JournalTrimming, DropsTheOldestRunsBeyondTheBounds)
{
    // Each run of runsOf(3) takes 41 (RunBegin) + 30 (rename) + 15 (RunEnd) = 86 bytes.
    struct Case {
        const char* what;
        std::string bytes;
        JournalBounds bounds;
        std::string keep;
        std::optional<Strings> left; // nothing: unchanged
    } cases[] = {
        {"within both bounds", runsOf(3), {3, 4 + 3 * 86}, "r2", std::nullopt},
        {"one run too many", runsOf(4), {3, 1 << 20}, "r3", Strings{"r3", "r2", "r1"}},
        {"one byte over the size", runsOf(3), {100, 4 + 3 * 86 - 1}, "r2", Strings{"r2", "r1"}},
        {"size allows one run", runsOf(3), {100, 4 + 86}, "r2", Strings{"r2"}},
        {"over the size, a quarter is freed", runsOf(4), {100, 4 + 4 * 86 - 1}, "r3", Strings{"r3", "r2"}},
        {"the run that ended is kept over the size", runsOf(2, 50), {100, 100}, "r1", Strings{"r1"}},
        {"the kept run need not be the newest", runsOf(3), {1, 1 << 20}, "r0", Strings{"r0"}},
        {"foreign file", "QVJ2" + runsOf(3).substr(4), {1, 10}, "r2", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> trimmed = trimJournalBytes(c.bytes, c.bounds, c.keep);
        ASSERT_EQ(trimmed.has_value(), c.left.has_value()) << c.what;
        if (trimmed) {
            EXPECT_EQ(runIds(*trimmed), *c.left) << c.what;
            EXPECT_FALSE(readJournal(*trimmed).damage) << c.what;
        }
    }

    // The default bounds: the last 100 runs.
    const std::optional<std::string> trimmed = trimJournalBytes(runsOf(105), {}, "r104");
    ASSERT_TRUE(trimmed);
    const Strings ids = runIds(*trimmed);
    ASSERT_EQ(ids.size(), 100u);
    EXPECT_EQ(ids.front(), "r104");
    EXPECT_EQ(ids.back(), "r5");
    EXPECT_FALSE(trimJournalBytes(runsOf(100), {}, "r99"));
}

TEST(JournalTrimming, KeepsInterleavedRecordsAndDropsStrayOnes)
{
    Journal j;
    j.begin("old").begin("new").rename("old", "a", "b").rename("new", "x", "y").rename("stray", "p", "q");
    j.end("old").end("new");
    std::string bytes = j.bytes() + "torn";
    const std::optional<std::string> trimmed = trimJournalBytes(bytes, {1, 1 << 20}, "new");
    ASSERT_TRUE(trimmed);
    const JournalContents read = readJournal(*trimmed);
    EXPECT_FALSE(read.damage);
    ASSERT_EQ(read.records.size(), 3u);
    for (const JournalRecord& record : read.records) EXPECT_EQ(record.runId, "new");
    EXPECT_EQ(read.records[1].body, (RecordBody{RenameRecord{"x", "y", std::nullopt}}));
}

} // namespace
} // namespace qv::testing
