// Any mask against any name: no crash, hang or out-of-bounds read. The input
// is split at its first NUL byte into mask and name.
#include "platform/name_mask.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view mask = input.substr(0, split);
    const std::string_view name = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
    const qv::NameMask matcher(mask);
    const bool byBytes = matcher.matches(name);
    // The one-off form must agree with the object.
    if (qv::matchesMask(name, mask) != byBytes) __builtin_trap();
    // "*" matches every non-empty name.
    if (!name.empty() && !qv::NameMask("*").matches(name)) __builtin_trap();
    return 0;
}
