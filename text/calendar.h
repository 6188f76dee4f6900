#pragma once
// Calendar arithmetic shared by the list's time cells and the date
// operation: a calendar day and the rounding-down division that splits
// seconds or milliseconds into whole days.

#include <compare>
#include <cstdint>

namespace qv {

// A calendar day; month 1-12, day 1-31.
struct CalendarDate {
    int year = 1970;
    int month = 1;
    int day = 1;
    auto operator<=>(const CalendarDate&) const = default;
};

// a / b rounded towards negative infinity (b != 0), so times before 1970
// fall into the day they belong to.
constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

} // namespace qv
