#include "template/evaluator.h"

#include "platform/code_page.h"
#include "template/evaluator_functions.h"
#include "text/bytes.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <vector>

namespace qv {

EvaluatedTextTooLong::EvaluatedTextTooLong()
    : RunError(CodePage::gbk().fromUtf8("生成的文本超过 256 MB 的上限，处理已停止！"))
{ }

namespace {

using text::Pos;

// What stays the same throughout one evaluation.
struct Evaluation {
    std::string_view subject;
    const Clock& clock;
    std::size_t maxBytes;
};

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

bool isProduced(const Spans& spans, std::size_t index)
{
    return spanAt(spans, index) != nullptr;
}

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
// bytes all come from the template itself; 0 when none. Cost: O(text).
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

// A call "${name(args)}" cut into its parts. Its last byte is taken to be
// the closing "}" and the byte before it the closing ")", whatever they are.
struct CallParts {
    std::string_view body; // after "${", without the last byte
    Pos paren = 0;         // 1-based position of the first "(" in body; 0 when none
    std::string_view name;
    std::string_view args; // after "(", without the last byte of body
};

CallParts cutCall(std::string_view call)
{
    CallParts parts;
    parts.body = text::part(call, 3, static_cast<Pos>(call.size()) - 3);
    parts.paren = text::find("(", parts.body);
    if (parts.paren == 0) return parts;
    parts.name = text::part(parts.body, 1, parts.paren - 1);
    parts.args = text::part(parts.body, parts.paren + 1, static_cast<Pos>(parts.body.size()) - parts.paren - 1);
    return parts;
}

std::string applyToSubject(const Evaluation& ev, evaluator::Function function, std::string_view args)
{
    return evaluator::applyFunction(function, ev.subject, evaluator::splitArguments(args), ev.clock, ev.maxBytes);
}

// A call whose argument text holds no call of its own: every "${" in it came
// from a result.
std::string evaluateInnermostCall(const Evaluation& ev, std::string_view call)
{
    const CallParts parts = cutCall(call);
    if (parts.paren == 0) return std::string(parts.body); // a bare variable yields its name
    const auto function = evaluator::findFunction(parts.name);
    if (function == evaluator::Function::Unknown) return std::string(ev.subject);
    return applyToSubject(ev, function, parts.args);
}

std::string resolveNestedCalls(const Evaluation& ev, std::string_view args, Spans produced);

// The call of a template whose escape sequences are already converted; the
// template "${" and "}" are those outside `produced`.
evaluator::Call findCall(std::string_view templ, const Spans& produced)
{
    using Kind = evaluator::Call::Kind;
    const Pos p = findMarker("${", templ, produced);
    if (p == 0) return {Kind::Text, templ, evaluator::Function::Unknown, {}};
    const CallParts parts = cutCall(templ.substr(static_cast<std::size_t>(p - 1)));
    if (parts.paren == 0) return {Kind::Text, parts.body, evaluator::Function::Unknown, {}};
    const auto function = evaluator::findFunction(parts.name);
    // An unknown function yields the subject, whatever its arguments hold.
    const bool nested = function != evaluator::Function::Unknown && text::find("${", parts.args) != 0;
    return {nested ? Kind::Nested : Kind::Function, {}, function, parts.args};
}

// One call, on a template whose escape sequences are already converted.
std::string evaluateCall(const Evaluation& ev, std::string_view templ, const Spans& produced)
{
    const evaluator::Call call = findCall(templ, produced);
    switch (call.kind) {
    case evaluator::Call::Kind::Text: return std::string(call.text);
    case evaluator::Call::Kind::Function: return applyToSubject(ev, call.function, call.args);
    case evaluator::Call::Kind::Nested: break;
    }
    const auto argsOffset = static_cast<std::size_t>(call.args.data() - templ.data());
    Spans argsProduced;
    copySpans(produced, argsOffset, argsOffset + call.args.size(), 0, argsProduced);
    return applyToSubject(ev, call.function, resolveNestedCalls(ev, call.args, std::move(argsProduced)));
}

// Every occurrence of `call` in `text` (letter case ignored, left to right,
// resuming after each replacement) whose first and last bytes come from the
// template replaced by `result`, which is marked as produced. Returns false,
// leaving `text` alone, when that changes no byte. Cost: O(text) per
// occurrence looked at; used only for the rare step that cannot take the
// fast path of NestedCallResolver.
bool replaceCall(const Evaluation& ev, std::string& text, Spans& produced, std::string_view call,
                 std::string_view result)
{
    std::vector<std::size_t> found;
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
        found.push_back(index);
        at = text::findIgnoreCase(call, text, static_cast<Pos>(index + call.size()) + 1);
    }
    if (found.empty()) return false;
    evaluator::requireWithinBound(
        text.size() - found.size() * call.size() + found.size() * std::uint64_t{result.size()}, ev.maxBytes);
    std::string out;
    Spans outProduced;
    std::size_t copied = 0;
    for (const std::size_t index : found) {
        copySpans(produced, copied, index, out.size(), outProduced);
        out.append(text, copied, index - copied);
        if (!result.empty()) outProduced.push_back({out.size(), out.size() + result.size()});
        out.append(result);
        copied = index + call.size();
    }
    copySpans(produced, copied, text.size(), out.size(), outProduced);
    out.append(text, copied, std::string::npos);
    if (out == text) return false;
    text = std::move(out);
    produced = std::move(outProduced);
    return true;
}

// One step of the nested-call loop on the whole text: the call that closes
// at the first "}" is evaluated and substituted for every occurrence. When
// no "${" stands before that "}", the text from its start to the "}" is the
// "call" (with "$" put in front of a leading "{"). False when there is no
// call left, no "}", or the step changes no byte. Cost: O(text).
bool replaceFirstClosingCall(const Evaluation& ev, std::string& text, Spans& produced)
{
    if (findMarker("${", text, produced) == 0) return false;
    const Pos close = findMarker("}", text, produced);
    if (close == 0) return false;
    Pos start = 1;
    for (Pos k = findMarker("${", text, produced); k > 0 && k < close; k = findMarker("${", text, produced, k + 1))
        start = k + 1; // keep the "{" of the last "${" before the "}"
    std::string inner(text::part(text, start, close - start + 1));
    Spans innerProduced;
    const std::size_t shift = !inner.empty() && inner[0] == '{' ? 1 : 0;
    if (shift == 1) inner.insert(0, 1, '$');
    copySpans(produced, static_cast<std::size_t>(start - 1), static_cast<std::size_t>(close), shift, innerProduced);
    const std::string result = evaluateCall(ev, inner, innerProduced);
    return replaceCall(ev, text, produced, inner, result);
}

// Does a character of `s` start at `index`, counting characters from
// `from` (itself a character start)? Decided locally: a byte outside the
// lead-byte range always ends a character, so `index` starts one exactly
// when an even number of lead-range bytes stands right before it.
bool startsCharacterFrom(std::string_view s, std::size_t from, std::size_t index)
{
    std::size_t leads = 0;
    while (index - leads > from && text::isLeadByte(static_cast<unsigned char>(s[index - leads - 1]))) ++leads;
    return leads % 2 == 0;
}

// Does the character walk, in the middle of a character when `midCharacter`,
// end in the middle of one after `bytes`? Only the run of lead-range bytes
// at the end matters (see startsCharacterFrom), so long results cost nothing.
bool endsMidCharacter(std::string_view bytes, bool midCharacter)
{
    std::size_t leads = 0;
    while (leads < bytes.size() && text::isLeadByte(static_cast<unsigned char>(bytes[bytes.size() - leads - 1])))
        ++leads;
    if (leads == bytes.size() && midCharacter) return leads % 2 == 0; // the first byte ends a character
    return leads % 2 == 1;
}

// Resolves the calls nested in an argument text, innermost first: each step
// takes the call that closes at the first "}" (after the last "${" before
// it), evaluates it against the subject and substitutes its result for every
// occurrence of its text. Stops when no call is left, or when a step changes
// nothing (a literal "}" before a call, a call without its "}", two calls
// side by side); the text is then used as it stands. Every step that
// continues turns at least one template "}" into result text, so the loop
// ends after at most as many steps as the argument text has "}".
//
// The text is kept in two parts around a scan point that only moves right:
// `done_`, which holds no template "}" and whose template "${" positions are
// stacked in `opens_`, and `rest_` from `restAt_` on, not yet scanned. The
// first "}" of the text is then the first one the scan meets, its call
// starts at the top of the stack, and its result replaces the end of
// `done_`; a copy of the call can only stand in `rest_`, where an index of
// call heads finds it. Each byte is thus scanned about once and each
// step costs its call, its result and the copies of the call, instead of a
// pass over the whole text.
// The rare step whose "}" has no "${" before it runs on the whole text.
class NestedCallResolver {
public:
    NestedCallResolver(const Evaluation& ev, std::string text, Spans produced) : ev_(ev)
    {
        restart(std::move(text), std::move(produced));
    }

