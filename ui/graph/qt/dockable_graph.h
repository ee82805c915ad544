// CDockableGraph: the dockable "Graph" pane holding one CGraphView.
//
// For the main window:
// - construct with the document, the application settings (graph font, current direction,
//   GraphShowPlots, GraphShowPDPackets) and the settings storage (drawing settings and the
//   three area switches, written back when the pane is destroyed);
// - after a new or opened document, or a change of the current direction, set the display
//   switches (View().SetShowPoints / SetShowPDArea) and call View().AttachDocument(&doc);
// - PacketDoubleClicked(index): a double click in the graph picked the packet with that
//   m_Index; the packet list deselects its row, selects that packet's row and shows it;
// - CentreOnPacket(index): the packet list's double click centres the graph on that packet;
// - SetSelectedPacket(packet): the packet list's selection, drawn highlighted;
// - FollowCapture(t) on the timer while auto-scroll is on, with the newest sample's shown time;
// - OpenDrawingSettings(): the "Graph Drawing Settings" command; on OK the graph reloads;
// - the menu commands "Set Marker O/X", "Absolute" and "Current Position" of the frame go to
//   View().SetMarkerOHere() and its siblings.
#pragma once

#include <QDockWidget>

#include "ui/graph/qt/graph_view.h"

namespace zk {

class CDockableGraph : public QDockWidget {
  Q_OBJECT

 public:
  CDockableGraph(CZKDoc& doc, AppSettings& settings, SettingsStorage& storage, QWidget* parent = nullptr);

  CGraphView& View() { return *m_View; }

 public slots:
  void CentreOnPacket(int packetIndex) { m_View->CentreOnPacket(packetIndex); }
  void SetSelectedPacket(const zk::CCCPacket* packet) { m_View->SetSelectedPacket(packet); }
  void FollowCapture(qint64 newestShownTime) { m_View->FollowCapture(newestShownTime); }
  // Runs the "Graph Drawing Setting" dialog; true when the user confirmed it.
  bool OpenDrawingSettings();

 signals:
  void PacketDoubleClicked(int packetIndex);

 private:
  SettingsStorage& m_Storage;
  CGraphView* m_View;
};

}  // namespace zk
