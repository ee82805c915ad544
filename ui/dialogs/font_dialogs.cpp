#include "ui/dialogs/font_dialogs.h"

#include <QFontDialog>
#include <QFontInfo>
#include <cmath>
#include <cstdlib>

namespace zk {

namespace {

constexpr std::uint8_t kNonAntialiasedQuality = 3;
constexpr std::uint8_t kAntialiasedQuality = 4;
constexpr std::uint8_t kFixedPitch = 1;
constexpr std::uint8_t kPitchMask = 0x03;
constexpr int kDefaultWeight = 400;  // FW_NORMAL, for FW_DONTCARE

}  // namespace

QFont FontFromLogFont(const LogFont& lf) {
  QFont font;
  const std::string face = lf.FaceName();
  if (!face.empty()) font.setFamily(QString::fromStdString(face));
  // Negative heights give the character height, positive ones the cell height; both are the
  // pixel size the drawing code uses.
  if (lf.lfHeight != 0) font.setPixelSize(std::abs(lf.lfHeight));
  const int weight = lf.lfWeight > 0 ? std::clamp(lf.lfWeight, 1, 1000) : kDefaultWeight;
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setItalic(lf.lfItalic != 0);
  font.setUnderline(lf.lfUnderline != 0);
  font.setStrikeOut(lf.lfStrikeOut != 0);
  font.setFixedPitch((lf.lfPitchAndFamily & kPitchMask) == kFixedPitch);
  if (lf.lfQuality == kNonAntialiasedQuality) font.setStyleStrategy(QFont::NoAntialias);
  if (lf.lfQuality == kAntialiasedQuality) font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

LogFont LogFontFromFont(const QFont& font, const LogFont& base) {
  LogFont lf = base;
  int pixels = font.pixelSize();
  if (pixels <= 0) pixels = static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
  // Keep the sign convention of the stored value (cell or character height).
  lf.lfHeight = base.lfHeight > 0 ? pixels : -pixels;
  // A don't-care weight shows as normal and stays don't-care unless the user changed it.
  if (!(base.lfWeight == 0 && font.weight() == kDefaultWeight)) lf.lfWeight = font.weight();
  lf.lfItalic = font.italic() ? 1 : 0;
  lf.lfUnderline = font.underline() ? 1 : 0;
  lf.lfStrikeOut = font.strikeOut() ? 1 : 0;
  lf.lfPitchAndFamily = static_cast<std::uint8_t>(
      (base.lfPitchAndFamily & ~kPitchMask) | (font.fixedPitch() ? kFixedPitch : (base.lfPitchAndFamily & kPitchMask)));
  if (font.styleStrategy() & QFont::NoAntialias) lf.lfQuality = kNonAntialiasedQuality;
  lf.SetFaceName(font.family().toStdString());
  return lf;
}

std::optional<QFont> ChooseFont(const QFont& current, QWidget* parent, const QString& title) {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, current, parent, title);
  if (!ok) return std::nullopt;
  return chosen;
}

std::optional<LogFont> ChooseLogFont(const LogFont& current, QWidget* parent, const QString& title) {
  const std::optional<QFont> chosen = ChooseFont(FontFromLogFont(current), parent, title);
  if (!chosen) return std::nullopt;
  return LogFontFromFont(*chosen, current);
}

}  // namespace zk
