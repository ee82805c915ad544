// Faults from outside during a capture: a disk that fills, a box that vanishes in the
// middle of a read or of a command, a record folder that has become read-only. Each ends
// with a record file that holds everything that reached it, in step, and loads back.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <mutex>

#include "capture/capture_session.h"
#include "capture/sim_box.h"
#include "record/loader.h"
#include "tests/core/capture/capture_test_util.h"
#include "tests/core/capture/fake_usb_link.h"
#include "tools/record_dialogs.h"

namespace zk {
namespace {

using test::FreshFolder;
using test::ReadWholeFile;
using test::WaitFor;

// The file's device bytes, after checking that its header counts exactly what is there.
std::vector<std::uint8_t> DeviceBytesOf(const std::filesystem::path& path) {
  const std::vector<std::uint8_t> file = ReadWholeFile(path);
  EXPECT_GE(file.size(), 2 * kRecordSize) << path;
  if (file.size() < 2 * kRecordSize) return {};
  MetaState meta;
  ApplyMetaRecord(file.data(), meta);
  EXPECT_TRUE(meta.hasDeviceBytes) << path;
  EXPECT_EQ(meta.deviceBytes, static_cast<std::int64_t>(file.size() - 2 * kRecordSize)) << path;
  return std::vector<std::uint8_t>(file.begin() + 2 * kRecordSize, file.end());
}

int SamplesInWholeRecords(const std::vector<std::uint8_t>& device) {
  int samples = 0;
  for (std::size_t i = 0; i + kRecordSize <= device.size(); i += kRecordSize) {
    if (KindOfRecord(&device[i]) == RecordKind::Sample) samples += SampleCountOfRecord(&device[i]);
  }
  return samples;
}

// Files of this process may grow to `bytes` only; a write beyond fails (EFBIG) as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &m_Old);
    m_OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_Old;
    limit.rlim_cur = bytes;
    m_Set = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &m_Old);
    std::signal(SIGXFSZ, m_OldHandler);
  }
  bool IsSet() const { return m_Set; }

 private:
  rlimit m_Old{};
  void (*m_OldHandler)(int) = nullptr;
  bool m_Set = false;
};

TEST(CaptureFault, DiskFillingUpEndsTheCaptureWithWhatReachedTheFile) {
  const std::filesystem::path dir = FreshFolder("disk_full");
  std::vector<std::uint8_t> stream;
  for (int k = 0; k < 200; ++k) {
    Record r{};
    WriteU16(r.data(), 0x2001);
    RawSample s;
    s.timestamp = static_cast<std::uint32_t>(1000 * k);
    s.vbusVoltage = static_cast<std::uint16_t>(5000 + k);
    WriteRawSample(r.data(), 0, s);
    stream.insert(stream.end(), r.begin(), r.end());
  }
  constexpr std::size_t kRoom = 100 * kRecordSize + 20;  // the disk fills inside record 101

  test::FakeUsbLink usb;
  usb.Open();
  Flag connected;
  connected.Set();
  CCaptureThread thread(usb, connected);
  RecordSeries series;
  series.naming = {dir.string(), "T", "", true};
  thread.SetSeries(series);
  {
    FileSizeLimit limit(2 * kRecordSize + kRoom);
    ASSERT_TRUE(limit.IsSet());
    ASSERT_TRUE(thread.CreateRecordFile());
    thread.Flags().recording.Set();
    thread.Start();
    for (std::size_t i = 0; i < stream.size(); i += 1000) {
      usb.Queue(
          std::vector<std::uint8_t>(stream.begin() + static_cast<std::ptrdiff_t>(i),
                                    stream.begin() + static_cast<std::ptrdiff_t>(std::min(i + 1000, stream.size()))));
    }
    // Nobody asks for the close: the failing write ends the capture by itself.
    EXPECT_TRUE(WaitFor([&] { return !thread.Flags().recording.IsSet(); }));
    thread.StopAndJoin();
  }
  EXPECT_TRUE(thread.Flags().fileHasData.IsSet());
  EXPECT_EQ(thread.TakeFailure(),
            (CaptureFailure{CaptureFailureKind::WriteFailed, (dir / "T_0001.zkr").string(), EFBIG}));
  EXPECT_EQ(thread.DeviceBytes(), kRoom);
  const std::vector<std::uint8_t> device = DeviceBytesOf(dir / "T_0001.zkr");
  ASSERT_EQ(device.size(), kRoom);
  EXPECT_TRUE(std::equal(device.begin(), device.end(), stream.begin()));

  CaptureStore store;
  LoadRecordFile(store, (dir / "T_0001.zkr").string());
  ASSERT_EQ(store.SampleCount(), 100);
  for (int k = 0; k < 100; ++k) EXPECT_EQ(store.SampleAt(k)->m_VbusVoltage, 5000 + k) << k;
}

