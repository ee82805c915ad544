#include "capture/capture_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>

#include "tests/core/capture/capture_test_util.h"
#include "tests/core/capture/fake_usb_link.h"

namespace zk {
namespace {

using test::FreshFolder;
using test::ReadWholeFile;
using test::WaitFor;

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> v(size);
  for (std::size_t i = 0; i < size; ++i) v[i] = static_cast<std::uint8_t>(seed + i * 13 + (i >> 9));
  // Keep every record a CC record, so that live decoding has nothing to do with them.
  for (std::size_t i = 0; i < size; i += kRecordSize) v[i + 1] &= 0x1F;
  return v;
}

std::vector<std::uint8_t> SampleRecordBytes(std::uint32_t stamp, std::uint16_t vbus, std::uint16_t cc1,
                                            std::uint16_t cc2) {
  Record r{};
  WriteU16(r.data(), 0x2001);
  RawSample s;
  s.timestamp = stamp;
  s.vbusVoltage = vbus;
  s.cc1Voltage = cc1;
  s.cc2Voltage = cc2;
  s.vbusCurrent = 1598;
  WriteRawSample(r.data(), 0, s);
  return std::vector<std::uint8_t>(r.begin(), r.end());
}

class CaptureThreadTest : public ::testing::Test {
 protected:
  test::FakeUsbLink usb;
  Flag connected;
  CCaptureThread thread{usb, connected};
  std::filesystem::path dir = FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());

  void SetUp() override {
    usb.Open();
    connected.Set();
  }

  void StartRecording(bool multiFile, int index = 1) {
    RecordSeries series;
    series.naming = {dir.string(), "T", "", multiFile};
    series.firmware = 0x0103;
    series.serial = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    thread.SetSeries(series);
    thread.SetIndex(index);
    ASSERT_TRUE(thread.CreateRecordFile());
    thread.Flags().recording.Set();
    thread.Start();
  }

  void Feed(const std::vector<std::uint8_t>& bytes, std::size_t chunk) {
    for (std::size_t i = 0; i < bytes.size(); i += chunk) {
      usb.Queue(
          std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(i),
                                    bytes.begin() + static_cast<std::ptrdiff_t>(std::min(i + chunk, bytes.size()))));
    }
    ASSERT_TRUE(WaitFor([this] { return usb.Drained(); }));
  }

  // Closes the capture and waits until the thread reports it.
  void Close() {
    thread.Flags().closeRequested.Set();
    ASSERT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }));
  }

  std::vector<std::uint8_t> DeviceBytesOf(const std::string& name) {
    std::vector<std::uint8_t> file = ReadWholeFile(dir / name);
    EXPECT_GE(file.size(), 2 * kRecordSize) << name;
    if (file.size() < 2 * kRecordSize) return {};
    MetaState meta;
    ApplyMetaRecord(file.data(), meta);
    EXPECT_TRUE(meta.hasDeviceBytes) << name;
    EXPECT_EQ(meta.deviceBytes, static_cast<std::int64_t>(file.size() - 2 * kRecordSize)) << name;
    EXPECT_EQ(meta.firmware, 0x0103);
    return std::vector<std::uint8_t>(file.begin() + 2 * kRecordSize, file.end());
  }
};

TEST_F(CaptureThreadTest, WritesEveryByteAndClosesWithTheHeader) {
  StartRecording(false);
  const std::vector<std::uint8_t> bytes = Pattern(6400, 1);
  Feed(bytes, 1000);  // cuts records in two
  ASSERT_TRUE(WaitFor([this] { return thread.DeviceBytes() == 6400; }));
  Close();
  EXPECT_TRUE(thread.Flags().fileHasData.IsSet());
  EXPECT_TRUE(thread.Flags().fileClosed.IsSet());
  const std::vector<std::uint8_t> file = ReadWholeFile(dir / "T.zkr");
  ASSERT_EQ(file.size(), 6528u);
  const Record header = HeaderRecord(0x0103, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 6400);
  EXPECT_TRUE(std::equal(header.begin(), header.end(), file.begin()));
  const Record calibration = CalibrationRecord(kUnitRatios);
  EXPECT_TRUE(std::equal(calibration.begin(), calibration.end(), file.begin() + 64));
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.begin() + 128));
}

TEST_F(CaptureThreadTest, CloseWithoutDataLeavesNothingToDecode) {
  StartRecording(false);
  Close();
  EXPECT_FALSE(thread.Flags().fileHasData.IsSet());
  EXPECT_EQ(ReadWholeFile(dir / "T.zkr").size(), 128u);
}

TEST_F(CaptureThreadTest, RolloverSeriesStitchesToTheStream) {
  thread.SetMaxFileSizeMB(1);
  StartRecording(true);
  const std::vector<std::uint8_t> bytes = Pattern(3500000 / 64 * 64, 7);
  Feed(bytes, kBulkReadSize);
  Close();
  std::vector<std::uint8_t> stitched;
  for (int i = 1; i <= 4; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "T_%04d.zkr", i);
    const std::vector<std::uint8_t> part = DeviceBytesOf(name);
    if (i < 4) {
      // Left at the first write past 1000000 bytes, not 1 MiB.
      EXPECT_GT(part.size() + 128, 1000000u);
      EXPECT_LE(part.size() + 128, 1000000u + kBulkReadSize);
    }
    stitched.insert(stitched.end(), part.begin(), part.end());
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "T_0005.zkr"));
  EXPECT_EQ(stitched, bytes);
}

