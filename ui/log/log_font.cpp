#include "ui/log/log_font.h"

#include <cstdlib>

namespace zk {

QFont QFontOfLogFont(const LogFont& logFont, const QFont& fallback) {
  QFont font = fallback;
  const std::string face = logFont.FaceName();
  if (!face.empty()) font.setFamily(QString::fromStdString(face));
  const int height = std::abs(logFont.lfHeight);
  if (height > 0 && height < 500) font.setPixelSize(height);
  if (logFont.lfWeight > 0 && logFont.lfWeight <= 1000) font.setWeight(QFont::Weight(logFont.lfWeight));
  font.setItalic(logFont.lfItalic != 0);
  font.setUnderline(logFont.lfUnderline != 0);
  font.setStrikeOut(logFont.lfStrikeOut != 0);
  return font;
}

LogFont LogFontOfQFont(const QFont& font) {
  LogFont logFont;
  const int pixels = font.pixelSize() > 0 ? font.pixelSize() : static_cast<int>(font.pointSizeF() * 96.0 / 72.0 + 0.5);
  logFont.lfHeight = -pixels;
  logFont.lfWeight = font.weight();
  logFont.lfItalic = font.italic() ? 1 : 0;
  logFont.lfUnderline = font.underline() ? 1 : 0;
  logFont.lfStrikeOut = font.strikeOut() ? 1 : 0;
  logFont.SetFaceName(font.family().toStdString());
  return logFont;
}

}  // namespace zk
