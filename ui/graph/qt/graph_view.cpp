#include "ui/graph/qt/graph_view.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

#include "app/settings_storage.h"
#include "record/document.h"
#include "ui/graph/graph_painter.h"
#include "ui/graph/qt/graph_button_icons.h"

namespace zk {

namespace {

constexpr int kRepaintIntervalMs = 40;  // about 25 pictures a second while data streams in

Qt::CursorShape ShapeOf(GraphCursorShape s) {
  switch (s) {
    case GraphCursorShape::kMove: return Qt::SizeAllCursor;
    case GraphCursorShape::kResizeHorizontal: return Qt::SizeHorCursor;
    case GraphCursorShape::kCross: return Qt::CrossCursor;
    case GraphCursorShape::kArrow: break;
  }
  return Qt::ArrowCursor;
}

GraphKey KeyOf(int key) {
  switch (key) {
    case Qt::Key_Left: return GraphKey::kLeft;
    case Qt::Key_Right: return GraphKey::kRight;
    case Qt::Key_Up: return GraphKey::kUp;
    case Qt::Key_Down: return GraphKey::kDown;
    case Qt::Key_PageUp: return GraphKey::kPageUp;
    case Qt::Key_PageDown: return GraphKey::kPageDown;
    case Qt::Key_Home: return GraphKey::kHome;
    default: return GraphKey::kOther;
  }
}

bool IsArrowKey(int key) {
  return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

}  // namespace

QFont GraphFontOf(const LogFont& lf) {
  const std::string face = lf.FaceName();
  QFont f(face.empty() ? QStringLiteral("Arial") : QString::fromStdString(face));
  const int height = lf.lfHeight == 0 ? 16 : std::min(std::abs(lf.lfHeight), 200);
  f.setPixelSize(height);
  if (lf.lfWeight > 0) f.setWeight(static_cast<QFont::Weight>(std::clamp(lf.lfWeight, 100, 900)));
  f.setItalic(lf.lfItalic != 0);
  return f;
}

// The model as the document sees it: every notification also asks for a picture.
class CGraphView::ObservingModel : public CGraphModel {
 public:
  ObservingModel(CGraphView& view, GraphAreaSwitches areas) : CGraphModel(areas), m_View(view) {}

  void OnContentsDeleted() override {
    CGraphModel::OnContentsDeleted();
    m_pSelectedPacket = nullptr;
    m_View.ScheduleRepaint();
  }
  void OnUpdateAllViews() override {
    CGraphModel::OnUpdateAllViews();
    m_View.ScheduleRepaint();
  }
  void OnRedrawGraphs() override { m_View.ScheduleRepaint(); }
  void OnTimeOriginChanged(std::int64_t delta) override {
    CGraphModel::OnTimeOriginChanged(delta);
    m_View.ScheduleRepaint();
  }