TEST_F(CaptureThreadTest, SizeLimitWithoutMultiFileEndsTheCapture) {
  thread.SetMaxFileSizeMB(0);  // taken as 1
  StartRecording(false);
  usb.Queue(Pattern(1100000 / 64 * 64, 3));
  ASSERT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }));
  EXPECT_TRUE(thread.Flags().fileHasData.IsSet());
  // The first read past the limit is the last one written.
  const std::size_t written = DeviceBytesOf("T.zkr").size() + 128;
  EXPECT_GT(written, 1000000u);
  EXPECT_LE(written, 1000000u + kBulkReadSize);
  EXPECT_FALSE(std::filesystem::exists(dir / "T_0002.zkr"));
}

TEST_F(CaptureThreadTest, Index9999IsTheLast) {
  thread.SetMaxFileSizeMB(1);
  StartRecording(true, 9998);
  usb.Queue(Pattern(2200000 / 64 * 64, 5));
  ASSERT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }));
  EXPECT_TRUE(std::filesystem::exists(dir / "T_9998.zkr"));
  DeviceBytesOf("T_9999.zkr");
  EXPECT_FALSE(std::filesystem::exists(dir / "T_10000.zkr"));
  EXPECT_EQ(thread.Index(), 9999);
}

TEST_F(CaptureThreadTest, RequestedRolloverMovesOnOnceAndMarksItDone) {
  StartRecording(false);
  Feed(Pattern(640, 1), 640);
  thread.Flags().rolloverRequested.Set();
  Feed(Pattern(640, 2), 640);
  ASSERT_TRUE(WaitFor([this] { return thread.Flags().countRolloverDone.IsSet(); }));
  EXPECT_FALSE(thread.Flags().rolloverRequested.IsSet());
  EXPECT_TRUE(thread.Flags().recording.IsSet());
  Close();
  EXPECT_EQ(DeviceBytesOf("T.zkr").size(), 1280u);
  EXPECT_EQ(DeviceBytesOf("T_0002.zkr").size(), 0u);
}

TEST_F(CaptureThreadTest, FailedRolloverEndsTheCapture) {
  thread.SetMaxFileSizeMB(1);
  StartRecording(true);
  // The folder goes away under the capture: the next file cannot be created.
  std::filesystem::remove(dir / "T_0001.zkr");
  std::filesystem::remove(dir);
  usb.Queue(Pattern(1100000 / 64 * 64, 5));
  ASSERT_TRUE(WaitFor([this] { return !thread.Flags().recording.IsSet(); }));
  // The file just left stays the current one, so that the session keeps showing it.
  EXPECT_EQ(thread.Index(), 1);
  EXPECT_TRUE(thread.Flags().fileHasData.IsSet());
  const std::optional<CaptureFailure> failure = thread.TakeFailure();
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(*failure, (CaptureFailure{CaptureFailureKind::NextFileFailed, (dir / "T_0002.zkr").string(), ENOENT}));
  EXPECT_FALSE(thread.TakeFailure().has_value());
}

TEST_F(CaptureThreadTest, LiveReadoutsAndVbusNotification) {
  std::mutex m;
  std::vector<std::pair<std::int32_t, std::uint32_t>> calls;
  thread.SetConnStateChanged([&](std::int32_t vbus, std::uint32_t cc) {
    std::lock_guard lock(m);
    calls.emplace_back(vbus, cc);
  });
  CalibrationRatios ratios = kUnitRatios;
  ratios[kCalVbusVol] = 2000000;
  thread.SetCalibration(ratios);
  thread.Start();  // not recording: live decoding only
  std::vector<std::uint8_t> stream;
  const std::uint16_t vbus[] = {0, 1000, 5000, 999, 998, 20000};
  for (int i = 0; i < 6; ++i) {
    const std::vector<std::uint8_t> r = SampleRecordBytes(0xFFFFFF00u + 100u * i, vbus[i], 1680, 400);
    stream.insert(stream.end(), r.begin(), r.end());
  }
  Feed(stream, 100);
  ASSERT_TRUE(WaitFor([&] { return thread.Live().vbusMv == 20000; }));
  const LiveReadout live = thread.Live();
  EXPECT_EQ(live.calibrated[kCalVbusVol], 40000);
  EXPECT_EQ(live.vbusMa, 1500);
  EXPECT_EQ(live.cc1Mv, 1680);
  EXPECT_EQ(live.ElapsedUs(), 500);  // across the 32-bit wrap
  std::lock_guard lock(m);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].first, 2000);
  EXPECT_EQ(calls[0].second, (400u << 16) | 1680u);
  EXPECT_EQ(calls[1].first, 1998);
  EXPECT_EQ(calls[2].first, 40000);
}

TEST_F(CaptureThreadTest, StopWhileSilentEndsWithin100ms) {
  for (bool recording : {false, true}) {
    CCaptureThread t(usb, connected);
    if (recording) {
      RecordSeries series;
      series.naming = {dir.string(), "S", "", false};
      t.SetSeries(series);
      ASSERT_TRUE(t.CreateRecordFile());
      t.Flags().recording.Set();
    }
    t.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const auto start = std::chrono::steady_clock::now();
    t.StopAndJoin();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400)) << recording;
    EXPECT_FALSE(t.Flags().alive.IsSet());
    EXPECT_FALSE(t.Flags().recording.IsSet());
    EXPECT_TRUE(t.Flags().fileClosed.IsSet());
  }
  EXPECT_EQ(ReadWholeFile(dir / "S.zkr")[2], kTagFormat);  // closed with its header
}

TEST_F(CaptureThreadTest, DisconnectedThreadStillAnswersStop) {
  connected.Clear();
  thread.Start();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const auto start = std::chrono::steady_clock::now();
  thread.StopAndJoin();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
}

}  // namespace
}  // namespace zk
