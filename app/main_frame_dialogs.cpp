// Every command of the main window that opens a dialog, in one place. A dialog whose class
// is not part of the build leaves its command disabled.
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <mutex>

#include "app/main_frame.h"
#include "ui/graph/qt/dockable_graph.h"
#include "ui/icons/icons.h"
#include "ui/log/zk_log_view.h"

#if defined(ZK_HAVE_DIALOGS)
#if __has_include("ui/dialogs/packet_find_dlg.h")
#include "ui/dialogs/packet_find_dlg.h"
#define ZK_FIND_DLG 1
#endif
#if __has_include("ui/dialogs/column_settings_dlg.h")
#include "ui/dialogs/column_settings_dlg.h"
#define ZK_COLUMN_DLG 1
#endif
#if __has_include("ui/dialogs/config_dlg.h")
#include "ui/dialogs/config_dlg.h"
#define ZK_CONFIG_DLG 1
#endif
#if __has_include("ui/dialogs/capture_filename_dlg.h")
#include "ui/dialogs/capture_filename_dlg.h"
#define ZK_FILENAME_DLG 1
#endif
#if __has_include("ui/dialogs/calibration_dlg.h")
#include "ui/dialogs/calibration_dlg.h"
#define ZK_CALIBRATION_DLG 1
#endif
#if __has_include("ui/dialogs/export_dlg.h")
#include "ui/dialogs/export_dlg.h"
#define ZK_EXPORT_DLG 1
#endif
#if __has_include("ui/dialogs/stitch_file_dlg.h")
#include "ui/dialogs/stitch_file_dlg.h"
#define ZK_STITCH_DLG 1
#endif
#if __has_include("ui/dialogs/vbus_current_dir_dlg.h")
#include "ui/dialogs/vbus_current_dir_dlg.h"
#define ZK_DIRECTION_DLG 1
#endif
#if __has_include("ui/dialogs/driver_install_dlg.h")
#include "ui/dialogs/driver_install_dlg.h"
#define ZK_DRIVER_DLG 1
#endif
#endif

#include <ctime>
#include <filesystem>

#include "app/calibration.h"

