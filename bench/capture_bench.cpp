// The capture pipeline at the highest rate a high-speed bulk pipe carries: the simulated
// box floods, the capture thread writes a rolling file series, the session decodes every
// second. Counters: the rate held, the bytes the box delivered and the bytes the files hold
// (and whether they are the same stream), the bytes the box lost because the reader fell
// behind, the decode lag (what the document is behind the files just before each tick, in
// seconds of stream) and the tick time. The soak length comes from ZK_SOAK_SECONDS (60 by
// default); the folder from ZK_SOAK_FOLDER (the temp folder).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "capture/capture_session.h"
#include "capture/sim_box.h"

namespace zk {
namespace {

double SoakSeconds() {
  const char* text = std::getenv("ZK_SOAK_SECONDS");
  const double v = text ? std::atof(text) : 60.0;
  return v > 0 ? v : 60.0;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
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
    // Bytes in the files not yet decoded: the rest of the shown file and all of any later one.
    const auto behind = [&] {
      double bytes = static_cast<double>(thread.DeviceBytes() + 2 * kRecordSize);
      for (int i = session.ShownIndex(); i < thread.Index(); ++i) {
        std::error_code ec;
        bytes += static_cast<double>(std::filesystem::file_size(dir / session.FileNameOf(i), ec));
      }
      return bytes - static_cast<double>(doc.Store().m_DecodePosition);
    };
    std::vector<double> lagBytes, afterTickBytes, tickSeconds;
    while (std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::seconds(1));
      lagBytes.push_back(behind());
      const auto t0 = std::chrono::steady_clock::now();
      session.Tick();
      tickSeconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
      afterTickBytes.push_back(behind());
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
    const double rate = static_cast<double>(sent.Bytes()) / seconds;
    state.counters["MB_per_s"] = rate / 1e6;
    state.counters["bytes_sent"] = static_cast<double>(sent.Bytes());
    state.counters["bytes_written"] = static_cast<double>(files.Bytes());
    state.counters["written_short_of_sent_bytes"] = static_cast<double>(sent.Bytes()) - static_cast<double>(files.Bytes());
    state.counters["lost_in_box_bytes"] = static_cast<double>(box.DroppedBytes());
    state.counters["files_match_stream"] = files == sent ? 1 : 0;
    state.counters["files"] = thread.Index();
    state.counters["reader_nice"] = thread.ReaderNice();
    state.counters["decode_lag_max_s"] = *std::max_element(lagBytes.begin(), lagBytes.end()) / rate;
    state.counters["decode_lag_median_s"] = Median(lagBytes) / rate;
    state.counters["behind_after_tick_max_MB"] = *std::max_element(afterTickBytes.begin(), afterTickBytes.end()) / 1e6;
    state.counters["tick_max_s"] = *std::max_element(tickSeconds.begin(), tickSeconds.end());
    state.counters["tick_median_s"] = Median(tickSeconds);
    std::filesystem::remove_all(dir);
  }
}
BENCHMARK(BM_CaptureSoakAtHighSpeedRate)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace zk