    std::string run()
    {
        while (scanToClosingBrace()) {
            if (opens_.empty()) {
                if (!stepOnWholeText()) break;
                continue;
            }
            const std::size_t start = opens_.back();
            const std::string_view call = std::string_view(done_).substr(start); // valid until done_ changes
            const std::string result = evaluateInnermostCall(ev_, call);
            const std::vector<std::size_t> copies = findCopiesAhead(call);
            if (!changesAnything(call, result, copies)) break;
            opens_.pop_back();
            evaluator::requireWithinBound(sizeAfterStep(call.size(), result.size(), copies.size()), ev_.maxBytes);
            if (!copies.empty()) replaceCopiesAhead(copies, call.size(), result);
            replaceDoneFrom(start, result);
        }
        return wholeText();
    }

private:
    void restart(std::string text, Spans produced)
    {
        done_.clear();
        doneProduced_.clear();
        opens_.clear();
        midCharacter_ = false;
        rest_ = std::move(text);
        restProduced_ = std::move(produced);
        restAt_ = 0;
        nextSpan_ = 0;
        indexCallHeads();
    }

    // Files every template "$" of rest_ under the hash of its call head: the
    // bytes from it through the first "}" after it, at most kHeadBytes of
    // them, letters folded. A copy of a call has the same head as the call,
    // so findCopiesAhead only looks at the few places filed under the call's
    // head. One pass over rest_.
    void indexCallHeads()
    {
        callHeads_.clear();
        std::deque<std::pair<std::size_t, std::uint64_t>> open; // "$" index, hash before it
        std::uint64_t hash = 0;
        bool midCharacter = false;
        std::size_t span = 0;
        const auto file = [&](std::size_t at, std::uint64_t before, std::size_t end) {
            callHeads_[hash - before * power(end - at)].push_back(at);
        };
        for (std::size_t i = 0; i < rest_.size(); ++i) {
            while (span < restProduced_.size() && restProduced_[span].end <= i) ++span;
            const bool produced = span < restProduced_.size() && restProduced_[span].begin <= i;
            const auto byte = static_cast<unsigned char>(rest_[i]);
            if (byte == '$' && !produced) open.emplace_back(i, hash);
            hash = hash * kHashBase + foldedAt(byte, midCharacter);
            midCharacter = !midCharacter && text::isLeadByte(byte);
            if (byte == '}') {
                for (const auto& [at, before] : open) file(at, before, i + 1);
                open.clear();
            } else if (!open.empty() && i + 1 - open.front().first == kHeadBytes) {
                file(open.front().first, open.front().second, i + 1);
                open.pop_front();
            }
        }
        for (auto& [head, places] : callHeads_) std::sort(places.begin(), places.end());
    }