 private:
  CGraphView& m_View;
};

CGraphView::CGraphView(CZKDoc* doc, AppSettings& settings, SettingsStorage& storage, QWidget* parent)
    : QWidget(parent),
      m_Settings(settings),
      m_Storage(storage),
      m_Model(std::make_unique<ObservingModel>(*this, LoadGraphAreaSwitches(storage))),
      m_Input(*m_Model),
      m_Drawing(LoadDrawingSettings(storage)) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  m_RepaintTimer.setSingleShot(true);
  m_RepaintTimer.setInterval(kRepaintIntervalMs);
  connect(&m_RepaintTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
  m_Model->m_ShowPoints = settings.m_GraphShowPlots;
  m_Model->m_ShowPDArea = settings.m_GraphShowPDPackets;
  m_Font = GraphFontOf(settings.m_GraphFont);
  m_Model->SetFontHeight(m_Font.pixelSize());
  CreateButtons();
  m_Model->SetClientSize(std::max(width(), 1), std::max(height(), 1));
  if (doc) AttachDocument(doc);
}

CGraphView::~CGraphView() { SaveGraphAreaSwitches(m_Storage, m_Model->Areas()); }

CGraphModel& CGraphView::Model() { return *m_Model; }
const CGraphModel& CGraphView::Model() const { return *m_Model; }

QPushButton* CGraphView::Button(int id) const {
  const auto& defs = GraphButtons();
  for (int i = 0; i < kGraphButtonCount; ++i) {
    if (defs[static_cast<std::size_t>(i)].id == id) return m_Buttons[static_cast<std::size_t>(i)];
  }
  return nullptr;
}

// ---- document and settings ------------------------------------------------------------

void CGraphView::AttachDocument(CZKDoc* doc) {
  if (!doc) return;
  m_FitPending = isVisible() ? nullptr : doc;
  RefreshButtons();
  m_Model->SetClientSize(std::max(width(), 1), std::max(height(), 1));
  m_Model->AttachDocument(doc, m_Settings.m_VbusCurrDirReverse);
  update();
}

void CGraphView::UpdateRanges() {
  m_Model->UpdateRanges();
  update();
}

void CGraphView::ReloadDrawingSettings() {
  m_Drawing = LoadDrawingSettings(m_Storage);
  RefreshButtons();
  update();
}

void CGraphView::SetShowPoints(bool on) {
  m_Model->m_ShowPoints = on;
  update();
}

void CGraphView::SetShowPDArea(bool on) {
  m_Model->m_ShowPDArea = on;
  RefreshButtons();
  update();
}

void CGraphView::SetGraphFont(const LogFont& font) {
  m_Font = GraphFontOf(font);
  m_Model->SetFontHeight(m_Font.pixelSize());
  LayOutButtons(true);
  update();
}

void CGraphView::SetSelectedPacket(const CCCPacket* packet) {
  m_Model->m_pSelectedPacket = packet;
  update();
}

void CGraphView::FollowCapture(std::int64_t newest) {
  m_Model->FollowCapture(newest);
  ScheduleRepaint();
}

void CGraphView::SetMarkerOHere() {
  m_Model->SetMarkerOHere();
  update();
}

void CGraphView::SetMarkerXHere() {
  m_Model->SetMarkerXHere();
  update();
}

void CGraphView::SetTimeOriginAbsolute() {
  m_Model->SetTimeOriginAbsolute();
  update();
}

void CGraphView::SetTimeOriginHere() {
  m_Model->SetTimeOriginHere();
  update();
}

void CGraphView::SetCentre(qint64 t) {
  m_Model->SetCentre(t);
  update();
}

void CGraphView::CentreOnPacket(int packetIndex) {
  const CaptureStore* store = m_Model->Store();
  if (!store) return;
  const CCCPacket* p = store->PacketAt(packetIndex);
  if (!p || p->m_Index != packetIndex) {
    p = nullptr;
    for (int i = 0; i < store->PacketCount() && !p; ++i) {
      if (store->PacketAt(i)->m_Index == packetIndex) p = store->PacketAt(i);
    }
  }
  if (p) SetCentre(TimeDiff(p->m_Time, store->m_TimeOrigin));
}

void CGraphView::ScheduleRepaint() {
  if (!m_RepaintTimer.isActive()) m_RepaintTimer.start();
}

// ---- buttons -------------------------------------------------------------------------

void CGraphView::CreateButtons() {
  const auto& defs = GraphButtons();
  for (int i = 0; i < kGraphButtonCount; ++i) {
    const GraphButtonDef& def = defs[static_cast<std::size_t>(i)];
    auto* b = new QPushButton(this);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    b->setObjectName(QStringLiteral("graphButton%1").arg(def.id));
    b->setAccessibleName(QString::fromLatin1(def.label));
    b->setToolTip(QString::fromLatin1(def.tooltip));
    b->setProperty("graphButtonId", def.id);
    const int id = def.id;
    connect(b, &QPushButton::clicked, this, [this, id] { OnButton(id); });
    m_Buttons[static_cast<std::size_t>(i)] = b;
  }
}

void CGraphView::LayOutButtons(bool force) {
  m_Model->SetClientSize(std::max(width(), 1), std::max(height(), 1));
  const PlotRect plot = m_Model->Plot();
  if (!force && size() == m_LaidOutSize && plot.bottomMargin == m_LaidOutBottomMargin) return;
  m_LaidOutSize = size();
  m_LaidOutBottomMargin = plot.bottomMargin;
  const GraphButtonLayout layout = LayOutGraphButtons(width(), height(), plot);
  for (int i = 0; i < kGraphButtonCount; ++i) {
    const ButtonRect& r = layout.rects[static_cast<std::size_t>(i)];
    m_Buttons[static_cast<std::size_t>(i)]->setGeometry(r.x, r.y, std::max(r.width, 1), std::max(r.height, 1));
  }
  m_SmallButtons = layout.smallButtons;
  RefreshButtons();
}

void CGraphView::RefreshButtons() {
  const auto& defs = GraphButtons();
  const bool pdButtons = m_Drawing.m_Switches[kPDButtonsEnabled];
  for (int i = 0; i < kGraphButtonCount; ++i) {
    const GraphButtonDef& def = defs[static_cast<std::size_t>(i)];
    QPushButton* b = m_Buttons[static_cast<std::size_t>(i)];
    const QSize iconSize = (b->size() - QSize(6, 6)).expandedTo(QSize(1, 1));
    b->setIconSize(iconSize);
    b->setIcon(GraphButtonIcon(def, GraphButtonState(def.id, *m_Model), m_SmallButtons, m_Drawing, iconSize));
    b->setVisible(GraphButtonVisible(def, *m_Model, pdButtons));
  }
}

void CGraphView::OnButton(int id) {
  if (PressGraphButton(id, *m_Model)) RefreshButtons();
  update();
}

// ---- painting ----------------------------------------------------------------------------

const QImage& CGraphView::RenderPicture() {
  m_Model->SetClientSize(std::max(width(), 1), std::max(height(), 1));
  const QSize want = size().expandedTo(QSize(1, 1));
  if (m_Image.size() != want) m_Image = QImage(want, QImage::Format_RGB32);
  m_Image.fill(palette().color(QPalette::Window));
  PaintGraph(m_Image, *m_Model, m_Drawing, m_Font);
  return m_Image;
}

void CGraphView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, RenderPicture());
}

