#include "ui/icons/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace zk {

namespace {

// Glyphs are drawn on a 16-unit grid and scaled to the requested size.
void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
  p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, to);
  const QPointF d = to - from;
  const double len = std::hypot(d.x(), d.y());
  if (len <= 0) return;
  const QPointF u = d / len, n(-u.y(), u.x());
  QPolygonF head;
  head << to << to - u * 4 + n * 2.5 << to - u * 4 - n * 2.5;
  p.setBrush(colour);
  p.setPen(Qt::NoPen);
  p.drawPolygon(head);
}

void Page(QPainter& p) {
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(Qt::white);
  QPolygonF page;
  page << QPointF(3, 1) << QPointF(10, 1) << QPointF(13, 4) << QPointF(13, 15) << QPointF(3, 15);
  p.drawPolygon(page);
}

void Lens(QPainter& p) {
  p.setPen(QPen(QColor(30, 30, 30), 1.6));
  p.setBrush(QColor(200, 230, 255));
  p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
  p.setPen(QPen(QColor(30, 30, 30), 2.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
}

void Funnel(QPainter& p, const QColor& fill) {
  p.setPen(QPen(QColor(40, 40, 40), 1));
  p.setBrush(fill);
  QPolygonF f;
  f << QPointF(1.5, 2) << QPointF(14.5, 2) << QPointF(9.5, 8) << QPointF(9.5, 14) << QPointF(6.5, 12)
    << QPointF(6.5, 8);
  p.drawPolygon(f);
}

void Chart(QPainter& p) {
  p.setPen(QPen(QColor(40, 40, 40), 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(1.5, 2.5, 13, 11));
  p.setPen(QPen(QColor(0, 120, 220), 1.4));
  QPolygonF trace;
  trace << QPointF(2.5, 11) << QPointF(5, 11) << QPointF(5, 5) << QPointF(9, 5) << QPointF(9, 8) << QPointF(13.5, 8);
  p.drawPolyline(trace);
}

void Cog(QPainter& p, const QColor& colour) {
  p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap));
  for (int k = 0; k < 8; ++k) {
    const double a = k * M_PI / 4;
    p.drawLine(QPointF(8 + 4 * std::cos(a), 8 + 4 * std::sin(a)),
               QPointF(8 + 6.5 * std::cos(a), 8 + 6.5 * std::sin(a)));
  }
  p.setBrush(colour);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(8, 8), 4.5, 4.5);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(8, 8), 1.8, 1.8);
}

// The plug on the left, the receptacle on the right.
void PlugAndReceptacle(QPainter& p) {
  p.setPen(QPen(QColor(40, 40, 40), 1));
  p.setBrush(QColor(180, 180, 180));
  p.drawRoundedRect(QRectF(0.5, 5, 4, 6), 1, 1);
  p.setBrush(QColor(90, 90, 90));
  p.drawRoundedRect(QRectF(11.5, 4, 4, 8), 1, 1);
}

