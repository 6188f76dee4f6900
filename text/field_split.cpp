#include "text/field_split.h"

#include "text/bytes.h"

namespace qv::text {

std::vector<std::string> splitFields(std::string_view text, std::string_view delimiter)
{
    if (text.empty()) return {std::string()};
    if (delimiter.empty()) return {std::string(text)};
    const std::string_view d = delimiter == "\\t" ? std::string_view("\t") : delimiter;

    std::vector<std::string> items;
    std::string_view rest = trim(text);
    // Each cut drops at least one byte, so the loop ends.
    while (const Pos p = find(d, rest)) {
        const auto cut = static_cast<std::size_t>(p - 1);
        items.emplace_back(trim(rest.substr(0, cut)));
        rest = trim(rest.substr(cut + 1));
    }
    if (!rest.empty()) items.emplace_back(rest);
    return items;
}

} // namespace qv::text
