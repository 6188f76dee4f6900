#include "filelist/entry_time.h"

#include <algorithm>
#include <limits>

namespace qv {
namespace {

constexpr std::int64_t secondsPerDay = 86400;
// 1601-01-01 00:00:00 and 9999-12-31 23:59:59 in seconds since 1970.
constexpr std::int64_t earliest = -11644473600;
constexpr std::int64_t latest = 253402300799;

// The date of a day count since 1970-01-01, proleptic Gregorian (Howard
// Hinnant's civil_from_days); exact for every day the clamp lets through.
CalendarDate civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return CalendarDate{static_cast<int>(yoe + era * 400 + (month <= 2)), month, day};
}

std::int64_t clampSeconds(std::int64_t s)
{
    return std::clamp(s, earliest, latest);
}

void putDigits(char* at, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        at[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

} // namespace

std::int64_t toLocalSeconds(FileTime time, std::int64_t utcOffset)
{
    return toLocalSeconds(std::chrono::floor<std::chrono::seconds>(time).time_since_epoch().count(), utcOffset);
}

std::int64_t toLocalSeconds(std::int64_t utcSeconds, std::int64_t utcOffset)
{
    std::int64_t out = 0;
    if (__builtin_add_overflow(utcSeconds, utcOffset, &out))
        return utcOffset > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
    return out;
}

std::string entryTimeText(std::int64_t localSeconds)
{
    const std::int64_t s = clampSeconds(localSeconds);
    const std::int64_t days = floorDiv(s, secondsPerDay);
    const auto inDay = static_cast<int>(s - days * secondsPerDay);
    const CalendarDate date = civilFromDays(days);
    std::string out = "0000-00-00 00:00:00";
    putDigits(&out[0], date.year, 4);
    putDigits(&out[5], date.month, 2);
    putDigits(&out[8], date.day, 2);
    putDigits(&out[11], inDay / 3600, 2);
    putDigits(&out[14], inDay / 60 % 60, 2);
    putDigits(&out[17], inDay % 60, 2);
    return out;
}

CalendarDate calendarDate(std::int64_t localSeconds)
{
    return civilFromDays(floorDiv(clampSeconds(localSeconds), secondsPerDay));
}

} // namespace qv
