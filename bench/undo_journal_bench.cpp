// What the undo journal costs: a rename of 100,000 empty files in one folder
// on the real disk, through PosixFileSystem directly and through a journaled
// run over a journal in a temporary folder (target: at most 15% slower).
// Each way runs twice, alternating, and the faster of the two counts; the
// counters give both wall times, the overhead in percent and the journal's
// size in bytes.

#include "bench/quiet_host.h"
#include "fileops/rename.h"
#include "operation/workspace.h"
#include "platform/code_page.h"
#include "platform/journal_store.h"
#include "platform/posix_file_system.h"
#include "undo/undo_run.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace qv {
namespace {

constexpr int files = 100'000;

// A fresh folder of `files` empty files, all marked in a workspace.
Workspace freshFolder(const std::filesystem::path& folder)
{
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    Workspace ws;
    for (int i = 0; i < files; ++i) {
        const std::string name = "f" + std::to_string(100000 + i) + ".txt";
        std::ofstream(folder / name);
        ws.files.append(ListEntry{name, folder.string(), 0, 0, 0});
        ws.files.setMark(static_cast<std::size_t>(i) + 1, true);
    }
    ::sync();
    return ws;
}

// Seconds the rename of a fresh folder takes, journaled into `journal` or not.
double renameSeconds(const std::filesystem::path& folder, const std::string* journal)
{
    Workspace ws = freshFolder(folder);
    QuietHost host;
    PosixFileSystem posix;
    const RenameParams params{"${AddLeft(x_)}", "", false};
    const auto start = std::chrono::steady_clock::now();
    if (journal) {
        PosixJournalStore store(*journal);
        JournaledRun run(store, CodePage::gbk().fromUtf8("更改文件名称"), {});
        btnFilenameClick(params, ws, host, run.fileSystem(posix));
    } else {
        btnFilenameClick(params, ws, host, posix);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (ws.counters.stChangeCount != files)
        std::fprintf(stderr, "renamed %lld files only\n", static_cast<long long>(ws.counters.stChangeCount));
    return seconds;
}

void BM_Rename100kWithAndWithoutJournal(benchmark::State& state)
{
    const std::filesystem::path base =
        std::filesystem::temp_directory_path() / ("qv-undo-bench-" + std::to_string(::getpid()));
    const std::filesystem::path folder = base / "files";
    for (auto _ : state) {
        double plain = 1e9, journaled = 1e9;
        std::uintmax_t journalBytes = 0;
        for (int round = 0; round < 2; ++round) {
            plain = std::min(plain, renameSeconds(folder, nullptr));
            const std::string journal = (base / ("journal" + std::to_string(round))).string();
            journaled = std::min(journaled, renameSeconds(folder, &journal));
            journalBytes = std::filesystem::file_size(journal);
        }
        state.SetIterationTime(journaled);
        state.counters["plain_s"] = plain;
        state.counters["journaled_s"] = journaled;
        state.counters["overhead_pct"] = (journaled / plain - 1) * 100;
        state.counters["journal_bytes"] = static_cast<double>(journalBytes);
    }
    std::filesystem::remove_all(base);
}
BENCHMARK(BM_Rename100kWithAndWithoutJournal)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qv
