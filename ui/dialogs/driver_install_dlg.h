// "PD Zelkor Driver Install": the prompt of the first timer tick when no box is connected.
// Usage: CDriverInstallDlg dlg(this); const bool install = dlg.exec() == QDialog::Accepted;
//        if (dlg.doNotAskAgain()) settings.m_LaunchDriverInstaller = false;
//        if (install) ShowMessageIfAny(RunDriverInstaller(SystemInstallerPlatform()));
#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace zk {

class CDriverInstallDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CDriverInstallDlg(QWidget* parent = nullptr);

  // Ticked "Do Not Ask Again", whichever button closed the dialog.
  bool doNotAskAgain() const;

  QPushButton* installButton() const { return m_Install; }
  QCheckBox* doNotAskAgainBox() const { return m_DoNotAskAgain; }

 private:
  QPushButton* m_Install = nullptr;
  QCheckBox* m_DoNotAskAgain = nullptr;
};

}  // namespace zk
