#include "template/evaluator_functions.h"

#include "template/chinese.h"
#include "template/date_format.h"
#include "template/evaluator.h"
#include "template/number.h"
#include "text/bytes.h"

#include <array>
#include <utility>

namespace qv::evaluator {
namespace {

using text::Pos;

struct Entry {
    std::string_view name;
    Function function;
};

constexpr std::array<Entry, 29> kFunctions = {{
    {"date", Function::Date},         {"time", Function::Time},         {"repstr", Function::RepStr},
    {"repstr2", Function::RepStr2},   {"delstr", Function::DelStr},     {"delrange", Function::DelRange},
    {"delleft", Function::DelLeft},   {"delright", Function::DelRight}, {"delmid", Function::DelMid},
    {"addleft", Function::AddLeft},   {"addright", Function::AddRight}, {"addmid", Function::AddMid},
    {"getleft", Function::GetLeft},   {"getright", Function::GetRight}, {"getmid", Function::GetMid},
    {"getstr", Function::GetStr},     {"getstr2", Function::GetStr2},   {"addmid2", Function::AddMid2},
    {"newline", Function::NewLine},   {"xchg", Function::Xchg},         {"delstrl", Function::DelStrL},
    {"delstrr", Function::DelStrR},   {"pos", Function::Pos},           {"getmid2", Function::GetMid2},
    {"gb2big", Function::Gb2Big},     {"big2gb", Function::Big2Gb},     {"len", Function::Len},
    {"lineorg", Function::LineOrg},   {"chs2num", Function::Chs2Num},
}};

constexpr char fold(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch; }

bool equalsFolded(std::string_view written, std::string_view lowerName)
{
    if (written.size() != lowerName.size()) return false;
    for (std::size_t i = 0; i < written.size(); ++i)
        if (fold(written[i]) != lowerName[i]) return false;
    return true;
}

Pos number(std::string_view argument) { return truncateToInt32(EvaluateNumber(argument)); }

Pos length(std::string_view s) { return static_cast<Pos>(s.size()); }

std::string decimal(Pos value) { return std::to_string(value); }

// Length of the next piece of `rest` for breakLines: `width` bytes, one less
// when that would split a double-byte character, and at least the whole
// first character (width 1 before a Chinese character), so every piece makes
// progress.
std::size_t pieceLength(std::string_view rest, Pos width)
{
    if (length(rest) <= width) return rest.size();
    std::size_t piece = 0;
    while (true) {
        const std::size_t next = piece + text::charLength(rest, piece);
        if (static_cast<Pos>(next) > width) break;
        piece = next;
    }
    return piece == 0 ? text::charLength(rest, 0) : piece;
}

std::size_t pieceCount(std::string_view s, Pos width)
{
    std::size_t count = 0;
    for (std::size_t at = 0; at < s.size(); at += pieceLength(s.substr(at), width)) ++count;
    return count;
}

// Cuts `s` into pieces of `width` bytes joined by CR LF, never splitting a
// double-byte character.
std::string breakLines(std::string_view s, Pos width, std::size_t maxBytes)
{
    const std::size_t pieces = pieceCount(s, width);
    requireWithinBound(s.size() + 2 * std::uint64_t{pieces > 0 ? pieces - 1 : 0}, maxBytes);
    std::string out;
    out.reserve(s.size() + 2 * pieces);
    for (std::size_t at = 0; at < s.size();) {
        const std::size_t piece = pieceLength(s.substr(at), width);
        if (at != 0) out.append("\r\n");
        out.append(s.substr(at, piece));
        at += piece;
    }
    return out;
}

std::string withinBound(std::string text, std::size_t maxBytes)
{
    requireWithinBound(text.size(), maxBytes);
    return text;
}

// replace-all, refused before it is built when the result would pass the bound.
std::string replaceAllWithin(std::string_view s, std::string_view from, std::string_view to, std::size_t maxBytes)
{
    if (to.size() > from.size()) requireWithinBound(text::replacedSize(s, from, to), maxBytes);
    return text::replaceAll(s, from, to);
}

// Refuses adding `insertion` to `s` when the result would pass the bound.
void requireRoomFor(std::string_view s, std::string_view insertion, std::size_t maxBytes)
{
    requireWithinBound(std::uint64_t{s.size()} + insertion.size(), maxBytes);
}

// Shared by DelRange and GetStr2: the span from the first `open` through
// the first `close` after it, as (position, length); length 0 when absent.
std::pair<Pos, Pos> findSpan(std::string_view s, std::string_view open, std::string_view close)
{
    const Pos p = text::find(open, s);
    if (p == 0) return {0, 0};
    const Pos q = text::find(close, s, p + length(open));
    if (q == 0) return {0, 0};
    return {p, q + length(close) - p};
}

LocalDateTime today(const Clock& clock)
{
    const LocalDateTime now = clock.now();
    LocalDateTime date;
    date.year = now.year;
    date.month = now.month;
    date.day = now.day;
    return date;
}

LocalDateTime timeOfDay(const Clock& clock)
{
    const LocalDateTime now = clock.now();
    LocalDateTime time; // day zero, 1899-12-30
    time.hour = now.hour;
    time.minute = now.minute;
    time.second = now.second;
    time.millisecond = now.millisecond;
    return time;
}

} // namespace

void requireWithinBound(std::uint64_t bytes, std::size_t maxBytes)
{
    if (bytes > maxBytes) throw EvaluatedTextTooLong();
}

Function findFunction(std::string_view name)
{
    for (const Entry& entry : kFunctions)
        if (equalsFolded(name, entry.name)) return entry.function;
    return Function::Unknown;
}

Arguments splitArguments(std::string_view text)
{
    Arguments args;
    const std::size_t first = text.find(',');
    if (first == std::string_view::npos) {
        args.a1 = text;
        return args;
    }
    args.a1 = text.substr(0, first);
    const std::string_view rest = text.substr(first + 1);
    const std::size_t second = rest.find(',');
    if (second == std::string_view::npos) {
        args.a2 = rest;
        return args;
    }
    args.a2 = rest.substr(0, second);
    args.a3 = rest.substr(second + 1);
    return args;
}

std::string applyFunction(Function function, std::string_view subject, const Arguments& args, const Clock& clock,
                          std::size_t maxBytes)
{
    const Pos size = length(subject);
    std::string s;
    switch (function) {
    case Function::Unknown:
    case Function::LineOrg: return std::string(subject);
    case Function::Date: return withinBound(formatDateTime(args.a1, today(clock), maxBytes), maxBytes);
    case Function::Time: return withinBound(formatDateTime(args.a1, timeOfDay(clock), maxBytes), maxBytes);
    case Function::RepStr: return replaceAllWithin(subject, args.a1, args.a2, maxBytes);
    case Function::RepStr2: {
        const Pos start = number(args.a1), count = number(args.a2);
        s = subject;
        if (start > 0 && count > 0) {
            text::erase(s, start, count);
            requireRoomFor(s, args.a3, maxBytes);
            text::insert(args.a3, s, start);
        }
        return s;
    }
    case Function::DelStr: {
        s = subject;
        const Pos p = text::find(args.a1, s);
        if (p > 0) text::erase(s, p, length(args.a1));
        return s;
    }
    case Function::DelRange: {
        s = subject;
        const auto [p, count] = findSpan(s, args.a1, args.a2);
        if (p > 0) text::erase(s, p, count);
        return s;
    }
    case Function::GetStr2: {
        const auto [p, count] = findSpan(subject, args.a1, args.a2);
        return std::string(p > 0 ? text::part(subject, p, count) : subject);
    }
    case Function::DelLeft:
        s = subject;
        text::erase(s, 1, number(args.a1)); // a count below 1 erases nothing
        return s;
    case Function::DelRight: {
        const Pos count = number(args.a1);
        s = subject;
        if (count > 0) text::erase(s, size - count + 1, count);
        return s;
    }
    case Function::DelMid: {
        const Pos start = number(args.a1), count = number(args.a2);
        s = subject;
        if (start > 0 && count > 0) text::erase(s, start, count);
        return s;
    }
    case Function::AddLeft:
        requireRoomFor(subject, args.a1, maxBytes);
        s.reserve(args.a1.size() + subject.size());
        s.append(args.a1).append(subject);
        return s;
    case Function::AddRight:
        requireRoomFor(subject, args.a1, maxBytes);
        s.reserve(args.a1.size() + subject.size());
        s.append(subject).append(args.a1);
        return s;
    case Function::AddMid: {
        const Pos at = number(args.a1);
        if (at > 0) requireRoomFor(subject, args.a2, maxBytes);
        s = subject;
        if (at > 0) text::insert(args.a2, s, at);
        return s;
    }
    case Function::GetLeft: {
        const Pos count = number(args.a1);
        return std::string(count > 0 ? text::part(subject, 1, count) : subject);
    }
    case Function::GetRight: {
        const Pos count = number(args.a1);
        return std::string(count > 0 ? text::part(subject, size - count + 1, count) : subject);
    }
    case Function::GetMid: {
        const Pos start = number(args.a1), count = number(args.a2);
        return std::string(start > 0 && count > 0 ? text::part(subject, start, count) : subject);
    }
    case Function::GetStr: {
        const Pos p = text::find(args.a1, subject), count = number(args.a2);
        return std::string(p > 0 && count > 0 ? text::part(subject, p, count) : subject);
    }
    case Function::AddMid2: {
        const Pos p = text::find(args.a1, subject);
        if (p > 0) requireRoomFor(subject, args.a3, maxBytes);
        s = subject;
        if (p > 0) text::insert(args.a3, s, p + number(args.a2));
        return s;
    }
    case Function::NewLine: {
        const Pos width = number(args.a1);
        return width > 0 && size > width ? breakLines(subject, width, maxBytes) : std::string(subject);
    }
    case Function::Xchg:
        s = replaceAllWithin(subject, args.a1, kExchangeMarker, maxBytes);
        s = replaceAllWithin(s, args.a2, args.a1, maxBytes);
        return replaceAllWithin(s, kExchangeMarker, args.a2, maxBytes);
    case Function::DelStrL: {
        s = subject;
        const Pos p = text::find(args.a1, s);
        if (p > 0) text::erase(s, 1, p + length(args.a1) - 1);
        return s;
    }
    case Function::DelStrR: {
        s = subject;
        const Pos p = text::find(args.a1, s);
        if (p > 0) text::erase(s, p, size - p + 1);
        return s;
    }
    case Function::Pos: return decimal(text::find(args.a1, subject));
    case Function::GetMid2: {
        const Pos p = text::find(args.a1, subject);
        if (p == 0) return std::string(subject);
        const Pos start = p + number(args.a2), count = number(args.a3);
        return std::string(count > 0 && start > 0 ? text::part(subject, start, count) : subject);
    }
    // The script conversions and Chs2Num change a text's length by a small
    // factor at most, so their results are checked once built.
    case Function::Gb2Big: return withinBound(ToTraditionalBig5(subject), maxBytes);
    case Function::Big2Gb: return withinBound(ToSimplifiedGbk(subject), maxBytes);
    case Function::Len: return decimal(length(args.a1));
    case Function::Chs2Num: return withinBound(ConvertChineseNumerals(args.a1), maxBytes);
    }
    return std::string(subject);
}

} // namespace qv::evaluator
