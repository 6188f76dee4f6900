#include "filelist/file_list.h"

#include "filelist/entry_time.h"
#include "platform/code_page.h"

#include <array>
#include <limits>

namespace qv {

std::string joinPath(std::string_view folder, std::string_view name)
{
    std::string out;
    out.reserve(folder.size() + 1 + name.size());
    out.append(folder).append("/").append(name);
    return out;
}

std::string_view typeOf(std::string_view name)
{
    // "." (0x2E) is never the second byte of a code page 936 character, so a
    // plain byte search finds the real last dot.
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

const std::string& FileList::headerText(int column)
{
    static const std::array<std::string, columnCount> headers = [] {
        const auto& gbk = CodePage::gbk();
        return std::array<std::string, columnCount>{gbk.fromUtf8("文件名称"), gbk.fromUtf8("目录名称"),
                                                    gbk.fromUtf8("大小(字节)"), gbk.fromUtf8("创建时间"),
                                                    gbk.fromUtf8("修改时间"), gbk.fromUtf8("文件类型")};
    }();
    static const std::string none;
    return column >= 0 && column < columnCount ? headers[static_cast<std::size_t>(column)] : none;
}

std::string FileList::cell(std::size_t row, int column) const
{
    if (row == 0) return headerText(column);
    if (row > rows_.size()) return {};
    const Row& r = rows_[row - 1];
    switch (column) {
    case NameColumn: return r.name;
    case FolderColumn: return folders_[r.folder];
    case SizeColumn: return std::to_string(r.size);
    case CreatedColumn: return entryTimeText(r.created);
    case ModifiedColumn: return entryTimeText(r.modified);
    case TypeColumn: return std::string(typeOf(r.name));
    default: return {};
    }
}

std::string_view FileList::name(std::size_t row) const
{
    return row >= 1 && row <= rows_.size() ? std::string_view(rows_[row - 1].name) : std::string_view{};
}

std::string_view FileList::folder(std::size_t row) const
{
    return row >= 1 && row <= rows_.size() ? std::string_view(folders_[rows_[row - 1].folder]) : std::string_view{};
}

std::int64_t FileList::size(std::size_t row) const
{
    return row >= 1 && row <= rows_.size() ? rows_[row - 1].size : 0;
}

std::string FileList::fullPath(std::size_t row) const { return joinPath(folder(row), name(row)); }

void FileList::setName(std::size_t row, std::string name)
{
    if (row >= 1 && row <= rows_.size()) rows_[row - 1].name = std::move(name);
}

void FileList::setCreated(std::size_t row, std::int64_t localSeconds)
{
    if (row >= 1 && row <= rows_.size()) rows_[row - 1].created = localSeconds;
}

void FileList::setModified(std::size_t row, std::int64_t localSeconds)
{
    if (row >= 1 && row <= rows_.size()) rows_[row - 1].modified = localSeconds;
}

std::uint32_t FileList::internFolder(const std::string& folder)
{
    // Searches append whole folders at a time: try the latest folder first.
    if (!folders_.empty() && folders_.back() == folder) return static_cast<std::uint32_t>(folders_.size() - 1);
    const auto [at, added] = folderIds_.try_emplace(folder, static_cast<std::uint32_t>(folders_.size()));
    if (added) folders_.push_back(folder);
    return at->second;
}

void FileList::growMarks()
{
    if (marks_.size() < rows_.size() + 1) marks_.resize(std::max(marks_.size() * 2, rows_.size() + 1), 0);
}

void FileList::append(const ListEntry& entry)
{
    rows_.push_back(Row{entry.name, internFolder(entry.folder), entry.size, entry.created, entry.modified});
    growMarks();
}

void FileList::clear()
{
    rows_.clear();
    rows_.shrink_to_fit();
    folders_.clear();
    folderIds_.clear();
}

void FileList::removeRow(std::size_t row)
{
    if (row < 1 || row > rows_.size()) return;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row - 1));
}

std::size_t FileList::removeMarkedRows()
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (isMarked(i + 1)) continue;
        if (kept != i) rows_[kept] = std::move(rows_[i]);
        ++kept;
    }
    const std::size_t removed = rows_.size() - kept;
    rows_.resize(kept);
    return removed;
}

void FileList::reorder(const std::vector<std::uint32_t>& order)
{
    if (order.size() != rows_.size()) return;
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (const std::uint32_t from : order) sorted.push_back(std::move(rows_[from]));
    rows_ = std::move(sorted);
}

void FileList::setMark(std::size_t row, bool on)
{
    if (row == 0 || row > lastRow()) return;
    if (row >= marks_.size()) marks_.resize(row + 1, 0);
    marks_[row] = on ? 1 : 0;
}

bool FileList::isConsistent() const
{
    if (marks_.size() < lastRow() + 1 || marks_[0] != 0) return false;
    if (folders_.size() != folderIds_.size()) return false;
    for (const Row& r : rows_)
        if (r.folder >= folders_.size()) return false;
    return rows_.size() < std::numeric_limits<std::uint32_t>::max();
}

} // namespace qv
