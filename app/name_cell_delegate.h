#pragma once
// Paints the grid's name cells: a white cell, a check box 4 pixels in from
// the left edge, vertically centred, checked when the row is marked, then
// the name on one line, shortened with a trailing ellipsis when it does not
// fit. Other columns are painted the default way.

#include <QStyledItemDelegate>

namespace qv::app {

class NameCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace qv::app
