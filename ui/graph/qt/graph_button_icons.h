// Pictures of the graph buttons, drawn rather than loaded: arrows, plus and minus, fit and
// turn-over signs, and for the toggles a lamp in the colour of what they switch.
#pragma once

#include <QIcon>
#include <QSize>

#include <optional>

#include "app/drawing_settings.h"
#include "ui/graph/graph_buttons.h"

namespace zk {

// state: on or off for a toggle button, nothing for the others. smallPicture: the variant
// used while the plot is at most 300 px high (thinner strokes, no caption on side buttons).
QIcon GraphButtonIcon(const GraphButtonDef& button, std::optional<bool> state, bool smallPicture,
                      const DrawingSettings& settings, QSize size);

}  // namespace zk
