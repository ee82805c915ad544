// The thirty graph buttons as data: identifier, short text, where they sit, when they show,
// and what pressing one does to the model. The widget only creates, places and paints them.
#pragma once

#include <array>
#include <optional>

#include "ui/graph/graph_model.h"

namespace zk {

enum GraphButtonId : int {
  kBtnVoltUp = 312,
  kBtnVoltDown = 313,
  kBtnCurrUp = 314,
  kBtnCurrDown = 315,
  kBtnScrollLeft = 316,
  kBtnScrollRight = 317,
  kBtnTimeZoomIn = 318,
  kBtnTimeZoomOut = 319,
  kBtnCurrZoomIn = 320,
  kBtnCurrZoomOut = 321,
  kBtnVoltZoomIn = 322,
  kBtnVoltZoomOut = 323,
  kBtnVbusVolt = 324,
  kBtnVbusCurr = 325,
  kBtnCC1Volt = 326,
  kBtnCC1Curr = 327,
  kBtnCC2Volt = 328,
  kBtnCC2Curr = 329,
  kBtnVoltArea = 339,
  kBtnCurrArea = 340,
  kBtnVoltFit = 341,
  kBtnCurrFit = 342,
  kBtnTimeFit = 343,
  kBtnInvertCurr = 344,
  kBtnWattArea = 365,
  kBtnPDUp = 368,
  kBtnPDDown = 369,
  kBtnPDTaller = 370,
  kBtnPDShorter = 371,
  kBtnPDArea = 372,
};

enum class ButtonShown { kAlways, kVoltArea, kCurrOrWattArea, kPDButtons, kPDAreaAndButtons };

// What a button's picture shows.
enum class ButtonPicture { kUp, kDown, kPlus, kMinus, kFit, kLeft, kRight, kInvert, kArea, kTrace, kPDArea };

struct GraphButtonDef {
  int id;
  const char* label;    // the window text, hidden behind the picture
  const char* tooltip;  // what the button does, for the user
  ButtonShown shown;
  ButtonPicture picture;
};

constexpr int kGraphButtonCount = 30;
const std::array<GraphButtonDef, kGraphButtonCount>& GraphButtons();
const GraphButtonDef* FindGraphButton(int id);

struct ButtonRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const ButtonRect&) const = default;
};

struct GraphButtonLayout {
  std::array<ButtonRect, kGraphButtonCount> rects;  // in the order of GraphButtons()
  bool smallButtons = false;                        // the plot is at most 300 px high

  const ButtonRect& Of(int id) const;
};

GraphButtonLayout LayOutGraphButtons(int clientWidth, int clientHeight, const PlotRect& plot);

bool GraphButtonVisible(const GraphButtonDef& button, const CGraphModel& model, bool pdButtonsEnabled);

// The state a toggle button's picture shows; nothing for the other buttons.
std::optional<bool> GraphButtonState(int id, const CGraphModel& model);

// Runs the button's action. True when it toggled something, so that the pictures and the
// visibility of the buttons need refreshing.
bool PressGraphButton(int id, CGraphModel& model);

}  // namespace zk
