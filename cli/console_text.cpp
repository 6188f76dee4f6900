#include "cli/console_text.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdio>

namespace qv::cli {
namespace {

std::string escaped(const char* format, unsigned value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

} // namespace

std::string printableArgument(std::string_view text)
{
    std::string out;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) {
            for (int32_t k = start; k < i; ++k) out += escaped("\\x%02X", bytes[k]);
        } else if (c < 0x20 || c == 0x7F || u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT)) {
            out += escaped("\\u{%04X}", static_cast<unsigned>(c));
        } else {
            out.append(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
        }
    }
    return out;
}

std::string unconvertibleNameMessage(std::string_view utf8Name)
{
    return "文件名无法准确转换为 GBK 编码，已跳过：" + printableArgument(utf8Name);
}

} // namespace qv::cli
