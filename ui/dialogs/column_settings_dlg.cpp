#include "ui/dialogs/column_settings_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/dialogs/dialog_support.h"

namespace zk {

namespace {

struct ListColumn {
  const char* title;
  int width;
};
constexpr ListColumn kListColumns[] = {
    {"Order", 50}, {"Title", 100}, {"Desctiption", 200}, {"Width", 50}, {"Show/Hide", 300}};

}  // namespace

CColumnSettingsDlg::CColumnSettingsDlg(const ListColumnHeader& header, const ColumnIndexMap& columnIndex,
                                       const ColumnRecords& records, QWidget* parent)
    : QDialog(parent), m_Records(records) {
  setWindowTitle(QString::fromLatin1(CColumnSettingsModel::kTitle));

  m_List = new QTableWidget(0, static_cast<int>(std::size(kListColumns)), this);
  QStringList titles;
  for (int c = 0; c < static_cast<int>(std::size(kListColumns)); ++c) {
    titles << QString::fromLatin1(kListColumns[c].title);
  }
  m_List->setHorizontalHeaderLabels(titles);
  for (int c = 0; c < static_cast<int>(std::size(kListColumns)); ++c) {
    m_List->setColumnWidth(c, kListColumns[c].width);
  }
  m_List->verticalHeader()->hide();
  m_List->setShowGrid(true);
  m_List->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_List->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_List->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_List->setWordWrap(false);
  m_List->horizontalHeader()->setHighlightSections(false);

  auto* buttons = new QVBoxLayout;
  const auto addButton = [&](const char* text, auto action) {
    auto* b = new QPushButton(QString::fromLatin1(text), this);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, action);
    buttons->addWidget(b);
    return b;
  };
  addButton("Up", [this] {
    m_Model.Up(SelectedRows());
    ShowRows();
  });
  addButton("Down", [this] {
    m_Model.Down(SelectedRows());
    ShowRows();
  });
  addButton("Load Defaults", [this] {
    m_Model.LoadDefaults(SelectedRows());
    ShowRows();
  });
  addButton("Show", [this] {
    m_Model.Show(SelectedRows());
    ShowRows();
  });
  addButton("Hide", [this] {
    m_Model.Hide(SelectedRows());
    ShowRows();
  });
  buttons->addStretch(1);
  addButton("OK", [this] { accept(); })->setDefault(true);
  addButton("Cancel", [this] { reject(); });

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(m_List, 1);
  layout->addLayout(buttons);
  resize(820, 520);

  m_Model.Open(header, columnIndex, m_Records);
  ShowRows();
}

std::vector<int> CColumnSettingsDlg::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : m_List->selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void CColumnSettingsDlg::ShowRows() {
  const std::vector<ColumnSettingsRow>& rows = m_Model.Rows();
  m_List->clearSelection();
  m_List->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const ColumnSettingsRow& row = rows[static_cast<std::size_t>(r)];
    const std::string* cells[] = {&row.order, &row.title, &row.description, &row.width, &row.showHide};
    for (int c = 0; c < static_cast<int>(std::size(cells)); ++c) {
      m_List->setItem(r, c, new QTableWidgetItem(ToQ(*cells[c])));
    }
  }
  QItemSelection selection;
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    if (!rows[static_cast<std::size_t>(r)].selected) continue;
    selection.select(m_List->model()->index(r, 0), m_List->model()->index(r, m_List->columnCount() - 1));
  }
  m_List->selectionModel()->select(selection, QItemSelectionModel::Select);
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    if (rows[static_cast<std::size_t>(r)].selected) m_List->scrollToItem(m_List->item(r, 0));
  }
  m_List->setFocus();
}

void CColumnSettingsDlg::accept() {
  m_Model.Ok(SelectedRows(), m_Records);
  QDialog::accept();
}

}  // namespace zk
