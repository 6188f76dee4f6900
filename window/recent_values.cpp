#include "window/recent_values.h"

#include <algorithm>

namespace qv {
namespace {

bool keepable(const std::string& value)
{
    return !value.empty() && value.size() <= RecentValues::maxValueBytes;
}

} // namespace

RecentValues RecentValues::fromStored(const std::vector<std::string>& stored, std::size_t capacity)
{
    RecentValues history(capacity);
    for (const std::string& value : stored) {
        if (history.values_.size() >= capacity) break;
        if (!keepable(value)) continue;
        if (std::find(history.values_.begin(), history.values_.end(), value) != history.values_.end()) continue;
        history.values_.push_back(value);
    }
    return history;
}

bool RecentValues::remember(const std::string& value)
{
    if (!keepable(value) || capacity_ == 0) return false;
    if (!values_.empty() && values_.front() == value) return false;
    const auto older = std::find(values_.begin(), values_.end(), value);
    if (older != values_.end()) values_.erase(older);
    values_.insert(values_.begin(), value);
    if (values_.size() > capacity_) values_.resize(capacity_);
    return true;
}

} // namespace qv
