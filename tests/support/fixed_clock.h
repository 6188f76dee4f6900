#pragma once
// A Clock that always answers the same moment, for tests of Date and Time.

#include "platform/clock.h"

namespace qv::testing {

class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalDateTime moment) : moment_(moment) { }
    LocalDateTime now() const override { return moment_; }

private:
    LocalDateTime moment_;
};

} // namespace qv::testing
