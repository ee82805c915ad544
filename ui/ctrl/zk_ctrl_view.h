// The control panel: live VBUS and CC readouts, the vRd class and VCONN line, the current
// direction picture, the peak VBUS power of the record and the Run, Pause and Clear buttons.
#pragma once

#include <QWidget>

#include <array>

#include "ui/ctrl/readouts.h"

class QLabel;
class QToolButton;

namespace zk {

class CZKCtrlView : public QWidget {
  Q_OBJECT

 public:
  explicit CZKCtrlView(QWidget* parent = nullptr);

  // Once a second: the live values (when live) and the peak text of the store, when there is one.
  void UpdateReadouts(bool live, const LiveValues& values, const SampleStatistics* stats);
  // After a document update: which buttons may be pressed.
  void UpdateButtons(bool live, bool recording, bool hasSamples);

  // What is shown, for the main window's tests and the screenshots.
  QString Text(const char* name) const;
  DirectionPicture Picture() const { return m_Picture; }
  bool PictureVisible() const;
  bool RunEnabled() const;
  bool PauseEnabled() const;
  bool ClearEnabled() const;

 signals:
  void runClicked();
  void pauseClicked();
  void clearClicked();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* MakeLabel(const char* name, const QString& text = {});
  void Layout();

  std::array<QLabel*, 4> m_Headings{};
  QLabel *m_VbusVoltage, *m_VbusCurrent, *m_VbusPower;
  QLabel *m_Cc1Voltage, *m_Cc1Current, *m_Cc2Voltage, *m_Cc2Current;
  QLabel *m_VconnVoltage, *m_VconnPower;
  QLabel* m_PictureLabel;
  QLabel* m_Vrd;
  QLabel* m_Peak;
  QToolButton *m_Run, *m_Pause, *m_Clear;
  DirectionPicture m_Picture = DirectionPicture::kHidden;
};

}  // namespace zk
