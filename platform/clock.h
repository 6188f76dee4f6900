#pragma once
// The wall clock, as a platform service so that tests can fix "now", and
// the other readings of the machine's clock: the local time zone's offset
// and a seed for the random index.

#include <cstdint>

namespace qv {

// A local date and time, broken down; month 1-12, day 1-31. The default is
// day zero of the calendar the template language uses, 1899-12-30.
struct LocalDateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

// The machine's clock in the machine's local time zone.
const Clock& systemClock();

// Seconds east of UTC of the machine's local time zone at this moment.
std::int64_t currentUtcOffset();

// Nanoseconds since 1970-01-01 00:00 UTC now, by the system clock.
std::int64_t currentUnixNanoseconds();

// A seed that differs from run to run: the system clock's current count.
std::uint64_t clockSeed();

} // namespace qv
