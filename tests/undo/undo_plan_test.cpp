#include "undo/undo_plan.h"

#include "journal_builder.h"
#include "support/gbk.h"
#include "support/memory_file_system.h"
#include "undo/content_hash.h"

#include <gtest/gtest.h>

namespace qv::testing {
namespace {

using Strings = std::vector<std::string>;

FileTime ns(std::int64_t count)
{
    return FileTime(std::chrono::nanoseconds(count));
}

JournalRun runOf(std::vector<FileRecord> changes, bool ended = true)
{
    JournalRun run;
    run.id = "r1";
    run.changes = std::move(changes);
    run.ended = ended;
    run.state = ended ? RunState::Done : RunState::Interrupted;
    return run;
}

RenameRecord rename(const std::string& from, const std::string& to, std::optional<FileIdentity> identity = {})
{
    return {"/d/" + from, "/d/" + to, identity};
}

std::string shortName(const std::string& path)
{
    return path.substr(3);
}

// One line per step: what it does and its status.
Strings describe(const UndoPlan& plan)
{
    static const char* statuses[] = {"ready", "nothing", "taken", "notfound", "changed", "unreadable", "notrestorable"};
    Strings out;
    for (const UndoStep& s : plan.steps) {
        std::string what;
        switch (s.action) {
        case UndoAction::RenameBack: what = shortName(s.path) + ">" + shortName(s.oldPath); break;
        case UndoAction::RestoreTimes: what = "times " + shortName(s.path); break;
        case UndoAction::RestoreAttributes: what = "attributes " + shortName(s.path); break;
        case UndoAction::RemoveOutput: what = "remove " + shortName(s.path); break;
        }
        out.push_back(what + " " + statuses[static_cast<int>(s.status)]);
    }
    return out;
}

class UndoPlanTest : public ::testing::Test {
protected:
    void file(const std::string& name, const std::string& content) { fs.addFileWithContent("/d/" + name, content); }
    // "name=content" for every file in /d, by name.
    Strings files() const
    {
        Strings out;
        for (const std::string& path : fs.paths())
            if (path.starts_with("/d/")) out.push_back(shortName(path) + "=" + fs.content(path).value_or("?"));
        return out;
    }
    Strings undo(const JournalRun& run)
    {
        const UndoPlan plan = planUndo(run, fs);
        applyUndo(plan, fs);
        return describe(plan);
    }

