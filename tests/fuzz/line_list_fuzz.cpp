// Any bytes split into lines without a crash; no line holds a break or NUL,
// and writing the lines and reading them back gives the same list.
#include "text/line_list.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto lines = qv::text::LineList::fromBytes(bytes);
    for (const std::string_view line : lines)
        if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) std::abort();
    const std::string joined = qv::text::joinLines(lines);
    if (joined.size() != lines.joinedSize()) std::abort();
    if (!(qv::text::LineList::fromBytes(joined) == lines)) std::abort();

    qv::text::LineList copy;
    for (const std::string_view line : lines) copy.append(line);
    if (!(copy == lines)) std::abort();
    return 0;
}
