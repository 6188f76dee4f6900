#include "template/evaluator_functions.h"

#include "template/chinese.h"
#include "template/date_format.h"
#include "template/evaluator.h"
#include "template/number.h"
#include "text/bytes.h"

#include <array>
#include <charconv>
#include <utility>

namespace qv::evaluator {
namespace {

using text::Pos;

struct Entry {
    std::string_view name;
    Function function;
};

constexpr std::array<Entry, 29> kFunctions = {{
    {"date", Function::Date},       {"time", Function::Time},         {"repstr", Function::RepStr},
    {"repstr2", Function::RepStr2}, {"delstr", Function::DelStr},     {"delrange", Function::DelRange},
    {"delleft", Function::DelLeft}, {"delright", Function::DelRight}, {"delmid", Function::DelMid},
    {"addleft", Function::AddLeft}, {"addright", Function::AddRight}, {"addmid", Function::AddMid},
    {"getleft", Function::GetLeft}, {"getright", Function::GetRight}, {"getmid", Function::GetMid},
    {"getstr", Function::GetStr},   {"getstr2", Function::GetStr2},   {"addmid2", Function::AddMid2},
    {"newline", Function::NewLine}, {"xchg", Function::Xchg},         {"delstrl", Function::DelStrL},
    {"delstrr", Function::DelStrR}, {"pos", Function::Pos},           {"getmid2", Function::GetMid2},
    {"gb2big", Function::Gb2Big},   {"big2gb", Function::Big2Gb},     {"len", Function::Len},
    {"lineorg", Function::LineOrg}, {"chs2num", Function::Chs2Num},
}};

constexpr char fold(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch;
}

bool equalsFolded(std::string_view written, std::string_view lowerName)
{
    if (written.size() != lowerName.size()) return false;
    for (std::size_t i = 0; i < written.size(); ++i)
        if (fold(written[i]) != lowerName[i]) return false;
    return true;
}

Pos number(std::string_view argument)
{
    return truncateToInt32(EvaluateNumber(argument));
}

Pos length(std::string_view s)
{
    return static_cast<Pos>(s.size());
}

// `value` in decimal digits, written over `out` without building a string.
void assignDecimal(Pos value, std::string& out)
{
    char digits[24];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, value);
    out.assign(digits, written.ptr);
}

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
void breakLines(std::string_view s, Pos width, std::size_t maxBytes, std::string& out)
{
    const std::size_t pieces = pieceCount(s, width);
    requireWithinBound(s.size() + 2 * std::uint64_t{pieces > 0 ? pieces - 1 : 0}, maxBytes);
    out.clear();
    out.reserve(s.size() + 2 * pieces);
    for (std::size_t at = 0; at < s.size();) {
        const std::size_t piece = pieceLength(s.substr(at), width);
        if (at != 0) out.append("\r\n");
        out.append(s.substr(at, piece));
        at += piece;
    }
}

void assignWithinBound(std::string text, std::size_t maxBytes, std::string& out)
{
    requireWithinBound(text.size(), maxBytes);
    out = std::move(text);
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

ReadArguments readArguments(Function function, const Arguments& args)
{
    ReadArguments read{args};
    switch (function) {
    case Function::RepStr2:
    case Function::DelMid:
    case Function::GetMid:
        read.n1 = number(args.a1);
        read.n2 = number(args.a2);
        break;
    case Function::DelLeft:
    case Function::DelRight:
    case Function::AddMid:
    case Function::GetLeft:
    case Function::GetRight:
    case Function::NewLine: read.n1 = number(args.a1); break;
    case Function::GetStr:
    case Function::AddMid2: read.n2 = number(args.a2); break;
    case Function::GetMid2:
        read.n2 = number(args.a2);
        read.n3 = number(args.a3);
        break;
    default: break;
    }
    return read;
}

void applyFunction(Function function, std::string_view subject, const ReadArguments& args, const Clock& clock,
                   std::size_t maxBytes, std::string& out)
{
    const Pos size = length(subject);
    const auto& [a1, a2, a3] = args.texts;
    switch (function) {
    case Function::Unknown:
    case Function::LineOrg: out.assign(subject); return;
    case Function::Date: assignWithinBound(formatDateTime(a1, today(clock), maxBytes), maxBytes, out); return;
    case Function::Time: assignWithinBound(formatDateTime(a1, timeOfDay(clock), maxBytes), maxBytes, out); return;
    case Function::RepStr: out = replaceAllWithin(subject, a1, a2, maxBytes); return;
    case Function::RepStr2: {
        const Pos start = args.n1, count = args.n2;
        out.assign(subject);
        if (start > 0 && count > 0) {
            text::erase(out, start, count);
            requireRoomFor(out, a3, maxBytes);
            text::insert(a3, out, start);
        }
        return;
    }
    case Function::DelStr: {
        out.assign(subject);
        const Pos p = text::find(a1, out);
        if (p > 0) text::erase(out, p, length(a1));
        return;
    }
    case Function::DelRange: {
        out.assign(subject);
        const auto [p, count] = findSpan(out, a1, a2);
        if (p > 0) text::erase(out, p, count);
        return;
    }
    case Function::GetStr2: {
        const auto [p, count] = findSpan(subject, a1, a2);
        out.assign(p > 0 ? text::part(subject, p, count) : subject);
        return;
    }
    case Function::DelLeft:
        out.assign(subject);
        text::erase(out, 1, args.n1); // a count below 1 erases nothing
        return;
    case Function::DelRight: {
        const Pos count = args.n1;
        out.assign(subject);
        if (count > 0) text::erase(out, size - count + 1, count);
        return;
    }
    case Function::DelMid: {
        const Pos start = args.n1, count = args.n2;
        out.assign(subject);
        if (start > 0 && count > 0) text::erase(out, start, count);
        return;
    }
    case Function::AddLeft:
        requireRoomFor(subject, a1, maxBytes);
        out.reserve(a1.size() + subject.size());
        out.assign(a1).append(subject);
        return;
    case Function::AddRight:
        requireRoomFor(subject, a1, maxBytes);
        out.reserve(a1.size() + subject.size());
        out.assign(subject).append(a1);
        return;
    case Function::AddMid: {
        const Pos at = args.n1;
        if (at > 0) requireRoomFor(subject, a2, maxBytes);
        out.assign(subject);
        if (at > 0) text::insert(a2, out, at);
        return;
    }
    case Function::GetLeft: {
        const Pos count = args.n1;
        out.assign(count > 0 ? text::part(subject, 1, count) : subject);
        return;
    }
    case Function::GetRight: {
        const Pos count = args.n1;
        out.assign(count > 0 ? text::part(subject, size - count + 1, count) : subject);
        return;
    }
    case Function::GetMid: {
        const Pos start = args.n1, count = args.n2;
        out.assign(start > 0 && count > 0 ? text::part(subject, start, count) : subject);
        return;
    }
    case Function::GetStr: {
        const Pos p = text::find(a1, subject), count = args.n2;
        out.assign(p > 0 && count > 0 ? text::part(subject, p, count) : subject);
        return;
    }
    case Function::AddMid2: {
        const Pos p = text::find(a1, subject);
        if (p > 0) requireRoomFor(subject, a3, maxBytes);
        out.assign(subject);
        if (p > 0) text::insert(a3, out, p + args.n2);
        return;
    }
    case Function::NewLine: {
        const Pos width = args.n1;
        if (width > 0 && size > width)
            breakLines(subject, width, maxBytes, out);
        else
            out.assign(subject);
        return;
    }
    case Function::Xchg: {
        const std::string parked = replaceAllWithin(subject, a1, kExchangeMarker, maxBytes);
        const std::string swapped = replaceAllWithin(parked, a2, a1, maxBytes);
        out = replaceAllWithin(swapped, kExchangeMarker, a2, maxBytes);
        return;
    }
    case Function::DelStrL: {
        out.assign(subject);
        const Pos p = text::find(a1, out);
        if (p > 0) text::erase(out, 1, p + length(a1) - 1);
        return;
    }
    case Function::DelStrR: {
        out.assign(subject);
        const Pos p = text::find(a1, out);
        if (p > 0) text::erase(out, p, size - p + 1);
        return;
    }
    case Function::Pos: assignDecimal(text::find(a1, subject), out); return;
    case Function::GetMid2: {
        const Pos p = text::find(a1, subject);
        const Pos start = p + args.n2, count = args.n3;
        out.assign(p > 0 && count > 0 && start > 0 ? text::part(subject, start, count) : subject);
        return;
    }
    // The script conversions and Chs2Num change a text's length by a small
    // factor at most, so their results are checked once built.
    case Function::Gb2Big: assignWithinBound(ToTraditionalBig5(subject), maxBytes, out); return;
    case Function::Big2Gb: assignWithinBound(ToSimplifiedGbk(subject), maxBytes, out); return;
    case Function::Len: assignDecimal(length(a1), out); return;
    case Function::Chs2Num: assignWithinBound(ConvertChineseNumerals(a1), maxBytes, out); return;
    }
    out.assign(subject);
}

std::string applyFunction(Function function, std::string_view subject, const Arguments& args, const Clock& clock,
                          std::size_t maxBytes)
{
    std::string out;
    applyFunction(function, subject, readArguments(function, args), clock, maxBytes, out);
    return out;
}

} // namespace qv::evaluator