void Draw(QPainter& p, Glyph glyph) {
  const QColor green(20, 160, 40), red(210, 30, 30), blue(20, 80, 200), orange(230, 130, 0);
  switch (glyph) {
    case Glyph::kNew: Page(p); break;
    case Glyph::kOpen:
      p.setPen(QPen(QColor(120, 90, 20), 1));
      p.setBrush(QColor(250, 210, 90));
      p.drawRect(QRectF(1.5, 4.5, 13, 9));
      p.setBrush(QColor(255, 230, 140));
      p.drawPolygon(QPolygonF() << QPointF(3, 7) << QPointF(15, 7) << QPointF(13, 13.5) << QPointF(1.5, 13.5));
      break;
    case Glyph::kSaveAs:
      p.setPen(QPen(QColor(30, 30, 80), 1));
      p.setBrush(QColor(60, 90, 180));
      p.drawRect(QRectF(1.5, 1.5, 13, 13));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4, 1.5, 8, 5));
      p.drawRect(QRectF(3.5, 9, 9, 5.5));
      break;
    case Glyph::kExport:
      Page(p);
      p.setPen(QPen(green, 1));
      for (int y = 5; y <= 12; y += 3) p.drawLine(QPointF(5, y), QPointF(11, y));
      Arrow(p, QPointF(8, 9), QPointF(15.5, 9), orange);
      break;
    case Glyph::kRun:
      p.setPen(Qt::NoPen);
      p.setBrush(green);
      p.drawPolygon(QPolygonF() << QPointF(3, 1.5) << QPointF(14, 8) << QPointF(3, 14.5));
      break;
    case Glyph::kStop:
      p.setPen(Qt::NoPen);
      p.setBrush(red);
      p.drawRect(QRectF(3, 2, 3.5, 12));
      p.drawRect(QRectF(9.5, 2, 3.5, 12));
      break;
    case Glyph::kClear:
      p.setPen(QPen(red, 2.4, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(3, 3), QPointF(13, 13));
      p.drawLine(QPointF(13, 3), QPointF(3, 13));
      break;
    case Glyph::kFind: Lens(p); break;
    case Glyph::kFindPrev:
      Lens(p);
      Arrow(p, QPointF(15, 2), QPointF(9, 2), blue);
      break;
    case Glyph::kFindNext:
      Lens(p);
      Arrow(p, QPointF(9, 2), QPointF(15, 2), blue);
      break;
    case Glyph::kFilterSettings: Funnel(p, QColor(120, 190, 255)); break;
    case Glyph::kFilterDisable:
      Funnel(p, QColor(220, 220, 220));
      p.setPen(QPen(red, 1.8));
      p.drawLine(QPointF(2, 14), QPointF(14, 2));
      break;
    case Glyph::kMessageAutoScroll:
      p.setPen(QPen(QColor(80, 80, 80), 1));
      for (int y = 2; y <= 10; y += 4) p.drawLine(QPointF(1.5, y), QPointF(9, y));
      Arrow(p, QPointF(12.5, 1.5), QPointF(12.5, 14.5), blue);
      break;
    case Glyph::kShowGraph: Chart(p); break;
    case Glyph::kMeasuringPoints:
      p.setPen(Qt::NoPen);
      p.setBrush(blue);
      for (int k = 0; k < 5; ++k) p.drawEllipse(QPointF(2.5 + 2.8 * k, 12 - 2.2 * k), 1.4, 1.4);
      break;
    case Glyph::kGraphPackets:
      Chart(p);
      p.setPen(Qt::NoPen);
      p.setBrush(orange);
      p.drawRect(QRectF(6, 3.5, 3, 9));
      break;
    case Glyph::kGraphAutoScroll:
      Chart(p);
      Arrow(p, QPointF(4, 15), QPointF(15, 15), blue);
      break;
    case Glyph::kRecordSettings: Cog(p, QColor(90, 90, 90)); break;
    case Glyph::kRecordFileSettings:
      Page(p);
      p.save();
      p.translate(5, 5);
      p.scale(0.7, 0.7);
      Cog(p, QColor(90, 90, 90));
      p.restore();
      break;
    case Glyph::kAbout:
      p.setPen(Qt::NoPen);
      p.setBrush(blue);
      p.drawEllipse(QRectF(1, 1, 14, 14));
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(8, 4.5), 1.3, 1.3);
      p.drawRect(QRectF(7, 6.8, 2, 6));
      break;
    case Glyph::kPlugToReceptacle:
      PlugAndReceptacle(p);
      Arrow(p, QPointF(5, 8), QPointF(11, 8), green);
      break;
    case Glyph::kReceptacleToPlug:
      PlugAndReceptacle(p);
      Arrow(p, QPointF(11, 8), QPointF(5, 8), orange);
      break;
    case Glyph::kNoCurrent:
      PlugAndReceptacle(p);
      p.setPen(QPen(QColor(120, 120, 120), 1.4, Qt::DashLine));
      p.drawLine(QPointF(5, 8), QPointF(11, 8));
      break;
  }
}

}  // namespace

QPixmap GlyphPixmap(Glyph glyph, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 16.0, size / 16.0);
  Draw(p, glyph);
  return pixmap;
}

QIcon GlyphIcon(Glyph glyph) {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) icon.addPixmap(GlyphPixmap(glyph, size));
  return icon;
}

}  // namespace zk
