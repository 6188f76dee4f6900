// The file search against find(1) on the same generated tree in the same
// run, and sorting a large file list.
//
// The tree: 200,000 files in 2,000 folders (20 folders of 99 subfolders
// each, plus those 20), half "*.txt", half "*.dat", sizes 0 to 999 bytes
// (sparse). It is made once under $TMPDIR and removed at exit. Compare
// BM_Search* with BM_Find* for the ratio; BM_Sort* is the time to sort
// 500,000 rows.

#include "bench/quiet_host.h"
#include "filelist/sort.h"
#include "operation/workspace.h"
#include "platform/posix_file_system.h"
#include "window/search.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace qv {
namespace {

struct Tree {
    std::string root;
    Tree()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "qv-search-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        root = pattern;
        int made = 0;
        for (int top = 0; top < 20; ++top) {
            const std::string topDir = root + "/top" + std::to_string(top);
            for (int sub = 0; sub < 100; ++sub) {
                const std::string dir = sub == 0 ? topDir : topDir + "/sub" + std::to_string(sub);
                std::filesystem::create_directories(dir);
                for (int f = 0; f < 100; ++f, ++made) {
                    const std::string path = dir + "/file" + std::to_string(f) + (f % 2 ? ".dat" : ".txt");
                    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
                    if (fd < 0 || ::ftruncate(fd, made * 7919 % 1000) != 0) std::abort();
                    ::close(fd);
                }
            }
        }
    }
    ~Tree() { std::filesystem::remove_all(root); }
};

const Tree& tree()
{
    static const Tree t;
    return t;
}

void BM_Search(benchmark::State& state, bool sizeFilter)
{
    PosixFileSystem fs;
    QuietHost host(false);
    SearchCriteria criteria;
    criteria.folders = tree().root;
    criteria.types = "*.txt";
    criteria.sizeFilter = sizeFilter;
    criteria.minSize = "100";
    criteria.maxSize = "500";
    for (auto _ : state) {
        Workspace ws;
        cbSearchClick(ws, host, fs, criteria);
        state.counters["found"] = static_cast<double>(ws.files.entryCount());
    }
}

void BM_Find(benchmark::State& state, const std::string& expression)
{
    const std::string command = "find '" + tree().root + "' " + expression + " > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("find failed");
}

FileList bigList()
{
    FileList files;
    std::mt19937_64 random(7);
    for (int i = 0; i < 500000; ++i) {
        const auto n = random();
        files.append(ListEntry{"File" + std::to_string(n % 1000003) + (n % 3 ? ".txt" : ".DAT"),
                               "/data/folder" + std::to_string(n % 2000), static_cast<std::int64_t>(n % 10000000),
                               1700000000 + static_cast<std::int64_t>(n % 30000000), 1700000000});
    }
    return files;
}

void BM_Sort500k(benchmark::State& state, int column)
{
    const FileList original = bigList();
    for (auto _ : state) {
        state.PauseTiming();
        FileList files = original;
        state.ResumeTiming();
        sortFileList(files, column, true);
        benchmark::DoNotOptimize(files.name(1));
    }
}

// Each runs three times, timed on the wall clock.
void threeRealRuns(benchmark::internal::Benchmark* run)
{
    run->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
}

BENCHMARK_CAPTURE(BM_Search, Txt, false)->Apply(threeRealRuns);
BENCHMARK_CAPTURE(BM_Find, Txt, "-type f -name '*.txt'")->Apply(threeRealRuns);
BENCHMARK_CAPTURE(BM_Search, TxtSize, true)->Apply(threeRealRuns);
BENCHMARK_CAPTURE(BM_Find, TxtSize, "-type f -name '*.txt' -size +99c -size -501c")->Apply(threeRealRuns);
BENCHMARK_CAPTURE(BM_Sort500k, ByName, NameColumn)->Apply(threeRealRuns);
BENCHMARK_CAPTURE(BM_Sort500k, BySize, SizeColumn)->Apply(threeRealRuns);
BENCHMARK_CAPTURE(BM_Sort500k, ByFolder, FolderColumn)->Apply(threeRealRuns);

} // namespace
} // namespace qv
