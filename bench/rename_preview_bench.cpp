// The rename preview on 100,000 marked rows in one folder, on the in-memory
// file system: the whole plan with its conflict check (targets: under 1 s),
// and what one keystroke costs before the visible rows show their new names
// (the marked-row count before each row, then 40 rows planned on their own;
// target: under 50 ms). The template shifts every serial number up by one,
// so with chains the plan orders 100,000 moves; without, each is a chain;
// and a template whose names are all free.

#include "fileops/new_name.h"
#include "fileops/rename.h"
#include "fileops/rename_plan.h"
#include "operation/workspace.h"
#include "support/memory_file_system.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace qv {
namespace {

constexpr std::size_t rows = 100'000;

struct Folder {
    Workspace ws;
    testing::MemoryFileSystem fs;
    Folder()
    {
        for (std::size_t i = 1; i <= rows; ++i) {
            const std::string name = "photo_" + std::to_string(100000 + i) + ".jpg";
            fs.addFile("/pics/" + name);
            ws.files.append(ListEntry{name, "/pics", 0, 0, 0});
            ws.files.setMark(i, true);
        }
    }
};

Folder& folder()
{
    static Folder shared;
    return shared;
}

const RenameParams shift{"photo_${Sn(100002,6)}", "", true};

// Arguments: chains (0 or 1); the shift (0) or new names that are all free
// (1: one existence test each).
void BM_WholeRenamePlan(benchmark::State& state)
{
    Folder& f = folder();
    RenameParams params = shift;
    if (state.range(1) != 0) params.edtNewFilename = "new_${Filename}";
    params.chains = state.range(0) != 0;
    for (auto _ : state) {
        const RenamePlan plan = planRenames(f.ws.files, renameNames(params, f.ws.files, f.fs), f.fs, params.chains);
        benchmark::DoNotOptimize(plan.units.size());
    }
    state.SetLabel(std::string(params.chains ? "chains, " : "no chains, ") +
                   (state.range(1) != 0 ? "free names" : "shift"));
}
BENCHMARK(BM_WholeRenamePlan)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

void BM_KeystrokeVisibleRows(benchmark::State& state)
{
    Folder& f = folder();
    const std::size_t firstVisible = 50'000;
    for (auto _ : state) {
        const NewNameOf names = renameNames(shift, f.ws.files, f.fs);
        std::vector<std::uint32_t> ordinal(rows + 1, 0);
        std::uint32_t marked = 0;
        for (std::size_t row = 1; row <= rows; ++row) {
            ordinal[row] = marked;
            marked += f.ws.files.isMarked(row) ? 1 : 0;
        }
        for (std::size_t row = firstVisible; row < firstVisible + 40; ++row)
            benchmark::DoNotOptimize(planRename(f.ws.files, row, *names(row, ordinal[row])));
    }
}
BENCHMARK(BM_KeystrokeVisibleRows)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qv
