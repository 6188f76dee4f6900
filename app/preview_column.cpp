#include "app/preview_column.h"

#include "app/gbk_text.h"
#include "fileops/new_name.h"
#include "operation/workspace.h"
#include "text/run_error.h"

#include <QBrush>
#include <QColor>
#include <QLabel>

namespace qv::app {
namespace {

constexpr int pauseMs = 150;
// Rows whose names one turn of the event loop computes: a few milliseconds.
constexpr std::size_t rowsPerSlice = 4000;

QString shortReason(PlanStatus status)
{
    switch (status) {
    case PlanStatus::Unchanged: return QStringLiteral("不变");
    case PlanStatus::Exists: return QStringLiteral("目标已存在");
    case PlanStatus::Duplicate: return QStringLiteral("与前面的文件重名");
    case PlanStatus::Chain: return QStringLiteral("需互换或顺移");
    case PlanStatus::Invalid: return QStringLiteral("名称无效");
    case PlanStatus::Skipped: return QStringLiteral("不能更改");
    case PlanStatus::Ok:
    case PlanStatus::Recode: break;
    }
    return {};
}

} // namespace

PreviewColumn::PreviewColumn(const Workspace& ws, const FileSystem& fs, QObject* parent)
    : QObject(parent), ws_(ws), fs_(fs)
{
    pauseTimer_.setSingleShot(true);
    pauseTimer_.setInterval(pauseMs);
    connect(&pauseTimer_, &QTimer::timeout, this, &PreviewColumn::start);
    sliceTimer_.setSingleShot(true);
    sliceTimer_.setInterval(0);
    connect(&sliceTimer_, &QTimer::timeout, this, &PreviewColumn::planSlice);
}

PreviewColumn::~PreviewColumn() = default;

void PreviewColumn::show(PreviewSource source, QLabel* summary)
{
    const bool wasShown = shown();
    if (summary_ && summary_ != summary) summary_->clear();
    source_ = std::move(source);
    summary_ = summary;
    if (wasShown != shown()) emit shownChanged(shown());
    parametersChanged();
}

void PreviewColumn::parametersChanged()
{
    // What the column shows stays until the new plan replaces it.
    sliceTimer_.stop();
    if (shown() && !paused_) pauseTimer_.start();
}

void PreviewColumn::pause()
{
    paused_ = true;
    pauseTimer_.stop();
    sliceTimer_.stop();
    builder_.reset();
}

void PreviewColumn::resume()
{
    paused_ = false;
    parametersChanged();
}

void PreviewColumn::planNow()
{
    pauseTimer_.stop();
    start();
    while (builder_) planSlice();
}

void PreviewColumn::start()
{
    complete_ = false;
    plan_.clear();
    changeOfRow_.clear();
    early_.clear();
    builder_.reset();
    if (!shown()) return;
    try {
        request_ = source_(ws_, fs_);
    } catch (const RunError& e) {
        return showRefusal(e.what());
    }
    if (request_.refusal) return showRefusal(*request_.refusal);
    if (request_.plan) {
        finish(request_.plan());
        return;
    }
    const FileList& files = ws_.files;
    const std::size_t last = files.isEmpty() ? 0 : files.lastRow();
    ordinal_.assign(last + 1, 0);
    std::uint32_t marked = 0;
    for (std::size_t row = 1; row <= last; ++row) {
        ordinal_[row] = marked;
        marked += files.isMarked(row) ? 1 : 0;
    }
    builder_ = std::make_unique<RenamePlanBuilder>(files, request_.newNames, request_.toUtf8);
    if (summary_) summary_->setText(QStringLiteral("预览：正在计算……"));
    emit columnChanged();
    sliceTimer_.start();
}

void PreviewColumn::planSlice()
{
    if (!builder_) return;
    try {
        if (builder_->planRows(rowsPerSlice)) {
            sliceTimer_.start();
            return;
        }
        RenamePlan plan = builder_->finish(fs_, request_.chains);
        builder_.reset();
        finish(std::move(plan.changes));
    } catch (const RunError& e) {
        builder_.reset();
        showRefusal(e.what());
    }
}

void PreviewColumn::finish(ChangePlan changes)
{
    plan_ = std::move(changes);
    early_.clear();
    changeOfRow_.assign(ws_.files.isEmpty() ? 1 : ws_.files.lastRow() + 1, -1);
    std::size_t changing = 0;
    for (std::size_t i = 0; i < plan_.size(); ++i) {
        if (plan_[i].row < changeOfRow_.size()) changeOfRow_[plan_[i].row] = static_cast<std::int32_t>(i);
        changing += plan_[i].leftAlone() ? 0 : 1;
    }
    complete_ = true;
    if (summary_)
        summary_->setText(
            QStringLiteral("预览：%1 个文件将被更改，%2 个文件保持不变").arg(changing).arg(plan_.size() - changing));
    emit columnChanged();
}

void PreviewColumn::showRefusal(const std::string& message)
{
    complete_ = true;
    if (summary_) summary_->setText(QStringLiteral("预览：") + fromGbk(message));
    emit columnChanged();
}

const PlannedChange* PreviewColumn::changeOf(std::size_t row) const
{
    if (complete_) {
        if (row >= changeOfRow_.size() || changeOfRow_[row] < 0) return nullptr;
        return &plan_[static_cast<std::size_t>(changeOfRow_[row])];
    }
    if (!builder_ || row >= ordinal_.size() || !ws_.files.isMarked(row)) return nullptr;
    if (const auto found = early_.find(row); found != early_.end()) return &found->second;
    PlannedChange change;
    try {
        if (const auto name = request_.newNames(row, ordinal_[row]))
            change = planRename(ws_.files, row, *name, request_.toUtf8);
        else
            change.leaveAlone(PlanStatus::Unchanged, {});
    } catch (const RunError& e) {
        change.leaveAlone(PlanStatus::Skipped, e.what());
    }
    return &early_.emplace(row, std::move(change)).first->second;
}

QString PreviewColumn::textOf(const PlannedChange& change) const
{
    if (change.leftAlone()) return shortReason(change.status);
    if (request_.describe) return fromGbk(request_.describe(change));
    return fromGbk(change.newName);
}

QVariant PreviewColumn::data(std::size_t row, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::ForegroundRole && role != Qt::ToolTipRole) return {};
    const PlannedChange* change = changeOf(row);
    if (!change) return {};
    if (role == Qt::DisplayRole) return textOf(*change);
    if (role == Qt::ToolTipRole) return change->reason.empty() ? QVariant() : QVariant(fromGbk(change->reason));
    if (!change->leftAlone()) return {};
    return QBrush(QColor(Qt::red));
}

} // namespace qv::app
