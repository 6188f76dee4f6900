#include "window/tips.h"

#include "text/line_list.h"

#include <cctype>

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

bool isOpenableTipLink(std::string_view link)
{
    const auto hasSchemePrefix = [&](std::string_view prefix) {
        if (link.size() < prefix.size()) return false;
        for (std::size_t i = 0; i < prefix.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(link[i])) != prefix[i]) return false;
        return true;
    };
    std::string_view rest;
    if (hasSchemePrefix("https://"))
        rest = link.substr(8);
    else if (hasSchemePrefix("http://"))
        rest = link.substr(7);
    else
        return false;
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
    if (authority.empty() || authority.front() == ':') return false; // no host
    for (const char c : link)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f || c == '\\') return false;
    return true;
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
    return succeeded && body.size() <= maxTipFileBytes && !tipLines(body).empty();
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
    link_ = isOpenableTipLink(tip.link) ? tip.link : std::string();
    return tip;
}

} // namespace qv
