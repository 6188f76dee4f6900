#pragma once
// The date-time format language of the template functions Date and Time,
// with fixed Simplified Chinese (PRC) conventions whatever the machine's
// locale: month names "1月".."12月" / "一月".."十二月", day names "周日".. /
// "星期日"..; short date "yyyy/M/d", long date "yyyy'年'M'月'd'日'", short
// time "H:mm", long time "H:mm:ss"; separators "/" and ":"; "上午"/"下午".
//
// Specifiers (letters compare without regard to case):
//   y, yy / yyy, yyyy        year, 2 / 4 digits
//   m, mm / mmm / mmmm       month, number / short name / long name
//   d, dd / ddd / dddd       day number / short day name / long day name
//   ddddd / dddddd           short / long date format
//   h, hh  n, nn  s, ss      hour, minute, second (runs longer than 2 count as 2)
//   z / zzz                  millisecond without / with leading zeros
//   t / tt                   short / long time format
//   c                        short date, a space, long time
//   am/pm, a/p               "am"/"pm" or "a"/"p", in the letter case written
//   ampm                     "上午" / "下午"
//   / and :                  date and time separators
//   '...' and "..."          copied without the quotes
// Any other byte, and every double-byte character, is copied unchanged.
//
// Minutes rule: an m-run means minutes when the last letter before it (not
// counting quoted text, digits, punctuation or Chinese characters) belongs
// to an hour specifier; so "hh:mm", "h时mm分" and "h 'x' m" give minutes,
// while "hh d mm" gives the month.
//
// 12-hour rule: an hour specifier uses the 12-hour clock (12, 1..11) when
// an am/pm, a/p or ampm marker appeared before it, or when the first "a"
// or "h" after it outside quotes begins such a marker.

#include "platform/clock.h"

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace qv {

// `moment` formatted by `format`; the result is code page 936 text. Never
// fails; cost linear in the length of format. A specifier can write up to 19
// bytes (c), so formatting stops, with the result cut short, as soon as it
// passes `maxBytes`: a caller that refuses longer results never builds them.
std::string formatDateTime(std::string_view format, const LocalDateTime& moment,
                           std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// 0 = Sunday .. 6 = Saturday, proleptic Gregorian calendar.
int dayOfWeek(int year, int month, int day);

} // namespace qv
