#pragma once
// The random index: a pseudo-random integer from 0 to n - 1, drawn from one
// generator that the front end seeds once at start-up. Serves the tip
// rotation and the random-line template function.

#include <cstdint>
#include <random>

namespace qv {

class RandomIndex {
public:
    explicit RandomIndex(std::uint64_t seed) : engine_(seed) { }
    // A generator seeded from the clock.
    static RandomIndex seededFromClock();

    // 0 when n < 1; otherwise a value from 0 to n - 1.
    std::int64_t operator()(std::int64_t n);

private:
    std::mt19937_64 engine_;
};

} // namespace qv
