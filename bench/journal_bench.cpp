// What the undo journal costs a rename of 100,000 files. Each benchmark
// works in a folder under /tmp (the same disk as the files a user renames,
// when /tmp is no tmpfs): the journal itself, 100,000 rename records in
// batches of 1024 with one fdatasync each; the renames alone; and the
// renames with their records written ahead, batch by batch, as a run does:
// with the files' identities known (from the file list), the same with the
// journal at its size bound (so that runs end by trimming it), and with a
// stat of each file for its identity. The counters give the journal's size.
//
// Run: ./build/bench/journal_bench --benchmark_counters_tabular=true

#include "platform/journal_store.h"
#include "platform/posix_file_system.h"
#include "undo/journal_writer.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {
namespace {

constexpr int fileCount = 100'000;
const std::string folder = "/tmp/qv-journal-bench";
const std::string journalPath = folder + "/journal";

std::string name(const char* prefix, int i)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s/files/%s_%06d.txt", folder.c_str(), prefix, i);
    return text;
}

void makeFiles()
{
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "/files");
    for (int i = 0; i < fileCount; ++i) ::close(::open(name("photo", i).c_str(), O_WRONLY | O_CREAT, 0644));
}

RunBeginRecord header()
{
    return {"rename", FileTime(std::chrono::seconds(1700000000)), 0, {{"template", "new_${FileName}"}}};
}

std::uint64_t journalSize()
{
    std::error_code error;
    const auto size = std::filesystem::file_size(journalPath, error);
    return error ? 0 : size;
}

void BM_JournalOnly(benchmark::State& state)
{
    std::filesystem::create_directories(folder);
    std::uint64_t size = 0;
    for (auto _ : state) {
        std::filesystem::remove(journalPath);
        PosixJournalStore store(journalPath);
        JournalWriter writer(store);
        writer.beginRun(newRunId(), header());
        for (int i = 0; i < fileCount; ++i) {
            writer.addRename(name("photo", i), name("new_photo", i), FileIdentity{123456, FileTime{}});
            if (writer.buffered() == changesPerBatch && !writer.flush().ok()) state.SkipWithError("flush failed");
        }
        if (!writer.endRun().ok()) state.SkipWithError("end failed");
        size = journalSize();
    }
    state.counters["journal_bytes"] = static_cast<double>(size);
}

// Renames every file to new_* and back on alternate iterations.
enum class Journaling { None, KnownIdentity, StatIdentity };

// Five earlier runs of 100,000 renames each: the journal at its size bound.
void fillJournal()
{
    PosixJournalStore store(journalPath);
    JournalWriter writer(store);
    for (int run = 0; run < 5; ++run) {
        writer.beginRun(newRunId(), header());
        for (int i = 0; i < fileCount; ++i) {
            writer.addRename(name("earlier", i), name("later", i));
            if (writer.buffered() == changesPerBatch) writer.flush();
        }
        writer.endRun();
    }
}

void renameAll(benchmark::State& state, Journaling journaling, bool fullJournal = false)
{
    makeFiles();
    std::filesystem::remove(journalPath);
    if (fullJournal) fillJournal();
    PosixFileSystem fs;
    std::uint64_t size = 0;
    bool forth = true;
    for (auto _ : state) {
        PosixJournalStore store(journalPath);
        JournalWriter writer(store);
        writer.beginRun(newRunId(), header());
        const char* from = forth ? "photo" : "new_photo";
        const char* to = forth ? "new_photo" : "photo";
        for (int first = 0; first < fileCount; first += changesPerBatch) {
            const int last = std::min<int>(fileCount, first + changesPerBatch);
            if (journaling != Journaling::None) {
                for (int i = first; i < last; ++i) {
                    std::optional<FileIdentity> identity = FileIdentity{0, FileTime{}};
                    if (journaling == Journaling::StatIdentity) {
                        const auto entry = fs.stat(name(from, i));
                        identity = entry ? std::optional(identityOf(*entry)) : std::nullopt;
                    }
                    writer.addRename(name(from, i), name(to, i), identity);
                }
                if (!writer.flush().ok()) state.SkipWithError("flush failed");
            }
            for (int i = first; i < last; ++i)
                if (fs.renameNoReplace(name(from, i), name(to, i)) != FsStatus::Ok) state.SkipWithError("rename");
        }
        if (journaling != Journaling::None && !writer.endRun().ok()) state.SkipWithError("end failed");
        forth = !forth;
        size = std::max(size, journalSize());
    }
    state.counters["journal_bytes"] = static_cast<double>(size);
    std::filesystem::remove_all(folder);
}

void BM_Rename(benchmark::State& state)
{
    renameAll(state, Journaling::None);
}
void BM_RenameJournaled(benchmark::State& state)
{
    renameAll(state, Journaling::KnownIdentity);
}
void BM_RenameJournaledFullJournal(benchmark::State& state)
{
    renameAll(state, Journaling::KnownIdentity, true);
}
void BM_RenameJournaledWithStat(benchmark::State& state)
{
    renameAll(state, Journaling::StatIdentity);
}

// fdatasync waits for the file system's journal commit, which carries the
// renames made since the last one: its cost varies with what else the disk
// does, so each figure is the median of several repetitions.
BENCHMARK(BM_JournalOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_Rename)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Repetitions(3);
BENCHMARK(BM_RenameJournaled)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Repetitions(3);
BENCHMARK(BM_RenameJournaledFullJournal)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Repetitions(3);
BENCHMARK(BM_RenameJournaledWithStat)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Repetitions(3);

} // namespace
} // namespace qv