// Between the simulated box and the application: makes the box vanish during a read (its
// transfer cut inside a record) or during a command write. A vanished box fails every
// operation; once back, the handle from before stays dead until the link is closed and
// opened again, as after a new enumeration.
class VanishingLink final : public UsbLink {
 public:
  enum class At { Never, Read, Write };

  explicit VanishingLink(UsbLink& box) : m_Box(box) {}

  void VanishAt(At at) {
    std::lock_guard lock(m_Mutex);
    m_At = at;
  }
  bool Vanished() const {
    std::lock_guard lock(m_Mutex);
    return m_Vanished;
  }
  void ComeBack() {
    std::lock_guard lock(m_Mutex);
    m_Gone = false;
  }
  // Every byte handed to the application between StartCounting and the vanishing.
  void StartCounting() {
    std::lock_guard lock(m_Mutex);
    m_Delivered = StreamDigest();
    m_Counting = true;
  }
  StreamDigest Delivered() const {
    std::lock_guard lock(m_Mutex);
    return m_Delivered;
  }

  int Open() override {
    {
      std::lock_guard lock(m_Mutex);
      if (m_Gone) return -4;
      m_Stale = false;
    }
    return m_Box.Open();
  }
  void Close() override { m_Box.Close(); }
  bool IsOpen() const override { return m_Box.IsOpen(); }
  bool IsPresent() override { return !Dead() && m_Box.IsPresent(); }
  std::vector<std::uint8_t> StringDescriptor(int index) override {
    if (Dead()) return {};
    return m_Box.StringDescriptor(index);
  }
  ReadResult Read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override {
    if (Dead()) return {ReadStatus::NoDevice, 0};
    ReadResult r = m_Box.Read(buffer, capacity, timeoutMs);
    std::lock_guard lock(m_Mutex);
    if (m_Gone || m_Stale) return {ReadStatus::NoDevice, 0};  // went during the wait
    if (r.status != ReadStatus::Data) return r;
    if (m_At == At::Read && r.bytes >= kRecordSize) {
      r.bytes -= 24;
      if (m_Counting) m_Delivered.Update(buffer, r.bytes);
      Vanish();
      return r;
    }
    if (m_Counting) m_Delivered.Update(buffer, r.bytes);
    return r;
  }
  bool WriteCommand(const Record& command) override {
    {
      std::lock_guard lock(m_Mutex);
      if (m_Gone || m_Stale) return false;
      if (m_At == At::Write) {
        Vanish();
        return false;
      }
    }
    return m_Box.WriteCommand(command);
  }

 private:
  UsbLink& m_Box;
  mutable std::mutex m_Mutex;
  At m_At = At::Never;
  bool m_Gone = false;
  bool m_Stale = false;
  bool m_Vanished = false;
  bool m_Counting = false;
  StreamDigest m_Delivered;

  void Vanish() {
    m_Gone = m_Stale = m_Vanished = true;
    m_Counting = false;
    m_At = At::Never;
  }
  bool Dead() const {
    std::lock_guard lock(m_Mutex);
    return m_Gone || m_Stale;
  }
};

