#include "template/file_variables.h"

#include "text/bytes.h"
#include "text/integer_field.h"

#include <algorithm>

namespace qv {
namespace {

void substitute(std::string& templ, std::string_view name, const std::optional<std::string>& value)
{
    if (value && text::findIgnoreCase(name, templ) != 0) templ = text::replaceAll(templ, name, *value);
}

} // namespace

std::string substituteFileVariables(std::string templ, const FileVariables& variables)
{
    substitute(templ, "${fullname}", variables.fullname);
    substitute(templ, "${filename}", variables.filename);
    substitute(templ, "${createdate}", variables.createdate);
    substitute(templ, "${modifydate}", variables.modifydate);
    substitute(templ, "${lastdir}", variables.lastdir);
    substitute(templ, "${ext}", variables.ext);
    return templ;
}

std::string dateOfCell(std::string_view cell)
{
    return std::string(text::part(cell, 1, 10));
}

std::string SerialNumber::take()
{
    std::string text = paddedNumber(next, width);
    ++next;
    return text;
}

std::string SerialNumber::replaceIn(std::string_view templ)
{
    return text::replaceAll(templ, spec, take());
}

std::optional<SerialNumber> findSerialNumber(std::string_view templ)
{
    const text::Pos at = text::find("${sn(", text::lower(templ));
    if (at == 0) return std::nullopt;
    SerialNumber serial;
    const text::Pos close = text::find("}", templ, at);
    if (close != 0) serial.spec = std::string(text::part(templ, at, close - at + 1));
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

std::string paddedNumber(std::int64_t value, std::int64_t width)
{
    std::string digits = std::to_string(value);
    if (static_cast<std::int64_t>(digits.size()) >= width) return digits;
    const std::string padded = std::string(16, '0') + digits;
    return padded.substr(padded.size() - static_cast<std::size_t>(std::min<std::int64_t>(width, padded.size())));
}

} // namespace qv
