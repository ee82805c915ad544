#include "pd/summary_fields.h"

#include <atomic>
#include <cmath>
#include <memory>

#include "pd/descriptions.h"
#include "pd/formatting.h"
#include "pd/message_bytes.h"
#include "pd/message_header.h"
#include "pd/message_names.h"
#include "pd/text_format.h"
#include "pd/value_text.h"
#include "record/capture_store.h"

namespace zk {

namespace {

using CellFn = std::string (*)(const CCCPacket&, bool invertCurrent);
using KeyFn = std::int64_t (*)(const CCCPacket&);

struct SummaryField {
  CellFn cell;
  KeyFn key;
};

constexpr ValueText kOrderedSetTexts[] = {
    {kKindSop, "SOP"},
    {kKindSopP, "SOP'"},
    {kKindSopPP, "SOP''"},
    {kKindHardReset, "Hard Reset"},
    {kKindCableReset, "Cable Reset"},
};

bool P(const CCCPacket& p) { return p.m_PreambleFound != 0; }
bool C(const CCCPacket& p) { return p.m_CrcOk != 0; }
bool PC(const CCCPacket& p) { return P(p) && C(p); }
bool CablePlugKind(const CCCPacket& p) { return p.m_Kind == kKindSopP || p.m_Kind == kKindSopPP; }
bool HasRevision3(const CCCPacket& p) { return HeaderRevision(p.Header()) >= 2; }

std::int64_t KeyIf(bool condition, std::int64_t value) { return condition ? value : kNoNumericKey; }

std::string Number(std::int64_t value) { return Format("%lld", static_cast<long long>(value)); }
std::string NumberIf(bool condition, std::int64_t value) { return condition ? Number(value) : std::string(); }
std::string Hex16If(bool condition, std::uint16_t value) {
  return condition ? Format("%04Xh", static_cast<unsigned>(value)) : std::string();
}

std::int64_t PacketLengthUs(const CCCPacket& p) { return static_cast<std::int64_t>(p.m_TotalTicks) * p.m_TickDiv / 48; }

std::int64_t ShownTime(const CCCPacket& p) { return p.m_Time - (p.m_pStore ? p.m_pStore->m_TimeOrigin : 0); }

std::string DataObjectsText(const CCCPacket& p) {
  if (IsExtended(p)) return ExtendedDataText(p);
  std::string out;
  const int count = DataObjectsPresent(p);
  for (int i = 0; i < count; ++i) AppendFormat(out, "[%d]:%08Xh ", i + 1, static_cast<unsigned>(p.DataObject(i)));
  return out;
}

std::string CrcText(const CCCPacket& p) {
  if (!IsMessageKind(p.m_Kind)) return "-";
  std::string out = Format("%08Xh", static_cast<unsigned>(p.m_Crc));
  if (!C(p)) out += "(Bad)";
  return out;
}

std::string BmcText(const CCCPacket& p) {
  const int count = std::min(p.m_BitCount, p.m_pBits.Size());
  std::string out;
  out.reserve(static_cast<std::size_t>(std::max(count, 0)) + 16);
  for (int i = 0; i < count; ++i) out += static_cast<char>('0' + p.m_pBits[i]);
  AppendFormat(out, " (%dbits)", p.m_BitCount);
  return out;
}

bool UnitIntervalBad(float ui) { return ui < 3.03f || ui > 3.7f; }

std::string UnitIntervalText(const CCCPacket& p) {
  std::string out = Format("%.3f", static_cast<double>(p.m_UnitInterval));
  if (UnitIntervalBad(p.m_UnitInterval)) out += "(Bad)";
  return out;
}

std::int64_t UnitIntervalNanoseconds(const CCCPacket& p) {
  const float ns = p.m_UnitInterval * 1000;
  // A corrupt interval must not reach the conversion, which is undefined outside the range.
  if (!std::isfinite(ns) || std::fabs(ns) >= 9.0e18f) return kNoNumericKey;
  return static_cast<std::int64_t>(ns);
}

// One row per column id, in id order.
constexpr SummaryField kFields[kSummaryFieldCount] = {
    /* 0 "#" */
    {[](const CCCPacket& p, bool) { return Number(p.m_Index); },
     [](const CCCPacket& p) -> std::int64_t { return p.m_Index; }},
    /* 1 "Idle Time" */
    {[](const CCCPacket& p, bool) { return TimeText(p.m_IdleTime); }, [](const CCCPacket& p) { return p.m_IdleTime; }},
    /* 2 "Timestamp" */
    {[](const CCCPacket& p, bool) { return TimeText(ShownTime(p)); }, [](const CCCPacket& p) { return p.m_Time; }},
    /* 3 "Pkt Len[us]" */
    {[](const CCCPacket& p, bool) { return Number(PacketLengthUs(p)); }, PacketLengthUs},
    /* 4 "VBUS Vol[V]" */
    {[](const CCCPacket& p, bool) { return VbusVoltageText(p); },
     [](const CCCPacket& p) -> std::int64_t { return p.m_VbusVoltage; }},
    /* 5 "VBUS Curr[A]" */
    {VbusCurrentText, [](const CCCPacket& p) -> std::int64_t { return p.m_VbusCurrent; }},
    /* 6 "CH" */
    {[](const CCCPacket& p, bool) { return Format("CC%lld", static_cast<long long>(p.m_Channel) + 1); },
     [](const CCCPacket& p) -> std::int64_t { return p.m_Channel; }},
    /* 7 "OS" */
    {[](const CCCPacket& p, bool) {
       return P(p) ? std::string(LookupText(kOrderedSetTexts, p.m_Kind, "Invalid")) : std::string();
     },
     [](const CCCPacket& p) -> std::int64_t { return p.m_Kind; }},
    /* 8 "Power" */
    {[](const CCCPacket& p, bool) {
       if (!PC(p) || p.m_Kind != kKindSop) return std::string();
       return std::string(HeaderPowerRole(p.Header()) ? "Source" : "Sink");
     },
     [](const CCCPacket& p) { return KeyIf(C(p), HeaderPowerRole(p.Header())); }},
    /* 9 "Data" */
    {[](const CCCPacket& p, bool) {
       if (!PC(p) || p.m_Kind != kKindSop) return std::string();
       return std::string(HeaderDataRole(p.Header()) ? "DFP" : "UFP");
     },
     [](const CCCPacket& p) { return KeyIf(C(p), HeaderDataRole(p.Header())); }},
    /* 10 "Cable Plug" */
    {[](const CCCPacket& p, bool) {
       if (!PC(p) || !CablePlugKind(p)) return std::string();
       return std::string(HeaderPowerRole(p.Header()) ? "Cable Plug" : "UFP or DFP");
     },
     [](const CCCPacket& p) { return KeyIf(C(p) && CablePlugKind(p), HeaderPowerRole(p.Header())); }},
    /* 11 "Type" */
    {[](const CCCPacket& p, bool) { return PC(p) ? MessageName(p) : std::string(); },
     [](const CCCPacket& p) { return KeyIf(C(p), MessageType(p)); }},
    /* 12 "Mes ID" */
    {[](const CCCPacket& p, bool) { return NumberIf(PC(p), HeaderMessageId(p.Header())); },
     [](const CCCPacket& p) { return KeyIf(C(p), HeaderMessageId(p.Header())); }},
    /* 13 "Rev." */
    {[](const CCCPacket& p, bool) { return PC(p) ? RevisionText(p) : std::string(); },
     [](const CCCPacket& p) { return KeyIf(C(p), HeaderRevision(p.Header())); }},
    /* 14 "NumDOs" */
    {[](const CCCPacket& p, bool) { return NumberIf(PC(p), HeaderObjectCount(p.Header())); },
     [](const CCCPacket& p) { return KeyIf(C(p), HeaderObjectCount(p.Header())); }},
    /* 15 "Extended" */
    {[](const CCCPacket& p, bool) { return NumberIf(PC(p) && HasRevision3(p), HeaderExtendedBit(p.Header())); },
     [](const CCCPacket& p) { return KeyIf(PC(p) && HasRevision3(p), HeaderExtendedBit(p.Header())); }},
    /* 16 "Ex Header" */
    {[](const CCCPacket& p, bool) { return Hex16If(PC(p) && IsExtended(p), p.ExtendedHeader()); },
     [](const CCCPacket& p) { return KeyIf(C(p) && IsExtended(p), p.ExtendedHeader()); }},
    /* 17 "Ex Chunked" */
    {[](const CCCPacket& p, bool) { return NumberIf(PC(p) && IsExtended(p), ExtChunked(p.ExtendedHeader())); },
     [](const CCCPacket& p) { return KeyIf(C(p) && IsExtended(p), ExtChunked(p.ExtendedHeader())); }},
    /* 18 "Ex Chunk Num" */
    {[](const CCCPacket& p, bool) { return NumberIf(PC(p) && IsExtended(p), ExtChunkNumber(p.ExtendedHeader())); },
     [](const CCCPacket& p) { return KeyIf(C(p) && IsExtended(p), ExtChunkNumber(p.ExtendedHeader())); }},
    /* 19 "Ex Request Chunk" */
    {[](const CCCPacket& p, bool) { return NumberIf(PC(p) && IsExtended(p), ExtRequestChunk(p.ExtendedHeader())); },
     [](const CCCPacket& p) { return KeyIf(C(p) && IsExtended(p), ExtRequestChunk(p.ExtendedHeader())); }},
    /* 20 "Ex Data Size" */
    {[](const CCCPacket& p, bool) { return NumberIf(PC(p) && IsExtended(p), ExtDataSize(p.ExtendedHeader())); },
     [](const CCCPacket& p) { return KeyIf(C(p) && IsExtended(p), ExtDataSize(p.ExtendedHeader())); }},
    /* 21 "Description" */
    {[](const CCCPacket& p, bool) { return PC(p) ? CachedDescription(p) : std::string(); },
     [](const CCCPacket&) { return kNoNumericKey; }},
    /* 22 "Message Size" */
    {[](const CCCPacket& p, bool) { return NumberIf(P(p), p.m_ByteCount); },
     [](const CCCPacket& p) { return KeyIf(C(p), p.m_ByteCount); }},
    /* 23 "Header" */
    {[](const CCCPacket& p, bool) { return Hex16If(PC(p), p.Header()); },
     [](const CCCPacket& p) { return KeyIf(C(p), p.Header()); }},
    /* 24 "Data Objects or Ex Data" */
    {[](const CCCPacket& p, bool) { return PC(p) ? DataObjectsText(p) : std::string(); },
     [](const CCCPacket&) { return kNoNumericKey; }},
    /* 25 "Payload" */
    {[](const CCCPacket& p, bool) { return P(p) ? SymbolText(p) : std::string(); },
     [](const CCCPacket&) { return kNoNumericKey; }},
    /* 26 "CRC" */
    {[](const CCCPacket& p, bool) { return P(p) ? CrcText(p) : std::string(); },
     [](const CCCPacket& p) -> std::int64_t { return p.m_Crc; }},
    /* 27 "Edges" */
    {[](const CCCPacket& p, bool) { return Number(p.m_EdgeCount); },
     [](const CCCPacket& p) -> std::int64_t { return p.m_EdgeCount; }},
    /* 28 "CC1 Vol[V]" */
    {[](const CCCPacket& p, bool) { return CcVoltageText(p, 0); },
     [](const CCCPacket& p) -> std::int64_t { return p.m_CC1Voltage; }},
    /* 29 "CC1 Curr[A]" */
    {[](const CCCPacket& p, bool invert) { return CcCurrentText(p, 0, invert); },
     [](const CCCPacket& p) -> std::int64_t { return p.m_CC1Current; }},
    /* 30 "CC2 Vol[V]" */
    {[](const CCCPacket& p, bool) { return CcVoltageText(p, 1); },
     [](const CCCPacket& p) -> std::int64_t { return p.m_CC2Voltage; }},
    /* 31 "CC2 Cur[A]" */
    {[](const CCCPacket& p, bool invert) { return CcCurrentText(p, 1, invert); },
     [](const CCCPacket& p) -> std::int64_t { return p.m_CC2Current; }},
    /* 32 "BMC" */
    {[](const CCCPacket& p, bool) { return BmcText(p); }, [](const CCCPacket&) { return kNoNumericKey; }},
    /* 33 "Preamble Len" */
    {[](const CCCPacket& p, bool) { return Number(p.m_PreambleLen); },
     [](const CCCPacket& p) { return KeyIf(P(p), p.m_PreambleLen); }},
    /* 34 "Ave.UI[us]" */
    {[](const CCCPacket& p, bool) { return UnitIntervalText(p); },
     [](const CCCPacket& p) { return P(p) ? UnitIntervalNanoseconds(p) : kNoNumericKey; }},
    /* 35 "Message Bytes (HEX)" */
    {[](const CCCPacket& p, bool) { return HexByteText(p); }, [](const CCCPacket&) { return kNoNumericKey; }},
    /* 36 "Message Bytes (ASCII)" */
    {[](const CCCPacket& p, bool) { return CharByteText(p); }, [](const CCCPacket&) { return kNoNumericKey; }},
    /* 37 "VBUS Watt[W]" */
    {VbusPowerText,
     [](const CCCPacket& p) -> std::int64_t { return static_cast<std::int32_t>(p.m_VbusCurrent * p.m_VbusVoltage); }},
};

bool ValidColumn(int columnId) { return columnId >= 0 && columnId < kSummaryFieldCount; }

// FNV-1a over the inputs of a description.
class Digest {
 public:
  void Add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) m_Value = (m_Value ^ bytes[i]) * 0x100000001B3ull;
  }
  template <typename T>
  void AddValue(const T& value) {
    Add(&value, sizeof value);
  }
  std::uint64_t Value() const { return m_Value; }

