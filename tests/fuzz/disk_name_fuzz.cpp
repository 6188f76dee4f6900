// Any bytes as a name on disk: no crash or out-of-bounds read, and every name
// that gets a text gives back exactly its own bytes.
#include "platform/disk_name.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto decoded = qv::decodeDiskName(bytes);
    if (decoded && qv::diskFormOf(decoded->text, decoded->encoding) != bytes) __builtin_trap();
    (void)qv::shownPath(bytes);
    return 0;
}
