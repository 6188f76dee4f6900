#include "fileops/local_time.h"

#include "text/run_error.h"

#include <chrono>

namespace qv {
namespace {

// Reads `minDigits` to `maxDigits` decimal digits at `at`, moving `at` past
// them; nothing when fewer digits stand there.
std::optional<int> readDigits(std::string_view text, std::size_t& at, std::size_t minDigits, std::size_t maxDigits)
{
    int value = 0;
    std::size_t count = 0;
    while (at < text.size() && count < maxDigits && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + (text[at] - '0');
        ++at;
        ++count;
    }
    if (count < minDigits) return std::nullopt;
    return value;
}

bool readByte(std::string_view text, std::size_t& at, char expected)
{
    if (at >= text.size() || text[at] != expected) return false;
    ++at;
    return true;
}

} // namespace

std::optional<std::int64_t> localMidnight(CalendarDate date)
{
    using namespace std::chrono;
    if (date.year < 1 || date.year > 9999) return std::nullopt;
    const year_month_day ymd{year{date.year}, month{static_cast<unsigned>(date.month)},
                             day{static_cast<unsigned>(date.day)}};
    if (!ymd.ok()) return std::nullopt;
    return sys_days(ymd).time_since_epoch().count() * millisecondsPerDay;
}

std::int64_t toLocalMilliseconds(FileTime time, std::int64_t utcOffset)
{
    return floorDiv(time.time_since_epoch().count(), 1'000'000) + utcOffset * 1000;
}

std::optional<FileTime> fromLocalMilliseconds(std::int64_t localMs, std::int64_t utcOffset)
{
    std::int64_t utcMs = 0;
    std::int64_t ns = 0;
    if (__builtin_sub_overflow(localMs, utcOffset * 1000, &utcMs) || __builtin_mul_overflow(utcMs, 1'000'000, &ns))
        return std::nullopt;
    return FileTime(std::chrono::nanoseconds(ns));
}

TimeOfDay timeOfDayOf(std::int64_t localMs)
{
    const std::int64_t inDay = localMs - floorDiv(localMs, millisecondsPerDay) * millisecondsPerDay;
    return TimeOfDay{static_cast<int>(inDay / 3'600'000), static_cast<int>(inDay / 60'000 % 60),
                     static_cast<int>(inDay / 1000 % 60), static_cast<int>(inDay % 1000)};
}

TimeOfDay parseTimeOfDay(std::string_view text)
{
    std::size_t at = 0;
    TimeOfDay time;
    const auto hour = readDigits(text, at, 1, 2);
    const bool colon = readByte(text, at, ':');
    const auto minute = readDigits(text, at, 1, 2);
    bool valid = hour && colon && minute && *hour < 24 && *minute < 60;
    if (valid && readByte(text, at, ':')) {
        const auto second = readDigits(text, at, 1, 2);
        valid = second && *second < 60;
        if (valid) time.second = *second;
        if (valid && readByte(text, at, '.')) {
            const auto millisecond = readDigits(text, at, 3, 3);
            valid = millisecond.has_value();
            if (valid) time.millisecond = *millisecond;
        }
    }
    if (!valid || at != text.size()) throw RunError(formatMessage("'%s' is not a valid time", text));
    time.hour = *hour;
    time.minute = *minute;
    return time;
}

CalendarDate parseDate(std::string_view text)
{
    std::size_t at = 0;
    const auto year = readDigits(text, at, 4, 4);
    const bool dash1 = readByte(text, at, '-');
    const auto month = readDigits(text, at, 1, 2);
    const bool dash2 = readByte(text, at, '-');
    const auto day = readDigits(text, at, 1, 2);
    if (year && dash1 && month && dash2 && day && at == text.size() && *year >= 1601) {
        const CalendarDate date{*year, *month, *day};
        if (localMidnight(date)) return date;
    }
    throw RunError(formatMessage("'%s' is not a valid date", text));
}

} // namespace qv
