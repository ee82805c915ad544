// "Record Settings": count limits and the VBUS sampling interval.
// Usage: CConfigDlg dlg(CConfigDlg::ValuesFrom(settings), this);
//        if (dlg.exec() == QDialog::Accepted) CConfigDlg::WriteSettings(dlg.values(), settings);
#pragma once

#include <QDialog>

#include "app/settings.h"
#include "tools/record_dialogs.h"
#include "ui/dialogs/dialog_support.h"

class QComboBox;
class QLineEdit;

namespace zk {

class CConfigDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CConfigDlg(const RecordSettingsValues& values, QWidget* parent = nullptr);

  static RecordSettingsValues ValuesFrom(const AppSettings& settings);
  // The six settings; the interval is that of the chosen entry (0 for none).
  static void WriteSettings(const RecordSettingsValues& values, AppSettings& settings);

  // After OK the values shown; after Cancel the values the dialog was given.
  const RecordSettingsValues& values() const { return m_Values; }
  void setMessageSink(MessageSink sink) { m_Messages = std::move(sink); }

  QLineEdit* packetCount() const { return m_PacketCount; }
  QLineEdit* sampleCount() const { return m_SampleCount; }
  QComboBox* interval() const { return m_Interval; }

  void loadDefault();
  void accept() override;

 private:
  void ShowValues(const RecordSettingsValues& values);

  RecordSettingsValues m_Values;
  RecordSettingsValues m_Shown;
  MessageSink m_Messages;
  QLineEdit* m_PacketCount = nullptr;
  QLineEdit* m_SampleCount = nullptr;
  QComboBox* m_Interval = nullptr;
};

}  // namespace zk
