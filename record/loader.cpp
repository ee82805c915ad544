#include "record/loader.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>

#include "pd/framing.h"
#include "record/file_path.h"
#include "record/message_context.h"

namespace zk {

namespace {

constexpr std::uint64_t kBlockSize = 1048576;
constexpr std::uint64_t kResyncMicroseconds = 500;
constexpr std::uint64_t kIdleTickTimesDiv = 480;  // ticks x divider: 10 us of quiet line

void ShowStatus(const CaptureStore& store, const std::string& text) {
  if (store.m_StatusText) store.m_StatusText(text);
}

std::string Percent(const char* format, std::uint64_t percent) {
  char text[64];
  std::snprintf(text, sizeof text, format, static_cast<int>(percent));
  return text;
}

std::uint16_t ToU16(std::int32_t v) {
  return static_cast<std::uint16_t>(
      std::clamp(v, 0, static_cast<std::int32_t>(std::numeric_limits<std::uint16_t>::max())));
}
std::int16_t ToS16(std::int32_t v) {
  return static_cast<std::int16_t>(std::clamp(v, static_cast<std::int32_t>(std::numeric_limits<std::int16_t>::min()),
                                              static_cast<std::int32_t>(std::numeric_limits<std::int16_t>::max())));
}

// Where a stream that starts late is placed: the sample clock, which runs from the start
// of the capture, or else the latest of the channels.
std::optional<std::uint64_t> LatestStreamTime(const CaptureStore& store) {
  std::optional<std::uint64_t> latest = store.m_SampleTimestamps.Latest();
  if (latest) return latest;
  for (const ChannelDecodeState& c : store.m_Channels) {
    const std::optional<std::uint64_t> t = c.timestamps.Latest();
    if (t && (!latest || *t > *latest)) latest = t;
  }
  return latest;
}

void ResetChannel(ChannelDecodeState& ch) {
  ch.clockSet = false;
  ch.timeUs = 0;
  ch.timeTicks = 0;
  ch.events.Reset();
  ch.ticksSinceEdge = 0;
}

void ResetDecodeResults(CCCPacket& p) {
  p.m_TotalTicks = p.m_FirstBitEdge = p.m_BitCount = p.m_ResolvedCount = p.m_PreambleLen = 0;
  p.m_ByteCount = p.m_SymbolCount = 0;
  p.m_Class0Count = p.m_Class1Count = p.m_Class2Count = p.m_Class3Count = p.m_Class4Count = 0;
  p.m_UnitInterval = 0.0f;
  p.m_PreambleFound = p.m_CrcOk = p.m_EopFound = 0;
  p.m_PreambleStart = p.m_SopStart = p.m_EopPos = -1;
  std::fill(std::begin(p.m_OrderedSet), std::end(p.m_OrderedSet), 0xFE);
  p.m_Kind = kKindTooShort;
  p.m_Crc = 0xFFFFFFFF;
  p.m_OwnsExtBuf = 0;
  p.m_pExtBuf.reset();
  p.m_ExtSelf = false;
  p.m_ExtSize = p.m_ExtOffset = p.m_ExtChunkLen = 0;
}

// Frames, attributes, measures, counts and inserts one packet; false when it is rejected.
bool FinishPacket(CaptureStore& store, std::unique_ptr<CCCPacket> p) {
  if (!store.m_FirstSampleSet || p->m_RawTime < store.m_FirstSampleTime) return false;
  p->m_pStore = &store;
  p->m_Time = static_cast<std::int64_t>(p->m_RawTime - store.m_FirstSampleTime);
  ResetDecodeResults(*p);
  p->m_EdgeCount = static_cast<std::int32_t>(p->m_pEdges.size());
  if (p->m_EdgeCount > 0) {
    DecodePacketFraming(*p);
    p->m_ResolvedCount = static_cast<std::int32_t>(std::count_if(
        p->m_pEdges.begin(), p->m_pEdges.end(), [](const EdgeRecord& e) { return e.Class() == 5 || e.Class() == 6; }));
    if (!store.m_KeepEdges) p->ReleaseEdges();
    p->m_pBits.ShrinkToFit();
  }
  TrackMessage(store.m_Context, *p);
  if (p->m_RawTime < store.m_LatestSampleTime && store.SampleCount() > 0) store.FillMeasurement(*p);
  store.CountPacket(*p);
  store.InsertPacket(std::move(p));
  return true;
}

void FinishAtIdle(CaptureStore& store, ChannelDecodeState& ch) {
  std::unique_ptr<CCCPacket> p = std::move(ch.pending);
  if (p->m_pEdges.size() < 4) return;  // too short to be anything: dropped
  FinishPacket(store, std::move(p));
}

void ApplyCountLimits(CaptureStore& store) {
  const auto over = [](int count, int max) { return static_cast<double>(count) > 1.1 * max; };
  if (store.m_PacketAutoRemove && over(store.PacketCount(), store.m_MaxPacketCount)) {
    store.RemoveOldestPackets(store.PacketCount() - store.m_MaxPacketCount);
    store.m_PacketsRemoved = true;
  }
  if (!store.m_PacketAutoRemove && store.PacketCount() > store.m_MaxPacketCount) store.m_PacketCountFull = true;
  if (store.m_SampleAutoRemove && over(store.SampleCount(), store.m_MaxSampleCount)) {
    store.RemoveOldestSamples(store.SampleCount() - store.m_MaxSampleCount);
  }
  if (!store.m_SampleAutoRemove && store.SampleCount() > store.m_MaxSampleCount) store.m_SampleCountFull = true;
}

}  // namespace

void DecodeMetaRecord(CaptureStore& store, const std::uint8_t* rec) { ApplyMetaRecord(rec, store.m_Meta); }

void DecodeSampleRecord(CaptureStore& store, const std::uint8_t* rec, std::uint64_t offset) {
  const CalibrationRatios& r = store.m_Meta.ratios;
  const int n = SampleCountOfRecord(rec);
  for (int k = 0; k < n; ++k) {
    const RawSample raw = ReadRawSample(rec, k);
    TimestampExtender& clock = store.m_SampleTimestamps;
    store.m_LatestSampleTime =
        clock.Latest() ? clock.Extend(raw.timestamp) : clock.Extend(raw.timestamp, LatestStreamTime(store));
    if (!store.m_FirstSampleSet) {
      store.m_FirstSampleSet = true;
      store.m_FirstSampleTime = store.m_LatestSampleTime;
    }
    CVbusInfo s;
    s.m_Time = static_cast<std::int64_t>(store.m_LatestSampleTime - store.m_FirstSampleTime);
    s.m_VbusVoltage = ToU16(Calibrate(raw.vbusVoltage, r[kCalVbusVol]));
    s.m_CC1Voltage = ToS16(Calibrate(raw.cc1Voltage, r[kCalCC1Vol]));
    s.m_CC2Voltage = ToS16(Calibrate(raw.cc2Voltage, r[kCalCC2Vol]));
    s.m_VbusCurrent = ToS16(Calibrate(ConvertCurrent(raw.vbusCurrent), r[kCalVbusCurr]));
    s.m_CC1Current = ToS16(Calibrate(ConvertCurrent(raw.cc1Current), r[kCalCC1Curr]));
    s.m_CC2Current = ToS16(Calibrate(ConvertCurrent(raw.cc2Current), r[kCalCC2Curr]));
    s.m_Offset = offset;
    store.AppendSample(s);
    store.CountSample(s);
  }
}

void DecodeCCRecord(CaptureStore& store, const std::uint8_t* rec, std::uint64_t offset) {
  const CCRecordHeader h = ParseCCRecord(rec);
  const auto q = static_cast<std::uint64_t>(h.tickDiv);
  store.m_TickDiv = h.tickDiv;
  if (!store.m_Sequence.InSequence(h.seqHigh, h.seqLow)) {
    FinishPendingPackets(store);
    for (ChannelDecodeState& c : store.m_Channels) ResetChannel(c);
  }
  store.m_Sequence.Store(h.seqHigh, h.seqLow);

  ChannelDecodeState& ch = store.m_Channels[static_cast<std::size_t>(h.channel)];
  const std::uint64_t t64 = ch.timestamps.Latest() ? ch.timestamps.Extend(h.timestamp)
                                                   : ch.timestamps.Extend(h.timestamp, LatestStreamTime(store));
  if (!ch.clockSet && h.seqLow != 0) return;
  const std::uint64_t drift = t64 > ch.timeUs ? t64 - ch.timeUs : ch.timeUs - t64;
  if (!ch.clockSet || (h.seqLow == 0 && drift > kResyncMicroseconds && !ch.pending)) {
    ch.clockSet = true;
    ch.timeUs = t64;
    ch.timeTicks = t64 * 48 / q;
  }

  // The loop runs for every event byte: its state lives in locals and goes back at the end.
  EventByteDecoder events = ch.events;
  std::uint64_t ticksSinceEdge = ch.ticksSinceEdge;
  std::uint64_t timeTicks = ch.timeTicks;
  CCCPacket* pending = ch.pending.get();
  const std::uint8_t* bytes = CCEventBytes(rec);
  for (int i = 0; i < kCCEventBytes; ++i) {
    const EventByteDecoder::Step step = events.Feed(bytes[i]);
    if (step.first) continue;
    ticksSinceEdge += step.elapsed;
    timeTicks += step.elapsed;
    if (pending && ticksSinceEdge * q >= kIdleTickTimesDiv) {
      FinishAtIdle(store, ch);
      pending = nullptr;
    }
    if (!step.edge) continue;
    if (pending) {
      std::vector<EdgeRecord>& edges = pending->m_pEdges;
      if (edges.size() < static_cast<std::size_t>(kMaxEdgesPerPacket)) {
        if (edges.empty()) edges.reserve(256);
        EdgeRecord e;
        e.duration = static_cast<std::uint8_t>(ticksSinceEdge & 0xFF);
        edges.push_back(e);
      }
    } else {
      auto p = std::make_unique<CCCPacket>();
      p->m_pStore = &store;
      p->m_RawTime = timeTicks * q / 48;
      p->m_Channel = static_cast<std::uint8_t>(h.channel);
      p->m_TickDiv = h.tickDiv;
      p->m_StartOffset = offset;
      p->m_Index = -1;
      pending = p.get();
      ch.pending = std::move(p);
    }
    pending->m_EndOffset = offset + 63;
    ticksSinceEdge = 0;
  }
  ch.events = events;
  ch.ticksSinceEdge = ticksSinceEdge;
  ch.timeTicks = timeTicks;
  // The microsecond clock is only read at record starts: kept in ticks inside the record.
  ch.timeUs = timeTicks * q / 48;
}

void FinishPendingPackets(CaptureStore& store) {
  for (ChannelDecodeState& ch : store.m_Channels) {
    if (ch.pending) FinishPacket(store, std::move(ch.pending));
  }
}

bool DecodeNextBlock(CaptureStore& store, bool& atEnd) {
  atEnd = false;
  if (store.m_RecordPath.empty()) return false;
  std::ifstream file(PathFromUtf8(store.m_RecordPath), std::ios::binary);
  if (!file) return false;
  file.seekg(0, std::ios::end);
  const std::streamoff endPos = file.tellg();
  if (endPos <= 0) return false;
  const auto length = static_cast<std::uint64_t>(endPos);
  // A file that shrank below what was decoded has nothing new for us.
  if (length <= store.m_DecodePosition) return false;

  if (!store.m_Recording) ShowStatus(store, Percent("Decoding... %d%%", store.m_DecodePosition * 100 / length));
  const std::uint64_t blockEnd = std::min(length, store.m_DecodePosition + kBlockSize);
  if (blockEnd - store.m_DecodePosition < kRecordSize) {
    atEnd = true;  // a partial record: picked up once it is complete
    return true;
  }
  store.m_BlockBuffer.resize(kBlockSize);
  file.seekg(static_cast<std::streamoff>(store.m_DecodePosition));
  file.read(reinterpret_cast<char*>(store.m_BlockBuffer.data()),
            static_cast<std::streamsize>(blockEnd - store.m_DecodePosition));
  const auto got = static_cast<std::uint64_t>(file.gcount());

  ApplyCountLimits(store);

  const std::uint64_t n = got / kRecordSize;
  const std::uint8_t* data = store.m_BlockBuffer.data();
  // All samples of a block are known before any of its packets is finished.
  for (std::uint64_t i = 0; i < n; ++i) {
    const std::uint8_t* rec = data + i * kRecordSize;
    switch (KindOfRecord(rec)) {
      case RecordKind::Meta: DecodeMetaRecord(store, rec); break;
      case RecordKind::Sample: DecodeSampleRecord(store, rec, store.m_DecodePosition + i * kRecordSize); break;
      case RecordKind::CC: break;
    }
  }
  for (std::uint64_t i = 0; i < n; ++i) {
    const std::uint8_t* rec = data + i * kRecordSize;
    if (KindOfRecord(rec) == RecordKind::CC) DecodeCCRecord(store, rec, store.m_DecodePosition + i * kRecordSize);
  }
  store.m_DecodePosition += n * kRecordSize;
  if (got < kBlockSize) atEnd = true;
  // A read that came up short of what was there (the file shrank) ends this pass too.
  if (n == 0) atEnd = true;
  return true;
}

void DecodeAvailable(CaptureStore& store) {
  bool atEnd = false;
  while (DecodeNextBlock(store, atEnd) && !atEnd) {
  }
}

void ClearStore(CaptureStore& store) {
  store.m_DecodePosition = 0;
  store.m_FirstSampleSet = false;
  store.m_FirstSampleTime = 0;
  store.m_LatestSampleTime = 0;
  store.m_SampleTimestamps.Reset();
  store.m_Sequence.Reset();
  store.m_TimeOrigin = 0;
  // Pending packets are dropped with everything else (they would be destroyed right after).
  for (ChannelDecodeState& ch : store.m_Channels) {
    ch.pending.reset();
    ch.timestamps.Reset();
    ResetChannel(ch);
  }
  // Progress texts as the arrays are destroyed; only a changed percentage is shown.
  const auto progress = [&store](const char* format, int count) {
    int shown = -1;
    for (int i = 0; i < count; i += 100) {
      const int percent = static_cast<int>(static_cast<std::int64_t>(i) * 100 / count);
      if (percent != shown) ShowStatus(store, Percent(format, static_cast<std::uint64_t>(percent)));
      shown = percent;
    }
  };
  progress("Deleting VBUS Info... %d%%", store.SampleCount());
  progress("Deleting PD Messages... %d%%", store.PacketCount());
  store.ClearArrays();
  store.ResetState();
}

void LoadRecordFile(CaptureStore& store, const std::string& path) {
  ClearStore(store);
  store.m_RecordPath = path;
  bool atEnd = false;
  while (DecodeNextBlock(store, atEnd) && !atEnd) {
  }
  store.m_TimeOrigin = store.m_Meta.timeOrigin;
  const MetaState& m = store.m_Meta;
  std::vector<std::int64_t> bookmarks = m.bookmarks;
  std::sort(bookmarks.begin(), bookmarks.end());
  for (int i = 0; i < store.PacketCount(); ++i) {
    CCCPacket* p = store.PacketAt(i);
    if (m.hasMarkerA && p->m_Time == m.markerA) store.SetMarkerA(p);
    if (m.hasMarkerB && p->m_Time == m.markerB) store.SetMarkerB(p);
    if (std::binary_search(bookmarks.begin(), bookmarks.end(), p->m_Time)) p->m_Marked = 1;
  }
  store.m_HasGraphMarkerO = m.hasMarkerO;
  store.m_GraphMarkerO = m.markerO;
  store.m_HasGraphMarkerX = m.hasMarkerX;
  store.m_GraphMarkerX = m.markerX;
  ShowStatus(store, "Decode completed.");
}

}  // namespace zk
