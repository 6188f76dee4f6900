#include "app/pages/run_operation.h"

#include "app/gbk_text.h"
#include "convert/format_conversion.h"
#include "operation/host.h"
#include "platform/libreoffice_server.h"

#include <QPushButton>
#include <QWidget>

namespace qv::app {

void bindStart(QWidget* page, QPushButton* start, PageRunner& runner, Operation operation)
{
    QObject::connect(start, &QPushButton::clicked, page, [page, start, &runner, operation = std::move(operation)] {
        const std::optional<OperationResult> result = runner.runOperation(start, operation);
        if (!result || !result->refusal || result->refusal->focus.empty()) return;
        if (auto* control = page->findChild<QWidget*>(QString::fromStdString(result->refusal->focus)))
            control->setFocus(Qt::OtherFocusReason);
    });
}

std::optional<OperationResult> runConversion(const ConversionParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    LibreOfficeServer server;
    return btnConvertClick(ConvertParams{params.edtFileFormat}, ws, host, fs, server);
}

} // namespace qv::app
