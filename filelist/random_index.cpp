#include "filelist/random_index.h"

#include "platform/clock.h"

namespace qv {

RandomIndex RandomIndex::seededFromClock()
{
    return RandomIndex(clockSeed());
}

std::int64_t RandomIndex::operator()(std::int64_t n)
{
    if (n < 1) return 0;
    return static_cast<std::int64_t>(engine_() % static_cast<std::uint64_t>(n));
}

} // namespace qv
