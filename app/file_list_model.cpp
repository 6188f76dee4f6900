#include "app/file_list_model.h"

#include "app/gbk_text.h"

namespace qv::app {

FileListModel::FileListModel(FileList& files, QObject* parent)
    : QAbstractTableModel(parent), files_(files), rows_(static_cast<int>(files.lastRow()))
{
    files_.setObserver(this);
}

FileListModel::~FileListModel() { files_.setObserver(nullptr); }

int FileListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int FileListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(qv::columnCount); }

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const auto row = static_cast<std::size_t>(index.row()) + 1;
    if (role == Qt::DisplayRole) return fromGbk(files_.cell(row, index.column()));
    if (role == MarkRole && index.column() == NameColumn) return files_.isMarked(row);
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return fromGbk(FileList::headerText(section));
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void FileListModel::flushPendingRemovals()
{
    // Past this many, one reset costs the view less than the removals.
    constexpr std::size_t mostRemovals = 32;
    if (pendingRemovals_.empty()) return;
    if (pendingRemovals_.size() > mostRemovals) {
        pendingRemovals_.clear();
        beginResetModel();
        rows_ = static_cast<int>(files_.lastRow());
        endResetModel();
        return;
    }
    const std::vector<std::pair<int, int>> removals = std::move(pendingRemovals_);
    pendingRemovals_.clear();
    for (const auto& [first, last] : removals) {
        beginRemoveRows({}, first, last);
        rows_ -= last - first + 1;
        endRemoveRows();
    }
}

void FileListModel::rowsInserted(std::size_t first, std::size_t last)
{
    flushPendingRemovals();
    beginInsertRows({}, static_cast<int>(first) - 1, static_cast<int>(last) - 1);
    rows_ += static_cast<int>(last - first + 1);
    endInsertRows();
}

void FileListModel::rowsRemoved(std::size_t first, std::size_t last)
{
    pendingRemovals_.emplace_back(static_cast<int>(first) - 1, static_cast<int>(last) - 1);
    if (flushQueued_) return;
    // For changes made outside a window handler: the view hears of them at
    // the latest when the event loop comes round.
    flushQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            flushQueued_ = false;
            flushPendingRemovals();
        },
        Qt::QueuedConnection);
}

void FileListModel::listReset()
{
    pendingRemovals_.clear();
    beginResetModel();
    rows_ = static_cast<int>(files_.lastRow());
    endResetModel();
}

void FileListModel::cellsChanged(std::size_t first, std::size_t last, int firstColumn, int lastColumn)
{
    flushPendingRemovals();
    emit dataChanged(index(static_cast<int>(first) - 1, firstColumn), index(static_cast<int>(last) - 1, lastColumn));
}

} // namespace qv::app
