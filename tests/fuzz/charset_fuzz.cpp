// Any bytes decoded as UTF-8 without a crash: valid text encodes back to the
// same bytes, and both conversions survive the same bytes line by line.
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
    std::string ansi;
    std::string utf8;
    for (const std::string_view line : qv::text::LineList::fromBytes(bytes)) {
        const std::size_t before = ansi.size();
        if (qv::appendUtf8AsCodePage(line, ansi) && ansi.size() - before > line.size()) std::abort();
        qv::appendCodePageAsUtf8(line, utf8);
    }
    return 0;
}
