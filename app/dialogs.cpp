#include "app/dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qv::app {

QString windowCaption()
{
    return QStringLiteral("Qorvane文件批量处理");
}

void QtDialogs::message(QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, windowCaption(), text, QMessageBox::Ok, parent_);
    box.exec();
}

void QtDialogs::messageWithDetails(QMessageBox::Icon icon, const QString& text, const QString& details)
{
    QMessageBox box(icon, windowCaption(), text, QMessageBox::Ok, parent_);
    box.setDetailedText(details);
    box.exec();
}

void QtDialogs::titledError(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogs::question(const QString& text, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(QMessageBox::Question, windowCaption(), text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(defaultButton);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::chooseFolder(const QString& caption, const QString& startFolder)
{
    const QString folder = QFileDialog::getExistingDirectory(parent_, caption, startFolder, QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

QStringList QtDialogs::chooseFilesToAdd()
{
    QFileDialog dialog(parent_, QStringLiteral("请选择需要修改属性的文件 - 添加文件"), QStringLiteral("."));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFilter(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    dialog.setNameFilters({
        QStringLiteral("文本文件(*.txt;*.ini) (*.txt *.ini)"),
        QStringLiteral("图片文件(*.jpg;*.jpeg) (*.jpg *.jpeg)"),
        QStringLiteral("网页文件(*.htm;*.html) (*.htm *.html)"),
        QStringLiteral("ASP文件(*.asp;*.aspx) (*.asp *.aspx)"),
        QStringLiteral("JSP文件(*.jsp;*.jspf) (*.jsp *.jspf)"),
        QStringLiteral("PHP文件(*.php) (*.php)"),
        QStringLiteral("PNG文件(*.png) (*.png)"),
        QStringLiteral("GIF文件(*.gif) (*.gif)"),
        QStringLiteral("BMP文件(*.bmp) (*.bmp)"),
        QStringLiteral("所有文件(*.*) (*)"),
    });
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

std::optional<QString> QtDialogs::chooseExportPath()
{
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setNameFilter(QStringLiteral("文本文件(*.txt) (*.txt)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<int> QtDialogs::chooseRun(const QStringList& headers, const QList<QStringList>& rows)
{
    QDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("runHistory"));
    dialog.setWindowTitle(QStringLiteral("操作记录"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* table = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(headers.size()), &dialog);
    table->setHorizontalHeaderLabels(headers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size() && c < headers.size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    if (!rows.isEmpty()) table->selectRow(0);
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* undo = buttons->addButton(QStringLiteral("撤销所选操作"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    undo->setEnabled(!rows.isEmpty());
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.resize(640, 360);
    if (dialog.exec() != QDialog::Accepted || table->currentRow() < 0) return std::nullopt;
    return table->currentRow();
}

} // namespace qv::app
