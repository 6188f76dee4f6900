#pragma once
// The grid's model: a thin table over the workspace's file list. It copies no
// rows; each cell is converted from code page 936 when the view asks for it,
// so only visible cells cost anything. The list's change notifications become
// ranged model signals, so a change of a few rows never resets the view.
//
// Row insertions and removals are passed on in batches: a view pays for
// each removal in proportion to its row count, so the delete command's walk,
// which removes rows one at a time, would cost rows x removals, and a search
// appending a million rows one by one pays a signal round per row. The model
// holds them back until flushPendingRows() (the window calls it before it
// handles events) or the next change of cells, and then sends adjacent
// appends as one insertion and removals one by one when there are a few, or
// everything as one reset when there are many. Until then the view keeps the
// row count it had; the cells it would show are not painted, since painting
// waits for the events.
//
// Model row r is grid row r + 1 (the header row is the view's header); an
// empty list shows its placeholder row. Column 0 also carries the row's mark
// under MarkRole.

#include "filelist/file_list.h"

#include <QAbstractTableModel>

#include <vector>

namespace qv::app {

class PreviewColumn;

class FileListModel final : public QAbstractTableModel, private FileListObserver {
    Q_OBJECT
public:
    static constexpr int MarkRole = Qt::UserRole + 1;

    // Observes `files` until destroyed; `files` must outlive the model.
    explicit FileListModel(FileList& files, QObject* parent = nullptr);
    ~FileListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Tells the view about the row changes held back so far. Cheap when
    // there are none.
    void flushPendingRows();

    // The column "预览" after the six of the list, while `preview` is shown
    // (app/preview_column.h). Not owned; must outlive the model.
    static constexpr int PreviewColumnIndex = 6;
    void setPreview(PreviewColumn* preview);

private:
    void rowsInserted(std::size_t first, std::size_t last) override;
    void rowsRemoved(std::size_t first, std::size_t last) override;
    void listReset() override;
    void cellsChanged(std::size_t first, std::size_t last, int firstColumn, int lastColumn) override;

    FileList& files_;
    // The rows the view knows of. It follows the notifications, so it is
    // right at every step of a run of them even though the list already
    // holds its final state.
    int rows_;
    void queueFlush();

    // Inserted or removed model rows, first and last, in the order they
    // happened.
    struct RowChange {
        bool inserted;
        int first;
        int last;
    };
    std::vector<RowChange> pendingRows_;
    bool flushQueued_ = false;
    PreviewColumn* preview_ = nullptr;
    bool previewShown_ = false;
};

} // namespace qv::app
