// Draws one cell of the packet list: the row colour over the whole cell, the text inset and
// cut with "..." when it does not fit, and the green mark behind the cell the find names.
#pragma once

#include <QStyledItemDelegate>

namespace zk {

// The text as drawn in a cell of this width: cut at the end with "..." when it does not fit.
QString FitCellText(const QString& text, const QFontMetrics& metrics, int cellWidth, bool firstColumn);

class CPacketRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace zk
