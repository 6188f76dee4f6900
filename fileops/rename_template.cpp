#include "fileops/rename_template.h"

#include "text/bytes.h"
#include "text/integer_field.h"

namespace qv {
namespace {

// From position `at` (1-based) of `s` through the first "}" after it; "" when
// no "}" follows.
std::string_view throughClosingBrace(std::string_view s, text::Pos at)
{
    const text::Pos close = text::find("}", s, at);
    return close == 0 ? std::string_view{} : text::part(s, at, close - at + 1);
}

} // namespace

std::optional<std::string> listFileName(std::string_view loweredTemplate, std::string_view typed,
                                        std::string_view opener)
{
    const text::Pos at = text::find(opener, loweredTemplate);
    if (at == 0) return std::nullopt;
    const auto specLength = static_cast<text::Pos>(throughClosingBrace(loweredTemplate, at).size());
    const auto openerLength = static_cast<text::Pos>(opener.size());
    // Lower-casing keeps every byte in place, so the same positions cut the
    // typed text.
    const std::string_view spec = text::part(typed, at, specLength);
    return std::string(text::part(spec, openerLength + 1, specLength - openerLength - 2));
}

std::optional<Replacement> splitReplacementLine(std::string_view line)
{
    for (const std::string_view separator : {"\t", ";", ":", " "}) {
        const text::Pos at = text::find(separator, line);
        if (at == 0) continue;
        return Replacement{text::trim(text::part(line, 1, at - 1)),
                           text::trim(text::part(line, at + 1, static_cast<text::Pos>(line.size()) - at))};
    }
    return std::nullopt;
}

} // namespace qv
