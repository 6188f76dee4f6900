#include "window/tips.h"

#include "text/line_list.h"

namespace qv {
namespace {
constexpr std::string_view separator = "@#$";
} // namespace

Tip parseTipLine(std::string_view line)
{
    const std::size_t at = line.find(separator);
    if (at == std::string_view::npos) return Tip{std::string(line), {}};
    return Tip{std::string(line.substr(0, at)), std::string(line.substr(at + separator.size()))};
}

std::vector<std::string> tipLines(std::string_view fileText)
{
    std::vector<std::string> lines;
    for (std::string_view line : text::LineList::fromBytes(std::string(fileText)))
        if (!line.empty()) lines.emplace_back(line);
    return lines;
}

bool downloadReplacesCache(bool succeeded, std::string_view body)
{
    return succeeded && !tipLines(body).empty();
}

std::string_view tipSource(const std::optional<std::string>& cache, std::string_view shipped)
{
    if (cache && !tipLines(*cache).empty()) return *cache;
    return shipped;
}

std::optional<Tip> TipRotation::next(RandomIndex& random)
{
    if (lines_.empty()) return std::nullopt;
    Tip tip = parseTipLine(lines_[static_cast<std::size_t>(random(static_cast<std::int64_t>(lines_.size())))]);
    link_ = tip.link;
    return tip;
}

} // namespace qv
