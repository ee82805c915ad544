// "VBUS Current Direction Setting": which direction of the VBUS current counts as positive.
// Usage: CVbusCurrentDirCfg dlg(OpenDirectionDialog(settings), this);
//        if (dlg.exec() == QDialog::Accepted) ApplyDirectionDialog(dlg.values(), settings);
#pragma once

#include <QDialog>

#include "app/calibration.h"

class QRadioButton;
class QToolButton;

namespace zk {

class CVbusCurrentDirCfg : public QDialog {
  Q_OBJECT

 public:
  explicit CVbusCurrentDirCfg(const DirectionDialogValues& values, QWidget* parent = nullptr);

  // The chosen direction; the hidden "Do Not Ask Again" value passes through unchanged.
  DirectionDialogValues values() const;

  QRadioButton* plugToReceptacle() const { return m_PlugToReceptacle; }
  QRadioButton* receptacleToPlug() const { return m_ReceptacleToPlug; }
  QToolButton* plugToReceptaclePicture() const { return m_PlugPicture; }
  QToolButton* receptacleToPlugPicture() const { return m_ReceptaclePicture; }

 private:
  DirectionDialogValues m_Values;
  QRadioButton* m_PlugToReceptacle = nullptr;
  QRadioButton* m_ReceptacleToPlug = nullptr;
  QToolButton* m_PlugPicture = nullptr;
  QToolButton* m_ReceptaclePicture = nullptr;
};

// The picture of a current flowing plug to receptacle (or the reverse): the box between its
// two connectors with an arrow; the control panel shows the same picture.
QPixmap CurrentDirectionPicture(CurrentDirection direction, int width = 120, int height = 40);

}  // namespace zk
