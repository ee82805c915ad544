// A simulated RVX5K8 behind the USB interface: it streams in real time what the box would
// send (sample records at the commanded interval, the CC records of a scenario, VBUS
// appearing after attach, CC voltages from the resistors on each line), reports its
// firmware and serial number, obeys the commands, can be unplugged and replugged, can
// flood the pipe at the rate of a high-speed bulk endpoint, and keeps a digest of every
// byte it delivered.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "capture/device_commands.h"
#include "capture/stream_digest.h"
#include "capture/usb_link.h"

namespace zk {

// What a USB 2.0 high-speed bulk pipe carries at most: 13 packets of 512 bytes per 125 us.
constexpr std::uint64_t kHighSpeedBulkBytesPerSecond = 13ull * 512 * 8000;

// Records of a scenario, each with its time in microseconds since the traffic began.
struct TimedRecord {
  std::uint64_t timeUs = 0;
  Record record{};
};

// The traffic the simulated box replays. Its sample records are not sent: they say what
// VBUS voltage and current the box measures from then on.
class SimTraffic {
 public:
  virtual ~SimTraffic() = default;
  // Appends, in time order, the records due before untilUs; false once nothing more will come.
  virtual bool Produce(std::uint64_t untilUs, std::vector<TimedRecord>& out) = 0;
  // The record timestamp of traffic time 0; the box moves every stamp onto its own clock.
  virtual std::uint32_t ClockOrigin() const = 0;
};

struct SimBoxOptions {
  std::string firmware = "1.03";
  std::string serial = "5A4B0001000200030004A5B6";
  std::uint32_t samplingIntervalMs = 10;  // until a command changes it
  double speed = 1.0;                     // box microseconds per real microsecond
  std::uint32_t clockBase = 0x00100000;   // box clock at plug-in
  // The partner ports: a source with Rp on CC1 from plug-in, a sink with Rd on CC1 and an
  // e-marked cable's Ra on CC2 from attach on, and VBUS after the source's turn-on delay.
  std::array<CcResistor, 2> sourceResistors = {CcResistor::Rp3A0, CcResistor::None};
  std::array<CcResistor, 2> sinkResistors = {CcResistor::Rd, CcResistor::Ra};
  std::uint64_t attachUs = 50000;
  std::uint64_t vbusOnDelayUs = 150000;
  std::uint16_t vbusMv = 5000;  // until the traffic says otherwise
  std::int16_t vbusCurrentRaw = 0;
  // Above 0, sample records fill the pipe up to this many bytes per second.
  std::uint64_t floodBytesPerSecond = 0;
  std::size_t fifoBytes = 4u << 20;  // what the box holds for a reader that lags; beyond it, data is lost
};

// The voltage the box measures on one CC line with these resistors on it.
std::uint16_t CcLineVoltage(const std::vector<CcResistor>& resistors);

class SimBox final : public UsbLink {
 public:
  explicit SimBox(SimBoxOptions options = {});
  ~SimBox() override;

  int Open() override;
  void Close() override;
  bool IsOpen() const override;
  bool IsPresent() override;
  std::vector<std::uint8_t> StringDescriptor(int index) override;
  ReadResult Read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override;
  bool WriteCommand(const Record& command) override;

  // The traffic starts now on the box clock.
  void StartTraffic(std::unique_ptr<SimTraffic> traffic);
  bool TrafficDone() const;
  // A paused box sends nothing and produces nothing; tests use it to frame a capture
  // exactly. On resume, sampling goes on from the present.
  void SetPaused(bool paused);
  void Unplug();
  // Plugged in again (also after firmware-update mode): a fresh connection to the partners.
  void Replug();

  StreamDigest Digest() const;
  std::uint64_t DroppedBytes() const;
  std::uint32_t SamplingIntervalMs() const;
  CcResistor Injection(int ccLine) const;
  bool InFirmwareUpdate() const;
  int CommandCount() const;
  // Box microseconds since plug-in.
  std::uint64_t ClockUs() const;

 private:
  using Clock = std::chrono::steady_clock;

  SimBoxOptions m_Options;
  mutable std::mutex m_Mutex;
  std::condition_variable m_Wake;
  bool m_Plugged = true;
  bool m_Open = false;
  bool m_FirmwareUpdate = false;
  bool m_Paused = false;
  Clock::time_point m_PlugTime;
  std::uint64_t m_NextSampleUs = 0;
  std::uint32_t m_IntervalMs;
  std::array<CcResistor, 2> m_Injection = {CcResistor::None, CcResistor::None};
  std::unique_ptr<SimTraffic> m_Traffic;
  bool m_TrafficDone = true;
  std::uint64_t m_TrafficStartUs = 0;
  std::uint32_t m_TrafficStampShift = 0;
  std::vector<TimedRecord> m_Due;  // traffic records not yet reached by the box clock
  std::size_t m_DueNext = 0;
  bool m_HaveTrafficVbus = false;
  std::uint16_t m_TrafficVbusMv = 0;
  std::int16_t m_TrafficCurrentRaw = 0;
  std::vector<std::uint8_t> m_Fifo;
  std::size_t m_FifoStart = 0;
  Clock::time_point m_FloodStart;
  std::uint64_t m_FloodSent = 0;
  std::uint64_t m_Dropped = 0;
  StreamDigest m_Digest;
  int m_Commands = 0;

  std::uint64_t NowUs() const;
  std::uint32_t BoxTimestamp(std::uint64_t us) const;
  void Generate(std::uint64_t nowUs);
  void PullTraffic(std::uint64_t nowUs);
  void AppendRecord(const Record& r);
  RawSample SampleAt(std::uint64_t us) const;
  void AppendFlood(std::uint64_t nowUs, std::size_t wanted);
  std::size_t FifoSize() const { return m_Fifo.size() - m_FifoStart; }
  void ResetConnection();
};

}  // namespace zk
