#include "ui/dialogs/driver_install_dlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zk {

CDriverInstallDlg::CDriverInstallDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("PD Zelkor Driver Install"));
  auto* text = new QLabel(QStringLiteral("  Would you like to install PD Zelkor Driver?"), this);
  m_DoNotAskAgain = new QCheckBox(QStringLiteral("Do Not Ask Again"), this);
  m_Install = new QPushButton(QStringLiteral("Install Driver"), this);
  m_Install->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setAutoDefault(false);
  connect(m_Install, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_DoNotAskAgain);
  buttons->addStretch(1);
  buttons->addWidget(m_Install);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addLayout(buttons);
}

bool CDriverInstallDlg::doNotAskAgain() const { return m_DoNotAskAgain->isChecked(); }

}  // namespace zk
