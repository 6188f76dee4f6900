#include "app/pages/run_operation.h"

#include "app/gbk_text.h"
#include "filelist/host.h"

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

std::optional<OperationResult> runConversion(const ConversionParams&, Workspace&, Host& host)
{
    // The conversion operation is not part of this build yet.
    host.showMessage(MessageKind::Information, toGbk(QStringLiteral("文件格式转换功能尚未提供，敬请期待。")));
    return std::nullopt;
}

} // namespace qv::app