 private:
  std::uint64_t m_Value = 0xCBF29CE484222325ull;
};

void AddMessage(Digest& digest, const CCCPacket& p) {
  digest.AddValue(p.m_Kind);
  digest.AddValue(p.m_CrcOk);
  digest.AddValue(p.m_ByteCount);
  digest.Add(p.m_Bytes, static_cast<std::size_t>(MessageSize(p)));
}

// A Request reads its linked Source_Capabilities; the first chunk of an extended message
// reads the shared buffer that later chunks keep filling.
std::uint64_t DescriptionStamp(const CCCPacket& p) {
  Digest digest;
  AddMessage(digest, p);
  digest.AddValue(p.m_pSourceCaps);
  if (p.m_pSourceCaps) AddMessage(digest, *p.m_pSourceCaps);
  digest.AddValue(p.m_ExtSelf);
  digest.AddValue(p.m_ExtSize);
  digest.AddValue(p.m_ExtOffset);
  digest.AddValue(p.m_ExtChunkLen);
  const std::vector<std::uint8_t>* buffer = p.m_pExtBuf.get();
  digest.AddValue(buffer);
  if (buffer && p.m_ExtOffset == 0) digest.Add(buffer->data(), buffer->size());
  return digest.Value();
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(std::string text) {
  for (char& c : text) c = UpperAscii(c);
  return text;
}

}  // namespace

