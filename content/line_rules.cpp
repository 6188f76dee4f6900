#include "content/line_rules.h"

#include "text/bytes.h"
#include "text/integer_field.h"

#include <algorithm>

namespace qv {

IntervalRule::IntervalRule(std::int32_t n, std::int32_t m) : n_(std::max<std::int64_t>(n, 1)), m_(std::max(m, 1))
{
    if (m_ >= n_) m_ = 0;
}

std::optional<Refusal> intervalRefusal(std::string_view text, std::string focus)
{
    const auto n = text::tryParseInteger(text);
    if (!n || *n >= 1) return std::nullopt;
    return Refusal{programText("间隔行数必须大于0,请输入后再试!"), std::move(focus)};
}

bool containsAnyKeyword(std::string_view line, const std::vector<std::string>& keywords)
{
    return std::any_of(keywords.begin(), keywords.end(),
                       [&](const std::string& keyword) { return text::find(keyword, line) != 0; });
}

bool isBlankLine(std::string_view line)
{
    return std::all_of(line.begin(), line.end(),
                       [](char byte) { return text::isBlank(static_cast<unsigned char>(byte)); });
}

std::optional<Refusal> templateRefusal(std::string_view trimmedTemplate, std::string_view emptyMessage,
                                       std::string_view noCallMessage, std::string_view box)
{
    if (trimmedTemplate.empty()) return Refusal{programText(emptyMessage), std::string(box)};
    if (trimmedTemplate.find("${") == std::string_view::npos)
        return Refusal{programText(noCallMessage), std::string(box)};
    return std::nullopt;
}

bool touchesLine(TemplateLines lines, std::string_view keyword, std::string_view line)
{
    switch (lines) {
    case TemplateLines::All: return true;
    case TemplateLines::WithText: return !line.empty();
    case TemplateLines::Keyword: return text::find(keyword, line) != 0;
    case TemplateLines::LineNumber: break;
    }
    return false;
}

} // namespace qv
