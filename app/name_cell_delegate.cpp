#include "app/name_cell_delegate.h"

#include "app/file_list_model.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace qv::app {

void NameCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.column() != 0) return QStyledItemDelegate::paint(painter, option, index);
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const QRect cell = option.rect;
    painter->fillRect(cell, Qt::white);

    const int boxWidth = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, option.widget);
    const int boxHeight = style->pixelMetric(QStyle::PM_IndicatorHeight, &option, option.widget);
    QStyleOptionButton box;
    box.rect = QRect(cell.left() + 4, cell.top() + (cell.height() - boxHeight) / 2, boxWidth, boxHeight);
    box.state =
        QStyle::State_Enabled | (index.data(FileListModel::MarkRole).toBool() ? QStyle::State_On : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, option.widget);

    const QRect textRect(box.rect.right() + 1 + 4, cell.top(), cell.right() - box.rect.right() - 4, cell.height());
    const QString name =
        option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, textRect.width());
    painter->save();
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    painter->restore();
}

} // namespace qv::app