void CGraphView::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  LayOutButtons(false);
  if (m_FitPending != nullptr && isVisible()) AttachDocument(m_FitPending);
}

void CGraphView::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  // The sizes of a window being shown arrive before it counts as visible.
  if (m_FitPending != nullptr) AttachDocument(m_FitPending);
}

// ---- input ---------------------------------------------------------------------------------

void CGraphView::Apply(const GraphInputResult& r) {
  if (r.setCursor) setCursor(ShapeOf(r.cursor));
  if (r.repaint) update();
}

bool CGraphView::event(QEvent* e) {
  // The arrows belong to the graph before any focus movement can claim them.
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (IsArrowKey(k->key())) {
      keyPressEvent(k);
      return true;
    }
  }
  return QWidget::event(e);
}

void CGraphView::keyPressEvent(QKeyEvent* e) {
  const GraphInputResult r = m_Input.Key(KeyOf(e->key()));
  if (!r.handled) {
    QWidget::keyPressEvent(e);
    return;
  }
  Apply(r);
}

void CGraphView::mousePressEvent(QMouseEvent* e) {
  const QPoint pt = e->position().toPoint();
  setFocus(Qt::MouseFocusReason);
  switch (e->button()) {
    case Qt::LeftButton: Apply(m_Input.LeftDown(pt.x(), pt.y())); break;
    case Qt::RightButton: Apply(m_Input.RightDown(pt.x(), pt.y())); break;
    case Qt::MiddleButton: Apply(m_Input.MiddleDown()); break;
    default: QWidget::mousePressEvent(e); break;
  }
}

void CGraphView::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pt = e->position().toPoint();
  const GraphInputResult r = m_Input.MouseMove(pt.x(), pt.y());
  Apply(r);
}

void CGraphView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    Apply(m_Input.LeftUp());
  } else if (e->button() == Qt::RightButton) {
    const bool menu = m_Model->m_RightDrag && m_Input.ContextMenuAllowed();
    Apply(m_Input.RightUp());
    if (menu) {
      QMenu* m = CreateContextMenu(this);
      m->setAttribute(Qt::WA_DeleteOnClose);
      m_OpenMenu = m;
      connect(m, &QMenu::aboutToHide, this, [this, m] {
        if (m_OpenMenu == m) m_OpenMenu = nullptr;
      });
      m->popup(e->globalPosition().toPoint());
    }
  } else {
    QWidget::mouseReleaseEvent(e);
  }
}

