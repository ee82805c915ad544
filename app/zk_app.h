// The application object: the settings loaded once at start and saved once at exit, the
// recent-file list, the one document and the main window over the real or simulated box.
#pragma once

#include <QStringList>

#include <memory>
#include <optional>
#include <string>

#include "app/main_frame.h"
#include "app/settings.h"
#include "record/document.h"

namespace zk {

struct StartOptions {
  bool simulate = false;
  std::string scenario = "spr";
  std::string file;  // a record file to open
  bool remoteControl = true;
  bool run = false;  // start a capture as soon as the box is connected
};

// Arguments after the program name; nothing with a one-line reason when they are not understood.
std::optional<StartOptions> ParseCommandLine(const QStringList& arguments, std::string& error);

class CZKApp {
 public:
  static constexpr const char* kAppUserModelId = "Tarsimo.Zelkor.AppID.V100";

  CZKApp(StartOptions options, std::unique_ptr<SettingsStorage> storage);
  ~CZKApp();

  // Loads the settings, creates the document and the main window, opens the file of the
  // command line and shows the window.
  void Start();
  // Once, at exit; also done by the destructor when not yet done.
  void SaveSettings();

  AppSettings& Settings() { return m_Settings; }
  CZKDoc& Doc() { return m_Doc; }
  CMainFrame* MainFrame() { return m_MainFrame.get(); }
  RecentFiles& Recent() { return m_Recent; }

 private:
  void StartCaptureWhenConnected();

  StartOptions m_Options;
  std::unique_ptr<SettingsStorage> m_Storage;
  AppSettings m_Settings;
  RecentFiles m_Recent;
  CZKDoc m_Doc;
  std::unique_ptr<CMainFrame> m_MainFrame;
  bool m_Saved = false;
};

}  // namespace zk
