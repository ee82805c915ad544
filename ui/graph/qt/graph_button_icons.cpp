#include "ui/graph/qt/graph_button_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <cstring>

#include "ui/graph/graph_painter.h"

namespace zk {

namespace {

struct ToggleLook {
  int id;
  const char* caption;
  DrawingColor color;
};
constexpr ToggleLook kToggleLooks[] = {
    {kBtnVoltArea, "Voltage", kColorVolAxis},  {kBtnCurrArea, "Current", kColorCurrAxis},
    {kBtnWattArea, "Wattage", kColorVBusWatt}, {kBtnPDArea, "USB PD", kColorPDBG},
    {kBtnVbusVolt, "VBUS", kColorVBusVol},     {kBtnCC1Volt, "CC1", kColorCC1Vol},
    {kBtnCC2Volt, "CC2", kColorCC2Vol},        {kBtnVbusCurr, "VBUS", kColorVBusCurr},
    {kBtnCC1Curr, "CC1", kColorCC1Curr},       {kBtnCC2Curr, "CC2", kColorCC2Curr},
};

const ToggleLook* LookOf(int id) {
  for (const ToggleLook& l : kToggleLooks) {
    if (l.id == id) return &l;
  }
  return nullptr;
}

void Arrow(QPainter& p, const QRectF& r, double angle) {
  QPainterPath path;
  const double s = std::min(r.width(), r.height()) * 0.4;
  path.moveTo(0, -s);
  path.lineTo(s, s * 0.6);
  path.lineTo(-s, s * 0.6);
  path.closeSubpath();
  p.save();
  p.translate(r.center());
  p.rotate(angle);
  p.fillPath(path, QColor(40, 40, 40));
  p.restore();
}

void PlusMinus(QPainter& p, const QRectF& r, bool plus, double stroke) {
  const double s = std::min(r.width(), r.height()) * 0.35;
  const QPointF c = r.center();
  p.setPen(QPen(QColor(40, 40, 40), stroke, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(c.x() - s, c.y()), QPointF(c.x() + s, c.y()));
  if (plus) p.drawLine(QPointF(c.x(), c.y() - s), QPointF(c.x(), c.y() + s));
}

// Two bars with arrows pointing out to them: fit to the bars.
void Fit(QPainter& p, const QRectF& r, double stroke, bool vertical) {
  p.save();
  p.translate(r.center());
  if (vertical) p.rotate(90);
  const double s = std::min(r.width(), r.height()) * 0.38;
  p.setPen(QPen(QColor(40, 40, 40), stroke));
  p.drawLine(QPointF(-s, -s * 0.7), QPointF(-s, s * 0.7));
  p.drawLine(QPointF(s, -s * 0.7), QPointF(s, s * 0.7));
  p.drawLine(QPointF(-s * 0.7, 0), QPointF(s * 0.7, 0));
  p.drawLine(QPointF(-s * 0.7, 0), QPointF(-s * 0.35, -s * 0.35));
  p.drawLine(QPointF(-s * 0.7, 0), QPointF(-s * 0.35, s * 0.35));
  p.drawLine(QPointF(s * 0.7, 0), QPointF(s * 0.35, -s * 0.35));
  p.drawLine(QPointF(s * 0.7, 0), QPointF(s * 0.35, s * 0.35));
  p.restore();
}

// A lamp (filled in the colour when on, hollow grey when off) and the caption.
void Toggle(QPainter& p, const QRectF& r, const ToggleLook& look, bool on, bool smallPicture,
            const DrawingSettings& settings) {
  const QColor colour = on ? ToQColor(settings.m_Colors[look.color]) : QColor(170, 170, 170);
  const double lamp = std::max(4.0, std::min(r.height() * 0.6, 14.0));
  const QRectF box(r.left() + 4, r.center().y() - lamp / 2, lamp, lamp);
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(on ? QBrush(colour) : QBrush(Qt::NoBrush));
  p.drawRect(box);
  if (smallPicture && r.height() < 14) return;
  QFont f = p.font();
  // Side buttons are 64 px wide: the caption must fit beside the lamp.
  const double room = r.right() - box.right() - 4;
  const double fit = room / (0.65 * std::max<std::size_t>(std::strlen(look.caption), 1));
  f.setPixelSize(std::max(7, static_cast<int>(std::min({r.height() * 0.55, 14.0, fit}))));
  f.setBold(on);
  p.setFont(f);
  p.setPen(on ? QColor(20, 20, 20) : QColor(130, 130, 130));
  p.drawText(QRectF(box.right() + 4, r.top(), r.right() - box.right() - 4, r.height()),
             Qt::AlignLeft | Qt::AlignVCenter, look.caption);
}

}  // namespace

QIcon GraphButtonIcon(const GraphButtonDef& b, std::optional<bool> state, bool smallPicture,
                      const DrawingSettings& settings, QSize size) {
  QPixmap pm(size.expandedTo(QSize(1, 1)));
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF r(0, 0, pm.width(), pm.height());
  const double stroke = smallPicture ? 1.5 : 3.0;
  const bool onSide = b.id != kBtnScrollLeft && b.id != kBtnScrollRight && b.id != kBtnTimeZoomIn &&
                      b.id != kBtnTimeZoomOut && b.id != kBtnTimeFit;
  switch (b.picture) {
    case ButtonPicture::kUp: Arrow(p, r, 0); break;
    case ButtonPicture::kDown: Arrow(p, r, 180); break;
    case ButtonPicture::kLeft: Arrow(p, r, 270); break;
    case ButtonPicture::kRight: Arrow(p, r, 90); break;
    case ButtonPicture::kPlus: PlusMinus(p, r, true, stroke); break;
    case ButtonPicture::kMinus: PlusMinus(p, r, false, stroke); break;
    case ButtonPicture::kFit: Fit(p, r, stroke / 1.5, onSide); break;
    case ButtonPicture::kInvert: {
      const QRectF half(r.left(), r.top(), r.width() / 2, r.height());
      Arrow(p, half, state.value_or(false) ? 180 : 0);
      QFont f = p.font();
      f.setPixelSize(std::max(8, static_cast<int>(r.height() * 0.6)));
      f.setBold(true);
      p.setFont(f);
      p.setPen(state.value_or(false) ? QColor(0, 0, 180) : QColor(40, 40, 40));
      p.drawText(QRectF(r.center().x(), r.top(), r.width() / 2, r.height()), Qt::AlignCenter, "R");
      break;
    }
    case ButtonPicture::kArea:
    case ButtonPicture::kTrace:
    case ButtonPicture::kPDArea:
      if (const ToggleLook* look = LookOf(b.id)) Toggle(p, r, *look, state.value_or(false), smallPicture, settings);
      break;
  }
  p.end();
  return QIcon(pm);
}

}  // namespace zk
