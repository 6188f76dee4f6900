#include "app/dialogs.h"

#include <QFileDialog>

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

} // namespace qv::app
