// Any text as a numeric argument: EvaluateNumber must return without
// crashing or reading out of bounds, and truncation must stay defined for
// whatever value comes back (infinities and NaN included).

#include "template/number.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = qv::EvaluateNumber(text);
    const std::int32_t truncated = qv::truncateToInt32(value);
    (void)truncated;
    return 0;
}