void CGraphView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    QWidget::mouseDoubleClickEvent(e);
    return;
  }
  const QPoint pt = e->position().toPoint();
  const GraphInputResult r = m_Input.LeftDoubleClick(pt.x(), pt.y());
  Apply(r);
  const CaptureStore* store = m_Model->Store();
  if (r.selectPacket >= 0 && store) {
    if (const CCCPacket* p = store->PacketAt(r.selectPacket)) emit PacketDoubleClicked(p->m_Index);
  }
}

void CGraphView::wheelEvent(QWheelEvent* e) {
  const int delta = e->angleDelta().y();
  if (delta == 0 && e->angleDelta().x() != 0) {
    e->ignore();  // horizontal wheel
    return;
  }
  Apply(m_Input.Wheel(delta));
}

void CGraphView::contextMenuEvent(QContextMenuEvent* e) {
  // The mouse's menu opens on the right button's release, once the zoom drag is settled.
  if (e->reason() == QContextMenuEvent::Mouse) return;
  QMenu* m = CreateContextMenu(this);
  m->setAttribute(Qt::WA_DeleteOnClose);
  m_OpenMenu = m;
  connect(m, &QMenu::aboutToHide, this, [this, m] {
    if (m_OpenMenu == m) m_OpenMenu = nullptr;
  });
  m->popup(e->globalPos());
}

void CGraphView::leaveEvent(QEvent* e) {
  QWidget::leaveEvent(e);
  if (!m_Model->m_MouseOutside) {
    m_Model->m_MouseOutside = true;
    update();
  }
}

// ---- context menu --------------------------------------------------------------------------

QMenu* CGraphView::CreateContextMenu(QWidget* parent) {
  auto* menu = new QMenu(QStringLiteral("Graph"), parent);
  const CGraphModel& m = *m_Model;
  auto add = [this](QMenu* into, const char* text, int command, bool enabled = true, int checked = -1) {
    QAction* a = into->addAction(QString::fromLatin1(text));
    a->setData(command);
    a->setEnabled(enabled);
    if (checked >= 0) {
      a->setCheckable(true);
      a->setChecked(checked != 0);
    }
    connect(a, &QAction::triggered, this, [this, command] { RunMenuCommand(command); });
    return a;
  };
  add(menu, "Set Marker O", kCmdSetMarkerO, m.m_RightClickValid);
  add(menu, "Set Marker X", kCmdSetMarkerX, m.m_RightClickValid);
  QMenu* origin = menu->addMenu(QStringLiteral("Set Time Stamp Origin"));
  add(origin, "Absolute", kCmdOriginAbsolute, m.Document() != nullptr);
  add(origin, "Current Position", kCmdOriginHere, m.m_RightClickValid);
  menu->addSeparator();
  add(menu, "Enable Voltage Graph (with Fitting)", kCmdEnableVoltage, true, m.m_ShowVoltArea);
  add(menu, "Enable Current Graph  (with Fitting)", kCmdEnableCurrent, true, m.m_ShowCurrArea);
  add(menu, "Enable Wattage Graph (with Fitting)", kCmdEnableWattage, true, m.m_ShowWattArea);
  add(menu, "Fit All Graphs", kCmdFitAll);
  menu->addSeparator();
  add(menu, "Enable Cursor", kCmdEnableCursor, true, m.m_CursorOn);
  return menu;
}

void CGraphView::RunMenuCommand(int command) {
  CGraphModel& m = *m_Model;
  auto toggleArea = [&](bool& area) {
    area = !area;
    RefreshButtons();
    m.FitAll();
  };
  switch (command) {
    case kCmdSetMarkerO: m.SetMarkerOHere(); break;
    case kCmdSetMarkerX: m.SetMarkerXHere(); break;
    case kCmdOriginAbsolute: m.SetTimeOriginAbsolute(); break;
    case kCmdOriginHere: m.SetTimeOriginHere(); break;
    case kCmdEnableVoltage: toggleArea(m.m_ShowVoltArea); break;
    case kCmdEnableCurrent: toggleArea(m.m_ShowCurrArea); break;
    case kCmdEnableWattage: toggleArea(m.m_ShowWattArea); break;
    case kCmdFitAll: m.FitAll(); break;
    case kCmdEnableCursor: m.m_CursorOn = !m.m_CursorOn; break;
    default: return;
  }
  update();
}

}  // namespace zk
