#pragma once
// How a page runs its operation: the window's PageRunner does the frame
// (start button disabled, progress and stop shown, run errors reported,
// counters refreshed); the page turns its controls into the parameters and
// calls the core through the adapters here, so a change in the core's call
// shapes touches this file only.

#include "app/preview_source.h"
#include "operation/operation.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>

class QLabel;
class QPushButton;
class QWidget;

namespace qv {
class FileSystem;
class Host;
struct Workspace;
} // namespace qv

namespace qv::app {

// One run of an operation: nothing when it gives no OperationResult.
using Operation = std::function<std::optional<OperationResult>(Workspace&, Host&, FileSystem&)>;

class PageRunner {
public:
    virtual ~PageRunner() = default;
    // Runs `operation` with `start` disabled and the progress and stop
    // controls shown; a run error is shown as the general error report.
    virtual std::optional<OperationResult> runOperation(QPushButton* start, const Operation& operation) = 0;
    // The grid row (1-based) holding the grid's cursor; 1 when none does.
    virtual std::size_t currentGridRow() const = 0;
    // What a preview reads: the window's workspace and the file system its
    // runs use. A preview never writes through it.
    virtual const Workspace& previewWorkspace() const = 0;
    virtual const FileSystem& previewFileSystem() const = 0;
    // Offers the grid's preview column for `page`: while the page is shown,
    // the column shows the plan `source` gives and `summary` sums it up.
    // Returns what the page calls whenever its parameters change. The
    // default shows no preview.
    virtual std::function<void()> offerPreview(QWidget* page, PreviewSource source, QLabel* summary)
    {
        (void)page, (void)source, (void)summary;
        return [] {};
    }
};

// The result of an operation call, whether it returns OperationResult or
// (as the file name and metadata operations once did) nothing.
template <typename Call> std::optional<OperationResult> resultOf(Call&& call)
{
    if constexpr (std::is_void_v<std::invoke_result_t<Call>>) {
        call();
        return std::nullopt;
    } else {
        return std::optional<OperationResult>(call());
    }
}

// Makes `start` run `operation` through `runner`; a refused run moves the
// focus to the control the refusal names on `page`.
void bindStart(QWidget* page, QPushButton* start, PageRunner& runner, Operation operation);

// The format conversion of the page "文件格式转换": the one place that
// calls the conversion operation.
struct ConversionParams {
    std::string edtFileFormat;
};
std::optional<OperationResult> runConversion(const ConversionParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv::app
