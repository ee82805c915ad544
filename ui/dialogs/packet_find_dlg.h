// "Find PD Messages" and "Display Filter Settings": one window over either instance of the criteria.
// Usage: CPacketFindDlg dlg(m_FindModel, store.PacketStats(), this);
//        if (dlg.exec() == QDialog::Accepted) Act(dlg.outcome());  // the criteria stay in the model
#pragma once

#include <QDialog>
#include <array>
#include <vector>

#include "ui/list/find_filter.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace zk {

class CPacketFindDlg : public QDialog {
  Q_OBJECT

 public:
  CPacketFindDlg(CPacketFindDlgModel& model, const PacketStatistics& stats, QWidget* parent = nullptr);

  // What the main window does after OK.
  const FindDialogOutcome& outcome() const { return m_Outcome; }

  // The check box labelled text (a flag name or a message type), or null.
  QCheckBox* checkBox(const QString& text) const;
  QLineEdit* textEdit() const { return m_Text; }
  QRadioButton* forward() const { return m_Forward; }
  QRadioButton* backward() const { return m_Backward; }
  QGroupBox* directionGroup() const { return m_DirectionGroup; }

  void accept() override;
  void reject() override;

 private:
  void ReadControls();
  void ApplyToCriteria(void (CPacketFindDlgModel::*op)());
  void ShowControls();
  void ShowEnabling();

  CPacketFindDlgModel& m_Model;
  FindDialogOutcome m_Outcome;
  std::vector<QCheckBox*> m_FlagBoxes;  // in the order of the flag table
  std::array<QCheckBox*, kMessageTypeFlagCount> m_TypeBoxes{};
  QCheckBox* m_AllowAll = nullptr;
  QCheckBox* m_EnableText = nullptr;
  QLineEdit* m_Text = nullptr;
  QGroupBox* m_DirectionGroup = nullptr;
  QRadioButton* m_Forward = nullptr;
  QRadioButton* m_Backward = nullptr;
};

}  // namespace zk
