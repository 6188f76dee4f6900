#include "content/line_pattern.h"

#include "content/line_rules.h"
#include "template/evaluator.h"
#include "text/bytes.h"
#include "text/field_split.h"
#include "text/integer_field.h"

#include <algorithm>
#include <memory>

namespace qv {
namespace {

constexpr std::int32_t maxNames = 16;

// 0-based index where the call that closes at `close` begins: the "{" of the
// last "${" before it, or 0 when there is none. One pass over the
// characters, so a text with many calls costs no more than one with few.
std::size_t callBegin(std::string_view working, std::size_t close)
{
    std::size_t begin = 0;
    for (std::size_t i = 0; i + 1 <= close; i += text::charLength(working, i))
        if (working[i] == '$' && working[i + 1] == '{') begin = i + 1;
    return begin;
}

// Where replaceAll meets `call`: how many times in all, how many times
// before index `limit`, and whether once exactly there. Scans as replaceAll
// does (character by character, letter case ignored, resuming after each
// match) in one pass, so the cost stays linear however many matches there are.
struct Occurrences {
    std::int64_t total = 0;
    std::int64_t before = 0;
    bool atLimit = false;
};

Occurrences findOccurrences(std::string_view working, std::string_view call, std::int64_t limit)
{
    Occurrences found;
    if (call.empty() || call.size() > working.size()) return found;
    const std::string lowerWorking = text::lower(working);
    const std::string lowerCall = text::lower(call);
    for (std::size_t i = 0; i + call.size() <= working.size();) {
        if (lowerWorking.compare(i, lowerCall.size(), lowerCall) != 0) {
            i += text::charLength(working, i);
            continue;
        }
        ++found.total;
        const auto index = static_cast<std::int64_t>(i);
        if (index < limit) ++found.before;
        if (index == limit) found.atLimit = true;
        i += call.size();
    }
    return found;
}

} // namespace

void expandCalls(std::string& working)
{
    const std::size_t sizeLimit = working.size() * 64 + (std::size_t{1} << 20);
    auto budget = std::count(working.begin(), working.end(), '}');
    std::size_t from = 0; // 0-based index where the next "}" is looked for
    while (budget-- > 0) {
        const text::Pos q = text::find("}", working, static_cast<text::Pos>(from) + 1);
        if (q == 0) return;
        const auto close = static_cast<std::size_t>(q - 1);
        const std::size_t begin = callBegin(working, close);
        std::string call = working.substr(begin, close + 1 - begin);
        if (call.front() == '{') call.insert(0, 1, '$');

        const std::string value = EvaluateTemplate(working, call);
        const auto callStart = static_cast<std::int64_t>(close + 1) - static_cast<std::int64_t>(call.size());
        const Occurrences found = findOccurrences(working, call, callStart);
        const auto delta = static_cast<std::int64_t>(value.size()) - static_cast<std::int64_t>(call.size());
        if (found.total == 0) {
            from = close + 1; // nothing changes: this "}" is literal text
            continue;
        }
        if (static_cast<std::int64_t>(working.size()) + found.total * delta > static_cast<std::int64_t>(sizeLimit))
            return;
        std::string expanded = text::replaceAll(working, call, value);
        if (expanded == working) {
            from = close + 1;
            continue;
        }
        // Resume right after the value that replaced this call (or after
        // this "}" when the call did not stand here), wherever the earlier
        // replacements moved it.
        const std::int64_t next = found.atLimit ? callStart + found.before * delta + static_cast<std::int64_t>(value.size())
                                                : static_cast<std::int64_t>(close + 1) + found.before * delta;
        working = std::move(expanded);
        from = static_cast<std::size_t>(std::clamp<std::int64_t>(next, 0, static_cast<std::int64_t>(working.size())));
    }
}

LinePattern::LinePattern(std::string pattern, std::string_view prefix, std::int32_t count)
    : pattern_(std::move(pattern))
{
    for (std::int32_t k = 1; k <= std::min(count, maxNames); ++k) names_.push_back(std::string(prefix) + std::to_string(k));
}

std::optional<std::string> LinePattern::apply(std::string_view line)
{
    const std::string_view data = text::trim(line);
    if (data.empty()) return std::nullopt;
    if (separator_ == '\0') {
        for (const char candidate : {'\t', ';', ':', ' '}) {
            if (data.find(candidate) != std::string_view::npos) {
                separator_ = candidate;
                break;
            }
        }
    }
    const std::vector<std::string> fields =
        text::splitFields(data, separator_ == '\0' ? std::string_view() : std::string_view(&separator_, 1));
    std::string out = pattern_;
    for (std::size_t k = 0; k < std::min(fields.size(), names_.size()); ++k)
        out = text::replaceAll(out, names_[k], fields[k]);
    expandCalls(out);
    return out;
}

ContentJob linePatternJob(const LinePatternParams& params)
{
    struct PatternRun {
        LinePatternParams params;
        std::optional<LinePattern> pattern;
    };
    auto run = std::make_shared<PatternRun>();
    run->params = params;

    ContentJob job;
    job.check = [run]() -> std::optional<Refusal> {
        if (run->params.mmPattern.empty()) return Refusal{programText("模式格式为空,请输入后再试!"), "mmPattern"};
        return std::nullopt;
    };
    job.prepare = [run] {
        const std::int32_t count = text::parseInteger(run->params.edArgNum);
        run->pattern.emplace(run->params.mmPattern, text::trim(run->params.edPrefix), count);
    };
    job.transform = [run](const text::LineList& source, const ContentFile&, text::LineList& output, Host& host) {
        const std::size_t probe = growthProbe(source.size());
        for (std::size_t i = 0; i < source.size(); ++i) {
            host.processEvents();
            if (i == probe && probe != 0) reserveAtRate(output, i, source.size());
            if (auto instance = run->pattern->apply(source[i])) output.append(*instance);
        }
        return FileVerdict::written();
    };
    return job;
}

OperationResult btnReplaceClick(const LinePatternParams& params, Workspace& ws, Host& host)
{
    return runContentJob(ws, host, linePatternJob(params));
}

} // namespace qv
