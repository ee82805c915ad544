#include "app/zk_app.h"

#include <QDir>
#include <QStandardPaths>
#include <QTimer>

#include <memory>

#include "app/qsettings_storage.h"
#include "capture/sim_box.h"
#include "capture/usb_link_libusb.h"
#include "sim/scenarios.h"

namespace zk {

std::optional<StartOptions> ParseCommandLine(const QStringList& arguments, std::string& error) {
  StartOptions options;
  for (const QString& a : arguments) {
    if (a == QStringLiteral("--simulate")) {
      options.simulate = true;
    } else if (a.startsWith(QStringLiteral("--simulate="))) {
      options.simulate = true;
      options.scenario = a.mid(11).toStdString();
      if (!sim::IsScenario(options.scenario)) {
        error = "unknown scenario '" + options.scenario + "'";
        return std::nullopt;
      }
    } else if (a == QStringLiteral("--run")) {
      options.run = true;
    } else if (a.startsWith(QStringLiteral("-"))) {
      error = "unknown option '" + a.toStdString() + "'";
      return std::nullopt;
    } else if (options.file.empty()) {
      options.file = a.toStdString();
    } else {
      error = "only one record file can be opened";
      return std::nullopt;
    }
  }
  return options;
}

CZKApp::CZKApp(StartOptions options, std::unique_ptr<SettingsStorage> storage)
    : m_Options(std::move(options)), m_Storage(std::move(storage)) {}

CZKApp::~CZKApp() {
  if (m_MainFrame) m_MainFrame->close();
  SaveSettings();
  m_MainFrame.reset();
}

void CZKApp::Start() {
  // On Linux the Documents folder is only a convention and may be missing on a fresh
  // account: Qt names it but leaves creating it to us, so the record folder can go inside.
  m_Settings.m_DocumentsFolder = [] {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty()) QDir().mkpath(documents);
    return documents.toStdString();
  };
  m_Settings.LoadSettings(*m_Storage);
  m_Recent.Load(*m_Storage);

  MainFrameOptions frame;
  frame.storage = m_Storage.get();
  frame.remoteControl = m_Options.remoteControl;
  frame.scenario.name = m_Options.scenario;
  // The simulated conversation lasts as long as a capture may reasonably run.
  frame.scenario.seconds = 3600;
  if (m_Options.simulate) {
    auto box = std::make_unique<SimBox>();
    frame.simBox = box.get();
    frame.usb = std::move(box);
  } else {
    frame.usb = MakeLibusbLink(UsbIdsFromEnvironment());
  }
  m_MainFrame = std::make_unique<CMainFrame>(m_Settings, m_Doc, m_Recent, std::move(frame));
  if (!m_Options.file.empty()) {
    m_MainFrame->OpenRecordFile(m_Options.file);
  } else {
    m_MainFrame->NewDocument();
  }
  m_MainFrame->show();
  if (m_Options.run) StartCaptureWhenConnected();
}

void CZKApp::StartCaptureWhenConnected() {
  // The link connects on the capture thread; ask again every 200 ms for up to ten seconds.
  auto* timer = new QTimer(m_MainFrame.get());
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, m_MainFrame.get(), [this, timer, tries] {
    // Stopped meanwhile: Run may open the record file dialog, whose event loop runs this timer.
    timer->stop();
    if (m_MainFrame->CommandEnabled(kCmdRun)) m_MainFrame->RunCommand(kCmdRun);
    if (m_MainFrame->Session().IsCapturing() || ++*tries >= 50) {
      timer->deleteLater();
    } else {
      timer->start(200);
    }
  });
  timer->start(200);
}

void CZKApp::SaveSettings() {
  if (m_Saved || !m_MainFrame) return;
  m_Saved = true;
  m_MainFrame->close();
  m_Settings.SaveSettings(*m_Storage);
  m_Recent.Save(*m_Storage);
  if (auto* qs = dynamic_cast<QSettingsStorage*>(m_Storage.get())) qs->Sync();
}

}  // namespace zk
