// Line-pattern replace on arbitrary patterns and lines: must end, stay within
// bounds and never fail, except with the evaluator's error for a text past
// its size bound. The input is "pattern \0 line \0 line ...".

#include "content/line_pattern.h"
#include "template/evaluator.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto cut = input.find('\0');
    const std::string_view pattern = input.substr(0, cut);
    std::string_view lines = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);
    const std::int32_t count = pattern.empty() ? 3 : static_cast<unsigned char>(pattern[0]) % 20;
    qv::LinePattern linePattern(std::string(pattern), "$", count);
    while (!lines.empty()) {
        const auto end = lines.find('\0');
        try {
            (void)linePattern.apply(lines.substr(0, end));
        } catch (const qv::EvaluatedTextTooLong&) { }
        if (end == std::string_view::npos) break;
        lines.remove_prefix(end + 1);
    }
    std::string text(pattern);
    qv::expandCalls(text);
    return 0;
}
