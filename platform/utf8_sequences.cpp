#include "platform/utf8_sequences.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>

namespace qv {

void forEachUtf8Sequence(std::string_view utf8,
                         const std::function<void(std::string_view sequence, int codePoint)>& visit)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(utf8.data());
    const auto length = static_cast<int64_t>(utf8.size());
    for (int64_t i = 0; i < length;) {
        const int64_t start = i;
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        visit(utf8.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)), c < 0 ? -1 : c);
    }
}

bool isDefaultIgnorable(int codePoint)
{
    return u_hasBinaryProperty(codePoint, UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
}

} // namespace qv