    MemoryFileSystem fs;
};

TEST_F(UndoPlanTest, RenamesGoBackNewestFirst)
{
    file("b", "1");
    file("d", "22");
    const UndoPlan plan = planUndo(runOf({rename("a", "b"), rename("c", "d")}), fs);
    EXPECT_EQ(describe(plan), (Strings{"d>c ready", "b>a ready"}));
    const auto redo = std::get<RenameRecord>(plan.steps[0].redo.value());
    EXPECT_EQ(redo.oldPath, "/d/d");
    EXPECT_EQ(redo.newPath, "/d/c");
    EXPECT_EQ(redo.identity->size, 2u);
    EXPECT_EQ(redo.identity->fileNumber, fs.stat("/d/d")->fileNumber);
    EXPECT_EQ(applyUndo(plan, fs), (std::vector<std::optional<FsStatus>>{FsStatus::Ok, FsStatus::Ok}));
    EXPECT_EQ(files(), (Strings{"a=1", "c=22"}));
}

TEST_F(UndoPlanTest, RenameBackNeverOverwrites)
{
    struct Case {
        Strings before;
        const char* step;
        Strings after;
    } cases[] = {
        {{"b"}, "b>a ready", {"a=b"}},
        {{"a", "b"}, "b>a taken", {"a=a", "b=b"}},
        {{}, "b>a notfound", {}},
        {{"a"}, "b>a nothing", {"a=a"}},
    };
    for (const Case& c : cases) {
        fs = MemoryFileSystem();
        for (const std::string& name : c.before) file(name, name);
        EXPECT_EQ(undo(runOf({rename("a", "b")})), Strings{c.step}) << c.step;
        EXPECT_EQ(files(), c.after) << c.step;
    }
}

TEST_F(UndoPlanTest, CaseOnlyRenameIsLeftToTheFileSystem)
{
    // On a case-sensitive file system both names may exist as two files:
    // the rename back is tried, and refused.
    file("a.txt", "old");
    file("A.txt", "new");
    const UndoPlan plan = planUndo(runOf({rename("a.txt", "A.txt")}), fs);
    EXPECT_EQ(describe(plan), Strings{"A.txt>a.txt ready"});
    EXPECT_EQ(applyUndo(plan, fs), (std::vector<std::optional<FsStatus>>{FsStatus::AlreadyExists}));
    EXPECT_EQ(files(), (Strings{"A.txt=new", "a.txt=old"}));
}

TEST_F(UndoPlanTest, SwapKilledAtAnyMomentComesBack)
{
    // A and B swap names through T; each record carries what the journal
    // records of its file. Files of one size and time are told apart by
    // their file numbers alone.
    struct Case {
        std::size_t made;
        bool ended;
        Strings steps;
    } cases[] = {
        {0, false, {"B>T nothing", "A>B nothing", "T>A nothing"}},
        {1, false, {"B>T nothing", "A>B nothing", "T>A ready"}},
        {2, false, {"B>T nothing", "A>B ready", "T>A ready"}},
        {3, false, {"B>T ready", "A>B ready", "T>A ready"}},
        {3, true, {"B>T ready", "A>B ready", "T>A ready"}},
    };
    for (const char* contentOfB : {"bbb", "bb"}) {
        for (const Case& c : cases) {
            fs = MemoryFileSystem();
            file("A", "aa");
            file("B", contentOfB);
            const FileIdentity a = identityOf(*fs.stat("/d/A")), b = identityOf(*fs.stat("/d/B"));
            const std::vector<FileRecord> swap = {rename("A", "T", a), rename("B", "A", b), rename("T", "B", a)};
            for (std::size_t i = 0; i < c.made; ++i) {
                const auto& r = std::get<RenameRecord>(swap[i]);
                ASSERT_EQ(fs.renameNoReplace(r.oldPath, r.newPath), FsStatus::Ok);
            }
            EXPECT_EQ(undo(runOf(swap, c.ended)), c.steps) << contentOfB << " " << c.made;
            EXPECT_EQ(files(), (Strings{"A=aa", "B=" + std::string(contentOfB)})) << contentOfB << " " << c.made;
        }
    }
}

TEST_F(UndoPlanTest, ShiftKilledAtAnyMomentComesBack)
{
    // 1, 2, 3 become 2, 3, 4, the last first; no identities recorded.
    const std::vector<FileRecord> shift = {rename("3", "4"), rename("2", "3"), rename("1", "2")};
    struct Case {
        std::size_t made;
        Strings steps;
    } cases[] = {
        {0, {"2>1 nothing", "3>2 nothing", "4>3 nothing"}},
        {1, {"2>1 nothing", "3>2 nothing", "4>3 ready"}},
        {2, {"2>1 nothing", "3>2 ready", "4>3 ready"}},
        {3, {"2>1 ready", "3>2 ready", "4>3 ready"}},
    };
    for (const Case& c : cases) {
        fs = MemoryFileSystem();
        file("1", "x");
        file("2", "y");
        file("3", "z");
        for (std::size_t i = 0; i < c.made; ++i) {
            const auto& r = std::get<RenameRecord>(shift[i]);
            ASSERT_EQ(fs.renameNoReplace(r.oldPath, r.newPath), FsStatus::Ok);
        }
        EXPECT_EQ(undo(runOf(shift, false)), c.steps) << c.made;
        EXPECT_EQ(files(), (Strings{"1=x", "2=y", "3=z"})) << c.made;
    }
}

TEST_F(UndoPlanTest, InterruptedRunTellsFilesByTheirIdentity)
{
    // b (5 bytes) became c and was written to since; a -> d was never made
    // and d is another file; x -> y left nothing at either name.
    file("c", "written since");
    file("a", "a");
    file("d", "dd");
    const std::vector<FileRecord> changes = {rename("b", "c", FileIdentity{5, {}}),
                                             rename("x", "y", FileIdentity{1, {}}),
                                             rename("a", "d", FileIdentity{1, {}})};
    EXPECT_EQ(undo(runOf(changes, false)), (Strings{"d>a nothing", "y>x notfound", "c>b nothing"}));
    EXPECT_EQ(files(), (Strings{"a=a", "c=written since", "d=dd"}));

    // Once a change of the run is evident, a stranger at a new name whose
    // old name is free is listed.
    file("q", "q");
    const std::vector<FileRecord> later = {rename("b", "c", FileIdentity{5, {}}),
                                           rename("p", "q", FileIdentity{1, {}})};
    EXPECT_EQ(describe(planUndo(runOf(later, false), fs)), (Strings{"q>p ready", "c>b notfound"}));
}

TEST_F(UndoPlanTest, TimesComeBackToTheNanosecond)
{
    fs.addFile("/d/a", 0, attr::archive, seconds(1), seconds(2), seconds(3));
    fs.addFile("/d/ro", 0, attr::readOnly, seconds(1), seconds(2), seconds(3));
    const UndoPlan plan =
        planUndo(runOf({TimesRecord{"/d/a", ns(1'000'000'007), ns(-5), std::nullopt},
                        TimesRecord{"/d/gone", ns(1), ns(1), ns(1)}, TimesRecord{"/d/ro", ns(1), ns(1), std::nullopt}}),
                 fs);
    EXPECT_EQ(describe(plan), (Strings{"times ro ready", "times gone notfound", "times a ready"}));
    EXPECT_EQ(plan.steps[2].redo,
              (std::optional<FileRecord>{TimesRecord{"/d/a", seconds(2), seconds(3), std::nullopt}}));
    EXPECT_EQ(applyUndo(plan, fs), (std::vector<std::optional<FsStatus>>{FsStatus::ReadOnly, {}, FsStatus::Ok}));
    const FileEntry a = *fs.stat("/d/a");
    EXPECT_EQ(a.lastWriteTime, ns(1'000'000'007));
    EXPECT_EQ(a.lastAccessTime, ns(-5));
    EXPECT_EQ(a.creationTime, seconds(1));

    fs.addFile("/d/c", 0, attr::archive, seconds(9), seconds(9), seconds(9));
    undo(runOf({TimesRecord{"/d/c", ns(1), ns(2), ns(3)}}));
    EXPECT_EQ(fs.stat("/d/c")->creationTime, ns(3));
}

TEST_F(UndoPlanTest, AttributesComeBack)
{
    fs.addFile("/d/a", 0, attr::archive);
    const UndoPlan plan = planUndo(runOf({AttributesRecord{"/d/a", attr::readOnly | attr::hidden, std::nullopt, 0444},
                                          AttributesRecord{"/d/gone", attr::normal, std::nullopt, std::nullopt}}),
                                   fs);
    EXPECT_EQ(describe(plan), (Strings{"attributes gone notfound", "attributes a ready"}));
    EXPECT_EQ(plan.steps[1].redo,
              (std::optional<FileRecord>{AttributesRecord{"/d/a", attr::archive, std::nullopt, std::nullopt}}));
    applyUndo(plan, fs);
    EXPECT_EQ(fs.stat("/d/a")->attributes, attr::readOnly | attr::hidden);
}

TEST_F(UndoPlanTest, OutputsAreRemovedOnlyWhileTheyHoldWhatTheRunWrote)
{
    const FileTime written = ns(1'700'000'000'000'000'001);
    const std::uint64_t hello = hashBytes("hello");
    struct Case {
        const char* what;
        std::optional<std::string> content; // nothing: no file there
        FileTime modified;
        bool replaced;
        bool ended;
        const char* step;
        bool kept;
    } cases[] = {
        {"as written", "hello", written, false, true, "remove x ready", false},
        {"same size and time, other bytes", "hellp", written, false, true, "remove x changed", true},
        {"longer", "hello!", written, false, true, "remove x changed", true},
        {"touched", "hello", written + std::chrono::nanoseconds(1), false, true, "remove x changed", true},
        {"gone", std::nullopt, written, false, true, "remove x nothing", false},
        {"replaced a file", "hello", written, true, true, "remove x notrestorable", true},
        {"replaced, other bytes", "other", written, true, true, "remove x notrestorable", true},
        {"interrupted before writing over a file", "other", written, true, false, "remove x nothing", true},
        {"interrupted after writing over a file", "hello", written, true, false, "remove x notrestorable", true},
        {"interrupted before writing", "other", written, false, false, "remove x nothing", true},
        {"interrupted after writing", "hello", written, false, false, "remove x ready", false},
    };
    for (const Case& c : cases) {
        fs = MemoryFileSystem();
        fs.addFolder("/d");
        if (c.content) {
            file("x", *c.content);
            fs.setTimes("/d/x", TimeChange{std::nullopt, c.modified, std::nullopt});
        }
        EXPECT_EQ(undo(runOf({OutputRecord{"/d/x", 5, written, hello, c.replaced}}, c.ended)), Strings{c.step})
            << c.what;
        EXPECT_EQ(fs.exists("/d/x"), c.kept) << c.what;
    }
}

TEST_F(UndoPlanTest, OutputThatIsAFolderNowIsLeftAlone)
{
    fs.addFolder("/d/x");
    EXPECT_EQ(undo(runOf({OutputRecord{"/d/x", 0, FileTime{}, hashBytes(""), false}})), Strings{"remove x changed"});
    EXPECT_TRUE(fs.exists("/d/x"));
}

TEST_F(UndoPlanTest, ApplyingStopsWhenAHookSaysSo)
{
    file("b", "1");
    file("d", "2");
    file("f", "3");
    const UndoPlan plan = planUndo(runOf({rename("a", "b"), rename("c", "d"), rename("e", "f")}), fs);
    std::vector<std::size_t> batches;
    const auto refuse = [&](std::span<const UndoStep> batch) {
        batches.push_back(batch.size());
        return false;
    };
    EXPECT_EQ(applyUndo(plan, fs, {refuse, {}}), (std::vector<std::optional<FsStatus>>(3)));
    EXPECT_EQ(batches, std::vector<std::size_t>{3});
    EXPECT_EQ(files(), (Strings{"b=1", "d=2", "f=3"}));

    const auto stopAfterOne = [](std::size_t done) { return done < 1; };
    EXPECT_EQ(applyUndo(plan, fs, {{}, stopAfterOne}),
              (std::vector<std::optional<FsStatus>>{FsStatus::Ok, std::nullopt, std::nullopt}));
    EXPECT_EQ(files(), (Strings{"b=1", "d=2", "e=3"}));
}

TEST_F(UndoPlanTest, StepsAreJournaledInBatches)
{
    std::vector<FileRecord> many;
    for (int i = 0; i < 1500; ++i) many.push_back(rename("a" + std::to_string(i), "b" + std::to_string(i)));
    std::vector<std::size_t> batches;
    applyUndo(planUndo(runOf(many), fs), fs,
              {[&](std::span<const UndoStep> batch) {
                   batches.push_back(batch.size());
                   return true;
               },
               {}});
    EXPECT_EQ(batches, (std::vector<std::size_t>{1024, 476}));
}

class UndoRefusal : public ::testing::Test {
protected:
    std::optional<std::string> refusal(const Journal& journal, const std::string& id)
    {
        const std::optional<std::string> text = undoRefusal(readRunHistory(journal.bytes()), id);
        return text ? std::optional(utf8(*text)) : std::nullopt;
    }
};

TEST_F(UndoRefusal, NewerRunOnTheSameFileNamesThatRun)
{
    Journal j;
    j.begin("r1", gbk("更改文件名称"), 1700000000).rename("r1", "/d/a", "/d/b").end("r1");
    j.begin("r2", gbk("更改扩展名"), 1700000060).rename("r2", "/d/b", "/d/c").end("r2");
    j.begin("r3", gbk("更改文件日期"), 1700000120).rename("r3", "/d/x", "/d/y").end("r3");
    EXPECT_EQ(refusal(j, "r1"), "较新的操作（更改扩展名 2023-11-14 22:14:20）更改了同一文件，请先撤销它");
    EXPECT_EQ(refusal(j, "r2"), std::nullopt);
    EXPECT_EQ(refusal(j, "r3"), std::nullopt);

    // A killed undo of r2 leaves r2 in the way; one that ended clears it.
    j.undo("u2", "r2").rename("u2", "/d/c", "/d/b");
    EXPECT_EQ(refusal(j, "r1"), "较新的操作（更改扩展名 2023-11-14 22:14:20）更改了同一文件，请先撤销它");
    j.end("u2");
    EXPECT_EQ(refusal(j, "r1"), std::nullopt);
}

TEST_F(UndoRefusal, OwnUndoDoesNotStandInTheWay)
{
    Journal j;
    j.begin("r1").rename("r1", "/d/a", "/d/b").end("r1");
    j.undo("u1", "r1").rename("u1", "/d/b", "/d/a"); // killed half-way: r1 may be taken back again
    EXPECT_EQ(refusal(j, "r1"), std::nullopt);
    j.end("u1");
    EXPECT_EQ(refusal(j, "r1"), "这次操作已经撤销");
    EXPECT_EQ(refusal(j, "u1"), std::nullopt);
    EXPECT_EQ(refusal(j, "zz"), "找不到要撤销的操作：zz");
}

TEST(UndoStatusReason, Texts)
{
    struct Case {
        UndoStatus status;
        const char* text;
    } cases[] = {
        {UndoStatus::Ready, ""},
        {UndoStatus::NothingToDo, ""},
        {UndoStatus::OldNameTaken, "原文件名已被其他文件占用"},
        {UndoStatus::NotFound, "文件已不在操作后的位置"},
        {UndoStatus::Changed, "文件在操作后已被修改，未删除"},
        {UndoStatus::CannotRead, "无法读取文件，未删除"},
        {UndoStatus::NotRestorable, "操作替换了原有文件，原文件无法恢复"},
    };
    for (const Case& c : cases) EXPECT_EQ(utf8(undoStatusReason(c.status)), c.text);
}

} // namespace
} // namespace qv::testing
