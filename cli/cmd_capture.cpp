// zkr capture: a capture session without windows, from the simulated box playing a
// scenario or from a real box over USB, printing the status line once a second.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "capture/capture_session.h"
#include "capture/sim_box.h"
#include "capture/sim_traffic.h"
#include "capture/usb_link_libusb.h"
#include "cli/commands.h"
#include "record/file_path.h"
#include "record/loader.h"
#include "tools/record_dialogs.h"

namespace zk::cli {

namespace {

constexpr const char* kUsage =
    "usage: zkr capture (--sim SCENARIO | --usb) --seconds N --folder DIR [--multi] [--max-mb M]"
    " [--interval-ms MS] [--flood]";

struct Request {
  std::string scenario;
  bool usb = false;
  double seconds = 0;
  std::string folder;
  bool multi = false;
  std::int32_t maxMB = 100;
  std::int32_t intervalMs = 10;
  bool flood = false;  // the simulated box fills a high-speed bulk pipe
};

bool ParsePositive(const std::string& text, double& out) {
  char* end = nullptr;
  errno = 0;
  out = std::strtod(text.c_str(), &end);
  return !text.empty() && errno == 0 && end == text.c_str() + text.size() && out > 0 && out <= 1e6;
}

bool ParseInt(const std::string& text, std::int32_t& out, std::int32_t low, std::int32_t high) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || errno != 0 || end != text.c_str() + text.size() || v < low || v > high) return false;
  out = static_cast<std::int32_t>(v);
  return true;
}

// An error text, empty when the arguments are good.
std::string ParseArgs(const Args& args, Request& r) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--usb") {
      r.usb = true;
    } else if (a == "--multi") {
      r.multi = true;
    } else if (a == "--flood") {
      r.flood = true;
    } else if (!hasValue) {
      return "missing value or unknown option '" + a + "'";
    } else if (a == "--sim") {
      r.scenario = args[++i];
    } else if (a == "--folder") {
      r.folder = args[++i];
    } else if (a == "--seconds") {
      if (!ParsePositive(args[++i], r.seconds)) return "bad --seconds '" + args[i] + "'";
    } else if (a == "--max-mb") {
      if (!ParseInt(args[++i], r.maxMB, 0, 1000000)) return "bad --max-mb '" + args[i] + "'";
    } else if (a == "--interval-ms") {
      if (!ParseInt(args[++i], r.intervalMs, 0, 1000)) return "bad --interval-ms '" + args[i] + "'";
    } else {
      return "unknown option '" + a + "'";
    }
  }
  if (r.usb == !r.scenario.empty()) return "give exactly one of --sim SCENARIO and --usb";
  if (r.seconds <= 0) return "--seconds is required";
  if (r.folder.empty()) return "--folder is required";
  if (r.flood && r.usb) return "--flood is for the simulated box";
  return {};
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "zkr capture: %s\n", message.c_str());
  return 2;
}

using Clock = std::chrono::steady_clock;

struct Figures {
  double maxTickSeconds = 0;      // longest timer tick (the decode step in it)
  std::uint64_t maxLagBytes = 0;  // most written but not yet decoded at the end of a tick
};

// The device bytes of every file of the series, in order: what the box sent if nothing was lost.
StreamDigest DigestOfSeries(const CCaptureSession& session, int files) {
  StreamDigest digest;
  std::vector<std::uint8_t> buffer(1 << 20);
  for (int i = 1; i <= files; ++i) {
    const std::string path = JoinFolder(session.RecordFolder(), session.FileNameOf(i));
    std::FILE* f = OpenFile(path, "rb");
    if (f == nullptr) continue;
    if (std::fseek(f, 2 * kRecordSize, SEEK_SET) == 0) {
      std::size_t n;
      while ((n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0) digest.Update(buffer.data(), n);
    }
    std::fclose(f);
  }
  return digest;
}

}  // namespace

