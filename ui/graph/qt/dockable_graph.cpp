#include "ui/graph/qt/dockable_graph.h"

#include "ui/graph/qt/color_cfg_dlg.h"

namespace zk {

CDockableGraph::CDockableGraph(CZKDoc& doc, AppSettings& settings, SettingsStorage& storage, QWidget* parent)
    : QDockWidget(QStringLiteral("Graph"), parent), m_Storage(storage) {
  setObjectName(QStringLiteral("GraphPane"));
  m_View = new CGraphView(&doc, settings, storage, this);
  m_View->setGeometry(10, 10, 90, 90);
  setWidget(m_View);
  setFocusProxy(m_View);
  connect(m_View, &CGraphView::PacketDoubleClicked, this, &CDockableGraph::PacketDoubleClicked);
}

bool CDockableGraph::OpenDrawingSettings() {
  CColorCfgDlg dlg(m_Storage, this);
  if (dlg.exec() != QDialog::Accepted) return false;
  m_View->ReloadDrawingSettings();
  return true;
}

}  // namespace zk
