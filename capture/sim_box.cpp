#include "capture/sim_box.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace zk {

namespace {

constexpr int kNoDeviceError = -4;

// Voltage a sink's Rd, a cable's Ra or nothing pulls each Rp level to.
struct RpLevelVoltages {
  CcResistor rp;
  std::uint16_t withRd;
  std::uint16_t withRa;
  std::uint16_t open;
};
constexpr RpLevelVoltages kRpVoltages[] = {
    {CcResistor::RpDefault, 420, 100, 5000},
    {CcResistor::Rp1A5, 920, 200, 5000},
    {CcResistor::Rp3A0, 1680, 400, 5000},
};

bool IsRp(CcResistor r) { return r == CcResistor::RpDefault || r == CcResistor::Rp1A5 || r == CcResistor::Rp3A0; }

std::vector<std::uint8_t> StringDescriptorOf(const std::string& text) {
  const std::size_t chars = std::min<std::size_t>(text.size(), 31);
  std::vector<std::uint8_t> d{static_cast<std::uint8_t>(2 + 2 * chars), 3};
  for (std::size_t i = 0; i < chars; ++i) {
    d.push_back(static_cast<std::uint8_t>(text[i]));
    d.push_back(0);
  }
  return d;
}

Record SampleRecord(const RawSample* samples, int count) {
  Record r{};
  WriteU16(r.data(), static_cast<std::uint16_t>(0x2000 | count));
  for (int k = 0; k < count; ++k) WriteRawSample(r.data(), k, samples[k]);
  return r;
}

}  // namespace

std::uint16_t CcLineVoltage(const std::vector<CcResistor>& resistors) {
  // The strongest pull-up wins; Ra, the lower resistance, wins over Rd.
  const RpLevelVoltages* level = nullptr;
  bool rd = false, ra = false;
  for (CcResistor r : resistors) {
    if (IsRp(r)) {
      for (const RpLevelVoltages& v : kRpVoltages) {
        if (v.rp == r && (level == nullptr || v.withRd > level->withRd)) level = &v;
      }
    }
    rd = rd || r == CcResistor::Rd;
    ra = ra || r == CcResistor::Ra;
  }
  if (level == nullptr) return 0;
  if (ra) return level->withRa;
  if (rd) return level->withRd;
  return level->open;
}

SimBox::SimBox(SimBoxOptions options)
    : m_Options(std::move(options)), m_PlugTime(Clock::now()), m_IntervalMs(m_Options.samplingIntervalMs) {
  if (m_IntervalMs == 0) m_IntervalMs = 1;
}

SimBox::~SimBox() = default;

std::uint64_t SimBox::NowUs() const {
  const double real = std::chrono::duration<double, std::micro>(Clock::now() - m_PlugTime).count();
  return static_cast<std::uint64_t>(real * m_Options.speed);
}

std::uint32_t SimBox::BoxTimestamp(std::uint64_t us) const {
  return static_cast<std::uint32_t>(m_Options.clockBase + us);
}

int SimBox::Open() {
  std::lock_guard lock(m_Mutex);
  if (!m_Plugged) return kNoDeviceError;
  if (!m_Open) {
    // The pipe fills only while someone holds the box open.
    m_FloodStart = Clock::now();
    m_FloodSent = 0;
  }
  m_Open = true;
  return 0;
}

void SimBox::Close() {
  std::lock_guard lock(m_Mutex);
  m_Open = false;
  m_Wake.notify_all();
}

bool SimBox::IsOpen() const {
  std::lock_guard lock(m_Mutex);
  return m_Open;
}

bool SimBox::IsPresent() {
  std::lock_guard lock(m_Mutex);
  return m_Open && m_Plugged;
}

std::vector<std::uint8_t> SimBox::StringDescriptor(int index) {
  std::lock_guard lock(m_Mutex);
  if (!m_Open || !m_Plugged) return {};
  if (index == 3) return StringDescriptorOf(m_Options.firmware);
  if (index == 6) return StringDescriptorOf(m_Options.serial);
  return {};
}

bool SimBox::WriteCommand(const Record& command) {
  std::lock_guard lock(m_Mutex);
  if (!m_Open || !m_Plugged) return false;
  ++m_Commands;
  const std::optional<ParsedCommand> c = ParseCommand(command.data(), command.size());
  if (!c) return true;  // the box takes any 64 bytes and ignores what it does not know
  if (c->code == kCmdInjection && c->ccLine <= 1 && c->resistor < kResistorCodeCount) {
    m_Injection[c->ccLine] = static_cast<CcResistor>(c->resistor);
  } else if (c->code == kCmdSamplingInterval) {
    m_IntervalMs = c->intervalField + 1 == 0 ? c->intervalField : c->intervalField + 1;
    m_NextSampleUs = NowUs();
  } else if (c->code == kCmdFirmwareUpdate) {
    // The box restarts into its loader: as this device, it is gone.
    m_FirmwareUpdate = true;
    m_Plugged = false;
    m_Open = false;
    m_Wake.notify_all();
  }
  return true;
}

