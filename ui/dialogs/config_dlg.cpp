#include "ui/dialogs/config_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zk {

CConfigDlg::CConfigDlg(const RecordSettingsValues& values, QWidget* parent)
    : QDialog(parent), m_Values(values), m_Shown(values) {
  setWindowTitle(QStringLiteral("Record Settings"));
  m_PacketCount = new QLineEdit(this);
  m_PacketCount->setReadOnly(true);
  m_SampleCount = new QLineEdit(this);
  m_SampleCount->setReadOnly(true);
  m_Interval = new QComboBox(this);
  for (const SamplingInterval& i : kSamplingIntervals) {
    m_Interval->addItem(QString::fromLatin1(i.text.data(), static_cast<qsizetype>(i.text.size())));
  }

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Max Record PD Packet Count"), m_PacketCount);
  form->addRow(QStringLiteral("Max VBUS Sampling Count"), m_SampleCount);
  form->addRow(QStringLiteral("VBUS Sampling Interval"), m_Interval);

  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* defaults = box->addButton(QStringLiteral("Load Default"), QDialogButtonBox::ResetRole);
  connect(defaults, &QPushButton::clicked, this, &CConfigDlg::loadDefault);
  connect(box, &QDialogButtonBox::accepted, this, &CConfigDlg::accept);
  connect(box, &QDialogButtonBox::rejected, this, &CConfigDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(box);
  ShowValues(m_Shown);
}

RecordSettingsValues CConfigDlg::ValuesFrom(const AppSettings& s) {
  RecordSettingsValues v;
  v.m_MaxPDPacketCount = s.m_RecordMaxPDPacketCount;
  v.m_MaxVbusInfoCount = s.m_RecordMaxVbusInfoCount;
  v.m_IntervalIndex = IntervalListIndex(s.m_RecordVbusSamplingIntervalMS);
  v.m_CaptureFullStop = s.m_RecordCaptureFullStop;
  v.m_PDPacketAutoRemove = s.m_RecordPDPacketAutoRemove;
  v.m_VbusInfoAutoRemove = s.m_RecordVbusInfoAutoRemove;
  return v;
}

void CConfigDlg::WriteSettings(const RecordSettingsValues& v, AppSettings& s) {
  s.m_RecordMaxPDPacketCount = v.m_MaxPDPacketCount;
  s.m_RecordMaxVbusInfoCount = v.m_MaxVbusInfoCount;
  s.m_RecordCaptureFullStop = v.m_CaptureFullStop;
  s.m_RecordPDPacketAutoRemove = v.m_PDPacketAutoRemove;
  s.m_RecordVbusInfoAutoRemove = v.m_VbusInfoAutoRemove;
  s.m_RecordVbusSamplingIntervalMS = IntervalOfListIndex(v.m_IntervalIndex);
}

void CConfigDlg::ShowValues(const RecordSettingsValues& v) {
  m_PacketCount->setText(QString::number(v.m_MaxPDPacketCount));
  m_SampleCount->setText(QString::number(v.m_MaxVbusInfoCount));
  m_Interval->setCurrentIndex(v.m_IntervalIndex);
}

void CConfigDlg::loadDefault() {
  m_Shown = DefaultRecordSettingsValues();
  ShowValues(m_Shown);
}

void CConfigDlg::accept() {
  // The two counts are read-only: they hold what was given or what "Load Default" put there.
  m_Shown.m_IntervalIndex = m_Interval->currentIndex();
  if (const std::optional<std::string> refusal = CheckRecordSettings(m_Shown)) {
    ShowDialogMessage(m_Messages, this, ToQ(*refusal));
    return;
  }
  m_Values = m_Shown;
  QDialog::accept();
}

}  // namespace zk