namespace zk {

bool CMainFrame::DialogAvailable(int id) const {
  switch (id) {
    case kCmdFind:
    case kCmdDisplayFilterSettings:
#ifdef ZK_FIND_DLG
      return true;
#else
      return false;
#endif
    case kCmdColumnSettings:
#ifdef ZK_COLUMN_DLG
      return true;
#else
      return false;
#endif
    case kCmdRecordSettings:
#ifdef ZK_CONFIG_DLG
      return true;
#else
      return false;
#endif
    case kCmdRecordFileSettings:
#ifdef ZK_FILENAME_DLG
      return true;
#else
      return false;
#endif
    case kCmdCalibration:
#ifdef ZK_CALIBRATION_DLG
      return true;
#else
      return false;
#endif
    case kCmdExport:
#ifdef ZK_EXPORT_DLG
      return true;
#else
      return false;
#endif
    case kCmdStitch:
#ifdef ZK_STITCH_DLG
      return true;
#else
      return false;
#endif
    case kCmdCurrentDirection:
#ifdef ZK_DIRECTION_DLG
      return true;
#else
      return false;
#endif
    default: return true;
  }
}

void CMainFrame::OpenDialog(int id) {
  switch (id) {
#ifdef ZK_FIND_DLG
    case kCmdFind:
    case kCmdDisplayFilterSettings: {
      const bool find = id == kCmdFind;
      PacketStatistics stats;
      {
        std::lock_guard<std::mutex> lock(m_Doc.Store().Lock());
        stats = m_Doc.Store().PacketStats();
      }
      CPacketFindDlg dlg(find ? m_FindModel : m_FilterModel, stats, this);
      if (dlg.exec() != QDialog::Accepted) break;
      const FindDialogOutcome& outcome = dlg.outcome();
      if (outcome.enableDisplayFilter) m_FilterSwitch.on = true;
      if (outcome.rebuildList) m_LogView->RebuildList();
      if (outcome.redrawVisibleRows) m_LogView->viewport()->update();
      if (outcome.findStep != 0) m_LogView->FindStep(outcome.findStep);
      break;
    }
#endif
#ifdef ZK_COLUMN_DLG
    case kCmdColumnSettings: {
      CColumnSettingsDlg dlg(m_LogView->Header(), m_LogView->ColumnIndex(), m_Settings.m_ColumnInfo, this);
      if (dlg.exec() != QDialog::Accepted) break;
      m_Settings.m_ColumnInfo = dlg.records();
      m_LogView->RebuildList(false);
      break;
    }
#endif
#ifdef ZK_CONFIG_DLG
    case kCmdRecordSettings: {
      CConfigDlg dlg(CConfigDlg::ValuesFrom(m_Settings), this);
      if (dlg.exec() != QDialog::Accepted) break;
      CConfigDlg::WriteSettings(dlg.values(), m_Settings);
      if (m_Settings.m_RecordVbusSamplingIntervalMS != 0) {
        m_Link->SendSamplingInterval(static_cast<std::uint32_t>(m_Settings.m_RecordVbusSamplingIntervalMS));
      }
      m_Doc.ApplyRecordLimits(m_Settings.m_RecordMaxPDPacketCount, m_Settings.m_RecordMaxVbusInfoCount,
                              m_Settings.m_RecordVbusInfoAutoRemove, m_Settings.m_RecordPDPacketAutoRemove);
      m_Session->SetSettings(SessionSettingsFrom(m_Settings));
      break;
    }
#endif
#ifdef ZK_FILENAME_DLG
    case kCmdRecordFileSettings: RecordFileSettingsDialog(); break;
#endif
#ifdef ZK_CALIBRATION_DLG
    case kCmdCalibration: {
      CCalibrationDlg dlg(
          m_Settings.CalRatios(),
          [this] {
            LiveReading reading;
            reading.connected = m_Link->IsConnected();
            const LiveReadout live = m_Thread->Live();
            reading.vbusVoltage = static_cast<std::uint16_t>(live.vbusMv);
            reading.vbusCurrent = static_cast<std::int16_t>(live.vbusMa);
            return reading;
          },
          this);
      if (dlg.exec() != QDialog::Accepted) break;
      m_Settings.SetCalRatios(dlg.ratios());
      m_Session->SetSettings(SessionSettingsFrom(m_Settings));
      break;
    }
#endif
#ifdef ZK_EXPORT_DLG
    case kCmdExport: {
      m_LogView->StoreSettings();
      CExportDlg dlg(m_Doc.Store(), m_Settings.m_ColumnInfo, m_Settings.m_VbusCurrDirReverse, std::nullopt, this);
      dlg.exec();
      break;
    }
#endif
#ifdef ZK_DIRECTION_DLG
    case kCmdCurrentDirection: {
      CVbusCurrentDirCfg dlg(OpenDirectionDialog(m_Settings), this);
      if (dlg.exec() != QDialog::Accepted) break;
      ApplyDirectionDialog(dlg.values(), m_Settings);
      // The list takes the direction at every rebuild.
      m_LogView->RebuildList();
      RefreshGraph(true);
      break;
    }
#endif
#ifdef ZK_STITCH_DLG
    case kCmdStitch: {
      const std::filesystem::path current(m_Doc.RecordPath());
      CStitchFileDlg dlg(current.parent_path().string(), current.filename().string(), this);
      dlg.exec();
      break;
    }
#endif
    case kCmdGraphDrawingSettings: m_GraphDock->OpenDrawingSettings(); break;
    default: break;
  }
}

std::optional<std::string> CMainFrame::RecordFileSettingsDialog() {
#ifdef ZK_FILENAME_DLG
  CCaptureFilenameDlg dlg(
      m_FileNames, [this] { return m_Settings.DefaultRecordFolder(); }, this);
  const bool ok = dlg.exec() == QDialog::Accepted;
  m_FileNames = dlg.values();
  if (!ok) return std::nullopt;
  CCaptureFilenameDlg::WriteSettings(m_FileNames, m_Settings);
  m_Session->SetSettings(SessionSettingsFrom(m_Settings));
  return m_FileNames.m_BaseName;
#else
  // Without the dialog the stored name is confirmed as it is.
  return m_FileNames.CurrentBaseName(true, static_cast<std::int64_t>(std::time(nullptr)));
#endif
}

void CMainFrame::OpenRemoteExport() {
#ifdef ZK_EXPORT_DLG
  m_LogView->StoreSettings();
  auto* dlg = static_cast<CExportDlg*>(m_RemoteExport);
  if (dlg == nullptr) {
    dlg = new CExportDlg(m_Doc.Store(), m_Settings.m_ColumnInfo, m_Settings.m_VbusCurrDirReverse, std::nullopt, this);
    m_RemoteExport = dlg;
  }
  dlg->prepare(m_Doc.Store(), m_Settings.m_ColumnInfo, m_Settings.m_VbusCurrDirReverse, std::nullopt, true);
  dlg->show();
#endif
}

DriverPromptAnswer CMainFrame::DriverInstallPrompt() {
#ifdef ZK_DRIVER_DLG
  CDriverInstallDlg dlg(this);
  DriverPromptAnswer result;
  result.install = dlg.exec() == QDialog::Accepted;
  result.doNotAskAgain = dlg.doNotAskAgain();
  return result;
#else
  QMessageBox box(QMessageBox::Question, QStringLiteral("PD Zelkor"),
                  QStringLiteral("No PD Zelkor device was found. Install the PD Zelkor driver now?"),
                  QMessageBox::Yes | QMessageBox::No, this);
  auto* again = new QCheckBox(QStringLiteral("Do Not Ask Again"));
  box.setCheckBox(again);
  DriverPromptAnswer answer;
  answer.install = box.exec() == QMessageBox::Yes;
  answer.doNotAskAgain = again->isChecked();
  return answer;
#endif
}

void CMainFrame::AboutBox() {
  QDialog dlg(this);
  dlg.setWindowTitle(QStringLiteral("About PD Zelkor"));
  auto* layout = new QVBoxLayout(&dlg);
  auto* icon = new QLabel;
  icon->setPixmap(GlyphPixmap(Glyph::kShowGraph, 32));
  layout->addWidget(icon);
  layout->addWidget(new QLabel(QStringLiteral("USB Power Delivery Analyzer PD Zelkor Version 1.10.15")));
  auto* group = new QLabel(QStringLiteral("PD Zelkor Information"));
  group->setStyleSheet(QStringLiteral("font-weight: bold"));
  layout->addWidget(group);
  QString firmware = QStringLiteral("Not Connected");
  if (!m_Link->FirmwareText().empty()) {
    firmware = QStringLiteral("FW Ver : ") + QString::fromStdString(m_Link->FirmwareText());
    if (m_Link->FirmwareRejected()) firmware += QStringLiteral(" (Invalid FW Version)");
  }
  auto* firmwareLine = new QLabel(firmware);
  firmwareLine->setObjectName(QStringLiteral("firmware"));
  layout->addWidget(firmwareLine);
  auto* serial = new QLineEdit(m_Link->SerialText().empty()
                                   ? QStringLiteral("Serial Number is not assigned.")
                                   : QStringLiteral("Serial Number : ") + QString::fromStdString(m_Link->SerialText()));
  serial->setObjectName(QStringLiteral("serial"));
  serial->setReadOnly(true);
  layout->addWidget(serial);
  auto* update = new QPushButton(QStringLiteral("Enter FW Update Mode"));
  update->setEnabled(!firmware.contains(QStringLiteral("0.91")) && !firmware.contains(QStringLiteral("0.92")));
  layout->addWidget(update);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  connect(update, &QPushButton::clicked, &dlg, [this, &dlg] {
    m_Link->SendEnterFirmwareUpdate();
    dlg.accept();
  });
  dlg.exec();
}

}  // namespace zk
