#include "template/prepared_template.h"

#include "support/fixed_clock.h"
#include "support/gbk.h"
#include "template/evaluator.h"
#include "template/random_template.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace qv {
namespace {

const testing::FixedClock kClock({2026, 12, 8, 9, 30, 15, 250});

// Choices from a fixed-seed linear congruential generator, the same on
// every platform.
class SeededSource {
public:
    std::size_t pick(std::size_t n)
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::size_t>(state_ >> 33) % n;
    }

private:
    std::uint64_t state_ = 20261208;
};

// Each random template is applied to several subjects through one reused
// buffer, by a copy whose original is gone (the copy must not view freed
// memory), and compared with full evaluation.
TEST(PreparedTemplate, GivesWhatFullEvaluationGives)
{
    SeededSource source;
    std::string out = "left over";
    for (int t = 0; t < 1200; ++t) {
        const std::string templ = testing::randomTemplate(source);
        const PreparedTemplate prepared = [&] {
            const PreparedTemplate original(templ, kClock);
            return PreparedTemplate(original);
        }();
        for (int s = 0; s < 4; ++s) {
            const std::string subject = testing::randomSubject(source);
            prepared.applyTo(subject, out);
            ASSERT_EQ(out, EvaluateTemplate(subject, templ, kClock))
                << "subject: " << testing::utf8(subject) << "\ntemplate: " << testing::utf8(templ);
        }
    }
}

} // namespace
} // namespace qv
