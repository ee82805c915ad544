// "Record File Settings": how record files are named and where they go. The values outlive
// the window (the main window keeps them), as actions taken in the dialog persist after Cancel.
// Usage: CCaptureFilenameDlg dlg(m_FileValues, [&] { return settings.DefaultRecordFolder(); }, this);
//        const bool ok = dlg.exec() == QDialog::Accepted; m_FileValues = dlg.values();
//        if (ok) CCaptureFilenameDlg::WriteSettings(m_FileValues, settings);
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>

#include "app/settings.h"
#include "tools/record_dialogs.h"
#include "ui/dialogs/dialog_support.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace zk {

class CCaptureFilenameDlg : public QDialog {
  Q_OBJECT

 public:
  using Clock = std::function<std::int64_t()>;  // seconds since 1970

  CCaptureFilenameDlg(const CaptureFilenameValues& values, std::function<std::string()> defaultFolder,
                      QWidget* parent = nullptr, Clock clock = {});

  // The values as the main window creates them once, from the settings.
  static CaptureFilenameValues ValuesFrom(const AppSettings& settings);
  static void WriteSettings(const CaptureFilenameValues& values, AppSettings& settings);

  // Every value the dialog took: by OK, or by the actions before Cancel.
  const CaptureFilenameValues& values() const { return m_Values; }
  void setMessageSink(MessageSink sink) { m_Messages = std::move(sink); }
  void setFolderChooser(FolderChooser chooser) { m_ChooseFolder = std::move(chooser); }

  QLineEdit* caption() const { return m_Caption; }
  QCheckBox* appendTimestamp() const { return m_AppendTimestamp; }
  QCheckBox* multipleFiles() const { return m_MultipleFiles; }
  QLineEdit* maxFileSize() const { return m_MaxFileSize; }
  QCheckBox* doNotAskAgain() const { return m_DoNotAskAgain; }
  QLabel* folder() const { return m_Folder; }
  QLabel* shownName() const { return m_ShownName; }

  void selectFolder();
  void loadDefaults();
  void accept() override;

 private:
  // Takes every control into the values; false when the size box holds no number.
  bool TakeValues();
  void ShowValues();
  void CaptionEdited(const QString& text);

  CaptureFilenameValues m_Values;
  std::function<std::string()> m_DefaultFolder;
  Clock m_Clock;
  MessageSink m_Messages;
  FolderChooser m_ChooseFolder;
  QLineEdit* m_Caption = nullptr;
  QCheckBox* m_AppendTimestamp = nullptr;
  QCheckBox* m_MultipleFiles = nullptr;
  QLineEdit* m_MaxFileSize = nullptr;
  QCheckBox* m_DoNotAskAgain = nullptr;
  QLabel* m_Folder = nullptr;
  QLabel* m_ShownName = nullptr;
};

}  // namespace zk
