#include "fileops/rename_plan.h"

#include "fileops/rename.h"
#include "fileops_fixture.h"

#include <map>
#include <random>

namespace qv::testing {
namespace {

using Strings = std::vector<std::string>;

class RenamePlanTest : public FileOpsFixture {
protected:
    // Writes the files of `sub` (each holding its own name) and marks
    // `marked` in that order.
    void makeFolder(const std::string& sub, const Strings& files, const Strings& marked)
    {
        std::filesystem::create_directories(path(sub));
        for (const std::string& name : files) std::ofstream(path(sub + "/" + name), std::ios::binary) << name;
        for (const std::string& name : marked) addEntry(sub + "/" + name);
    }
    RenameParams listParams(const std::string& sub, const Strings& lines, bool chains)
    {
        std::ofstream list(path(sub + ".list"), std::ios::binary);
        for (const std::string& line : lines) list << line << "\n";
        return RenameParams{gbk("${File(" + path(sub + ".list").string() + ")}"), "", chains};
    }
    RenamePlan plan(const RenameParams& params)
    {
        return planRenames(ws.files, renameNames(params, ws.files, fs), fs, params.chains);
    }
    // "name=content" of every file of `sub`, sorted.
    Strings contents(const std::string& sub) const
    {
        Strings out;
        for (const std::string& name : names(sub)) out.push_back(name + "=" + read(sub + "/" + name));
        std::sort(out.begin(), out.end());
        return out;
    }
    static std::string statuses(const RenamePlan& plan)
    {
        static const char* const words[] = {"ok",    "unchanged", "exists", "duplicate",
                                            "chain", "invalid",   "recode", "skipped"};
        std::string out;
        for (const PlannedChange& change : plan.changes)
            out += std::string(out.empty() ? "" : " ") + words[static_cast<int>(change.status)];
        return out;
    }

