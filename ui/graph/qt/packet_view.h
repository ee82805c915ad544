// CPacketView: the waveform of one CC packet, its edge intervals laid out on a time axis
// with their durations, classes, roles and bits, over a unit-interval grid; and
// CDockablePacketView, the "Packet" pane holding it.
//
// For the main window: the pane exists only when kEdgeKeeping is set (then the document's
// store keeps edges: store.m_KeepEdges = kEdgeKeeping); the packet list calls SetPacket on
// every selection change, with null when nothing is selected.
#pragma once

#include <QAbstractScrollArea>
#include <QDockWidget>

#include "record/packet.h"
#include "ui/graph/waveform_layout.h"

#ifndef ZK_EDGE_KEEPING
#define ZK_EDGE_KEEPING 0
#endif

namespace zk {

// Whether this build keeps edge intervals after framing and shows the "Packet" pane.
inline constexpr bool kEdgeKeeping = ZK_EDGE_KEEPING != 0;

class CPacketView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit CPacketView(QWidget* parent = nullptr);

  // Not owned; the packet list sets it to null before the packet goes away.
  void SetPacket(const CCCPacket* packet);
  const CCCPacket* Packet() const { return m_Packet; }
  // Paints the area's top-left (width x height) scrolled to (dx, dy) into an image.
  void Render(QPainter& painter, int dx, int dy, int width, int height) const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  const CCCPacket* m_Packet = nullptr;
  QFont m_Font;

  void UpdateScrollRanges();
};

class CDockablePacketView : public QDockWidget {
  Q_OBJECT

 public:
  explicit CDockablePacketView(QWidget* parent = nullptr);
  CPacketView& View() { return *m_View; }

 public slots:
  void SetPacket(const zk::CCCPacket* packet) { m_View->SetPacket(packet); }

 private:
  CPacketView* m_View;
};

}  // namespace zk
