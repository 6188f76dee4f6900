// The pages that change file metadata: dates and attributes.

#include "app/pages/page_builders.h"
#include "app/pages/page_kit.h"
#include "fileops/file_attributes.h"
#include "fileops/file_dates.h"

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
    frame.body->setColumnStretch(2, 1);

    bindStart(frame.page, frame.start, runner, [=](Workspace& ws, Host& host, FileSystem& fs) {
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
        return resultOf([&] { return btnDateClick(params, ws, host, fs); });
    });
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
    frame.body->setColumnStretch(5, 1);

    bindStart(frame.page, frame.start, runner, [=](Workspace& ws, Host& host, FileSystem& fs) {
        AttributeParams params;
        params.ckNormal = ckNormal->isChecked();
        params.ckSystem = ckSystem->isChecked();
        params.ckReadonly = ckReadonly->isChecked();
        params.ckHidden = ckHidden->isChecked();
        params.chkDirProp = chkDirProp->isChecked();
        return resultOf([&] { return btnPropClick(params, ws, host, fs); });
    });
    return frame.page;
}

} // namespace qv::app
