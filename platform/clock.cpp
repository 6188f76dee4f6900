#include "platform/clock.h"

#include <chrono>
#include <ctime>
#include <sys/time.h>

namespace qv {
namespace {

class SystemClock final : public Clock {
public:
    LocalDateTime now() const override
    {
        timeval tv{};
        gettimeofday(&tv, nullptr);
        std::tm local{};
        localtime_r(&tv.tv_sec, &local);
        return LocalDateTime{local.tm_year + 1900,
                             local.tm_mon + 1,
                             local.tm_mday,
                             local.tm_hour,
                             local.tm_min,
                             local.tm_sec,
                             static_cast<int>(tv.tv_usec / 1000)};
    }
};

} // namespace

const Clock& systemClock()
{
    static const SystemClock clock;
    return clock;
}

std::int64_t currentUtcOffset()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_gmtoff;
}

std::int64_t currentUnixNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::uint64_t clockSeed()
{
    return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

} // namespace qv
