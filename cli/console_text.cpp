#include "cli/console_text.h"

#include "platform/utf8_sequences.h"

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
    forEachUtf8Sequence(text, [&](std::string_view sequence, int c) {
        if (c < 0) {
            for (const char byte : sequence) out += escaped("\\x%02X", static_cast<unsigned char>(byte));
        } else if (c < 0x20 || c == 0x7F || isDefaultIgnorable(c)) {
            out += escaped("\\u{%04X}", static_cast<unsigned>(c));
        } else {
            out.append(sequence);
        }
    });
    return out;
}

std::string unconvertibleNameMessage(std::string_view utf8Name)
{
    return "文件名无法准确转换为 GBK 编码，已跳过：" + printableArgument(utf8Name);
}

} // namespace qv::cli
