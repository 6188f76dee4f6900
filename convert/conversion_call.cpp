#include "convert/conversion_call.h"

#include "platform/disk_name.h"

#include "text/bytes.h"

namespace qv {
namespace {

// 0-based index of the last occurrence of `c` that starts a character, or
// npos; "}" can be the second byte of a double-byte character.
std::size_t lastCharacter(std::string_view s, char c)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); i += text::charLength(s, i))
        if (s[i] == c) found = i;
    return found;
}

// The call itself: from the first "${" to the last "}" after it (to the end
// when there is none).
std::string_view callText(std::string_view text)
{
    const text::Pos start = text::find("${", text);
    if (start == 0) return {};
    text.remove_prefix(static_cast<std::size_t>(start - 1));
    const std::size_t close = lastCharacter(text, '}');
    if (close != std::string_view::npos && close >= 2) text = text.substr(0, close + 1);
    return text;
}

Converter converterNamed(std::string_view name)
{
    const std::string lowered = text::lower(name);
    if (lowered == "xlsto") return Converter::XlsTo;
    if (lowered == "csvto") return Converter::CsvTo;
    if (lowered == "txtto") return Converter::TxtTo;
    if (lowered == "vcfto") return Converter::VcfTo;
    return Converter::None;
}

} // namespace

ConversionCall parseConversionCall(std::string_view call)
{
    const std::string_view text = callText(call);
    if (text.size() < 3) return {};
    // "${", the name, "(", the argument text, ")" and "}": the "${" and the
    // closing "}" are dropped, the ")" is the last byte of what remains.
    const std::string_view inner = text.substr(2, text.size() - 3);
    const std::size_t paren = inner.find('(');
    if (paren == std::string_view::npos) return {};
    ConversionCall parsed;
    parsed.converter = converterNamed(inner.substr(0, paren));
    if (parsed.converter == Converter::None) return {};
    std::string_view argument = inner.substr(paren + 1);
    if (!argument.empty()) argument.remove_suffix(1);
    const text::Pos comma = text::find(",", argument);
    if (comma != 0) argument = argument.substr(0, static_cast<std::size_t>(comma - 1));
    parsed.argument = std::string(argument);
    return parsed;
}

std::string newExtension(std::string_view argument)
{
    std::string extension = text::lower(text::trim(argument));
    if (!extension.empty() && extension.front() == '.') extension.erase(0, 1);
    return extension;
}

std::string convertedPath(std::string_view sourcePath, std::string_view extension)
{
    std::string name = nameTextOf(sourcePath);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        name += '.';
    else
        name.resize(dot + 1);
    return diskPathBeside(sourcePath, name.append(extension));
}

} // namespace qv
