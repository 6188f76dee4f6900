#include "app/file_list_model.h"

#include "app/gbk_text.h"
#include "app/preview_column.h"

namespace qv::app {

FileListModel::FileListModel(FileList& files, QObject* parent)
    : QAbstractTableModel(parent), files_(files), rows_(static_cast<int>(files.lastRow()))
{
    files_.setObserver(this);
}

FileListModel::~FileListModel()
{
    files_.setObserver(nullptr);
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    return static_cast<int>(qv::columnCount) + (previewShown_ ? 1 : 0);
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const auto row = static_cast<std::size_t>(index.row()) + 1;
    if (index.column() == PreviewColumnIndex) return previewShown_ ? preview_->data(row, role) : QVariant();
    if (role == Qt::DisplayRole) return fromGbk(files_.cell(row, index.column()));
    if (role == MarkRole && index.column() == NameColumn) return files_.isMarked(row);
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == PreviewColumnIndex)
        return QStringLiteral("预览");
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return fromGbk(FileList::headerText(section));
    return QAbstractTableModel::headerData(section, orientation, role);
}

void FileListModel::setPreview(PreviewColumn* preview)
{
    preview_ = preview;
    connect(preview, &PreviewColumn::shownChanged, this, [this](bool shown) {
        if (shown == previewShown_) return;
        if (shown) {
            beginInsertColumns({}, PreviewColumnIndex, PreviewColumnIndex);
            previewShown_ = true;
            endInsertColumns();
        } else {
            beginRemoveColumns({}, PreviewColumnIndex, PreviewColumnIndex);
            previewShown_ = false;
            endRemoveColumns();
        }
    });
    connect(preview, &PreviewColumn::columnChanged, this, [this] {
        if (rows_ > 0 && previewShown_)
            emit dataChanged(index(0, PreviewColumnIndex), index(rows_ - 1, PreviewColumnIndex));
    });
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void FileListModel::flushPendingRows()
{
    // Past this many, one reset costs the view less than the changes.
    constexpr std::size_t mostChanges = 32;
    if (pendingRows_.empty()) return;
    if (pendingRows_.size() > mostChanges) {
        pendingRows_.clear();
        beginResetModel();
        rows_ = static_cast<int>(files_.lastRow());
        endResetModel();
        return;
    }
    const std::vector<RowChange> changes = std::move(pendingRows_);
    pendingRows_.clear();
    for (const RowChange& change : changes) {
        const int count = change.last - change.first + 1;
        if (change.inserted) {
            beginInsertRows({}, change.first, change.last);
            rows_ += count;
            endInsertRows();
        } else {
            beginRemoveRows({}, change.first, change.last);
            rows_ -= count;
            endRemoveRows();
        }
    }
}

void FileListModel::queueFlush()
{
    if (flushQueued_) return;
    // For changes made outside a window handler: the view hears of them at
    // the latest when the event loop comes round.
    flushQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            flushQueued_ = false;
            flushPendingRows();
        },
        Qt::QueuedConnection);
}

void FileListModel::rowsInserted(std::size_t first, std::size_t last)
{
    const int from = static_cast<int>(first) - 1;
    const int to = static_cast<int>(last) - 1;
    if (!pendingRows_.empty() && pendingRows_.back().inserted && pendingRows_.back().last + 1 == from)
        pendingRows_.back().last = to;
    else
        pendingRows_.push_back({true, from, to});
    queueFlush();
}

void FileListModel::rowsRemoved(std::size_t first, std::size_t last)
{
    pendingRows_.push_back({false, static_cast<int>(first) - 1, static_cast<int>(last) - 1});
    queueFlush();
}

void FileListModel::listReset()
{
    pendingRows_.clear();
    beginResetModel();
    rows_ = static_cast<int>(files_.lastRow());
    endResetModel();
}

void FileListModel::cellsChanged(std::size_t first, std::size_t last, int firstColumn, int lastColumn)
{
    flushPendingRows();
    emit dataChanged(index(static_cast<int>(first) - 1, firstColumn), index(static_cast<int>(last) - 1, lastColumn));
}

} // namespace qv::app
