#pragma once
// The values a box was used with most recently: distinct, newest first, at
// most `capacity` of them. The window keeps one per box (the search folder,
// the type masks, each template box) and offers it as the box's history; it
// never decides what a box shows at start.

#include <cstddef>
#include <string>
#include <vector>

namespace qv {

class RecentValues {
public:
    static constexpr std::size_t defaultCapacity = 20;
    // Longer values are not kept: a box's history is for texts a person
    // typed, and a damaged store must not fill memory or the drop-down.
    static constexpr std::size_t maxValueBytes = 4096;

    explicit RecentValues(std::size_t capacity = defaultCapacity) : capacity_(capacity) { }

    // A history read back from storage, newest first, which may be damaged:
    // empty, overlong and repeated values are dropped (the first of equal
    // values stays) and the rest cut to the capacity.
    static RecentValues fromStored(const std::vector<std::string>& stored, std::size_t capacity = defaultCapacity);

    // Puts `value` first; an equal older value is removed, and the oldest
    // drops out past the capacity. Empty and overlong values are ignored.
    // Returns whether the history changed.
    bool remember(const std::string& value);

    const std::vector<std::string>& values() const { return values_; }

private:
    std::size_t capacity_;
    std::vector<std::string> values_;
};

} // namespace qv