int RunCapture(const Args& args) {
  Request r;
  const std::string error = ParseArgs(args, r);
  if (!error.empty()) return Fail(error + "\n" + kUsage);

  std::unique_ptr<SimTraffic> traffic;
  if (!r.usb) {
    sim::ScenarioOptions so;
    so.name = r.scenario;
    so.seconds = r.seconds;
    traffic = ScenarioTraffic::Make(so);
    if (!traffic) return Fail("unknown scenario '" + r.scenario + "'");
  }
  SimBoxOptions boxOptions;
  if (r.flood) boxOptions.floodBytesPerSecond = kHighSpeedBulkBytesPerSecond;
  SimBox* simBox = nullptr;
  std::unique_ptr<UsbLink> usb;
  if (r.usb) {
    usb = MakeLibusbLink(UsbIdsFromEnvironment());
  } else {
    auto box = std::make_unique<SimBox>(boxOptions);
    simBox = box.get();
    usb = std::move(box);
  }

  CDeviceLink link(*usb);
  CCaptureThread thread(*usb, link.ConnectedFlag());
  CZKDoc doc;
  CaptureFilenameValues names;
  names.m_AppendTimestamp = true;
  names.m_MultipleFiles = r.multi;
  CaptureSessionUi ui;
  ui.messageBox = [](const std::string& m) { std::fprintf(stderr, "zkr capture: %s\n", m.c_str()); };
  ui.currentBaseName = [&names] { return names.CurrentBaseName(true, static_cast<std::int64_t>(std::time(nullptr))); };
  CCaptureSession session(doc, link, thread, ui);
  CaptureSessionSettings settings;
  settings.recordFileFolder = r.folder;
  settings.multiCaptureFile = r.multi;
  settings.maxFileSizeMB = r.maxMB;
  settings.vbusSamplingIntervalMS = r.intervalMs;
  settings.doNotAskAgain = true;
  settings.launchDriverInstaller = false;
  // Without windows there is nobody to follow the graph; the store keeps what it can.
  settings.graphAutoScroll = false;
  settings.pdPacketAutoRemove = true;
  settings.vbusInfoAutoRemove = true;
  session.SetSettings(settings);
  thread.Start();

  // The simulated box is held silent around the capture, so that the files must hold
  // exactly what it sent.
  if (simBox) simBox->SetPaused(true);
  session.Tick();
  if (!link.IsConnected()) {
    thread.StopAndJoin();
    return Fail("no box connected");
  }
  if (!session.Run()) {
    thread.StopAndJoin();
    return Fail("the capture did not start");
  }
  if (simBox) {
    simBox->SetPaused(false);
    simBox->StartTraffic(std::move(traffic));
  }

  Figures figures;
  const auto start = Clock::now();
  const auto end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(r.seconds));
  auto nextTick = start + std::chrono::seconds(1);
  while (Clock::now() < end && thread.Flags().recording.IsSet()) {
    std::this_thread::sleep_until(std::min(nextTick, end));
    if (Clock::now() < nextTick) break;
    nextTick += std::chrono::seconds(1);
    // What the tick finds still to decode, and how long it takes to catch up.
    const std::uint64_t written = thread.DeviceBytes() + 2 * kRecordSize;
    const std::uint64_t decoded = doc.Store().m_DecodePosition;
    if (written > decoded && thread.Index() == session.ShownIndex()) {
      figures.maxLagBytes = std::max(figures.maxLagBytes, written - decoded);
    }
    const auto tickStart = Clock::now();
    session.Tick();
    figures.maxTickSeconds =
        std::max(figures.maxTickSeconds, std::chrono::duration<double>(Clock::now() - tickStart).count());
    std::printf("%s\n", session.StatusText().c_str());
    std::fflush(stdout);
  }
  if (simBox) {
    simBox->SetPaused(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * kBulkReadTimeoutMs));
  }
  session.Stop();
  while (thread.Flags().recording.IsSet()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  session.Tick();
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  thread.StopAndJoin();

  const int files = thread.Index();
  std::printf("files: %d (last %s)\n", files, doc.RecordPath().c_str());
  std::printf("last file: %d packets, %d samples\n", doc.Store().PacketCount(), doc.Store().SampleCount());
  std::printf("decode lag: at most %llu bytes behind at a tick, longest tick %.3f s\n",
              static_cast<unsigned long long>(figures.maxLagBytes), figures.maxTickSeconds);
  if (simBox) {
    const StreamDigest sent = simBox->Digest();
    std::printf("box sent: %llu bytes in %.1f s (%.2f MB/s), lost in the box: %llu bytes\n",
                static_cast<unsigned long long>(sent.Bytes()), elapsed,
                static_cast<double>(sent.Bytes()) / elapsed / 1e6,
                static_cast<unsigned long long>(simBox->DroppedBytes()));
    const StreamDigest written = DigestOfSeries(session, files);
    const bool same = written == sent;
    std::printf("stream check: files hold %llu device bytes, %s\n", static_cast<unsigned long long>(written.Bytes()),
                same ? "identical to what the box sent" : "DIFFERENT from what the box sent");
    if (!same) return 1;
  }
  return 0;
}

}  // namespace zk::cli
