#include "filelist/random_index.h"

#include <chrono>

namespace qv {

RandomIndex RandomIndex::seededFromClock()
{
    return RandomIndex(static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

std::int64_t RandomIndex::operator()(std::int64_t n)
{
    if (n < 1) return 0;
    return static_cast<std::int64_t>(engine_() % static_cast<std::uint64_t>(n));
}

} // namespace qv