    PosixFileSystem fs;
};

// Each case renames the marked files (base names; ".txt" stays) to the
// lines of a name list, in the order marked.
TEST_F(RenamePlanTest, SwapsShiftsAndCyclesWithAndWithoutChains)
{
    struct Case {
        const char* what;
        Strings files, marked, newBases;
        bool chains;
        std::string statuses;
        Strings after; // name=content, sorted
    } cases[] = {
        {"swap, no chains",
         {"a.txt", "b.txt"},
         {"a.txt", "b.txt"},
         {"b", "a"},
         false,
         "chain chain",
         {"a.txt=a.txt", "b.txt=b.txt"}},
        {"swap", {"a.txt", "b.txt"}, {"a.txt", "b.txt"}, {"b", "a"}, true, "ok ok", {"a.txt=b.txt", "b.txt=a.txt"}},
        {"three-way cycle",
         {"a.txt", "b.txt", "c.txt"},
         {"a.txt", "b.txt", "c.txt"},
         {"b", "c", "a"},
         true,
         "ok ok ok",
         {"a.txt=c.txt", "b.txt=a.txt", "c.txt=b.txt"}},
        {"shift up, no chains: only the last moves",
         {"1.txt", "2.txt", "3.txt"},
         {"1.txt", "2.txt", "3.txt"},
         {"2", "3", "4"},
         false,
         "chain chain ok",
         {"1.txt=1.txt", "2.txt=2.txt", "4.txt=3.txt"}},
        {"shift listed from the top, no chains: as always, each name is free at its turn",
         {"1.txt", "2.txt"},
         {"2.txt", "1.txt"},
         {"3", "2"},
         false,
         "ok ok",
         {"2.txt=1.txt", "3.txt=2.txt"}},
        {"shift up",
         {"1.txt", "2.txt", "3.txt"},
         {"1.txt", "2.txt", "3.txt"},
         {"2", "3", "4"},
         true,
         "ok ok ok",
         {"2.txt=1.txt", "3.txt=2.txt", "4.txt=3.txt"}},
        {"a shift ending at a file outside the run stays whole",
         {"1.txt", "2.txt", "3.txt"},
         {"1.txt", "2.txt"},
         {"2", "3"},
         true,
         "exists exists",
         {"1.txt=1.txt", "2.txt=2.txt", "3.txt=3.txt"}},
        {"a name held by a file of the run that stays",
         {"a.txt", "b.txt"},
         {"a.txt", "b.txt"},
         {"b", "b"},
         true,
         "exists unchanged",
         {"a.txt=a.txt", "b.txt=b.txt"}},
        {"the later of two is a duplicate, the cycle beside it moves",
         {"a.txt", "b.txt", "c.txt"},
         {"a.txt", "b.txt", "c.txt"},
         {"b", "a", "b"},
         true,
         "ok ok duplicate",
         {"a.txt=b.txt", "b.txt=a.txt", "c.txt=c.txt"}},
        {"case-only change and a swap of letter case",
         {"a.txt", "B.txt"},
         {"a.txt", "B.txt"},
         {"B", "a"},
         true,
         "ok ok",
         {"B.txt=a.txt", "a.txt=B.txt"}},
        {"invalid names stay",
         {"a.txt", "b.txt"},
         {"a.txt", "b.txt"},
         {"x/y", ".."},
         true,
         "invalid ok",
         {"...txt=b.txt", "a.txt=a.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ws = Workspace{};
        const std::string sub = "c" + std::to_string(&c - cases);
        makeFolder(sub, c.files, c.marked);
        const RenameParams params = listParams(sub, c.newBases, c.chains);
        EXPECT_EQ(statuses(plan(params)), c.statuses);
        btnFilenameClick(params, ws, host, fs);
        EXPECT_EQ(contents(sub), c.after);
    }
}

// Random folders and templates: names that collide, chains, cycles,
// case-only changes and invalid names. Whatever the plan predicts for each
// file is what the run then does.
TEST_F(RenamePlanTest, TheDryRunPredictsTheRunFileForFile)
{
    const Strings pool = {"a.txt", "b.txt", "A.txt", "c.TXT", "1.txt", "2.txt", "3.txt", "ab.txt", "Ba.txt", "x"};
    const Strings templates = {"${Sn(1,1)}",     "${Sn(2,1)}",     "${Sn(0,1)}",     "${GetLeft(1)}",  "${RepStr(a,b)}",
                               "${RepStr(a,A)}", "${RepStr(b,a)}", "${DelRight(1)}", "${AddRight(1)}", "${DelLeft(5)}"};
    const Strings lines = {"a", "b", "A", "1", "2", "3", "ab", "Ba", "", "/", ".", "..", "c"};
    std::mt19937 random(20261209);
    const auto pick = [&](const Strings& from) { return from[random() % from.size()]; };
    for (int trial = 0; trial < 150; ++trial) {
        startOver();
        const std::string sub = "t" + std::to_string(trial);
        Strings files, marked;
        for (const std::string& name : pool)
            if (random() % 2) files.push_back(name);
        for (const std::string& name : files)
            if (random() % 4) marked.push_back(name);
        std::shuffle(marked.begin(), marked.end(), random);
        makeFolder(sub, files, marked);
        const bool chains = random() % 2;
        RenameParams params{gbk(pick(templates)), "", chains};
        if (random() % 2) {
            Strings list;
            for (std::size_t i = 0; i < marked.size(); ++i) list.push_back(pick(lines));
            params = listParams(sub, list, chains);
        }
        SCOPED_TRACE(sub + " " + params.edtNewFilename + (chains ? " chains" : ""));

        std::map<std::string, std::string> expected; // content -> name
        for (const std::string& name : files) expected[name] = name;
        const RenamePlan predicted = plan(params);
        std::int64_t moves = 0;
        for (const PlannedChange& change : predicted.changes) {
            if (change.leftAlone()) continue;
            const std::string old = change.path.substr(change.path.rfind('/') + 1);
            expected[old] = change.newName;
            ++moves;
        }
        Strings after;
        for (const auto& [content, name] : expected) after.push_back(name + "=" + content);
        std::sort(after.begin(), after.end());

        btnFilenameClick(params, ws, host, fs);
        EXPECT_EQ(contents(sub), after);
        EXPECT_EQ(ws.counters.stChangeCount, moves);
    }
}

} // namespace
} // namespace qv::testing