SimBoxOptions FastBox() {
  SimBoxOptions o;
  o.speed = 20;
  o.samplingIntervalMs = 1;
  return o;
}

class CaptureFaultSession : public ::testing::Test {
 protected:
  std::filesystem::path dir = FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
  SimBox box{FastBox()};
  VanishingLink usb{box};
  CDeviceLink link{usb};
  CCaptureThread thread{usb, link.ConnectedFlag()};
  CZKDoc doc;
  std::string baseName = "PD";
  std::vector<std::string> messages;
  int settingsDialogs = 0;
  CCaptureSession session{doc, link, thread, Ui()};

  CaptureSessionUi Ui() {
    CaptureSessionUi ui;
    ui.messageBox = [this](const std::string& m) { messages.push_back(m); };
    ui.currentBaseName = [this] { return baseName; };
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

  void TickFor(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
      session.Tick();
    }
  }
};

// The box goes away in the middle of a transfer, or while a command is written, and is
// back before the next poll: the capture ends all the same, and the file holds every byte
// the box delivered up to then, with no later data following a cut record.
class BoxVanishing : public CaptureFaultSession, public ::testing::WithParamInterface<VanishingLink::At> {};

TEST_P(BoxVanishing, EndsTheCaptureWithEverythingDeliveredBefore) {
  box.SetPaused(true);
  session.Tick();
  ASSERT_TRUE(link.IsConnected());
  ASSERT_TRUE(session.Run());
  usb.StartCounting();
  box.SetPaused(false);
  TickFor(std::chrono::milliseconds(100));
  ASSERT_TRUE(session.IsCapturing());

  usb.VanishAt(GetParam());
  if (GetParam() == VanishingLink::At::Write) {
    EXPECT_FALSE(link.SendInjection(0, CcResistor::Rd));
    EXPECT_EQ(link.Injection().line[0], CcResistor::None);  // not accepted: unchanged
  }
  ASSERT_TRUE(WaitFor([this] { return usb.Vanished(); }));
  EXPECT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }));
  usb.ComeBack();
  session.Tick();  // the poll finds the dead handle and opens the box again
  session.Tick();  // decodes what was left
  EXPECT_TRUE(link.IsConnected());
  EXPECT_FALSE(thread.Flags().recording.IsSet());
  EXPECT_EQ(session.StatusText(), "Connected.  (Push \"Run\" button to start capturing.)");
  EXPECT_EQ(messages, std::vector<std::string>{CaptureFailureText(
                          {CaptureFailureKind::BoxVanished, (dir / "PD.zkr").string(), 0})});

  const std::vector<std::uint8_t> device = DeviceBytesOf(dir / "PD.zkr");
  StreamDigest written;
  written.Update(device.data(), device.size());
  EXPECT_EQ(written, usb.Delivered());
  const int samples = SamplesInWholeRecords(device);
  EXPECT_GT(samples, 0);
  EXPECT_EQ(doc.Store().SampleCount(), samples);
  CaptureStore reloaded;
  LoadRecordFile(reloaded, (dir / "PD.zkr").string());
  EXPECT_EQ(reloaded.SampleCount(), samples);
}

INSTANTIATE_TEST_SUITE_P(Moments, BoxVanishing, ::testing::Values(VanishingLink::At::Read, VanishingLink::At::Write),
                         [](const auto& info) { return info.param == VanishingLink::At::Read ? "Read" : "Write"; });

