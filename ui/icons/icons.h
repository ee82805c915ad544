// The application's pictures, drawn at run time: one glyph per toolbar command, the three
// capture buttons of the control panel and the three current-direction pictures.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace zk {

enum class Glyph {
  kNew,
  kOpen,
  kSaveAs,
  kExport,
  kRun,
  kStop,
  kClear,
  kFind,
  kFindPrev,
  kFindNext,
  kFilterSettings,
  kFilterDisable,
  kMessageAutoScroll,
  kShowGraph,
  kMeasuringPoints,
  kGraphPackets,
  kGraphAutoScroll,
  kRecordSettings,
  kRecordFileSettings,
  kAbout,
  kPlugToReceptacle,
  kReceptacleToPlug,
  kNoCurrent,
};

QPixmap GlyphPixmap(Glyph glyph, int size);
QIcon GlyphIcon(Glyph glyph);

}  // namespace zk
