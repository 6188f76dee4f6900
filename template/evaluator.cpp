#include "template/evaluator.h"

#include "template/evaluator_functions.h"
#include "text/bytes.h"

#include <algorithm>
#include <vector>

namespace qv {
namespace {

using text::Pos;

// Nested calls are resolved by substituting each call's result into the
// argument text. A result is data, not template: a "${" or "}" inside it
// never opens or closes a call. Without that rule a subject such as
// "a${LineOrg()}" would make ${Len(${LineOrg()})} substitute itself forever,
// and a line of a shell script ("echo ${HOME}") would be rewritten as though
// it were part of the template. Produced spans record which bytes of the
// working text came from results.
struct Span {
    std::size_t begin; // 0-based, end exclusive
    std::size_t end;
};
using Spans = std::vector<Span>;

// The produced span holding byte `index`, or null.
const Span* spanAt(const Spans& spans, std::size_t index)
{
    const auto after = std::upper_bound(spans.begin(), spans.end(), index,
                                        [](std::size_t i, const Span& span) { return i < span.begin; });
    if (after == spans.begin() || index >= std::prev(after)->end) return nullptr;
    return &*std::prev(after);
}

bool isProduced(const Spans& spans, std::size_t index) { return spanAt(spans, index) != nullptr; }

// The spans inside [begin, end) of a text, moved so that `begin` lands on
// `to`, appended to `out`.
void copySpans(const Spans& spans, std::size_t begin, std::size_t end, std::size_t to, Spans& out)
{
    for (const Span& span : spans) {
        if (span.end <= begin || span.begin >= end) continue;
        out.push_back({std::max(span.begin, begin) - begin + to, std::min(span.end, end) - begin + to});
    }
}

// First occurrence of a call marker ("${" or "}") at or after `from` whose
// bytes all come from the template itself; 0 when none.
Pos findMarker(std::string_view marker, std::string_view text, const Spans& produced, Pos from = 1)
{
    while (true) {
        const Pos at = text::find(marker, text, from);
        if (at == 0 || produced.empty()) return at;
        const auto index = static_cast<std::size_t>(at - 1);
        if (const Span* span = spanAt(produced, index)) {
            from = static_cast<Pos>(span->end) + 1; // skip the whole result at once
            continue;
        }
        if (!isProduced(produced, index + marker.size() - 1)) return at;
        from = at + 1;
    }
}

std::string evaluateCall(std::string_view subject, std::string_view templ, const Spans& produced, const Clock& clock);

// Every occurrence of `call` in `text` (letter case ignored, left to right,
// resuming after each replacement) whose first and last bytes come from the
// template replaced by `result`, which is marked as produced. Returns false,
// leaving `text` alone, when that changes no byte.
bool replaceCall(std::string& text, Spans& produced, std::string_view call, std::string_view result)
{
    std::string out;
    Spans outProduced;
    std::size_t copied = 0;
    bool replaced = false;
    Pos at = text::findIgnoreCase(call, text);
    while (at > 0) {
        const auto index = static_cast<std::size_t>(at - 1);
        if (const Span* span = spanAt(produced, index)) {
            at = text::findIgnoreCase(call, text, static_cast<Pos>(span->end) + 1);
            continue;
        }
        if (isProduced(produced, index + call.size() - 1)) {
            at = text::findIgnoreCase(call, text, at + 1);
            continue;
        }
        copySpans(produced, copied, index, out.size(), outProduced);
        out.append(text, copied, index - copied);
        if (!result.empty()) outProduced.push_back({out.size(), out.size() + result.size()});
        out.append(result);
        copied = index + call.size();
        replaced = true;
        at = text::findIgnoreCase(call, text, static_cast<Pos>(copied) + 1);
    }
    if (!replaced) return false;
    copySpans(produced, copied, text.size(), out.size(), outProduced);
    out.append(text, copied, std::string::npos);
    if (out == text) return false;
    text = std::move(out);
    produced = std::move(outProduced);
    return true;
}

// Resolves the calls nested in an argument text, innermost first: each step
// takes the call that closes at the first "}", evaluates it against the
// original subject and substitutes its result for every occurrence. Stops
// when no call is left, or when a step changes nothing (a literal "}" before
// a call, a call without its "}", two calls side by side); the text is then
// used as it stands. Every step that continues turns at least one template
// "}" into result text, so the loop ends after at most as many steps as the
// argument text has "}".
std::string resolveNestedCalls(std::string_view subject, std::string_view args, Spans produced, const Clock& clock)
{
    std::string text(args);
    while (findMarker("${", text, produced) > 0) {
        const Pos close = findMarker("}", text, produced);
        if (close == 0) break;
        Pos start = 1;
        for (Pos k = findMarker("${", text, produced); k > 0 && k < close; k = findMarker("${", text, produced, k + 1))
            start = k + 1; // keep the "{" of the last "${" before the "}"
        std::string inner(text::part(text, start, close - start + 1));
        Spans innerProduced;
        const std::size_t shift = !inner.empty() && inner[0] == '{' ? 1 : 0;
        if (shift == 1) inner.insert(0, 1, '$');
        copySpans(produced, static_cast<std::size_t>(start - 1), static_cast<std::size_t>(close), shift, innerProduced);
        const std::string result = evaluateCall(subject, inner, innerProduced, clock);
        if (!replaceCall(text, produced, inner, result)) break;
    }
    return text;
}

// One call, on a template whose escape sequences are already converted.
std::string evaluateCall(std::string_view subject, std::string_view templ, const Spans& produced, const Clock& clock)
{
    const Pos p = findMarker("${", templ, produced);
    if (p == 0) return std::string(templ);
    // After "${", without the last byte (taken to be the closing "}").
    const std::string_view body = text::part(templ, p + 2, static_cast<Pos>(templ.size()) - p - 2);
    const std::size_t bodyOffset = static_cast<std::size_t>(p + 1);
    const Pos q = text::find("(", body);
    if (q == 0) return std::string(body); // a bare variable yields its name

    const auto function = evaluator::findFunction(text::part(body, 1, q - 1));
    if (function == evaluator::Function::Unknown) return std::string(subject);
    // After "(", without the last byte (taken to be the closing ")").
    const std::string_view args = text::part(body, q + 1, static_cast<Pos>(body.size()) - q - 1);
    const std::size_t argsOffset = bodyOffset + static_cast<std::size_t>(q);

    if (text::find("${", args) == 0) return evaluator::applyFunction(function, subject, evaluator::splitArguments(args), clock);
    Spans argsProduced;
    copySpans(produced, argsOffset, argsOffset + args.size(), 0, argsProduced);
    const std::string resolved = resolveNestedCalls(subject, args, std::move(argsProduced), clock);
    return evaluator::applyFunction(function, subject, evaluator::splitArguments(resolved), clock);
}

// "\t", "\r" and "\n" (either letter case) turned into TAB, CR and LF.
std::string convertEscapes(std::string_view templ)
{
    std::string out = text::replaceAll(templ, "\\t", "\t");
    out = text::replaceAll(out, "\\r", "\r");
    return text::replaceAll(out, "\\n", "\n");
}

} // namespace

std::string EvaluateTemplate(std::string_view subject, std::string_view templ, const Clock& clock)
{
    if (templ.find('\\') == std::string_view::npos) return evaluateCall(subject, templ, {}, clock);
    const std::string converted = convertEscapes(templ);
    return evaluateCall(subject, converted, {}, clock);
}

} // namespace qv