void SimBox::StartTraffic(std::unique_ptr<SimTraffic> traffic) {
  std::lock_guard lock(m_Mutex);
  m_Traffic = std::move(traffic);
  m_TrafficDone = m_Traffic == nullptr;
  m_TrafficStartUs = NowUs();
  if (m_Traffic) m_TrafficStampShift = BoxTimestamp(m_TrafficStartUs) - m_Traffic->ClockOrigin();
  m_Due.clear();
  m_DueNext = 0;
}

bool SimBox::TrafficDone() const {
  std::lock_guard lock(m_Mutex);
  return m_TrafficDone && m_DueNext >= m_Due.size();
}

void SimBox::SetPaused(bool paused) {
  std::lock_guard lock(m_Mutex);
  if (m_Paused && !paused) {
    m_NextSampleUs = std::max(m_NextSampleUs, NowUs());
    m_FloodStart = Clock::now();
    m_FloodSent = 0;
  }
  m_Paused = paused;
  m_Wake.notify_all();
}

void SimBox::Unplug() {
  std::lock_guard lock(m_Mutex);
  m_Plugged = false;
  m_Open = false;
  m_Wake.notify_all();
}

void SimBox::Replug() {
  std::lock_guard lock(m_Mutex);
  m_Plugged = true;
  m_FirmwareUpdate = false;
  ResetConnection();
}

void SimBox::ResetConnection() {
  m_PlugTime = Clock::now();
  m_NextSampleUs = 0;
  m_IntervalMs = m_Options.samplingIntervalMs == 0 ? 1 : m_Options.samplingIntervalMs;
  m_Injection = {CcResistor::None, CcResistor::None};
  m_Fifo.clear();
  m_FifoStart = 0;
  m_FloodSent = 0;
  m_Traffic.reset();
  m_TrafficDone = true;
  m_Due.clear();
  m_DueNext = 0;
  m_HaveTrafficVbus = false;
}

StreamDigest SimBox::Digest() const {
  std::lock_guard lock(m_Mutex);
  return m_Digest;
}

std::uint64_t SimBox::DroppedBytes() const {
  std::lock_guard lock(m_Mutex);
  return m_Dropped;
}

std::uint32_t SimBox::SamplingIntervalMs() const {
  std::lock_guard lock(m_Mutex);
  return m_IntervalMs;
}

CcResistor SimBox::Injection(int ccLine) const {
  std::lock_guard lock(m_Mutex);
  return m_Injection[ccLine & 1];
}

bool SimBox::InFirmwareUpdate() const {
  std::lock_guard lock(m_Mutex);
  return m_FirmwareUpdate;
}

int SimBox::CommandCount() const {
  std::lock_guard lock(m_Mutex);
  return m_Commands;
}

std::uint64_t SimBox::ClockUs() const {
  std::lock_guard lock(m_Mutex);
  return NowUs();
}

RawSample SimBox::SampleAt(std::uint64_t us) const {
  RawSample s;
  s.timestamp = BoxTimestamp(us);
  const bool attached = us >= m_Options.attachUs;
  if (attached && us >= m_Options.attachUs + m_Options.vbusOnDelayUs) {
    s.vbusVoltage = m_HaveTrafficVbus ? m_TrafficVbusMv : m_Options.vbusMv;
    s.vbusCurrent = m_HaveTrafficVbus ? m_TrafficCurrentRaw : m_Options.vbusCurrentRaw;
  }
  std::uint16_t* cc[2] = {&s.cc1Voltage, &s.cc2Voltage};
  for (int line = 0; line < 2; ++line) {
    std::vector<CcResistor> on = {m_Options.sourceResistors[line], m_Injection[line]};
    if (attached) on.push_back(m_Options.sinkResistors[line]);
    *cc[line] = CcLineVoltage(on);
  }
  return s;
}

void SimBox::AppendRecord(const Record& r) {
  if (FifoSize() + kRecordSize > m_Options.fifoBytes) {
    m_Dropped += kRecordSize;
    return;
  }
  m_Fifo.insert(m_Fifo.end(), r.begin(), r.end());
}

void SimBox::PullTraffic(std::uint64_t nowUs) {
  if (m_DueNext > 4096 && m_DueNext * 2 > m_Due.size()) {
    m_Due.erase(m_Due.begin(), m_Due.begin() + static_cast<std::ptrdiff_t>(m_DueNext));
    m_DueNext = 0;
  }
  if (m_Traffic == nullptr || m_TrafficDone) return;
  const std::uint64_t until = nowUs >= m_TrafficStartUs ? nowUs - m_TrafficStartUs + 1 : 0;
  m_TrafficDone = !m_Traffic->Produce(until, m_Due);
}

