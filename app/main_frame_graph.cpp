// The "Graph" pane of the main window and its links with the packet list: both show the
// same selection, a double click in either finds the packet in the other, and the frame's
// display switches and redraws reach the graph.
#include "app/main_frame.h"
#include "ui/graph/qt/dockable_graph.h"
#include "ui/log/zk_log_view.h"

namespace zk {

CDockableGraph* MakeGraphPane(CZKDoc& doc, AppSettings& settings, SettingsStorage& storage, CMainFrame& frame) {
  auto* pane = new CDockableGraph(doc, settings, storage, &frame);
  pane->setObjectName(QStringLiteral("Graph"));
  CZKLogView* list = frame.LogView();
  QObject::connect(list, &CZKLogView::packetSelected, pane, &CDockableGraph::SetSelectedPacket);
  QObject::connect(list, &CZKLogView::centreOnTime, pane,
                   [pane](std::int64_t shownTime) { pane->View().SetCentre(shownTime); });
  QObject::connect(pane, &CDockableGraph::PacketDoubleClicked, list, [list](int packetIndex) {
    const int row = list->FindRowOfPacket(packetIndex);
    if (row < 0) return;  // filtered out of the list
    list->SelectRow(row);
    list->ShowRow(row);
  });
  QObject::connect(&frame, &CMainFrame::graphFollow, pane,
                   [pane](std::int64_t shownTime) { pane->FollowCapture(shownTime); });
  return pane;
}

void CMainFrame::RefreshGraph(bool reattach) {
  if (m_GraphDock == nullptr) return;
  CGraphView& view = m_GraphDock->View();
  view.SetShowPoints(m_GraphShowPlots);
  view.SetShowPDArea(m_GraphShowPDPackets);
  view.SetGraphFont(m_Settings.m_GraphFont);
  // The current direction is read when the document is attached.
  if (reattach) {
    view.AttachDocument(&m_Doc);
  } else {
    view.UpdateRanges();
  }
}

}  // namespace zk
