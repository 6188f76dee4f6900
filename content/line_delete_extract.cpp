#include "content/line_delete_extract.h"

#include "content/line_rules.h"
#include "text/bytes.h"
#include "text/integer_field.h"
#include "text/keyword_list.h"

#include <algorithm>
#include <bit>
#include <memory>

namespace qv {
namespace {

// Which source lines are still in the output while line-number deletions
// are applied one after another: a Fenwick tree over 0/1 per line, so the
// v-th remaining line is found and removed in O(log lines).
class RemainingLines {
public:
    explicit RemainingLines(std::size_t count) : tree_(count + 1, 0), removed_(count, false), remaining_(count)
    {
        for (std::size_t i = 1; i <= count; ++i) {
            tree_[i] += 1;
            if (const std::size_t parent = i + (i & (~i + 1)); parent <= count) tree_[parent] += tree_[i];
        }
    }

    std::size_t remaining() const { return remaining_; }
    bool isRemoved(std::size_t index) const { return removed_[index]; }

    // Removes the v-th remaining line (1 <= v <= remaining()).
    void removeNth(std::size_t v)
    {
        std::size_t position = 0; // 1-based tree position of the line before the v-th
        for (std::size_t step = std::bit_floor(tree_.size() - 1); step != 0; step >>= 1) {
            if (position + step < tree_.size() && tree_[position + step] < v) {
                position += step;
                v -= tree_[position];
            }
        }
        removed_[position] = true; // 0-based index of the v-th line
        --remaining_;
        for (std::size_t i = position + 1; i < tree_.size(); i += i & (~i + 1)) --tree_[i];
    }

private:
    std::vector<std::size_t> tree_;
    std::vector<bool> removed_;
    std::size_t remaining_;
};

void deleteByNumbers(const std::vector<LineRange>& ranges, const text::LineList& source, text::LineList& output)
{
    RemainingLines lines(source.size());
    for (auto range = ranges.rbegin(); range != ranges.rend() && lines.remaining() > 0; ++range) {
        const std::int64_t high = std::min<std::int64_t>(range->high, static_cast<std::int64_t>(lines.remaining()));
        const std::int64_t low = std::max<std::int64_t>(range->low, 1);
        for (std::int64_t v = high; v >= low; --v) lines.removeNth(static_cast<std::size_t>(v));
    }
    output.reserve(lines.remaining(), source.byteCount());
    for (std::size_t i = 0; i < source.size(); ++i)
        if (!lines.isRemoved(i)) output.append(source[i]);
}

void extractByNumbers(const std::vector<LineRange>& ranges, const text::LineList& source, text::LineList& output)
{
    const auto count = static_cast<std::int64_t>(source.size());
    for (const LineRange& range : ranges) {
        const std::int64_t high = std::min<std::int64_t>(range.high, count);
        for (std::int64_t v = std::max<std::int64_t>(range.low, 1); v <= high; ++v)
            output.append(source[static_cast<std::size_t>(v - 1)]);
    }
}

// What delete and extract read when the run starts.
struct ChoiceRun {
    std::vector<LineRange> ranges;
    IntervalRule interval;
    std::vector<std::string> keywords;

