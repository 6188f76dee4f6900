#pragma once
// The grid's seventh column, "预览", while a page that offers a preview is
// shown: for every marked row what the run would do (the new name, the new
// times, the attribute letters before and after) or, in red with the reason
// as tooltip, why the run would leave it alone; a line under the page sums
// it up. Unmarked rows stay empty.
//
// It never blocks typing: a change of the parameters (or of the list)
// restarts a 150 ms timer; when it fires, the rows the view asks for are
// planned on demand at once (their names, not yet checked against the
// others), and the whole plan is built a slice of rows per turn of the event
// loop, then replaces them. A new change drops a plan half built.

#include "app/preview_source.h"

#include <QObject>
#include <QTimer>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class QLabel;

namespace qv::app {

class PreviewColumn final : public QObject {
    Q_OBJECT
public:
    PreviewColumn(const Workspace& ws, const FileSystem& fs, QObject* parent = nullptr);
    ~PreviewColumn() override;

    // Shows the plan of `source` (with its summary line), or hides the column
    // when `source` is empty.
    void show(PreviewSource source, QLabel* summary);
    bool shown() const { return static_cast<bool>(source_); }

    // The parameters or the list changed: plan again after the pause.
    void parametersChanged();
    // A run is going on: no planning until resume(), which plans again.
    void pause();
    void resume();

    // The cell of grid row `row` for `role` (display, foreground, tooltip).
    QVariant data(std::size_t row, int role) const;
    // True once the whole plan stands (for tests and the benchmark).
    bool complete() const { return complete_; }
    // Plans at once, without waiting for the timer or the event loop.
    void planNow();

signals:
    void shownChanged(bool shown);
    // Every cell of the column may show another text.
    void columnChanged();

private:
    void start();
    void planSlice();
    void finish(ChangePlan changes);
    void showRefusal(const std::string& message);
    const PlannedChange* changeOf(std::size_t row) const;
    QString textOf(const PlannedChange& change) const;

    const Workspace& ws_;
    const FileSystem& fs_;
    PreviewSource source_;
    QLabel* summary_ = nullptr;
    QTimer pauseTimer_;
    QTimer sliceTimer_;
    bool paused_ = false;

    PreviewRequest request_;
    std::unique_ptr<RenamePlanBuilder> builder_;
    // The marked rows before each grid row, for the serial number of a row
    // planned on its own.
    std::vector<std::uint32_t> ordinal_;
    // Rows planned on their own while the whole plan is being built.
    mutable std::unordered_map<std::size_t, PlannedChange> early_;
    ChangePlan plan_;
    std::vector<std::int32_t> changeOfRow_; // index into plan_, -1 for none
    bool complete_ = false;
};

} // namespace qv::app
