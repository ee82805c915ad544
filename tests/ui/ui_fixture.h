// Shared pieces of the UI tests: a simulated record file made once per run, a scratch
// folder, and a main window over the simulated box with settings kept in memory.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <filesystem>
#include <memory>
#include <string>

#include "app/main_frame.h"
#include "app/memory_storage.h"
#include "capture/sim_box.h"
#include "record/document.h"
#include "sim/scenarios.h"

namespace zk::test {

inline std::filesystem::path ScratchDir(const std::string& name) {
  const auto dir = std::filesystem::path(::testing::TempDir()) / ("zk_ui_" + name + "_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

// A few seconds of the "spr" scenario, written once.
inline const std::string& SimulatedRecordFile() {
  static const std::string path = [] {
    const std::string p = (ScratchDir("fixture") / "spr.zkr").string();
    sim::ScenarioOptions o;
    o.name = "spr";
    o.seconds = 3;
    o.seed = 1;
    std::string error;
    EXPECT_TRUE(sim::WriteScenarioFile(o, p, error)) << error;
    return p;
  }();
  return path;
}

template <typename Pred>
bool WaitFor(Pred pred, int ms) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

struct FrameHarness {
  AppSettings settings;
  CZKDoc doc;
  RecentFiles recent;
  SimBox* box = nullptr;
  std::unique_ptr<CMainFrame> frame;
  QStringList messages;

  explicit FrameHarness(const std::filesystem::path& recordFolder = ScratchDir("records"), bool remote = false) {
    MemoryStorage storage;
    settings.m_DocumentsFolder = [recordFolder] { return recordFolder.string(); };
    settings.LoadSettings(storage);
    settings.m_RecordFileFolder = recordFolder.string();
    settings.m_RecordDoNotAskAgain = true;
    settings.m_LaunchDriverInstaller = false;
    MainFrameOptions options;
    auto usb = std::make_unique<SimBox>();
    box = usb.get();
    options.usb = std::move(usb);
    options.simBox = box;
    options.remoteControl = remote;
    options.scenario.name = "spr";
    options.scenario.seconds = 60;
    frame = std::make_unique<CMainFrame>(settings, doc, recent, std::move(options));
    frame->SetMessageFunction([this](const QString& m) { messages << m; });
  }
  ~FrameHarness() {
    frame->close();
    frame.reset();
  }
};

}  // namespace zk::test
