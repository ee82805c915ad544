// CColorCfgDlg, "Graph Drawing Setting": the graph's 25 colours, 9 trace widths and 12
// switches. Reads them from the settings storage when it opens and writes them only on OK.
#pragma once

#include <QColor>
#include <QDialog>

#include <array>
#include <functional>
#include <optional>

#include "app/drawing_settings.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QPushButton;

namespace zk {

class SettingsStorage;

class CColorCfgDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CColorCfgDlg(SettingsStorage& storage, QWidget* parent = nullptr);

  // The values the controls hold now.
  DrawingSettings Values() const;

  QPushButton* ColorButton(DrawingColor c) const { return m_ColorButtons[c]; }
  QFrame* Swatch(DrawingColor c) const { return m_Swatches[c]; }
  QCheckBox* SwitchBox(DrawingSwitch s) const { return m_SwitchBoxes[s]; }
  QComboBox* WidthList(TraceWidth w) const { return m_WidthLists[w]; }
  QPushButton* DefaultsButton() const { return m_Defaults; }

  // The colour chooser; the platform's colour dialog unless replaced (tests do).
  std::function<std::optional<QColor>(const QColor& current, QWidget* parent)> m_ChooseColor;

 public slots:
  void accept() override;
  void SetDefaultSettings();

 private:
  SettingsStorage& m_Storage;
  std::array<std::uint32_t, kDrawingColorCount> m_Colors{};
  bool m_PDButtons = false;
  std::array<QPushButton*, kDrawingColorCount> m_ColorButtons{};
  std::array<QFrame*, kDrawingColorCount> m_Swatches{};
  std::array<QCheckBox*, kDrawingSwitchCount> m_SwitchBoxes{};
  std::array<QComboBox*, kTraceWidthCount> m_WidthLists{};
  QPushButton* m_Defaults = nullptr;

  void Show(const DrawingSettings& values);
  void PaintSwatch(DrawingColor c);
  void ChooseColor(DrawingColor c);
};

}  // namespace zk
