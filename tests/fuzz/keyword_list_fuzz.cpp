// Any text parses into keywords without a crash, and every keyword is made of
// bytes of the text: no keyword is longer than the text, and an unquoted text
// yields keywords free of blanks and ";".
#include "text/keyword_list.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto keywords = qv::text::parseKeywordList(text);
    std::size_t total = 0;
    for (const auto& keyword : keywords) total += keyword.size();
    if (total > size) std::abort();
    if (text.find('^') == std::string_view::npos) {
        for (const auto& keyword : keywords) {
            for (std::size_t i = 0; i < keyword.size(); ++i) {
                const auto byte = static_cast<unsigned char>(keyword[i]);
                const bool secondByte = i > 0 && static_cast<unsigned char>(keyword[i - 1]) >= 0x81;
                if (!secondByte && (byte <= 32 || byte == ';')) std::abort();
            }
        }
    }
    return 0;
}
