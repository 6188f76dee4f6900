#include "filelist/file_list.h"

#include "filelist/entry_time.h"
#include "platform/code_page.h"
#include "platform/disk_name.h"

#include <algorithm>
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
        return std::array<std::string, columnCount>{gbk.fromUtf8("文件名称"),   gbk.fromUtf8("目录名称"),
                                                    gbk.fromUtf8("大小(字节)"), gbk.fromUtf8("创建时间"),
                                                    gbk.fromUtf8("修改时间"),   gbk.fromUtf8("文件类型")};
    }();
    static const std::string none;
    return column >= 0 && column < columnCount ? headers[static_cast<std::size_t>(column)] : none;
}

std::string FileList::cell(std::size_t row, int column) const
{
    if (row == 0) return headerText(column);
    if (row > entryCount()) return {};
    const Row& r = at(row - 1);
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
    return row >= 1 && row <= entryCount() ? std::string_view(at(row - 1).name) : std::string_view{};
}

std::string_view FileList::folder(std::size_t row) const
{
    return row >= 1 && row <= entryCount() ? std::string_view(folders_[at(row - 1).folder]) : std::string_view{};
}

std::int64_t FileList::size(std::size_t row) const
{
    return row >= 1 && row <= entryCount() ? at(row - 1).size : 0;
}

std::string FileList::shownPath(std::size_t row) const
{
    return joinPath(folder(row), name(row));
}

NameEncoding FileList::encoding(std::size_t row) const
{
    return row >= 1 && row <= entryCount() ? at(row - 1).encoding : NameEncoding::Utf8;
}

std::string_view FileList::diskFolder(std::size_t row) const
{
    if (row < 1 || row > entryCount()) return {};
    const std::uint32_t id = at(row - 1).folder;
    return folderDisk_[id].empty() ? std::string_view(folders_[id]) : std::string_view(folderDisk_[id]);
}

std::string FileList::fullPath(std::size_t row) const
{
    if (row < 1 || row > entryCount()) return joinPath({}, {});
    const Row& r = at(row - 1);
    return joinPath(diskFolder(row), diskFormOf(r.name, r.encoding));
}

std::string FileList::diskPathFor(std::size_t row, std::string_view newName) const
{
    return joinPath(diskFolder(row), diskFormOf(newName, NameEncoding::Utf8));
}

void FileList::setName(std::size_t row, std::string name, NameEncoding encoding)
{
    if (row < 1 || row > entryCount()) return;
    at(row - 1).name = std::move(name);
    at(row - 1).encoding = encoding;
    cellsChanged(row, row, NameColumn, TypeColumn);
}

void FileList::setCreated(std::size_t row, std::int64_t localSeconds)
{
    if (row < 1 || row > entryCount()) return;
    at(row - 1).created = localSeconds;
    cellsChanged(row, row, CreatedColumn, CreatedColumn);
}

void FileList::setModified(std::size_t row, std::int64_t localSeconds)
{
    if (row < 1 || row > entryCount()) return;
    at(row - 1).modified = localSeconds;
    cellsChanged(row, row, ModifiedColumn, ModifiedColumn);
}

std::uint32_t FileList::internFolder(const std::string& folder, const std::string& disk)
{
    // Searches append whole folders at a time: try the latest folder first.
    const auto latestDisk = [&] { return folderDisk_.back().empty() ? folders_.back() : folderDisk_.back(); };
    if (!folders_.empty() && latestDisk() == disk) return static_cast<std::uint32_t>(folders_.size() - 1);
    const auto [found, added] = folderIds_.try_emplace(disk, static_cast<std::uint32_t>(folders_.size()));
    if (added) {
        folders_.push_back(folder);
        folderDisk_.push_back(disk == folder ? std::string() : disk);
    }
    return found->second;
}

void FileList::moveGapTo(std::size_t index)
{
    const auto first = rows_.begin();
    if (gapBegin_ == gapEnd_) {
        gapBegin_ = gapEnd_ = index;
    } else if (index < gapBegin_) {
        std::move_backward(first + static_cast<std::ptrdiff_t>(index), first + static_cast<std::ptrdiff_t>(gapBegin_),
                           first + static_cast<std::ptrdiff_t>(gapEnd_));
        gapEnd_ -= gapBegin_ - index;
        gapBegin_ = index;
    } else if (index > gapBegin_) {
        const std::size_t count = index - gapBegin_;
        std::move(first + static_cast<std::ptrdiff_t>(gapEnd_), first + static_cast<std::ptrdiff_t>(gapEnd_ + count),
                  first + static_cast<std::ptrdiff_t>(gapBegin_));
        gapBegin_ += count;
        gapEnd_ += count;
    }
}

void FileList::closeGap()
{
    if (gapBegin_ == gapEnd_) return;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(gapBegin_),
                rows_.begin() + static_cast<std::ptrdiff_t>(gapEnd_));
    gapBegin_ = gapEnd_ = 0;
}

void FileList::cellsChanged(std::size_t first, std::size_t last, int firstColumn, int lastColumn)
{
    if (observer_) observer_->cellsChanged(first, last, firstColumn, lastColumn);
}

