// "Voltage/Current Calibration Setting": VBUS voltage and current ratios from a true value
// and the live uncalibrated reading, polled once a second.
// Usage: CCalibrationDlg dlg(settings.CalRatios(), [this] { return LiveReadingNow(); }, this);
//        if (dlg.exec() == QDialog::Accepted) settings.SetCalRatios(dlg.ratios());
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>

#include "app/calibration.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zk {

class CCalibrationDlg : public QDialog {
  Q_OBJECT

 public:
  using ReadingSource = std::function<LiveReading()>;

  CCalibrationDlg(const CalibrationRatios& ratios, ReadingSource reading, QWidget* parent = nullptr);

  // The six ratios as edited (only the two VBUS ratios change); use them after OK only.
  const CalibrationRatios& ratios() const { return m_Model.Ratios(); }

  // What the one-second timer does: take the live reading and show it.
  void refresh();

  QLineEdit* voltageEdit() const { return m_VoltageEdit; }
  QLineEdit* currentEdit() const { return m_CurrentEdit; }
  QPushButton* startVoltage() const { return m_StartVoltage; }
  QPushButton* startCurrent() const { return m_StartCurrent; }
  QPushButton* resetVoltage() const { return m_ResetVoltage; }
  QPushButton* resetCurrent() const { return m_ResetCurrent; }
  QLabel* uncalibratedVoltage() const { return m_UncalVoltage; }
  QLabel* calibratedVoltage() const { return m_CalVoltage; }
  QLabel* uncalibratedCurrent() const { return m_UncalCurrent; }
  QLabel* calibratedCurrent() const { return m_CalCurrent; }
  QLabel* voltageRatio() const { return m_VoltageRatio; }
  QLabel* currentRatio() const { return m_CurrentRatio; }

 private:
  void ShowView();

  CalibrationDialogModel m_Model;
  ReadingSource m_Reading;
  QTimer m_Timer;
  QLineEdit* m_VoltageEdit = nullptr;
  QLineEdit* m_CurrentEdit = nullptr;
  QPushButton* m_StartVoltage = nullptr;
  QPushButton* m_StartCurrent = nullptr;
  QPushButton* m_ResetVoltage = nullptr;
  QPushButton* m_ResetCurrent = nullptr;
  QLabel* m_UncalVoltage = nullptr;
  QLabel* m_CalVoltage = nullptr;
  QLabel* m_UncalCurrent = nullptr;
  QLabel* m_CalCurrent = nullptr;
  QLabel* m_VoltageRatio = nullptr;
  QLabel* m_CurrentRatio = nullptr;
};

}  // namespace zk
