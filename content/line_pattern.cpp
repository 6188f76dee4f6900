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

// Does a character start at 0-based `index` of `s`? The byte before a run of
// first bytes always ends a character, and the run pairs up from there, so
// only that run is looked at: an even one ends right before `index`.
bool startsCharacter(std::string_view s, std::size_t index)
{
    std::size_t run = 0;
    while (run < index && text::isLeadByte(static_cast<unsigned char>(s[index - 1 - run]))) ++run;
    return run % 2 == 0;
}

// 0-based index of the first `byte` at or after `from` that starts a
// character, as text::find finds a one-byte needle; npos when there is none.
std::size_t findByte(std::string_view s, char byte, std::size_t from)
{
    for (std::size_t at = s.find(byte, from); at != std::string_view::npos; at = s.find(byte, at + 1))
        if (startsCharacter(s, at)) return at;
    return std::string_view::npos;
}

// The first `limit` fields of `data` (trimmed, not empty) as text::splitFields
// cuts them at `separator` ('\0': the whole text is the one field), as views
// into `data`.
void splitFieldViews(std::string_view data, char separator, std::size_t limit, std::vector<std::string_view>& fields)
{
    fields.clear();
    if (limit == 0) return;
    if (separator == '\0') {
        fields.push_back(data);
        return;
    }
    std::string_view rest = data;
    while (fields.size() < limit) {
        const std::size_t cut = findByte(rest, separator, 0);
        if (cut == std::string_view::npos) {
            if (!rest.empty()) fields.push_back(rest);
            return;
        }
        fields.push_back(text::trim(rest.substr(0, cut)));
        rest = text::trim(rest.substr(cut + 1));
    }
}

// 0-based index of the next place at or after `from` where `name` occurs in
// `s` starting a character, ASCII letters compared without regard to case;
// npos when there is none.
std::size_t findName(std::string_view s, std::string_view name, std::size_t from)
{
    const char first = name[0];
    const char other = first >= 'a' && first <= 'z'   ? static_cast<char>(first - 32)
                       : first >= 'A' && first <= 'Z' ? static_cast<char>(first + 32)
                                                      : first;
    for (std::size_t at = from; at < s.size();) {
        std::size_t candidate = s.find(first, at);
        if (other != first) candidate = std::min(candidate, s.find(other, at));
        if (candidate == std::string_view::npos) break;
        if (startsCharacter(s, candidate) && text::equalsIgnoreCaseAt(s, candidate, name)) return candidate;
        at = candidate + 1;
    }
    return std::string_view::npos;
}

// Writes `s` with every `name` replaced by `value` into `out`, as
// text::replaceAll does (a name never ends with half a character, so the
// scan resumes on a character start after each match), copying the runs
// between matches whole. False, leaving `out` alone, when nothing matches.
bool replaceAllInto(std::string_view s, std::string_view name, std::string_view value, std::string& out)
{
    std::size_t at = findName(s, name, 0);
    if (at == std::string_view::npos) return false;
    out.clear();
    std::size_t kept = 0; // start of the bytes not yet copied
    for (; at != std::string_view::npos; at = findName(s, name, kept)) {
        out.append(s.substr(kept, at - kept));
        out.append(value);
        kept = at + name.size();
    }
    out.append(s.substr(kept));
    return true;
}

} // namespace

void expandCalls(std::string& working)
{
    if (working.find('}') == std::string::npos) return; // no call closes: the usual case of a plain pattern
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
        const std::int64_t next = found.atLimit
                                      ? callStart + found.before * delta + static_cast<std::int64_t>(value.size())
                                      : static_cast<std::int64_t>(close + 1) + found.before * delta;
        working = std::move(expanded);
        from = static_cast<std::size_t>(std::clamp<std::int64_t>(next, 0, static_cast<std::int64_t>(working.size())));
    }
}

LinePattern::LinePattern(std::string pattern, std::string_view prefix, std::int32_t count)
    : pattern_(std::move(pattern))
{
    for (std::int32_t k = 1; k <= std::min(count, maxNames); ++k)
        names_.push_back(std::string(prefix) + std::to_string(k));
}

std::optional<std::string> LinePattern::apply(std::string_view line)
{
    std::string out;
    if (!appendTo(line, out)) return std::nullopt;
    return out;
}

bool LinePattern::appendTo(std::string_view line, std::string& out)
{
    const std::string_view data = text::trim(line);
    if (data.empty()) return false;
    if (separator_ == '\0') {
        for (const char candidate : {'\t', ';', ':', ' '}) {
            if (data.find(candidate) != std::string_view::npos) {
                separator_ = candidate;
                break;
            }
        }
    }
    splitFieldViews(data, separator_, names_.size(), fields_);
    working_ = pattern_;
    for (std::size_t k = 0; k < fields_.size(); ++k) {
        if (replaceAllInto(working_, names_[k], fields_[k], spare_)) working_.swap(spare_);
    }
    expandCalls(working_);
    out.append(working_);
    return true;
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
    job.perLine = [run](const ContentFile&) -> LineTransform {
        return [run](std::string_view line, std::string& out) {
            if (run->pattern->appendTo(line, out)) out.append("\r\n");
        };
    };
    return job;
}

OperationResult btnReplaceClick(const LinePatternParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    return runContentJob(ws, host, fs, linePatternJob(params));
}

} // namespace qv