    void read(std::string_view rangeText, std::string_view n, std::string_view m, std::string_view keywordText)
    {
        ranges = parseRangeList(rangeText);
        const std::int32_t every = text::parseInteger(n);
        const std::int32_t position = text::parseInteger(m);
        interval = IntervalRule(every, position);
        keywords = text::parseKeywordList(keywordText);
    }
};

} // namespace

std::vector<LineRange> parseRangeList(std::string_view rangeText)
{
    std::vector<LineRange> ranges;
    const std::string_view trimmed = text::trim(rangeText);
    if (trimmed.empty()) return ranges;
    for (const std::string& item : text::splitDelimitedText(trimmed, ',', '"')) {
        const std::string_view entry = text::trim(item);
        if (entry.empty()) continue;
        const auto dash = entry.find('-');
        if (dash == std::string_view::npos || dash == 0) {
            const std::int32_t v = text::parseInteger(entry);
            ranges.push_back({v, v});
            continue;
        }
        const std::int32_t a = text::parseInteger(entry.substr(0, dash));
        const std::int32_t b = text::parseInteger(entry.substr(dash + 1));
        ranges.push_back({std::min(a, b), std::max(a, b)});
    }
    return ranges;
}

namespace {

using ByNumbers = void (*)(const std::vector<LineRange>&, const text::LineList&, text::LineList&);

// What delete and extract share once `job` can check and prepare: with line
// numbers the whole file goes through `byNumbers`; the other ways go line by
// line, each line kept where `keeps(run, number, line)` says.
template <typename Keeps>
ContentJob choiceJob(ContentJob job, std::shared_ptr<const ChoiceRun> run, bool withNumbers, ByNumbers byNumbers,
                     Keeps keeps)
{
    if (withNumbers) {
        job.transform = [run, byNumbers](const text::LineList& source, const ContentFile&, text::LineList& output,
                                         Host&) {
            byNumbers(run->ranges, source, output);
            return FileVerdict::written();
        };
        return job;
    }
    job.perLine = [run, keeps](const ContentFile&) -> LineTransform {
        return [run, keeps, number = std::int64_t{0}](std::string_view line, std::string& out) mutable {
            if (keeps(*run, ++number, line)) appendLine(out, line);
        };
    };
    return job;
}

} // namespace

ContentJob deleteLinesJob(const DeleteLinesParams& params)
{
    auto run = std::make_shared<ChoiceRun>();
    ContentJob job;
    job.check = [params]() -> std::optional<Refusal> {
        if (params.mode == DeleteMode::Keywords && params.edtDelKeys.empty())
            return Refusal{programText("删除关键字为空,请输入后再试!"), "edtDelKeys"};
        if (params.mode == DeleteMode::Interval) return intervalRefusal(params.edtLines, "edtLines");
        return std::nullopt;
    };
    job.prepare = [run, params] {
        run->read(params.edtDelLineNo, params.edtLines, params.edtLineNum, params.edtDelKeys);
    };
    // With line numbers, which line an entry deletes depends on the lines
    // left by the entries typed after it, so the whole file is needed.
    return choiceJob(std::move(job), run, params.mode == DeleteMode::LineNumbers, deleteByNumbers,
                     [mode = params.mode](const ChoiceRun& run, std::int64_t number, std::string_view line) {
                         const bool chosen = mode == DeleteMode::Interval   ? run.interval.matches(number)
                                             : mode == DeleteMode::Keywords ? containsAnyKeyword(line, run.keywords)
                                                                            : isBlankLine(line);
                         return !chosen;
                     });
}

ContentJob extractLinesJob(const ExtractLinesParams& params)
{
    auto run = std::make_shared<ChoiceRun>();
    ContentJob job;
    job.check = [params]() -> std::optional<Refusal> {
        if (params.mode == ExtractMode::Keywords && params.edtGetKeys.empty())
            return Refusal{programText("提取关键字为空,请输入后再试!"), "edtGetKeys"};
        if (params.mode == ExtractMode::Interval) return intervalRefusal(params.edtGetLines, "edtGetLines");
        return std::nullopt;
    };
    job.prepare = [run, params] {
        run->read(params.edtGetLineNum, params.edtGetLines, params.edtGetLineNo, params.edtGetKeys);
    };
    // With line numbers, lines are taken in the order typed, repeats included.
    return choiceJob(std::move(job), run, params.mode == ExtractMode::LineNumbers, extractByNumbers,
                     [mode = params.mode, takeBlank = params.chkGetNoneLine](const ChoiceRun& run, std::int64_t number,
                                                                             std::string_view line) {
                         if (!takeBlank && isBlankLine(line)) return false;
                         return mode == ExtractMode::Interval ? run.interval.matches(number)
                                                              : containsAnyKeyword(line, run.keywords);
                     });
}

OperationResult btnDelLineClick(const DeleteLinesParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    return runContentJob(ws, host, fs, deleteLinesJob(params));
}

OperationResult btnGetLineClick(const ExtractLinesParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    return runContentJob(ws, host, fs, extractLinesJob(params));
}

} // namespace qv
