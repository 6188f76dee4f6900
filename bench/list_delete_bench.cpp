// Deleting and removing marked entries from a large file list: 200,000
// rows with every second one marked. The delete command walks up from the
// last row and removes each deleted row as it goes; the remove command takes
// all marked rows out in one pass. Both must stay linear in the rows (a
// row-shifting walk took about 30 s here). The file system is a stand-in
// whose deletes always succeed, so only the list's work is timed.

#include "bench/quiet_host.h"
#include "operation/workspace.h"
#include "platform/posix_file_system.h"
#include "window/list_commands.h"

#include <benchmark/benchmark.h>

namespace qv {
namespace {

class DeletingFileSystem final : public FileSystem {
public:
    std::unique_ptr<FolderListing> listFolder(std::string_view) const override { return nullptr; }
    std::optional<FileEntry> stat(std::string_view) const override { return std::nullopt; }
    bool exists(std::string_view) const override { return true; }
    FsStatus remove(std::string_view) override { return FsStatus::Ok; }
    FsStatus renameNoReplace(std::string_view, std::string_view) override { return FsStatus::Failed; }
    FsStatus setTimes(std::string_view, const TimeChange&) override { return FsStatus::Failed; }
    FsStatus setAttributes(std::string_view, std::uint32_t) override { return FsStatus::Failed; }
    std::unique_ptr<FileReader> openForReading(std::string_view path) const override
    {
        return PosixFileSystem().openForReading(path);
    }
    std::unique_ptr<AtomicFileWriter> createAtomically(std::string_view path) override
    {
        return PosixFileSystem().createAtomically(path);
    }
};

void fillEverySecondMarked(Workspace& ws, std::size_t rows)
{
    for (std::size_t i = 1; i <= rows; ++i) {
        ws.files.append(
            ListEntry{"file" + std::to_string(i) + ".txt", "/data/folder", static_cast<std::int64_t>(i), 0, 0});
        ws.files.setMark(i, i % 2 == 0);
    }
    ws.counters.stSrcCount = static_cast<std::int64_t>(rows);
}

void BM_DeleteEverySecondRow(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Workspace ws;
        QuietHost host;
        DeletingFileSystem fs;
        fillEverySecondMarked(ws, static_cast<std::size_t>(state.range(0)));
        state.ResumeTiming();
        cbDelClick(ws, host, fs);
        benchmark::DoNotOptimize(ws.files.entryCount());
    }
}
BENCHMARK(BM_DeleteEverySecondRow)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_RemoveEverySecondRow(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Workspace ws;
        fillEverySecondMarked(ws, static_cast<std::size_t>(state.range(0)));
        state.ResumeTiming();
        btnDelClick(ws);
        benchmark::DoNotOptimize(ws.files.entryCount());
    }
}
BENCHMARK(BM_RemoveEverySecondRow)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qv
