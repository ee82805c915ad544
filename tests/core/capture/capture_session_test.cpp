#include "capture/capture_session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "capture/sim_box.h"
#include "capture/sim_traffic.h"
#include "record/loader.h"
#include "tests/core/capture/capture_test_util.h"

namespace zk {
namespace {

using test::FreshFolder;
using test::ReadWholeFile;
using test::WaitFor;

SimBoxOptions FastBox() {
  SimBoxOptions o;
  o.speed = 20;
  o.samplingIntervalMs = 1;
  return o;
}

class CaptureSessionTest : public ::testing::Test {
 protected:
  std::filesystem::path dir = FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
  SimBox box{FastBox()};
  CDeviceLink link{box};
  CCaptureThread thread{box, link.ConnectedFlag()};
  CZKDoc doc;
  std::vector<std::string> messages;
  int settingsDialogs = 0;
  CCaptureSession session{doc, link, thread, Ui()};

  CaptureSessionUi Ui() {
    CaptureSessionUi ui;
    ui.messageBox = [this](const std::string& m) { messages.push_back(m); };
    ui.currentBaseName = [] { return std::string("PD"); };
    ui.recordFileSettingsDialog = [this]() -> std::optional<std::string> {
      ++settingsDialogs;
      return std::nullopt;
    };
    return ui;
  }

  void SetUp() override {
    CaptureSessionSettings s;
    s.recordFileFolder = dir.string();
    s.doNotAskAgain = true;
    s.vbusSamplingIntervalMS = 1;
    s.launchDriverInstaller = false;
    session.SetSettings(s);
    thread.Start();
  }
  void TearDown() override { thread.StopAndJoin(); }

  // Ticks (faster than once a second) until the capture thread has closed the file and
  // the session has decoded what was left.
  void StopAndCatchUp() {
    session.Stop();
    ASSERT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }));
    session.Tick();
  }

  void TickFor(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
      session.Tick();
    }
  }
};

TEST_F(CaptureSessionTest, IdleStatusTexts) {
  box.Unplug();
  session.Tick();
  EXPECT_EQ(session.StatusText(), "Disconnected.  (Connect PD Zelkor Device to USB port.)");
  EXPECT_FALSE(session.Run());  // the command is disabled without a box
  box.Replug();
  session.Tick();
  EXPECT_EQ(session.StatusText(), "Connected.  (Push \"Run\" button to start capturing.)");
}

TEST_F(CaptureSessionTest, CaptureHoldsExactlyWhatTheBoxSentAndDecodesToTheScenario) {
  sim::ScenarioOptions so;
  so.name = "spr";
  so.seconds = 3.0;
  auto traffic = ScenarioTraffic::Make(so);
  ASSERT_NE(traffic, nullptr);
  const std::vector<sim::SynthPacket> sent = traffic->Packets();

  box.SetPaused(true);
  session.Tick();
  ASSERT_TRUE(link.IsConnected());
  ASSERT_TRUE(session.Run());
  EXPECT_TRUE(session.IsCapturing());
  EXPECT_EQ(doc.RecordPath(), (dir / "PD.zkr").string());
  box.SetPaused(false);
  box.StartTraffic(std::move(traffic));
  ASSERT_TRUE(WaitFor([this] {
    session.Tick();
    return box.TrafficDone();
  }));
  TickFor(std::chrono::milliseconds(60));
  EXPECT_EQ(session.StatusText().rfind("Capturing... ", 0), 0u) << session.StatusText();
  box.SetPaused(true);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));  // the read under way ends
  StopAndCatchUp();

  const std::vector<std::uint8_t> file = ReadWholeFile(dir / "PD.zkr");
  ASSERT_GT(file.size(), 128u);
  StreamDigest written;
  written.Update(file.data() + 128, file.size() - 128);
  EXPECT_EQ(written, box.Digest());
  MetaState meta;
  ApplyMetaRecord(file.data(), meta);
  EXPECT_EQ(meta.deviceBytes, static_cast<std::int64_t>(file.size() - 128));
  EXPECT_EQ(meta.firmware, 0x0103);

  const CaptureStore& store = doc.Store();
  std::vector<const sim::SynthPacket*> expected;
  for (const sim::SynthPacket& p : sent) {
    if (p.kind != kKindTooShort) expected.push_back(&p);
  }
  ASSERT_EQ(store.PacketCount(), static_cast<int>(expected.size()));
  for (int i = 0; i < store.PacketCount(); ++i) {
    const CCCPacket& got = *store.PacketAt(i);
    EXPECT_EQ(got.m_Kind, expected[i]->kind) << i;
    EXPECT_EQ(got.m_CrcOk != 0, expected[i]->crcOk) << i;
    if (got.m_Kind == kKindHardReset || got.m_Kind == kKindCableReset) continue;
    EXPECT_EQ(got.m_Bytes[0] | got.m_Bytes[1] << 8, expected[i]->header) << i;
    EXPECT_EQ(got.m_Crc, expected[i]->crc) << i;
  }
  EXPECT_GT(store.SampleCount(), 100);
  EXPECT_NE(store.SampleAt(store.SampleCount() - 1)->m_VbusVoltage, 0);
}

TEST_F(CaptureSessionTest, UnwritableFolderStartsNothing) {
  CaptureSessionSettings s = session.Settings();
  s.recordFileFolder = (dir / "missing" / "deeper").string();
  session.SetSettings(s);
  session.Tick();
  EXPECT_FALSE(session.Run());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0],
            "Creating a record file error. Please check the record file folder is writable and has enough disk space.");
  EXPECT_EQ(settingsDialogs, 1);
  EXPECT_FALSE(thread.Flags().recording.IsSet());
}

