// Any text and delimiter split without a crash or hang; every item is trimmed
// and no longer than the text. The first byte of the input chooses how long
// the delimiter is.
#include "text/field_split.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::size_t delimiterLength = std::min<std::size_t>(data[0] % 4, size - 1);
    const std::string_view delimiter(reinterpret_cast<const char*>(data + 1), delimiterLength);
    const std::string_view text(reinterpret_cast<const char*>(data + 1 + delimiterLength), size - 1 - delimiterLength);
    const auto items = qv::text::splitFields(text, delimiter);
    if (items.empty() && !delimiter.empty()) {
        for (const char c : text)
            if (static_cast<unsigned char>(c) > 32) std::abort();
    }
    std::size_t total = 0;
    for (const auto& item : items) {
        total += item.size();
        if (!delimiter.empty() && !item.empty() &&
            (static_cast<unsigned char>(item.front()) <= 32 || static_cast<unsigned char>(item.back()) <= 32))
            std::abort();
    }
    if (total > text.size()) std::abort();
    return 0;
}