    static constexpr std::size_t kHeadBytes = 64;
    static constexpr std::uint64_t kHashBase = 0x100000001B3;

    // The byte as head hashes see it: an ASCII letter that is a character of
    // its own in lower case, anything else (second bytes too) as it is.
    static std::uint64_t foldedAt(unsigned char byte, bool midCharacter)
    {
        return !midCharacter && byte >= 'A' && byte <= 'Z' ? byte + 32 : byte;
    }

    static std::uint64_t power(std::size_t exponent)
    {
        std::uint64_t result = 1, base = kHashBase;
        for (; exponent > 0; exponent >>= 1, base *= base)
            if (exponent & 1) result *= base;
        return result;
    }

    // The head hash of a call, which begins on a character.
    static std::uint64_t headHash(std::string_view call)
    {
        std::uint64_t hash = 0;
        bool midCharacter = false;
        for (const char ch : call.substr(0, kHeadBytes)) {
            const auto byte = static_cast<unsigned char>(ch);
            hash = hash * kHashBase + foldedAt(byte, midCharacter);
            midCharacter = !midCharacter && text::isLeadByte(byte);
            if (byte == '}') break;
        }
        return hash;
    }

    bool restSpanBeginsAt(std::size_t index) const
    {
        return nextSpan_ < restProduced_.size() && restProduced_[nextSpan_].begin == index;
    }

