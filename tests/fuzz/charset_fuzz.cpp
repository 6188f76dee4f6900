// Any bytes decoded as UTF-8 without a crash: valid text encodes back to the
// same bytes, and both whole-text conversions survive the same bytes as lines.
#include "content/charset_convert.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::u16string units;
    if (qv::decodeUtf8(bytes, units)) {
        std::string back;
        qv::appendUtf8(units, back);
        if (back != bytes) std::abort();
    }
    const auto lines = qv::text::LineList::fromBytes(bytes);
    const std::optional<std::string> ansi = qv::utf8ToAnsi(lines);
    if (ansi && ansi->size() > lines.joinedSize()) std::abort();
    (void)qv::ansiToUtf8(lines);
    return 0;
}
