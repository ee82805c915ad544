// The capture pipeline at the highest rate a high-speed bulk pipe carries: the simulated
// box floods, the capture thread writes a rolling file series, the session decodes every
// second. Counters: the rate held, bytes the box lost because the reader fell behind, the
// decode lag and whether the files hold exactly the stream. The soak length comes from
// ZK_SOAK_SECONDS (60 by default); the folder from ZK_SOAK_FOLDER (the temp folder).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "capture/capture_session.h"
#include "capture/sim_box.h"

namespace zk {
namespace {

double SoakSeconds() {
  const char* text = std::getenv("ZK_SOAK_SECONDS");
  const double v = text ? std::atof(text) : 60.0;
  return v > 0 ? v : 60.0;
}

void DigestInto(StreamDigest& d, const std::filesystem::path& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return;
  std::vector<std::uint8_t> buffer(1 << 20);
  if (std::fseek(f, 128, SEEK_SET) == 0) {
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0) d.Update(buffer.data(), n);
  }
  std::fclose(f);
}

void BM_CaptureSoakAtHighSpeedRate(benchmark::State& state) {
  const char* base = std::getenv("ZK_SOAK_FOLDER");
  const std::filesystem::path dir =
      std::filesystem::path(base ? base : std::filesystem::temp_directory_path().string()) / "zk_capture_soak";
  for (auto _ : state) {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    SimBoxOptions o;
    o.floodBytesPerSecond = kHighSpeedBulkBytesPerSecond;
    SimBox box(o);
    CDeviceLink link(box);
    CCaptureThread thread(box, link.ConnectedFlag());
    CZKDoc doc;
    CaptureSessionUi ui;
    ui.currentBaseName = [] { return std::string("Soak"); };
    CCaptureSession session(doc, link, thread, ui);
    CaptureSessionSettings s;
    s.recordFileFolder = dir.string();
    s.doNotAskAgain = true;
    s.multiCaptureFile = true;
    s.maxFileSizeMB = 100;
    s.launchDriverInstaller = false;
    s.pdPacketAutoRemove = s.vbusInfoAutoRemove = true;
    session.SetSettings(s);
    thread.Start();
    box.SetPaused(true);
    session.Tick();
    if (!session.Run()) {
      state.SkipWithError("capture did not start");
      return;
    }
    box.SetPaused(false);
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::duration<double>(SoakSeconds());
    double lagBytes = 0, longestTick = 0;
    while (std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::seconds(1));
      if (thread.Index() == session.ShownIndex()) {
        const double behind =
            static_cast<double>(thread.DeviceBytes() + 128) - static_cast<double>(doc.Store().m_DecodePosition);
        lagBytes = std::max(lagBytes, behind);
      }
      const auto t0 = std::chrono::steady_clock::now();
      session.Tick();
      longestTick = std::max(longestTick, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    box.SetPaused(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    session.Stop();
    while (thread.Flags().recording.IsSet()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    thread.StopAndJoin();

    // Stitched in order: one digest over the device bytes of every file.
    StreamDigest files;
    for (int i = 1; i <= thread.Index(); ++i) DigestInto(files, dir / session.FileNameOf(i));
    const StreamDigest sent = box.Digest();
    state.counters["MB_per_s"] = static_cast<double>(sent.Bytes()) / seconds / 1e6;
    state.counters["lost_in_box_bytes"] = static_cast<double>(box.DroppedBytes());
    state.counters["files_match_stream"] = files == sent ? 1 : 0;
    state.counters["files"] = thread.Index();
    state.counters["decode_lag_MB"] = lagBytes / 1e6;
    state.counters["longest_tick_s"] = longestTick;
    std::filesystem::remove_all(dir);
  }
}
BENCHMARK(BM_CaptureSoakAtHighSpeedRate)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace zk
