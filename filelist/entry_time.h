#pragma once
// Entry time text: how the file list shows a file time, and the calendar date
// the search's date filter compares.
//
// File times arrive as seconds since 1970-01-01 UTC. They are turned into
// local time with the time-zone offset in force when the conversion is made
// (the daylight-saving state of now, not of the file's date), so a caller
// that converts many times takes the offset once (currentUtcOffset in
// platform/clock.h) and passes it along.

#include "platform/file_system.h"
#include "text/calendar.h"

#include <cstdint>
#include <string>

namespace qv {

// Local seconds since 1970-01-01 00:00 for `utcSeconds` under `utcOffset`.
// Saturates instead of overflowing.
std::int64_t toLocalSeconds(std::int64_t utcSeconds, std::int64_t utcOffset);
// The same for a file time, its fraction of a second dropped.
std::int64_t toLocalSeconds(FileTime time, std::int64_t utcOffset);

// "yyyy-mm-dd hh:nn:ss" for local seconds since 1970. Times before
// 1601-01-01 00:00:00 or after 9999-12-31 23:59:59 show as those limits, so
// the text always has the same shape and sorts chronologically as text.
std::string entryTimeText(std::int64_t localSeconds);

// The calendar date of local seconds since 1970, clamped like entryTimeText.
CalendarDate calendarDate(std::int64_t localSeconds);

} // namespace qv
