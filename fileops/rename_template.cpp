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

std::string SerialNumber::take()
{
    std::string text = paddedNumber(next, width);
    ++next;
    return text;
}

std::optional<SerialNumber> findSerialNumber(std::string_view loweredTemplate)
{
    const text::Pos at = text::find("${sn(", loweredTemplate);
    if (at == 0) return std::nullopt;
    SerialNumber serial;
    serial.spec = std::string(throughClosingBrace(loweredTemplate, at));
    const auto specLength = static_cast<text::Pos>(serial.spec.size());
    const std::string_view inner = text::part(serial.spec, 6, specLength - 7);
    const text::Pos comma = text::find(",", inner);
    const std::string_view startText = comma == 0 ? std::string_view{} : text::part(inner, 1, comma - 1);
    const std::string_view widthText =
        comma == 0 ? inner : text::part(inner, comma + 1, static_cast<text::Pos>(inner.size()) - comma);
    serial.next = text::parseInteger(text::trim(startText));
    serial.width = text::parseInteger(text::trim(widthText));
    return serial;
}

std::string paddedNumber(std::int64_t value, std::int32_t width)
{
    std::string digits = std::to_string(value);
    if (static_cast<std::int64_t>(digits.size()) >= width) return digits;
    const std::string padded = "0000000000000000" + digits;
    const auto length = static_cast<text::Pos>(padded.size());
    return std::string(text::part(padded, length - width + 1, width));
}

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
