#include "ui/graph/qt/color_cfg_dlg.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/settings_storage.h"
#include "ui/graph/graph_painter.h"

namespace zk {

namespace {

constexpr int kNone = -1;

enum Group : int { kGroupGraph, kGroupVoltage, kGroupCurrent, kGroupMarkers, kGroupCount };
constexpr const char* kGroupTitles[kGroupCount] = {"Graph and Time", "Voltage", "Current and Wattage",
                                                   "Cursor and Markers"};

// One colour button with its swatch, and the check box or width list beside it.
struct ColorRow {
  DrawingColor color;
  const char* caption;
  Group group;
  int enabled;  // DrawingSwitch or kNone
  int width;    // TraceWidth or kNone
};

constexpr ColorRow kRows[] = {
    {kColorGraphBG, "Graph Drawing Area", kGroupGraph, kNone, kNone},
    {kColorPDBG, "USBPD Drawing Area", kGroupGraph, kPDBGEnabled, kNone},
    {kColorTimeAxis, "Time Axis", kGroupGraph, kTimeAxisEnabled, kNone},
    {kColorGraph, "Graph", kGroupGraph, kNone, kNone},
    {kColorVolBG, "Voltage Drawing Area", kGroupVoltage, kVolBGEnabled, kNone},
    {kColorvRdUSB, "vRd-USB Area", kGroupVoltage, kvRdUSBBGEnabled, kNone},
    {kColorvRd15, "vRd-1.5 Area", kGroupVoltage, kvRd15BGEnabled, kNone},
    {kColorvRd30, "vRd-3.0 Area", kGroupVoltage, kvRd30BGEnabled, kNone},
    {kColorVolAxis, "Voltage Axis", kGroupVoltage, kVolAxisEnabled, kNone},
    {kColorVBusVol, "VBUS Voltage", kGroupVoltage, kNone, kWidthVBusVol},
    {kColorCC1Vol, "CC1 Voltage", kGroupVoltage, kNone, kWidthCC1Vol},
    {kColorCC2Vol, "CC2 Voltage", kGroupVoltage, kNone, kWidthCC2Vol},
    {kColorCurrBG, "Current Drawing Area", kGroupCurrent, kCurrBGEnabled, kNone},
    {kColorWattBG, "Wattage Drawing Area", kGroupCurrent, kWattBGEnabled, kNone},
    {kColorCurrAxis, "Current Axis", kGroupCurrent, kCurrAxisEnabled, kNone},
    {kColorWattAxis, "Wattage Axis", kGroupCurrent, kWattAxisEnabled, kNone},
    {kColorVBusCurr, "VBUS Current", kGroupCurrent, kNone, kWidthVBusCurr},
    {kColorCC1Curr, "CC1 Current", kGroupCurrent, kNone, kWidthCC1Curr},
    {kColorCC2Curr, "CC2 Current", kGroupCurrent, kNone, kWidthCC2Curr},
    {kColorVBusWatt, "VBUS Wattage", kGroupCurrent, kNone, kWidthVBusWatt},
    {kColorCC1Watt, "CC1 Wattage", kGroupCurrent, kNone, kWidthCC1Watt},
    {kColorCC2Watt, "CC2 Wattage", kGroupCurrent, kNone, kWidthCC2Watt},
    {kColorCursor, "Graph Cursor", kGroupMarkers, kNone, kNone},
    {kColorMarkerO, "Marker O", kGroupMarkers, kNone, kNone},
    {kColorMarkerX, "Marker X", kGroupMarkers, kNone, kNone},
};
static_assert(std::size(kRows) == kDrawingColorCount);

std::uint32_t ToBgr(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

}  // namespace

CColorCfgDlg::CColorCfgDlg(SettingsStorage& storage, QWidget* parent) : QDialog(parent), m_Storage(storage) {
  setWindowTitle(QStringLiteral("Graph Drawing Setting"));
  m_ChooseColor = [](const QColor& current, QWidget* owner) -> std::optional<QColor> {
    const QColor c = QColorDialog::getColor(current, owner);
    if (!c.isValid()) return std::nullopt;
    return c;
  };

  auto* columns = new QHBoxLayout;
  std::array<QGridLayout*, kGroupCount> grids{};
  std::array<int, kGroupCount> rows{};
  std::array<QVBoxLayout*, 3> stacks{};
  for (auto& s : stacks) {
    s = new QVBoxLayout;
    columns->addLayout(s);
  }
  constexpr int kStackOf[kGroupCount] = {0, 1, 2, 0};
  for (int g = 0; g < kGroupCount; ++g) {
    auto* box = new QGroupBox(QString::fromLatin1(kGroupTitles[g]), this);
    grids[static_cast<std::size_t>(g)] = new QGridLayout(box);
    stacks[static_cast<std::size_t>(kStackOf[g])]->addWidget(box);
  }
  for (const ColorRow& row : kRows) {
    QGridLayout* grid = grids[static_cast<std::size_t>(row.group)];
    const int r = rows[static_cast<std::size_t>(row.group)]++;
    auto* button = new QPushButton(QString::fromLatin1(row.caption), this);
    button->setAutoDefault(false);
    auto* swatch = new QFrame(this);
    swatch->setFrameShape(QFrame::Box);
    swatch->setFixedSize(40, 20);
    swatch->setAutoFillBackground(true);
    grid->addWidget(button, r, 0);
    grid->addWidget(swatch, r, 1);
    m_ColorButtons[row.color] = button;
    m_Swatches[row.color] = swatch;
    const DrawingColor c = row.color;
    connect(button, &QPushButton::clicked, this, [this, c] { ChooseColor(c); });
    if (row.enabled != kNone) {
      auto* box = new QCheckBox(QStringLiteral("Enabled"), this);
      grid->addWidget(box, r, 2);
      m_SwitchBoxes[static_cast<std::size_t>(row.enabled)] = box;
    }
    if (row.width != kNone) {
      auto* list = new QComboBox(this);
      for (int w = kMinTraceWidth; w <= kMaxTraceWidth; ++w) list->addItem(QString::number(w));
      grid->addWidget(list, r, 2);
      m_WidthLists[static_cast<std::size_t>(row.width)] = list;
    }
    // The plot surround is changed only through the stored value or the defaults.
    if (row.color == kColorGraph) {
      button->setVisible(false);
      swatch->setVisible(false);
    }
  }
  auto* pdButtons = new QCheckBox(QStringLiteral("Enable USB PD Control Buttons"), this);
  m_SwitchBoxes[kPDButtonsEnabled] = pdButtons;
  stacks[0]->addWidget(pdButtons);
  stacks[0]->addStretch();

  m_Defaults = new QPushButton(QStringLiteral("Set Default Settings"), this);
  m_Defaults->setAutoDefault(false);
  connect(m_Defaults, &QPushButton::clicked, this, &CColorCfgDlg::SetDefaultSettings);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CColorCfgDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CColorCfgDlg::reject);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(m_Defaults);
  bottom->addStretch();
  bottom->addWidget(buttons);

