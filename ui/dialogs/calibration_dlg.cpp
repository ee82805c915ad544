#include "ui/dialogs/calibration_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialogs/dialog_support.h"

namespace zk {

namespace {

struct ChannelWidgets {
  QLineEdit*& edit;
  QLabel*& uncalibrated;
  QLabel*& calibrated;
  QPushButton*& start;
  QPushButton*& reset;
  QLabel*& ratio;
};

// One calibration group: the edit, the two readings, Start, Reset and the ratio text.
QGroupBox* ChannelGroup(QWidget* parent, const char* title, const char* input, const char* uncalibrated,
                        const char* calibrated, const char* ratioCaption, ChannelWidgets w) {
  auto* group = new QGroupBox(QString::fromLatin1(title), parent);
  auto* grid = new QGridLayout(group);
  w.edit = new QLineEdit(parent);
  w.uncalibrated = new QLabel(parent);
  w.calibrated = new QLabel(parent);
  w.start = new QPushButton(QStringLiteral("Start Calibration"), parent);
  w.reset = new QPushButton(QStringLiteral("Reset Calibration"), parent);
  w.ratio = new QLabel(parent);
  w.start->setAutoDefault(false);
  w.reset->setAutoDefault(false);
  grid->addWidget(new QLabel(QString::fromLatin1(input), parent), 0, 0);
  grid->addWidget(w.edit, 0, 1);
  grid->addWidget(new QLabel(QString::fromLatin1(uncalibrated), parent), 1, 0);
  grid->addWidget(w.uncalibrated, 1, 1);
  grid->addWidget(new QLabel(QString::fromLatin1(calibrated), parent), 2, 0);
  grid->addWidget(w.calibrated, 2, 1);
  grid->addWidget(w.start, 3, 0);
  grid->addWidget(w.reset, 3, 1);
  grid->addWidget(new QLabel(QString::fromLatin1(ratioCaption), parent), 4, 0);
  grid->addWidget(w.ratio, 4, 1);

  // The value texts and the edit in Arial, two pixels below the text's own height.
  QFont arial(QStringLiteral("Arial"));
  arial.setPixelSize(std::max(8, w.uncalibrated->sizeHint().height() - 2));
  for (QWidget* v :
       {static_cast<QWidget*>(w.edit), static_cast<QWidget*>(w.uncalibrated), static_cast<QWidget*>(w.calibrated)}) {
    v->setFont(arial);
  }
  for (QLabel* l : {w.uncalibrated, w.calibrated, w.ratio}) l->setMinimumWidth(160);
  return group;
}

}  // namespace

CCalibrationDlg::CCalibrationDlg(const CalibrationRatios& ratios, ReadingSource reading, QWidget* parent)
    : QDialog(parent), m_Model(ratios, reading ? reading() : LiveReading{}), m_Reading(std::move(reading)) {
  setWindowTitle(QStringLiteral("Voltage/Current Calibration Setting"));
  QGroupBox* voltage =
      ChannelGroup(this, "VBUS Voltage Calibration", "Input the VBUS voltage for Calibration [mV]",
                   "Non-Calibrated VBUS Voltage", "Calibrated VBUS Voltage", "VBUS Vol Ratio",
                   {m_VoltageEdit, m_UncalVoltage, m_CalVoltage, m_StartVoltage, m_ResetVoltage, m_VoltageRatio});
  QGroupBox* current =
      ChannelGroup(this, "VBUS Current Calibration", "Input the VBUS current for Calibration [mA]",
                   "Non-Calibrated VBUS Current", "Calibrated VBUS Current", "VBUS Curr Ratio",
                   {m_CurrentEdit, m_UncalCurrent, m_CalCurrent, m_StartCurrent, m_ResetCurrent, m_CurrentRatio});
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(voltage);
  layout->addWidget(current);
  layout->addWidget(box);

  m_VoltageEdit->setText(ToQ(m_Model.VoltageEdit()));
  m_CurrentEdit->setText(ToQ(m_Model.CurrentEdit()));
  connect(m_VoltageEdit, &QLineEdit::textChanged, this, [this](const QString& t) {
    m_Model.VoltageEdit() = FromQ(t);
    ShowView();
  });
  connect(m_CurrentEdit, &QLineEdit::textChanged, this, [this](const QString& t) {
    m_Model.CurrentEdit() = FromQ(t);
    ShowView();
  });
  connect(m_StartVoltage, &QPushButton::clicked, this, [this] {
    m_Model.StartVoltage();
    refresh();
  });
  connect(m_StartCurrent, &QPushButton::clicked, this, [this] {
    m_Model.StartCurrent();
    refresh();
  });
  connect(m_ResetVoltage, &QPushButton::clicked, this, [this] {
    m_Model.ResetVoltage();
    ShowView();
  });
  connect(m_ResetCurrent, &QPushButton::clicked, this, [this] {
    m_Model.ResetCurrent();
    ShowView();
  });
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

  m_Timer.setInterval(1000);
  connect(&m_Timer, &QTimer::timeout, this, &CCalibrationDlg::refresh);
  m_Timer.start();
  ShowView();
}

void CCalibrationDlg::refresh() {
  if (m_Reading) m_Model.SetReading(m_Reading());
  ShowView();
}

void CCalibrationDlg::ShowView() {
  const CalibrationView v = m_Model.View();
  m_UncalVoltage->setText(ToQ(v.uncalibratedVoltage));
  m_CalVoltage->setText(ToQ(v.calibratedVoltage));
  m_UncalCurrent->setText(ToQ(v.uncalibratedCurrent));
  m_CalCurrent->setText(ToQ(v.calibratedCurrent));
  m_VoltageRatio->setText(ToQ(v.voltageRatio));
  m_CurrentRatio->setText(ToQ(v.currentRatio));
  m_StartVoltage->setEnabled(v.startVoltageEnabled);
  m_StartCurrent->setEnabled(v.startCurrentEnabled);
  m_ResetVoltage->setEnabled(v.resetEnabled);
  m_ResetCurrent->setEnabled(v.resetEnabled);
}

}  // namespace zk
