// Any subject and template: the evaluator must return without crashing,
// hanging or reading out of bounds; its one error is a text past its size
// bound, which a few kilobytes of nested calls can reach. The input is split into subject and
// template at its first NUL byte, or halfway when it holds none.

#include "template/evaluator.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

class FixedClock final : public qv::Clock {
public:
    qv::LocalDateTime now() const override { return {2026, 12, 8, 23, 59, 59, 999}; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const FixedClock clock;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t cut = input.find('\0');
    const bool hasNul = cut != std::string_view::npos;
    if (!hasNul) cut = size / 2;
    const std::string_view subject = input.substr(0, cut);
    const std::string_view templ = input.substr(hasNul ? cut + 1 : cut);
    try {
        const std::string result = qv::EvaluateTemplate(subject, templ, clock);
        (void)result;
    } catch (const qv::EvaluatedTextTooLong&) { }
    return 0;
}