  auto* top = new QVBoxLayout(this);
  top->addLayout(columns);
  top->addLayout(bottom);

  Show(LoadDrawingSettings(storage));
}

void CColorCfgDlg::Show(const DrawingSettings& v) {
  m_Colors = v.m_Colors;
  for (int c = 0; c < kDrawingColorCount; ++c) PaintSwatch(static_cast<DrawingColor>(c));
  for (int w = 0; w < kTraceWidthCount; ++w) {
    m_WidthLists[static_cast<std::size_t>(w)]->setCurrentIndex(v.m_Widths[static_cast<std::size_t>(w)] -
                                                               kMinTraceWidth);
  }
  for (int s = 0; s < kDrawingSwitchCount; ++s) {
    m_SwitchBoxes[static_cast<std::size_t>(s)]->setChecked(v.m_Switches[static_cast<std::size_t>(s)]);
  }
}

DrawingSettings CColorCfgDlg::Values() const {
  DrawingSettings v;
  v.m_Colors = m_Colors;
  for (int w = 0; w < kTraceWidthCount; ++w) {
    v.m_Widths[static_cast<std::size_t>(w)] =
        m_WidthLists[static_cast<std::size_t>(w)]->currentIndex() + kMinTraceWidth;
  }
  for (int s = 0; s < kDrawingSwitchCount; ++s) {
    v.m_Switches[static_cast<std::size_t>(s)] = m_SwitchBoxes[static_cast<std::size_t>(s)]->isChecked();
  }
  return v;
}

void CColorCfgDlg::PaintSwatch(DrawingColor c) {
  QFrame* swatch = m_Swatches[c];
  QPalette pal = swatch->palette();
  pal.setColor(QPalette::Window, ToQColor(m_Colors[c]));
  swatch->setPalette(pal);
  swatch->update();
}

void CColorCfgDlg::ChooseColor(DrawingColor c) {
  if (!m_ChooseColor) return;
  const std::optional<QColor> chosen = m_ChooseColor(ToQColor(m_Colors[c]), this);
  if (!chosen || !chosen->isValid()) return;
  m_Colors[c] = ToBgr(*chosen);
  PaintSwatch(c);
}

void CColorCfgDlg::SetDefaultSettings() {
  DrawingSettings v = Values();
  SetDefaultDrawingSettings(v);
  Show(v);
}

void CColorCfgDlg::accept() {
  SaveDrawingSettings(m_Storage, Values());
  QDialog::accept();
}

}  // namespace zk
