#include "record/loader.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <fstream>
#include <limits>
#include <thread>

#include "pd/framing.h"
#include "record/file_path.h"
#include "record/framing_pipeline.h"
#include "record/message_context.h"

namespace zk {

namespace {

constexpr std::uint64_t kBlockSize = 1048576;
constexpr std::uint64_t kResyncMicroseconds = 500;
constexpr std::uint64_t kIdleTickTimesDiv = 480;  // ticks x divider: 10 us of quiet line
constexpr std::size_t kMaxEdges = kMaxEdgesPerPacket;

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

// Makes the packet from what the reader collected and frames it. Touches nothing shared, so
// it runs on the framing thread; the edges are framed in a buffer of the thread's own, and
// copied into the packet only when they are kept.
std::unique_ptr<CCCPacket> BuildPacket(const PacketStart& s, const EdgeRecord* edges, std::size_t count,
                                       bool keepEdges) {
  thread_local std::vector<EdgeRecord> scratch;
  auto p = std::make_unique<CCCPacket>();
  p->m_pStore = s.store;
  p->m_RawTime = s.rawTime;
  p->m_Time = s.time;
  p->m_StartOffset = s.startOffset;
  p->m_EndOffset = s.endOffset;
  p->m_TickDiv = s.tickDiv;
  p->m_Channel = s.channel;
  p->m_Index = -1;
  scratch.assign(edges, edges + count);
  p->m_pEdges.swap(scratch);
  p->m_EdgeCount = static_cast<std::int32_t>(p->m_pEdges.size());
  if (p->m_EdgeCount > 0) {
    DecodePacketFraming(*p);
    p->m_pBits.ShrinkToFit();
  }
  if (!keepEdges) p->m_pEdges.swap(scratch);
  return p;
}

// Attributes, measures, counts and inserts a framed packet, in the order packets completed.
void CompletePacket(CaptureStore& store, std::unique_ptr<CCCPacket> p) {
  TrackMessage(store.m_Context, *p);
  if (p->m_RawTime < store.m_LatestSampleTime && store.SampleCount() > 0)
    store.FillMeasurement(*p, store.m_MeasureHint);
  store.CountPacket(*p);
  store.InsertPacket(std::move(p));
}

// Packets are completed once the block's samples are all in: they are measured against them.
void CompleteReady(CaptureStore& store, FramingPipeline& pipeline) {
  if (!pipeline.JobDone()) return;
  while (std::unique_ptr<CCCPacket> p = pipeline.TakeReady()) CompletePacket(store, std::move(p));
}

void CompleteAll(CaptureStore& store, FramingPipeline& pipeline) {
  pipeline.FinishJob();
  while (std::unique_ptr<CCCPacket> p = pipeline.TakeNext()) CompletePacket(store, std::move(p));
}

// Ends the channel's packet: a packet from before the first sample has no time and is
// dropped; the others are framed and completed here or through the pipeline. What is read
// of the store was settled by the block's sample pass, the same anywhere in its CC pass.
void FinishPacket(CaptureStore& store, PendingPacket& pending, FramingPipeline* pipeline) {
  pending.active = false;
  PacketStart& s = pending.start;
  if (store.m_FirstSampleSet && s.rawTime >= store.m_FirstSampleTime) {
    s.store = &store;
    s.time = static_cast<std::int64_t>(s.rawTime - store.m_FirstSampleTime);
    const EdgeRecord* edges = pending.edges.data();
    if (!pipeline || !pipeline->Submit(s, edges, pending.count, store.m_KeepEdges)) {
      if (pipeline) CompleteAll(store, *pipeline);  // what went in before stays before
      CompletePacket(store, BuildPacket(s, edges, pending.count, store.m_KeepEdges));
    }
  }
  pending.count = 0;
}

void FinishAtIdle(CaptureStore& store, ChannelDecodeState& ch, FramingPipeline* pipeline) {
  if (ch.pending.count < 4) {  // too short to be anything: dropped
    ch.pending.active = false;
    ch.pending.count = 0;
    return;
  }
  FinishPacket(store, ch.pending, pipeline);
}

void FinishPending(CaptureStore& store, FramingPipeline* pipeline) {
  for (ChannelDecodeState& ch : store.m_Channels) {
    if (ch.pending.active) FinishPacket(store, ch.pending, pipeline);
  }
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

namespace {

// Takes the edges of a run of event bytes, each a short step after the one before, up to
// the first wrap marker or idle gap; returns how many bytes it took. `last` is left at the
// last byte taken.
int CopyEdgeRun(const std::uint8_t* bytes, int count, std::uint32_t idleElapsed, std::uint8_t& last, EdgeRecord* out,
                std::uint32_t& ticks) {
  std::uint8_t previous = last;
  std::uint32_t sum = 0;
  int k = 0;
  for (; k < count; ++k) {
    const std::uint32_t elapsed = static_cast<std::uint8_t>(bytes[k] - previous);
    if (elapsed - 1 >= idleElapsed - 1) break;  // a wrap marker (0) or the line idles
    out[k].duration = static_cast<std::uint8_t>(elapsed);
    sum += elapsed;
    previous = bytes[k];
  }
  last = previous;
  ticks += sum;
  return k;
}

void DecodeCC(CaptureStore& store, const std::uint8_t* rec, std::uint64_t offset, FramingPipeline* pipeline) {
  const CCRecordHeader h = ParseCCRecord(rec);
  const auto q = static_cast<std::uint64_t>(h.tickDiv);
  store.m_TickDiv = h.tickDiv;
  if (!store.m_Sequence.InSequence(h.seqHigh, h.seqLow)) {
    FinishPending(store, pipeline);
    for (ChannelDecodeState& c : store.m_Channels) ResetChannel(c);
  }
  store.m_Sequence.Store(h.seqHigh, h.seqLow);

  ChannelDecodeState& ch = store.m_Channels[static_cast<std::size_t>(h.channel)];
  // A channel's first record is placed by the sample clock as the block's whole sample pass
  // leaves it: when that pass runs beside, it is waited for here.
  if (!ch.timestamps.Latest() && pipeline) pipeline->FinishJob();
  const std::uint64_t t64 = ch.timestamps.Latest() ? ch.timestamps.Extend(h.timestamp)
                                                   : ch.timestamps.Extend(h.timestamp, LatestStreamTime(store));
  if (!ch.clockSet && h.seqLow != 0) return;
  const std::uint64_t drift = t64 > ch.timeUs ? t64 - ch.timeUs : ch.timeUs - t64;
  if (!ch.clockSet || (h.seqLow == 0 && drift > kResyncMicroseconds && !ch.pending.active)) {
    ch.clockSet = true;
    ch.timeUs = t64;
    ch.timeTicks = t64 * 48 / q;
  }

  // The fewest ticks between two bytes that make the line idle: elapsed * q >= kIdleTickTimesDiv.
  const std::uint32_t idleElapsed = static_cast<std::uint32_t>((kIdleTickTimesDiv + q - 1) / q);

  // The loop runs for every event byte: its state lives in locals and goes back at the end.
  EventByteDecoder events = ch.events;
  std::uint64_t ticksSinceEdge = ch.ticksSinceEdge;
  std::uint64_t timeTicks = ch.timeTicks;
  PendingPacket& pending = ch.pending;
  bool active = pending.active;
  const std::uint8_t* bytes = CCEventBytes(rec);
  for (int i = 0; i < kCCEventBytes; ++i) {
    // Inside a packet nearly every byte is an edge shortly after the one before: such a run
    // is stepped through here, without the general decoder and its checks.
    if (active && ticksSinceEdge == 0 && events.AfterEdge() && pending.count < kMaxEdges) {
      std::uint8_t last = events.Last();
      EdgeRecord* out = pending.edges.data() + pending.count;
      const int room = static_cast<int>(std::min<std::size_t>(kCCEventBytes - i, kMaxEdges - pending.count));
      std::uint32_t ticks = 0;
      const int j = i + CopyEdgeRun(bytes + i, room, idleElapsed, last, out, ticks);
      if (j > i) {
        timeTicks += ticks;
        events.SetAfterEdge(last);
        pending.count += static_cast<std::size_t>(j - i);
        pending.start.endOffset = offset + 63;
        i = j - 1;
        continue;
      }
    }
    if (!active && events.InRepeats()) {
      const std::uint8_t marker = events.Last();
      const int run = static_cast<int>(
          std::find_if(bytes + i, bytes + kCCEventBytes, [marker](std::uint8_t b) { return b != marker; }) -
          (bytes + i));
      if (run > 0) {
        const std::uint64_t ticks = 256 * static_cast<std::uint64_t>(run);
        ticksSinceEdge += ticks;
        timeTicks += ticks;
        events.SkippedRepeats();
        i += run - 1;
        continue;
      }
    }
    const EventByteDecoder::Step step = events.Feed(bytes[i]);
    if (step.first) continue;
    ticksSinceEdge += step.elapsed;
    timeTicks += step.elapsed;
    if (active && ticksSinceEdge * q >= kIdleTickTimesDiv) {
      FinishAtIdle(store, ch, pipeline);
      active = false;
    }
    if (!step.edge) continue;
    if (active) {
      if (pending.count < kMaxEdges)
        pending.edges[pending.count++].duration = static_cast<std::uint8_t>(ticksSinceEdge & 0xFF);
    } else {
      active = pending.active = true;
      if (pending.edges.empty()) pending.edges.resize(kMaxEdges);
      pending.count = 0;
      pending.start = PacketStart();
      pending.start.rawTime = timeTicks * q / 48;
      pending.start.channel = static_cast<std::uint8_t>(h.channel);
      pending.start.tickDiv = h.tickDiv;
      pending.start.startOffset = offset;
    }
    pending.start.endOffset = offset + 63;
    ticksSinceEdge = 0;
  }
  ch.events = events;
  ch.ticksSinceEdge = ticksSinceEdge;
  ch.timeTicks = timeTicks;
  // The microsecond clock is only read at record starts: kept in ticks inside the record.
  ch.timeUs = timeTicks * q / 48;
}

// The first pass over a block: meta and sample records, in file order.
struct SamplePass {
  CaptureStore* store;
  const std::uint8_t* data;
  std::uint64_t records;
  std::uint64_t offset;  // of the block in the file
};

void RunSamplePass(void* context) {
  const SamplePass& pass = *static_cast<const SamplePass*>(context);
  for (std::uint64_t i = 0; i < pass.records; ++i) {
    const std::uint8_t* rec = pass.data + i * kRecordSize;
    switch (KindOfRecord(rec)) {
      case RecordKind::Meta: DecodeMetaRecord(*pass.store, rec); break;
      case RecordKind::Sample: DecodeSampleRecord(*pass.store, rec, pass.offset + i * kRecordSize); break;
      case RecordKind::CC: break;
    }
  }
}

// Blocks this small (a capture's tick) are framed on the caller's thread: waking the
// framing thread would cost more than it saves.
constexpr std::uint64_t kMinRecordsForPipeline = 256;

// Whether the block has that many CC records: counting stops there.
bool HasCCRecords(const std::uint8_t* data, std::uint64_t records, std::uint64_t wanted) {
  std::uint64_t found = 0;
  for (std::uint64_t i = 0; i < records && found < wanted; ++i)
    found += KindOfRecord(data + i * kRecordSize) == RecordKind::CC ? 1 : 0;
  return found >= wanted;
}

FramingPipeline* PipelineFor(CaptureStore& store, const std::uint8_t* data, std::uint64_t records) {
  if (!store.m_FramingThread || !HasCCRecords(data, records, kMinRecordsForPipeline)) return nullptr;
  if (!store.m_FramingPipeline) {
    if (std::thread::hardware_concurrency() < 2) return nullptr;
    try {
      store.m_FramingPipeline = std::make_shared<FramingPipeline>(BuildPacket);
    } catch (const std::exception&) {
      return nullptr;  // no thread or no ring to be had: frame here
    }
  }
  return static_cast<FramingPipeline*>(store.m_FramingPipeline.get());
}

}  // namespace

void DecodeCCRecord(CaptureStore& store, const std::uint8_t* rec, std::uint64_t offset) {
  DecodeCC(store, rec, offset, nullptr);
}

void FinishPendingPackets(CaptureStore& store) { FinishPending(store, nullptr); }

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
  FramingPipeline* pipeline = PipelineFor(store, data, n);

  // All samples of a block are known before any of its packets is completed. Once the
  // sample clock runs, the sample pass needs nothing of the CC pass and runs beside it;
  // before, it may place itself by the channels' clocks, and runs first.
  SamplePass samples{&store, data, n, store.m_DecodePosition};
  const bool samplesBeside = pipeline && store.m_SampleTimestamps.Latest();
  if (samplesBeside) {
    pipeline->PostJob(RunSamplePass, &samples);
  } else {
    RunSamplePass(&samples);
  }
  // The job reads the block buffer and this frame: it must be over whatever happens here.
  struct JobGuard {
    FramingPipeline* pipeline;
    ~JobGuard() {
      if (pipeline) pipeline->AbandonJob();
    }
  } guard{samplesBeside ? pipeline : nullptr};

  for (std::uint64_t i = 0; i < n; ++i) {
    const std::uint8_t* rec = data + i * kRecordSize;
    if (KindOfRecord(rec) != RecordKind::CC) continue;
    DecodeCC(store, rec, store.m_DecodePosition + i * kRecordSize, pipeline);
    if (pipeline && (i & 15) == 0) CompleteReady(store, *pipeline);
  }
  if (pipeline) CompleteAll(store, *pipeline);
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
    ch.pending.active = false;
    ch.pending.count = 0;
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
