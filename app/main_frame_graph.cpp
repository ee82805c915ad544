// The widget of the "Graph" pane. The pane holds an empty placeholder until the graph view
// takes its place; this function is the one place that changes then.
#include <QLabel>

#include "app/main_frame.h"

namespace zk {

QWidget* MakeGraphPaneWidget(CZKDoc& /*doc*/, AppSettings& /*settings*/, CMainFrame& /*frame*/) {
  auto* placeholder = new QLabel;
  placeholder->setObjectName(QStringLiteral("graphPlaceholder"));
  placeholder->setMinimumSize(200, 120);
  placeholder->setAutoFillBackground(true);
  QPalette palette = placeholder->palette();
  palette.setColor(QPalette::Window, Qt::white);
  placeholder->setPalette(palette);
  return placeholder;
}

}  // namespace zk