// The capture ends by itself when its file takes no more or the next file of the series
// cannot be created: the user is told once which file and why, and the document shows
// everything the file kept.
TEST_F(CaptureFaultSession, DiskFullIsToldWithTheFileAndTheReason) {
  constexpr std::size_t kRoom = 2000 * kRecordSize + 20;
  box.SetPaused(true);
  session.Tick();
  ASSERT_TRUE(session.Run());
  {
    FileSizeLimit limit(2 * kRecordSize + kRoom);
    ASSERT_TRUE(limit.IsSet());
    box.SetPaused(false);
    ASSERT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }, std::chrono::seconds(10)));
  }
  EXPECT_TRUE(messages.empty());  // told by the tick, after the catch-up
  session.Tick();
  const std::filesystem::path path = dir / "PD.zkr";
  EXPECT_EQ(messages, std::vector<std::string>{CaptureFailureText(
                          {CaptureFailureKind::WriteFailed, path.string(), EFBIG})});
  EXPECT_NE(messages.at(0).find("(File too large)"), std::string::npos);
  const std::vector<std::uint8_t> device = DeviceBytesOf(path);
  EXPECT_EQ(device.size(), kRoom);
  EXPECT_EQ(doc.Store().SampleCount(), SamplesInWholeRecords(device));
  session.Tick();
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(CaptureFaultSession, NextFileThatCannotBeCreatedIsToldAndTheLastFileStaysShown) {
  CaptureSessionSettings s = session.Settings();
  s.multiCaptureFile = true;
  s.maxFileSizeMB = 1;
  session.SetSettings(s);
  std::filesystem::create_directory(dir / "PD_0002.zkr");  // in the way of the next file, even for root
  session.Tick();
  ASSERT_TRUE(session.Run());
  ASSERT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }, std::chrono::seconds(20)));
  session.Tick();
  EXPECT_EQ(messages, std::vector<std::string>{CaptureFailureText(
                          {CaptureFailureKind::NextFileFailed, (dir / "PD_0002.zkr").string(), EISDIR})});
  EXPECT_EQ(thread.Index(), 1);
  EXPECT_EQ(session.ShownIndex(), 1);
  const std::vector<std::uint8_t> device = DeviceBytesOf(dir / "PD_0001.zkr");
  EXPECT_GT(device.size(), 1000000u - 2 * kRecordSize);
  EXPECT_EQ(doc.Store().SampleCount(), SamplesInWholeRecords(device));
}

// A capture, then the folder (and, with the same name, the file too) becomes read-only:
// the next Run reports it and starts nothing, and the earlier file stays as it was.
TEST_F(CaptureFaultSession, ReadOnlyFolderStopsTheNextRunAndKeepsTheLastFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  struct Case {
    const char* next;  // base name of the second run
  };
  for (const Case c : {Case{"PD2"}, Case{"PD"}}) {
    SCOPED_TRACE(c.next);
    ::chmod(dir.c_str(), 0755);
    std::filesystem::remove(dir / "PD.zkr");
    baseName = "PD";
    messages.clear();
    settingsDialogs = 0;
    session.Tick();
    ASSERT_TRUE(session.Run());
    TickFor(std::chrono::milliseconds(100));
    session.Stop();
    ASSERT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }));
    session.Tick();
    const std::vector<std::uint8_t> before = ReadWholeFile(dir / "PD.zkr");
    const int samples = doc.Store().SampleCount();
    ASSERT_GT(samples, 0);

    ::chmod((dir / "PD.zkr").c_str(), 0444);
    ::chmod(dir.c_str(), 0555);
    baseName = c.next;
    EXPECT_FALSE(IsWritableFolder(dir.string()));
    EXPECT_FALSE(session.Run());
    EXPECT_EQ(messages, std::vector<std::string>{kCreateRecordFileError});
    EXPECT_EQ(settingsDialogs, 1);
    EXPECT_FALSE(thread.Flags().recording.IsSet());
    session.Tick();
    EXPECT_EQ(ReadWholeFile(dir / "PD.zkr"), before);
    EXPECT_FALSE(std::filesystem::exists(dir / "PD2.zkr"));
    CaptureStore reloaded;
    LoadRecordFile(reloaded, (dir / "PD.zkr").string());
    EXPECT_EQ(reloaded.SampleCount(), samples);
    ::chmod((dir / "PD.zkr").c_str(), 0644);
  }
  ::chmod(dir.c_str(), 0755);
}

}  // namespace
}  // namespace zk
