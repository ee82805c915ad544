// CGraphView: the graph window. Paints the graph model through the graph painter into an
// off-screen image, maps mouse, wheel, keys and the context menu through CGraphInput to
// the model, and carries the thirty graph buttons.
//
// Data-driven repaints (document updates, following a capture) are coalesced to at most
// one per 40 ms; input repaints at once.
#pragma once

#include <QImage>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

#include "app/drawing_settings.h"
#include "app/settings.h"
#include "ui/graph/graph_buttons.h"
#include "ui/graph/graph_input.h"
#include "ui/graph/graph_model.h"

class QMenu;

namespace zk {

class CZKDoc;
class SettingsStorage;

// The graph font of the settings as a Qt font; Arial 16 px when the setting names no face.
QFont GraphFontOf(const LogFont& font);

class CGraphView : public QWidget {
  Q_OBJECT

 public:
  // Context menu command identifiers.
  enum MenuCommand : int {
    kCmdSetMarkerO = 32828,
    kCmdSetMarkerX = 32829,
    kCmdOriginAbsolute = 32784,
    kCmdOriginHere = 32834,
    kCmdEnableVoltage = 32883,
    kCmdEnableCurrent = 32884,
    kCmdEnableWattage = 32885,
    kCmdFitAll = 32887,
    kCmdEnableCursor = 32879,
  };

  // Reads the area switches and the drawing settings from storage, the font, the display
  // switches and the current direction from settings; attaches doc when given.
  CGraphView(CZKDoc* doc, AppSettings& settings, SettingsStorage& storage, QWidget* parent = nullptr);
  // Writes the area switches back.
  ~CGraphView() override;

  CGraphModel& Model();
  const CGraphModel& Model() const;
  const DrawingSettings& Drawing() const { return m_Drawing; }
  QPushButton* Button(int id) const;

  // After a new or opened document and after a change of the current direction setting.
  void AttachDocument(CZKDoc* doc);
  void UpdateRanges();
  void ReloadDrawingSettings();
  void SetShowPoints(bool on);
  void SetShowPDArea(bool on);
  void SetGraphFont(const LogFont& font);
  // The packet selected in the packet list, drawn highlighted; null for none.
  void SetSelectedPacket(const CCCPacket* packet);
  // The main frame's timer while auto-scroll is on: widen ranges, follow the newest sample.
  void FollowCapture(std::int64_t newestShownTime);
  // The four commands the main frame also offers.
  void SetMarkerOHere();
  void SetMarkerXHere();
  void SetTimeOriginAbsolute();
  void SetTimeOriginHere();

  // Builds the "Graph" context menu for the state of the last right click (owned by the caller).
  QMenu* CreateContextMenu(QWidget* parent);
  // The last menu shown; null when none is open.
  QMenu* OpenMenu() const { return m_OpenMenu; }
  // Renders the graph as the next paint shows it (also for tests and screenshots).
  const QImage& RenderPicture();
  bool SmallButtons() const { return m_SmallButtons; }

 public slots:
  void SetCentre(qint64 shownTime);
  // Centres the view on the packet of that index (the packet list's double click).
  void CentreOnPacket(int packetIndex);
  // Repaints within the next 40 ms, however often it is asked.
  void ScheduleRepaint();

 signals:
  // A double click picked the packet nearest to the time under the mouse.
  void PacketDoubleClicked(int packetIndex);

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void leaveEvent(QEvent* e) override;

 private:
  class ObservingModel;
  AppSettings& m_Settings;
  SettingsStorage& m_Storage;
  std::unique_ptr<ObservingModel> m_Model;
  CGraphInput m_Input;
  DrawingSettings m_Drawing;
  QFont m_Font;
  QImage m_Image;
  QTimer m_RepaintTimer;
  std::array<QPushButton*, kGraphButtonCount> m_Buttons{};
  QSize m_LaidOutSize;
  int m_LaidOutBottomMargin = -1;
  bool m_SmallButtons = false;
  // A document attached while hidden is fitted again at the first size the shown view gets.
  CZKDoc* m_FitPending = nullptr;
  QMenu* m_OpenMenu = nullptr;

  void CreateButtons();
  void LayOutButtons(bool force);
  void RefreshButtons();
  void OnButton(int id);
  void Apply(const GraphInputResult& r);
  void RunMenuCommand(int command);
};

}  // namespace zk
