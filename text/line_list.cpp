#include "text/line_list.h"

#include <algorithm>
#include <cstring>

namespace qv::text {
namespace {

// Index of the next `byte` at or after `from` in [data, data + size), or
// `size` when there is none.
std::size_t nextByte(const char* data, std::size_t size, std::size_t from, char byte)
{
    if (from >= size) return size;
    const void* hit = std::memchr(data + from, byte, size - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : size;
}

} // namespace

LineList::LineList(std::initializer_list<std::string_view> lines)
{
    std::size_t total = 0;
    for (const std::string_view line : lines) total += line.size();
    reserve(lines.size(), total);
    for (const std::string_view line : lines) append(line);
}

LineList LineList::fromBytes(std::string bytes)
{
    LineList list;
    bytes.resize(nextByte(bytes.data(), bytes.size(), 0, '\0'));
    char* const data = bytes.data();
    const std::size_t size = bytes.size();

    // One line per LF is the usual case; lone CRs grow the index further.
    list.ends_.reserve(static_cast<std::size_t>(std::count(data, data + size, '\n')) + 1);

    // The next CR and LF are tracked separately so that each is searched for
    // once per occurrence: a text with only CR breaks (or only LF breaks)
    // stays linear.
    std::size_t nextCr = nextByte(data, size, 0, '\r');
    std::size_t nextLf = nextByte(data, size, 0, '\n');
    std::size_t read = 0, written = 0;
    while (read < size) {
        const std::size_t lineEnd = std::min(nextCr, nextLf);
        const std::size_t length = lineEnd - read;
        if (written != read && length > 0) std::memmove(data + written, data + read, length);
        written += length;
        list.ends_.push_back(written);
        if (lineEnd == size) break;

        read = lineEnd + 1;
        if (data[lineEnd] == '\r' && read < size && data[read] == '\n') ++read;
        if (nextCr < read) nextCr = nextByte(data, size, read, '\r');
        if (nextLf < read) nextLf = nextByte(data, size, read, '\n');
    }
    bytes.resize(written);
    list.bytes_ = std::move(bytes);
    return list;
}

void LineList::append(std::string_view line)
{
    bytes_.append(line.data(), line.size());
    ends_.push_back(bytes_.size());
}

void LineList::clear()
{
    bytes_.clear();
    ends_.clear();
}

void LineList::reserve(std::size_t lines, std::size_t bytes)
{
    ends_.reserve(ends_.size() + lines);
    bytes_.reserve(bytes_.size() + bytes);
}

std::string joinLines(const LineList& lines)
{
    std::string out(lines.joinedSize(), '\0');
    char* at = out.data();
    for (const std::string_view line : lines) {
        if (!line.empty()) std::memcpy(at, line.data(), line.size());
        at += line.size();
        *at++ = '\r';
        *at++ = '\n';
    }
    return out;
}

std::string withCrLfBreaks(std::string_view typed)
{
    std::string memo;
    memo.reserve(typed.size());
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] == '\n' && (i == 0 || typed[i - 1] != '\r')) memo += '\r';
        memo += typed[i];
    }
    return memo;
}

} // namespace qv::text