    // Moves the scan point up to and including the next template "}" that
    // starts a character; false at the end of the text.
    bool scanToClosingBrace()
    {
        while (restAt_ < rest_.size()) {
            if (restSpanBeginsAt(restAt_)) {
                const Span span = restProduced_[nextSpan_++];
                const std::string_view bytes = std::string_view(rest_).substr(span.begin, span.end - span.begin);
                doneProduced_.push_back({done_.size(), done_.size() + bytes.size()});
                done_.append(bytes);
                midCharacter_ = endsMidCharacter(bytes, midCharacter_);
                restAt_ = span.end;
                continue;
            }
            const char byte = rest_[restAt_];
            const bool startsCharacter = !midCharacter_;
            midCharacter_ = startsCharacter && text::isLeadByte(static_cast<unsigned char>(byte));
            if (startsCharacter && byte == '$' && restAt_ + 1 < rest_.size() && rest_[restAt_ + 1] == '{' &&
                !restSpanBeginsAt(restAt_ + 1))
                opens_.push_back(done_.size());
            done_.push_back(byte);
            ++restAt_;
            if (startsCharacter && byte == '}') return true;
        }
        return false;
    }

    // The later occurrences of `call` (letter case ignored) that the step
    // replaces: in the unscanned text, starting on a character, with a
    // template first and last byte, left to right without overlap.
    std::vector<std::size_t> findCopiesAhead(std::string_view call)
    {
        const auto filed = callHeads_.find(headHash(call));
        if (filed == callHeads_.end()) return {};
        const std::vector<std::size_t>& places = filed->second;
        std::vector<std::size_t> copies;
        std::size_t from = restAt_;
        for (auto it = std::lower_bound(places.begin(), places.end(), restAt_); it != places.end(); ++it) {
            const std::size_t at = *it;
            if (at < from) continue;
            if (rest_.size() - at < call.size()) break;
            const std::size_t last = at + call.size() - 1;
            if (rest_[last] != '}' || !text::equalsIgnoreCaseAt(rest_, at, call)) continue;
            if (!startsCharacterFrom(rest_, restAt_, at) || isProduced(restProduced_, last)) continue;
            copies.push_back(at);
            from = at + call.size();
        }
        return copies;
    }

    bool changesAnything(std::string_view call, std::string_view result, const std::vector<std::size_t>& copies) const
    {
        if (result != call) return true;
        return std::any_of(copies.begin(), copies.end(),
                           [&](std::size_t at) { return std::string_view(rest_).substr(at, call.size()) != result; });
    }

    std::uint64_t sizeAfterStep(std::size_t callSize, std::size_t resultSize, std::size_t copies) const
    {
        const std::uint64_t kept = done_.size() + (rest_.size() - restAt_) - (copies + 1) * std::uint64_t{callSize};
        return kept + (copies + 1) * std::uint64_t{resultSize};
    }

