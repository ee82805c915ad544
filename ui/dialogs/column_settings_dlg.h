// "PD Messages Column Settings".
// Usage: CColumnSettingsDlg dlg(header, columnIndex, settings.m_ColumnInfo, this);
//        const bool ok = dlg.exec() == QDialog::Accepted; settings.m_ColumnInfo = dlg.records();
//        if (ok) RebuildList();
#pragma once

#include <QDialog>
#include <vector>

#include "ui/list/column_model.h"

class QPushButton;
class QTableWidget;

namespace zk {

class CColumnSettingsDlg : public QDialog {
  Q_OBJECT

 public:
  // Opening reads the list's current widths and order back into a copy of records.
  CColumnSettingsDlg(const ListColumnHeader& header, const ColumnIndexMap& columnIndex, const ColumnRecords& records,
                     QWidget* parent = nullptr);

  // After OK the visibility and order chosen here; otherwise the list's state as read back.
  const ColumnRecords& records() const { return m_Records; }

  QTableWidget* list() const { return m_List; }

  void accept() override;

 private:
  std::vector<int> SelectedRows() const;
  void ShowRows();

  CColumnSettingsModel m_Model;
  ColumnRecords m_Records;
  QTableWidget* m_List = nullptr;
};

}  // namespace zk
