#include "platform/file_system.h"

#include "platform/name_mask.h"

namespace qv {

Listing FileSystem::list(std::string_view folder, std::string_view mask) const
{
    Listing out;
    if (mask.empty()) return out;
    const auto listing = listFolder(folder);
    const NameMask matcher(mask);
    const auto& items = listing->items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!matcher.matches(items[i].name)) continue;
        if (auto entry = listing->details(i, std::nullopt)) out.entries.push_back(std::move(*entry));
    }
    for (const std::u16string& name : listing->unconvertibleNames())
        if (matcher.matches(name)) ++out.skippedNames;
    return out;
}

} // namespace qv