TEST_F(CaptureSessionTest, UnplugMidCaptureClosesTheFileWithItsHeader) {
  session.Tick();
  ASSERT_TRUE(session.Run());
  TickFor(std::chrono::milliseconds(100));
  box.Unplug();
  session.Tick();  // the poll notices, the capture is stopped
  ASSERT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }));
  session.Tick();  // decodes the rest
  session.Tick();
  EXPECT_EQ(session.StatusText(), "Disconnected.  (Connect PD Zelkor Device to USB port.)");
  const std::vector<std::uint8_t> file = ReadWholeFile(dir / "PD.zkr");
  MetaState meta;
  ASSERT_GT(file.size(), 128u);
  ApplyMetaRecord(file.data(), meta);
  EXPECT_TRUE(meta.hasDeviceBytes);
  EXPECT_EQ(meta.deviceBytes, static_cast<std::int64_t>(file.size() - 128));
  EXPECT_GT(doc.Store().SampleCount(), 0);
}

TEST_F(CaptureSessionTest, ClearRestartsOnlyACaptureThatHadData) {
  box.SetPaused(true);
  session.Tick();
  ASSERT_TRUE(session.Run());
  session.Clear();  // no data yet: the capture ends, nothing restarts
  ASSERT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }));
  session.Tick();
  session.Tick();
  EXPECT_FALSE(thread.Flags().recording.IsSet());

  box.SetPaused(false);
  ASSERT_TRUE(session.Run());
  TickFor(std::chrono::milliseconds(60));
  session.Clear();
  ASSERT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }));
  EXPECT_TRUE(thread.Flags().fileHasData.IsSet());
  session.Tick();  // the new capture starts
  EXPECT_TRUE(thread.Flags().recording.IsSet());
  StopAndCatchUp();
}

TEST_F(CaptureSessionTest, FullSampleCountRollsOverOnceOrStops) {
  for (bool fullStop : {false, true}) {
    CaptureSessionSettings s = session.Settings();
    s.maxSampleCount = 20;
    s.captureFullStop = fullStop;
    session.SetSettings(s);
    messages.clear();
    session.Tick();
    ASSERT_TRUE(session.Run());
    TickFor(std::chrono::milliseconds(150));
    if (fullStop) {
      ASSERT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }));
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0], "VBUS Sample count full.");
    } else {
      // One rollover to the second file, which the document now holds.
      EXPECT_TRUE(thread.Flags().recording.IsSet());
      EXPECT_EQ(thread.Index(), 2);
      EXPECT_EQ(session.ShownIndex(), 2);
      EXPECT_EQ(doc.RecordPath(), (dir / "PD_0002.zkr").string());
      EXPECT_TRUE(messages.empty());
      StopAndCatchUp();
    }
  }
}

TEST_F(CaptureSessionTest, RemoteNameRunsAndRollsOverWithoutOverwriting) {
  CaptureSessionSettings s = session.Settings();
  s.doNotAskAgain = false;  // a remote name never asks
  s.maxSampleCount = 20;
  session.SetSettings(s);
  session.Tick();
  session.RemoteRun();  // no name: nothing
  EXPECT_FALSE(thread.Flags().recording.IsSet());
  const std::filesystem::path remoteDir = dir / "remote";
  std::filesystem::create_directories(remoteDir);
  session.SetRemoteFileName("abc");
  session.SetRemoteFolder(remoteDir.string());
  session.RemoteRun();
  ASSERT_TRUE(thread.Flags().recording.IsSet());
  EXPECT_EQ(settingsDialogs, 0);
  TickFor(std::chrono::milliseconds(150));
  EXPECT_EQ(thread.Index(), 2);
  session.RemoteStop();
  EXPECT_TRUE(session.RemoteFileName().empty());
  EXPECT_TRUE(session.RemoteFolder().empty());
  ASSERT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }));
  MetaState first;
  const std::vector<std::uint8_t> abc = ReadWholeFile(remoteDir / "abc.zkr");
  ASSERT_GT(abc.size(), 128u);
  ApplyMetaRecord(abc.data(), first);
  EXPECT_EQ(first.deviceBytes, static_cast<std::int64_t>(abc.size() - 128));
  EXPECT_TRUE(std::filesystem::exists(remoteDir / "abc_0002.zkr"));
}

TEST_F(CaptureSessionTest, DriverPromptOnFirstTickWithoutBox) {
  box.Unplug();
  CaptureSessionSettings s = session.Settings();
  s.launchDriverInstaller = true;
  session.SetSettings(s);
  int prompts = 0, installs = 0, offs = 0;
  CCaptureThread t2(box, link.ConnectedFlag());
  CaptureSessionUi ui = Ui();
  ui.driverInstallPrompt = [&] {
    ++prompts;
    return DriverPromptAnswer{true, true};
  };
  ui.runDriverInstaller = [&] { ++installs; };
  ui.launchDriverInstallerOff = [&] { ++offs; };
  CCaptureSession s2(doc, link, t2, ui);
  s2.SetSettings(s);
  s2.Tick();
  s2.Tick();
  EXPECT_EQ(prompts, 1);
  EXPECT_EQ(installs, 1);
  EXPECT_EQ(offs, 1);
  EXPECT_FALSE(s2.Settings().launchDriverInstaller);
}

}  // namespace
}  // namespace zk