void SimBox::Generate(std::uint64_t nowUs) {
  PullTraffic(nowUs);
  for (;;) {
    const std::uint64_t nextCc = m_DueNext < m_Due.size() ? m_TrafficStartUs + m_Due[m_DueNext].timeUs
                                                          : std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t next = std::min(nextCc, m_NextSampleUs);
    if (next > nowUs) break;
    if (nextCc <= m_NextSampleUs) {
      Record r = m_Due[m_DueNext++].record;
      if (KindOfRecord(r.data()) == RecordKind::Sample) {
        const int n = SampleCountOfRecord(r.data());
        if (n > 0) {
          const RawSample last = ReadRawSample(r.data(), n - 1);
          m_HaveTrafficVbus = true;
          m_TrafficVbusMv = last.vbusVoltage;
          m_TrafficCurrentRaw = last.vbusCurrent;
        }
      } else if (KindOfRecord(r.data()) == RecordKind::CC) {
        // Shifted as a whole: the stamps keep their relation to the event bytes.
        WriteU32(r.data() + 2, ReadU32(r.data() + 2) + m_TrafficStampShift);
        AppendRecord(r);
      }
    } else {
      const RawSample s = SampleAt(m_NextSampleUs);
      AppendRecord(SampleRecord(&s, 1));
      m_NextSampleUs += static_cast<std::uint64_t>(m_IntervalMs) * 1000;
    }
  }
}

void SimBox::AppendFlood(std::uint64_t nowUs, std::size_t wanted) {
  const double realSeconds = std::chrono::duration<double>(Clock::now() - m_FloodStart).count();
  const auto target = static_cast<std::uint64_t>(realSeconds * static_cast<double>(m_Options.floodBytesPerSecond));
  std::uint64_t budget = target > m_FloodSent ? target - m_FloodSent : 0;
  budget -= budget % kRecordSize;
  if (budget > wanted) {
    // What the reader could not take in time is what a real box would lose.
    m_Dropped += budget - wanted;
    m_FloodSent += budget - wanted;
    budget = wanted;
  }
  const RawSample s = SampleAt(nowUs);
  const RawSample three[3] = {s, s, s};
  const Record r = SampleRecord(three, 3);
  for (std::uint64_t b = 0; b < budget; b += kRecordSize) m_Fifo.insert(m_Fifo.end(), r.begin(), r.end());
  m_FloodSent += budget;
}

ReadResult SimBox::Read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) {
  std::unique_lock lock(m_Mutex);
  const std::size_t maxBytes = std::min(capacity, kBulkReadSize) / kRecordSize * kRecordSize;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  const bool flood = m_Options.floodBytesPerSecond > 0;
  for (;;) {
    if (!m_Plugged || !m_Open) return {ReadStatus::NoDevice, 0};
    if (maxBytes == 0) return {ReadStatus::Error, 0};
    if (m_Paused) {
      if (m_Wake.wait_until(lock, deadline) == std::cv_status::timeout) return {ReadStatus::Timeout, 0};
      continue;
    }
    const std::uint64_t nowUs = NowUs();
    Generate(nowUs);
    if (flood && FifoSize() < m_Options.fifoBytes) AppendFlood(nowUs, m_Options.fifoBytes - FifoSize());
    const auto now = Clock::now();
    // A streaming box fills whole transfers; a quiet one ends each with a short packet.
    if (FifoSize() >= maxBytes || (FifoSize() > 0 && (!flood || now >= deadline))) {
      const std::size_t n = std::min(FifoSize(), maxBytes);
      std::memcpy(buffer, m_Fifo.data() + m_FifoStart, n);
      m_Digest.Update(buffer, n);
      m_FifoStart += n;
      if (m_FifoStart == m_Fifo.size()) {
        m_Fifo.clear();
        m_FifoStart = 0;
      } else if (m_FifoStart > (1u << 20)) {
        m_Fifo.erase(m_Fifo.begin(), m_Fifo.begin() + static_cast<std::ptrdiff_t>(m_FifoStart));
        m_FifoStart = 0;
      }
      return {ReadStatus::Data, n};
    }
    if (now >= deadline) return {ReadStatus::Timeout, 0};
    auto wake = deadline;
    if (flood) {
      const double missing = static_cast<double>(maxBytes - FifoSize());
      wake = std::min(wake, now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                                      missing / static_cast<double>(m_Options.floodBytesPerSecond))));
    } else {
      std::uint64_t nextUs = m_NextSampleUs;
      if (m_DueNext < m_Due.size()) nextUs = std::min(nextUs, m_TrafficStartUs + m_Due[m_DueNext].timeUs);
      // Traffic not yet pulled is checked again within a millisecond.
      if (!m_TrafficDone) nextUs = std::min(nextUs, nowUs + 1000);
      const double realUs = static_cast<double>(nextUs > nowUs ? nextUs - nowUs : 0) / m_Options.speed;
      wake = std::min(
          wake, now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::micro>(realUs)));
    }
    m_Wake.wait_until(lock, wake);
  }
}

}  // namespace zk
