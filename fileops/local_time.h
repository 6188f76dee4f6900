#pragma once
// Local wall-clock time for the date operation: file times (UTC) to local
// time and back with one fixed offset (platform/clock.h), as the list's time
// cells are made (filelist/entry_time.h), and the date and time texts the date operation
// reads.

#include "platform/file_system.h"
#include "text/calendar.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace qv {

struct TimeOfDay {
    int hour = 0;   // 0-23
    int minute = 0; // 0-59
    int second = 0; // 0-59
    int millisecond = 0;
};

constexpr std::int64_t millisecondsPerDay = 86'400'000;

// Local milliseconds since 1970-01-01 00:00 at midnight starting `date`;
// nothing for a day that does not exist (2023-02-29) or a year outside
// 1-9999.
std::optional<std::int64_t> localMidnight(CalendarDate date);

// Milliseconds since midnight of `time`.
constexpr std::int64_t millisecondsOf(TimeOfDay time)
{
    return ((time.hour * 60LL + time.minute) * 60 + time.second) * 1000 + time.millisecond;
}

// `time` as local milliseconds since 1970 under `utcOffset` (seconds east of
// UTC), rounded down to the millisecond.
std::int64_t toLocalMilliseconds(FileTime time, std::int64_t utcOffset);

// The file time of local milliseconds since 1970; nothing when FileTime
// cannot hold it (before 1678 or after 2261).
std::optional<FileTime> fromLocalMilliseconds(std::int64_t localMs, std::int64_t utcOffset);

// The time of day of local milliseconds since 1970.
TimeOfDay timeOfDayOf(std::int64_t localMs);

// "h:n", "h:n:s" or "h:n:s.zzz": one or two digits for hour (0-23), minute
// and second (0-59), exactly three for the milliseconds. Throws qv::RunError
// "'<text>' is not a valid time" for anything else.
TimeOfDay parseTimeOfDay(std::string_view text);

// "yyyy-mm-dd" with a four-digit year (1601-9999) and one or two digits for
// month and day, naming a day that exists. Throws qv::RunError "'<text>' is
// not a valid date" for anything else.
CalendarDate parseDate(std::string_view text);

} // namespace qv
