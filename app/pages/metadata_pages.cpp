// The pages that change file metadata: dates and attributes.

#include "app/pages/page_builders.h"
#include "app/pages/page_kit.h"
#include "fileops/file_attributes.h"
#include "fileops/file_dates.h"
#include "fileops/plan_text.h"
#include "platform/clock.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QTimeEdit>

namespace qv::app {
namespace {

// A picker that is enabled only while `box` is ticked.
template <typename Picker> Picker* pickerOf(QCheckBox* box, Picker* picker)
{
    picker->setEnabled(box->isChecked());
    picker->setAccessibleName(box->text());
    QObject::connect(box, &QCheckBox::toggled, picker, &QWidget::setEnabled);
    return picker;
}

QDateEdit* datePicker(const char* name, QCheckBox* box)
{
    auto* picker = named(new QDateEdit(QDate::currentDate()), name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    return pickerOf(box, picker);
}

CalendarDate calendarDateOf(const QDate& date)
{
    return CalendarDate{date.year(), date.month(), date.day()};
}

TimeOfDay timeOfDayOf(const QTime& time)
{
    return TimeOfDay{time.hour(), time.minute(), time.second(), time.msec()};
}

} // namespace

QWidget* buildDatePage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info);
    QCheckBox* ckModify = checkBox("ckModify", QStringLiteral("修改日期"), false);
    QCheckBox* ckCreate = checkBox("ckCreate", QStringLiteral("创建日期"), false);
    QCheckBox* ckAccess = checkBox("ckAccess", QStringLiteral("访问日期"), false);
    QCheckBox* chkTime = checkBox("chkTime", QStringLiteral("修改时间"), false);
    QCheckBox* chkDirDate = checkBox("chkDirDate", QStringLiteral("同时修改文件所在目录日期"), false);
    QDateEdit* dtModify = datePicker("dtModify", ckModify);
    QDateEdit* dtCreate = datePicker("dtCreate", ckCreate);
    QDateEdit* dtAccess = datePicker("dtAccess", ckAccess);
    auto* dtpTime = pickerOf(chkTime, named(new QTimeEdit(QTime::currentTime()), "dtpTime"));
    dtpTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));

    int row = 0;
    for (auto [box, picker] : {std::pair<QCheckBox*, QWidget*>{ckModify, dtModify},
                               {ckCreate, dtCreate},
                               {ckAccess, dtAccess},
                               {chkTime, dtpTime}}) {
        frame.body->addWidget(box, row, 0);
        frame.body->addWidget(picker, row++, 1);
    }
    frame.body->addWidget(chkDirDate, row, 0, 1, 2);
    QLabel* summary = named(new QLabel, "lblPreview");
    frame.body->addWidget(summary, row + 1, 0, 1, 3);
    frame.body->setColumnStretch(2, 1);

    const auto readParams = [=] {
        DateParams params;
        params.ckModify = ckModify->isChecked();
        params.dtModify = calendarDateOf(dtModify->date());
        params.ckCreate = ckCreate->isChecked();
        params.dtCreate = calendarDateOf(dtCreate->date());
        params.ckAccess = ckAccess->isChecked();
        params.dtAccess = calendarDateOf(dtAccess->date());
        params.chkTime = chkTime->isChecked();
        params.dtpTime = timeOfDayOf(dtpTime->time());
        params.chkDirDate = chkDirDate->isChecked();
        return params;
    };
    bindStart(frame.page, frame.start, runner, [readParams](Workspace& ws, Host& host, FileSystem& fs) {
        return resultOf([&] { return btnDateClick(readParams(), ws, host, fs); });
    });
    const auto changed = runner.offerPreview(
        frame.page,
        [readParams](const Workspace& ws, const FileSystem& fs) {
            const DateParams params = readParams();
            if (auto refusal = checkDateParams(params)) return PreviewRequest{std::move(refusal->message)};
            const std::int64_t utcOffset = currentUtcOffset();
            PreviewRequest request;
            request.plan = [params, &ws, &fs, utcOffset] { return planDateRun(params, ws.files, fs, utcOffset); };
            request.describe = [utcOffset](const PlannedChange& change) { return dateChangeText(change, utcOffset); };
            return request;
        },
        summary);
    for (QCheckBox* box : {ckModify, ckCreate, ckAccess, chkTime})
        QObject::connect(box, &QCheckBox::toggled, box, [changed] { changed(); });
    for (QDateEdit* picker : {dtModify, dtCreate, dtAccess})
        QObject::connect(picker, &QDateEdit::dateChanged, picker, [changed] { changed(); });
    QObject::connect(dtpTime, &QTimeEdit::timeChanged, dtpTime, [changed] { changed(); });
    return frame.page;
}

QWidget* buildAttributePage(const OperationPage& info, PageRunner& runner)
{
    const PageFrame frame = beginPage(info);
    QCheckBox* ckNormal = checkBox("ckNormal", QStringLiteral("存档"), true);
    QCheckBox* ckSystem = checkBox("ckSystem", QStringLiteral("系统"), false);
    QCheckBox* ckReadonly = checkBox("ckReadonly", QStringLiteral("只读"), false);
    QCheckBox* ckHidden = checkBox("ckHidden", QStringLiteral("隐藏"), false);
    QCheckBox* chkDirProp = checkBox("chkDirProp", QStringLiteral("同时修改文件所在目录属性"), false);

    frame.body->addWidget(new QLabel(QStringLiteral("新属性:")), 0, 0);
    int column = 1;
    for (QCheckBox* box : {ckNormal, ckSystem, ckReadonly, ckHidden}) frame.body->addWidget(box, 0, column++);
    frame.body->addWidget(chkDirProp, 1, 1, 1, 4);
    QLabel* summary = named(new QLabel, "lblPreview");
    frame.body->addWidget(summary, 2, 0, 1, 6);
    frame.body->setColumnStretch(5, 1);

    const auto readParams = [=] {
        AttributeParams params;
        params.ckNormal = ckNormal->isChecked();
        params.ckSystem = ckSystem->isChecked();
        params.ckReadonly = ckReadonly->isChecked();
        params.ckHidden = ckHidden->isChecked();
        params.chkDirProp = chkDirProp->isChecked();
        return params;
    };
    bindClick(frame, runner, readParams, btnPropClick);
    const auto changed = runner.offerPreview(
        frame.page,
        [readParams](const Workspace& ws, const FileSystem& fs) {
            const AttributeParams params = readParams();
            if (auto refusal = checkAttributeParams(params)) return PreviewRequest{std::move(refusal->message)};
            PreviewRequest request;
            request.plan = [params, &ws, &fs] { return planPropRun(params, ws.files, fs); };
            request.describe = [](const PlannedChange& change) { return attributeChangeText(change); };
            return request;
        },
        summary);
    for (QCheckBox* box : {ckNormal, ckSystem, ckReadonly, ckHidden})
        QObject::connect(box, &QCheckBox::toggled, box, [changed] { changed(); });
    return frame.page;
}

} // namespace qv::app
