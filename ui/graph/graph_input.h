// Mouse, wheel and keyboard input of the graph turned into model operations: panning and
// shifting, dragging a marker, right-drag zoom, double-click to find a packet. Plain logic;
// the widget forwards its events and acts on the answer.
#pragma once

#include <cstdint>

#include "ui/graph/graph_model.h"

namespace zk {

enum class GraphCursorShape { kArrow, kMove, kResizeHorizontal, kCross };

enum class GraphKey { kLeft, kRight, kUp, kDown, kPageUp, kPageDown, kHome, kOther };

// What the widget does after an input.
struct GraphInputResult {
  bool repaint = false;
  bool setCursor = false;
  GraphCursorShape cursor = GraphCursorShape::kArrow;
  int selectPacket = -1;  // packet index the packet list selects and shows, or -1
  bool handled = true;    // keys: false when the window's own handling should run
};

class CGraphInput {
 public:
  explicit CGraphInput(CGraphModel& model) : m_Model(model) {}

  GraphInputResult LeftDown(int x, int y);
  GraphInputResult MouseMove(int x, int y);
  GraphInputResult LeftUp();
  GraphInputResult LeftDoubleClick(int x, int y);
  GraphInputResult RightDown(int x, int y);
  GraphInputResult RightUp();
  GraphInputResult MiddleDown();
  GraphInputResult Wheel(int delta);
  GraphInputResult Key(GraphKey key);
  // The context menu shows only when the mouse has not moved since the right button went down.
  bool ContextMenuAllowed() const { return m_MouseX == m_Model.m_RightX && m_MouseY == m_Model.m_RightY; }

  bool m_LeftDrag = false;
  int m_LeftX = 0, m_LeftY = 0;
  bool m_DragVolt = false, m_DragCurr = false, m_DragWatt = false;

 private:
  CGraphModel& m_Model;
  int m_MouseX = 0, m_MouseY = 0;

  bool UpdateHover(int x);
  void FitAllWithTime();
};

// The packet nearest to t: the one at or before it or the one after it, the earlier on a tie; -1 if none.
int NearestPacket(const CaptureStore& store, std::int64_t t);

}  // namespace zk
