#include "ui/log/packet_row_delegate.h"

#include <QAbstractItemView>
#include <QPainter>

#include "ui/log/packet_list_model.h"

namespace zk {

QString FitCellText(const QString& text, const QFontMetrics& metrics, int cellWidth, bool firstColumn) {
  const int margin = firstColumn ? 4 : 12;
  if (metrics.horizontalAdvance(text) + margin <= cellWidth) return text;
  const QString dots = QStringLiteral("...");
  // Binary search for the longest head that still fits with the dots.
  qsizetype low = 0, high = text.size();
  while (low < high) {
    const qsizetype mid = (low + high + 1) / 2;
    if (metrics.horizontalAdvance(text.left(mid) + dots) + margin <= cellWidth) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  return text.left(low) + dots;
}

void CPacketRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  painter->save();
  const QRect cell = option.rect;
  const QVariant background = index.data(Qt::BackgroundRole);
  painter->fillRect(cell, background.isValid() ? background.value<QColor>() : option.palette.base().color());

  const bool first = index.column() == 0;
  const int inset = first ? 2 : 6;
  const QRect textRect = cell.adjusted(inset, 0, -inset, 0);
  painter->setFont(option.font);
  const QFontMetrics metrics(option.font);
  const QString text = FitCellText(index.data(Qt::DisplayRole).toString(), metrics, cell.width(), first);

  if (!first && index.data(CPacketListModel::kFindColumnRole).toInt() == index.column()) {
    const QRect mark(textRect.left(), textRect.top(), metrics.horizontalAdvance(text), textRect.height());
    painter->fillRect(mark, QColor(0, 255, 0));
  }
  const QVariant foreground = index.data(Qt::ForegroundRole);
  painter->setPen(foreground.isValid() ? foreground.value<QColor>() : option.palette.text().color());
  painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);

  // The focus frame of the current row, drawn as its top and bottom edge on each cell.
  const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
  if (view != nullptr && view->hasFocus() && view->currentIndex().row() == index.row()) {
    QPen pen(option.palette.text().color(), 1, Qt::DotLine);
    painter->setPen(pen);
    painter->drawLine(cell.topLeft(), cell.topRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
  }
  painter->restore();
}

}  // namespace zk