    // The unscanned text with `result` (produced) in place of each copy.
    void replaceCopiesAhead(const std::vector<std::size_t>& copies, std::size_t callSize, const std::string& result)
    {
        std::string out;
        Spans outProduced;
        std::size_t span = nextSpan_;
        const auto copyRange = [&](std::size_t begin, std::size_t end) {
            for (; span < restProduced_.size() && restProduced_[span].begin < end; ++span)
                outProduced.push_back({restProduced_[span].begin - begin + out.size(),
                                       std::min(restProduced_[span].end, end) - begin + out.size()});
            out.append(rest_, begin, end - begin);
        };
        std::size_t copied = restAt_;
        for (const std::size_t at : copies) {
            copyRange(copied, at);
            while (span < restProduced_.size() && restProduced_[span].begin < at + callSize) ++span;
            if (!result.empty()) outProduced.push_back({out.size(), out.size() + result.size()});
            out.append(result);
            copied = at + callSize;
        }
        copyRange(copied, rest_.size());
        std::string scanned = std::move(done_);
        Spans scannedProduced = std::move(doneProduced_);
        std::vector<std::size_t> opens = std::move(opens_);
        const bool midCharacter = midCharacter_;
        restart(std::move(out), std::move(outProduced));
        done_ = std::move(scanned);
        doneProduced_ = std::move(scannedProduced);
        opens_ = std::move(opens);
        midCharacter_ = midCharacter;
    }

    // The call that ends `done_` at `start` replaced by its result.
    void replaceDoneFrom(std::size_t start, const std::string& result)
    {
        done_.resize(start);
        while (!doneProduced_.empty() && doneProduced_.back().begin >= start) doneProduced_.pop_back();
        if (!result.empty()) doneProduced_.push_back({start, start + result.size()});
        done_.append(result);
        midCharacter_ = endsMidCharacter(result, false); // a call starts a character
        if (result.empty() && opensAtJoin()) opens_.push_back(start - 1);
    }

    // After a call vanished without a trace: do the template "$" before it
    // and the template "{" after it now form a "${"?
    bool opensAtJoin() const
    {
        if (done_.empty() || done_.back() != '$' || restAt_ >= rest_.size() || rest_[restAt_] != '{') return false;
        if (restSpanBeginsAt(restAt_)) return false;
        if (!doneProduced_.empty() && doneProduced_.back().end == done_.size()) return false;
        return startsCharacterFrom(done_, 0, done_.size() - 1);
    }

    std::string wholeText() const { return done_ + rest_.substr(restAt_); }

    Spans wholeProduced() const
    {
        Spans spans = doneProduced_;
        for (std::size_t i = nextSpan_; i < restProduced_.size(); ++i)
            spans.push_back(
                {restProduced_[i].begin - restAt_ + done_.size(), restProduced_[i].end - restAt_ + done_.size()});
        return spans;
    }

    bool stepOnWholeText()
    {
        std::string text = wholeText();
        Spans produced = wholeProduced();
        if (!replaceFirstClosingCall(ev_, text, produced)) return false;
        restart(std::move(text), std::move(produced));
        return true;
    }

    const Evaluation& ev_;
    std::string done_;
    Spans doneProduced_;
    std::vector<std::size_t> opens_; // indexes in done_ of template "${" markers
    bool midCharacter_ = false;      // the next byte is the second of a character
    std::string rest_;
    Spans restProduced_;
    std::size_t restAt_ = 0;
    std::size_t nextSpan_ = 0; // first span of restProduced_ not yet scanned
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> callHeads_; // see indexCallHeads
};

std::string resolveNestedCalls(const Evaluation& ev, std::string_view args, Spans produced)
{
    return NestedCallResolver(ev, std::string(args), std::move(produced)).run();
}

} // namespace

namespace evaluator {

Call readCall(std::string_view templ)
{
    return findCall(templ, {});
}

std::string convertEscapes(std::string_view templ)
{
    std::string out = text::replaceAll(templ, "\\t", "\t");
    out = text::replaceAll(out, "\\r", "\r");
    return text::replaceAll(out, "\\n", "\n");
}

std::size_t evaluationBound(std::size_t subjectBytes, std::size_t templateBytes)
{
    return std::max({maxEvaluatedTextBytes, subjectBytes, templateBytes});
}

} // namespace evaluator

std::string EvaluateTemplate(std::string_view subject, std::string_view templ, const Clock& clock)
{
    const Evaluation ev{subject, clock, evaluator::evaluationBound(subject.size(), templ.size())};
    if (templ.find('\\') == std::string_view::npos) return evaluateCall(ev, templ, {});
    const std::string converted = evaluator::convertEscapes(templ);
    return evaluateCall(ev, converted, {});
}

} // namespace qv