std::string CellText(const CCCPacket& packet, int columnId, bool invertCurrent) {
  if (!ValidColumn(columnId)) return {};
  return kFields[columnId].cell(packet, invertCurrent);
}

std::int64_t NumericKey(const CCCPacket& packet, int columnId) {
  if (!ValidColumn(columnId)) return kNoNumericKey;
  return kFields[columnId].key(packet);
}

int FindText(const CCCPacket& packet, const std::string& needle, bool invertCurrent) {
  const std::string upperNeedle = UpperAscii(needle);
  for (int id = 0; id < kSummaryFieldCount; ++id) {
    if (UpperAscii(CellText(packet, id, invertCurrent)).find(upperNeedle) != std::string::npos) return id;
  }
  return -1;
}

std::string CachedDescription(const CCCPacket& packet) {
  const std::uint64_t stamp = DescriptionStamp(packet);
  const std::shared_ptr<const DescriptionCache> cached = std::atomic_load(&packet.m_DescriptionCache);
  if (cached && cached->stamp == stamp) return cached->text;
  auto fresh = std::make_shared<DescriptionCache>();
  fresh->stamp = stamp;
  fresh->text = MessageDescription(packet);
  std::atomic_store(&packet.m_DescriptionCache, std::shared_ptr<const DescriptionCache>(fresh));
  return fresh->text;
}

}  // namespace zk
