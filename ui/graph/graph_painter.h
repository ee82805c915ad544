// Paints the graph model into an image: bands, vRd bands, axes, packet boxes, the nine traces,
// markers with readouts, cursor, zoom rectangle and the measurement strip.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>

#include "app/drawing_settings.h"
#include "ui/graph/graph_model.h"

class QPainter;

namespace zk {

inline QColor ToQColor(std::uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// The two regions a paint touches: the graph bound B and the measurement strip S.
struct GraphRegions {
  QRect bound;
  QRect strip;
};
GraphRegions RegionsOf(const CGraphModel& model);

struct GraphPaintOptions {
  // Off: every trace walks its samples one by one (the reference for the summary walk).
  bool useSummary = true;
};

// Paints into image, which has the model's client size. Holds the store's lock throughout.
// Nothing is painted without a document; pixels outside B and S are left as they are.
void PaintGraph(QImage& image, CGraphModel& model, const DrawingSettings& settings, const QFont& font,
                GraphPaintOptions options = {});

}  // namespace zk
