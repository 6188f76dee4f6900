#include "undo/undo_run.h"

#include "memory_journal_store.h"
#include "operation/workspace.h"
#include "support/gbk.h"
#include "support/memory_file_system.h"
#include "support/recording_host.h"

#include <gtest/gtest.h>

namespace qv::testing {
namespace {

// The list shows what an undo gave back: each row follows its file to the
// old name, written on disk as it was before (a GBK name stays GBK), through
// every step of a swap.
TEST(TakeBack, RowsFollowTheirFilesBackToTheOldNames)
{
    const std::string gbkName = "/d/\xD6\xD0.txt";      // 中.txt as Chinese Windows writes it
    const std::string utf8Name = "/d/\xE4\xB8\xAD.txt"; // the same name in UTF-8
    MemoryFileSystem fs;
    fs.addFileWithContent("/d/b", "was a");
    fs.addFileWithContent("/d/a", "was b");
    fs.addFileWithContent(utf8Name, "recoded");
    Workspace ws;
    for (const char* name : {"b", "a"}) ws.files.append(ListEntry{name, "/d"});
    ws.files.append(ListEntry{gbk("中.txt"), "/d"});

    TakeBack back;
    back.run.id = "r1";
    back.run.ended = true;
    back.run.changes = {RenameRecord{"/d/a", "/d/T", {}}, RenameRecord{"/d/b", "/d/a", {}},
                        RenameRecord{"/d/T", "/d/b", {}}, RenameRecord{gbkName, utf8Name, {}}};
    back.plan = planUndo(back.run, fs);
    MemoryJournalStore store;
    RecordingHost host;
    takeBack(back, store, fs, ws, host);

    EXPECT_EQ(fs.content("/d/a"), "was a");
    EXPECT_EQ(fs.content(gbkName), "recoded");
    const std::vector<std::string> paths = {ws.files.fullPath(1), ws.files.fullPath(2), ws.files.fullPath(3)};
    EXPECT_EQ(paths, (std::vector<std::string>{"/d/a", "/d/b", gbkName}));
    EXPECT_EQ(ws.files.name(3), gbk("中.txt"));
    EXPECT_EQ(ws.files.encoding(3), NameEncoding::Gbk);
}

} // namespace
} // namespace qv::testing
