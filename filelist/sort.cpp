#include "filelist/sort.h"

#include "text/bytes.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <numeric>
#include <utility>

namespace qv {
namespace {

// Appends `s` lower-cased: ASCII letters only, stepping over the second
// byte of every double-byte character.
void appendLower(std::string& arena, std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        if (text::charLength(s, i) == 2) {
            arena.append(s.substr(i, 2));
            i += 2;
            continue;
        }
        const char c = s[i++];
        arena.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
    }
}

void appendRowNumber(std::string& arena, std::size_t row)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, row).ptr;
    arena.push_back('.');
    arena.append(digits, end);
}

// The text key of `row` for `column`, appended to `arena`.
void appendKey(std::string& arena, const FileList& files, std::size_t row, int column)
{
    switch (column) {
    case NameColumn: appendLower(arena, files.name(row)); break;
    case FolderColumn:
        appendLower(arena, files.folder(row));
        arena.push_back('/');
        appendLower(arena, files.name(row));
        break;
    case TypeColumn:
        appendLower(arena, typeOf(files.name(row)));
        arena.push_back('\\');
        appendLower(arena, files.name(row));
        break;
    default: appendLower(arena, files.cell(row, column)); break;
    }
    appendRowNumber(arena, row);
}

std::vector<std::uint32_t> orderByText(const FileList& files, int column, bool ascending)
{
    const std::size_t n = files.entryCount();
    std::string arena;
    std::vector<std::size_t> ends(n);
    for (std::size_t i = 0; i < n; ++i) {
        appendKey(arena, files, i + 1, column);
        ends[i] = arena.size();
    }
    std::vector<std::string_view> keys(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        keys[i] = std::string_view(arena).substr(begin, ends[i] - begin);
    }
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    // std::string_view compares bytes as unsigned values, as memcmp does.
    if (ascending)
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    else
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return keys[b] < keys[a]; });
    return order;
}

std::vector<std::uint32_t> orderBySize(const FileList& files, bool ascending)
{
    // Sorting (size, row) pairs in place keeps the comparisons inside one
    // array, rather than reaching into a second one at random for each.
    const std::size_t n = files.entryCount();
    std::vector<std::pair<std::int64_t, std::uint32_t>> keyed(n);
    for (std::size_t i = 0; i < n; ++i) keyed[i] = {files.size(i + 1), static_cast<std::uint32_t>(i)};
    if (ascending)
        std::sort(keyed.begin(), keyed.end());
    else
        std::sort(keyed.begin(), keyed.end(), std::greater<>());
    std::vector<std::uint32_t> order(n);
    for (std::size_t i = 0; i < n; ++i) order[i] = keyed[i].second;
    return order;
}

} // namespace

void sortFileList(FileList& files, int column, bool ascending)
{
    if (files.isEmpty() || column < 0 || column >= columnCount) return;
    files.reorder(column == SizeColumn ? orderBySize(files, ascending) : orderByText(files, column, ascending));
}

} // namespace qv
