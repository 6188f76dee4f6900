// Any user.DOSATTRIB value: decoding never crashes or reads out of bounds,
// and whatever decodes survives our own encoding unchanged.
#include "platform/dos_attributes.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view blob(reinterpret_cast<const char*>(data), size);
    const auto decoded = qv::decodeDosAttributes(blob);
    if (!decoded || !decoded->attributes) return 0;
    const auto again = qv::decodeDosAttributes(qv::encodeDosAttributes(*decoded->attributes, decoded->createTime));
    if (!again || again->attributes != decoded->attributes || again->createTime != decoded->createTime)
        __builtin_trap();
    if (decoded->createTime) (void)qv::ntTimeToFileTime(*decoded->createTime);
    return 0;
}
