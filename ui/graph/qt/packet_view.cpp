#include "ui/graph/qt/packet_view.h"

#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>

namespace zk {

namespace {

QColor BackgroundOf(WaveformBackground b) {
  switch (b) {
    case WaveformBackground::kRed: return QColor(255, 0, 0);
    case WaveformBackground::kCyan: return QColor(0, 255, 255);
    case WaveformBackground::kWhite: break;
  }
  return QColor(255, 255, 255);
}

}  // namespace

CPacketView::CPacketView(QWidget* parent) : QAbstractScrollArea(parent), m_Font(QStringLiteral("Arial")) {
  m_Font.setPixelSize(16);
  viewport()->setAutoFillBackground(true);
  QPalette pal = viewport()->palette();
  pal.setColor(QPalette::Window, Qt::white);
  viewport()->setPalette(pal);
  horizontalScrollBar()->setSingleStep(20);
  verticalScrollBar()->setSingleStep(20);
  UpdateScrollRanges();
}

void CPacketView::SetPacket(const CCCPacket* packet) {
  m_Packet = packet;
  viewport()->update();
}

void CPacketView::UpdateScrollRanges() {
  const QSize page = viewport()->size();
  horizontalScrollBar()->setPageStep(page.width());
  verticalScrollBar()->setPageStep(page.height());
  horizontalScrollBar()->setRange(0, std::max(0, kWaveformExtent - page.width()));
  verticalScrollBar()->setRange(0, std::max(0, kWaveformExtent - page.height()));
}

void CPacketView::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  UpdateScrollRanges();
}

void CPacketView::Render(QPainter& p, int dx, int dy, int width, int height) const {
  const WaveformDrawing d = LayOutWaveform(m_Packet);
  if (d.edgeLines.empty()) return;
  p.save();
  p.translate(-dx, -dy);
  const int left = dx - 1, right = dx + width + 1;
  auto visible = [&](int x) { return left <= x && x <= right; };
  p.setPen(QPen(QColor(0, 0, 255), 1));
  for (int x : d.gridLines) {
    if (visible(x)) p.drawLine(x, 0, x, kWaveformLineBottom);
  }
  p.setPen(QPen(Qt::black, 1));
  for (int x : d.edgeLines) {
    if (visible(x)) p.drawLine(x, 0, x, kWaveformLineBottom);
  }
  p.setFont(m_Font);
  const QFontMetrics fm(m_Font);
  for (const WaveformLabel& l : d.labels) {
    const QString text = QString::fromStdString(l.text);
    const int w = fm.horizontalAdvance(text);
    if (l.x < left || l.x - w > right || l.y > dy + height) continue;
    const QRect box(l.x - w, l.y, w, fm.height());
    p.fillRect(box, BackgroundOf(l.background));
    p.setPen(Qt::black);
    p.drawText(box.left(), l.y + fm.ascent(), text);
  }
  p.restore();
}

void CPacketView::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  Render(p, horizontalScrollBar()->value(), verticalScrollBar()->value(), viewport()->width(), viewport()->height());
}

CDockablePacketView::CDockablePacketView(QWidget* parent) : QDockWidget(QStringLiteral("Packet"), parent) {
  setObjectName(QStringLiteral("PacketPane"));
  m_View = new CPacketView(this);
  setWidget(m_View);
  setFocusProxy(m_View);
}

}  // namespace zk