void FileList::append(const ListEntry& entry)
{
    const bool wasEmpty = isEmpty();
    const std::string disk = entry.diskFolder ? *entry.diskFolder : diskFormOf(entry.folder, NameEncoding::Utf8);
    rows_.push_back(Row{entry.name, internFolder(entry.folder, disk), false, entry.encoding, entry.size, entry.created,
                        entry.modified});
    placeholderMarked_ = false;
    if (!observer_) return;
    if (wasEmpty)
        observer_->cellsChanged(1, 1, NameColumn, TypeColumn); // the placeholder row now holds the entry
    else
        observer_->rowsInserted(entryCount(), entryCount());
}

void FileList::clear()
{
    rows_.clear();
    rows_.shrink_to_fit();
    gapBegin_ = gapEnd_ = 0;
    folders_.clear();
    folderDisk_.clear();
    folderIds_.clear();
    placeholderMarked_ = false;
    if (observer_) observer_->listReset();
}

void FileList::removeRow(std::size_t row)
{
    if (row < 1 || row > entryCount()) return;
    if (entryCount() == 1) {
        rows_.clear();
        gapBegin_ = gapEnd_ = 0;
        placeholderMarked_ = false;
        cellsChanged(1, 1, NameColumn, TypeColumn); // back to the placeholder row
        return;
    }
    moveGapTo(row - 1);
    rows_[gapEnd_] = Row{};
    ++gapEnd_;
    if (observer_) observer_->rowsRemoved(row, row);
}

void FileList::notifyRemovedRuns(const std::vector<std::pair<std::size_t, std::size_t>>& runs,
                                 std::size_t formerLastRow)
{
    // A view pays for each removal in proportion to its rows, so past a few
    // runs one reset is cheaper than many removals.
    constexpr std::size_t mostRuns = 32;
    if (!observer_ || runs.empty()) return;
    if (isEmpty()) {
        if (formerLastRow > 1) observer_->rowsRemoved(2, formerLastRow);
        observer_->cellsChanged(1, 1, NameColumn, TypeColumn);
    } else if (runs.size() > mostRuns) {
        observer_->listReset();
    } else {
        // From the bottom up, so each run's row numbers are still those of
        // the list the observer holds.
        for (auto run = runs.rbegin(); run != runs.rend(); ++run) observer_->rowsRemoved(run->first, run->second);
    }
}

std::size_t FileList::removeMarkedRows()
{
    closeGap();
    const std::size_t formerLastRow = lastRow();
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const std::size_t row = i + 1;
        if (rows_[i].marked) {
            if (!runs.empty() && runs.back().second + 1 == row)
                runs.back().second = row;
            else
                runs.emplace_back(row, row);
            continue;
        }
        if (kept != i) rows_[kept] = std::move(rows_[i]);
        ++kept;
    }
    const std::size_t removed = rows_.size() - kept;
    rows_.resize(kept);
    placeholderMarked_ = false;
    notifyRemovedRuns(runs, formerLastRow);
    return removed;
}

void FileList::reorder(const std::vector<std::uint32_t>& order)
{
    if (order.size() != entryCount()) return;
    closeGap();
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (const std::uint32_t from : order) sorted.push_back(std::move(rows_[from]));
    rows_ = std::move(sorted);
    if (!rows_.empty()) cellsChanged(1, rows_.size(), NameColumn, TypeColumn);
}

bool FileList::isMarked(std::size_t row) const
{
    if (row == 0 || row > lastRow()) return false;
    return isEmpty() ? placeholderMarked_ : at(row - 1).marked;
}

void FileList::setMark(std::size_t row, bool on)
{
    if (row == 0 || row > lastRow()) return;
    bool& mark = markOf(row);
    if (mark == on) return;
    mark = on;
    cellsChanged(row, row, NameColumn, NameColumn);
}

void FileList::setMarks(std::size_t first, std::size_t last, bool on)
{
    first = std::max<std::size_t>(first, 1);
    last = std::min(last, lastRow());
    if (first > last) return;
    for (std::size_t row = first; row <= last; ++row) markOf(row) = on;
    cellsChanged(first, last, NameColumn, NameColumn);
}

void FileList::flipMarks(std::size_t first, std::size_t last)
{
    first = std::max<std::size_t>(first, 1);
    last = std::min(last, lastRow());
    if (first > last) return;
    for (std::size_t row = first; row <= last; ++row) markOf(row) = !markOf(row);
    cellsChanged(first, last, NameColumn, NameColumn);
}

bool FileList::isConsistent() const
{
    if (!isEmpty() && placeholderMarked_) return false;
    if (folders_.size() != folderIds_.size() || folderDisk_.size() != folders_.size()) return false;
    if (gapBegin_ > gapEnd_ || gapEnd_ > rows_.size()) return false;
    for (std::size_t i = 0; i < entryCount(); ++i)
        if (at(i).folder >= folders_.size()) return false;
    return entryCount() < std::numeric_limits<std::uint32_t>::max();
}

} // namespace qv
