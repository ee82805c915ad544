#include "record/message_context.h"

#include <algorithm>
#include <cstring>

#include "pd/message_header.h"

namespace zk {

namespace {

int OtherSide(int side) { return side == 1 ? 2 : 1; }

constexpr int kCableSide = 3;
constexpr int kMaxChunksWithoutCompletion = 10;

void EndSwap(MessageContextState& c) { c.swapActive = false; }

void TrackSwap(MessageContextState& c, CCCPacket& p, int type) {
  if (type == kCtrlPrSwap) {
    c.swapActive = true;
    c.swapInitiator = p.m_Side;
    c.swapAccepted = false;
    c.initiatorPsRdySeen = false;
    c.otherPsRdySeen = false;
    return;
  }
  if (!c.swapActive) return;
  if (type == kCtrlAccept) {
    c.swapAccepted = true;
  } else if (type == kCtrlReject || type == kCtrlWait) {
    EndSwap(c);
  } else if (type == kCtrlPsRdy && c.swapAccepted) {
    int changed;
    if (HeaderPowerRole(p.Header())) {
      c.sourceSide = OtherSide(c.sourceSide);
      changed = c.sourceSide;
    } else {
      c.sinkSide = OtherSide(c.sinkSide);
      changed = c.sinkSide;
    }
    p.m_Side = changed;
    if (changed == c.swapInitiator) {
      c.initiatorPsRdySeen = true;
    } else {
      c.otherPsRdySeen = true;
    }
    if (c.initiatorPsRdySeen && c.otherPsRdySeen) EndSwap(c);
  }
}

void Abandon(MessageContextState& c) {
  c.reassembly.reset();
  c.reassemblySize = 0;
  c.reassemblyFilled = 0;
  c.expectedChunk = -1;
  c.chunksSeen = 0;
}

}  // namespace

void TrackSenderSide(MessageContextState& c, CCCPacket& p) {
  p.m_Side = 0;
  const std::uint16_t h = p.Header();
  if (p.m_Kind == kKindSopP || p.m_Kind == kKindSopPP) {
    if (HeaderPowerRole(h)) {
      p.m_Side = kCableSide;
    } else if (c.dfpSide == 0 || c.dfpSide == c.sourceSide) {
      p.m_Side = c.sourceSide;
    }
    return;
  }
  if (p.m_Kind != kKindSop) return;

  if (c.swapActive && c.ufpSide != 0) {
    p.m_Side = HeaderDataRole(h) ? c.dfpSide : c.ufpSide;
  } else {
    p.m_Side = HeaderPowerRole(h) ? c.sourceSide : c.sinkSide;
  }
  if (c.ufpSide == 0 || c.dfpSide == 0) {
    if (HeaderDataRole(h)) {
      c.dfpSide = p.m_Side;
      c.ufpSide = OtherSide(p.m_Side);
    } else {
      c.ufpSide = p.m_Side;
      c.dfpSide = OtherSide(p.m_Side);
    }
  }
  const int type = MessageType(p);
  if (IsControlMessage(p)) {
    TrackSwap(c, p, type);
  } else if (IsDataMessage(p)) {
    if (type == kDataSourceCapabilities && p.m_Side == c.sourceSide) c.latestSourceCaps = &p;
    if (type == kDataRequest && p.m_Side == c.sinkSide) p.m_pSourceCaps = c.latestSourceCaps;
  }
}

void TrackReassembly(MessageContextState& c, CCCPacket& p) {
  const bool softReset = IsControlMessage(p) && MessageType(p) == kCtrlSoftReset &&
                         (p.m_Kind == kKindSop || p.m_Kind == kKindSopP || p.m_Kind == kKindSopPP);
  if (p.m_Kind == kKindHardReset || p.m_Kind == kKindCableReset || softReset) {
    Abandon(c);
    return;
  }
  if (!IsExtended(p)) return;
  // The extended header itself must have arrived.
  if (p.m_ByteCount < 4) return;
  const std::uint16_t x = p.ExtendedHeader();
  const int dataSize = ExtDataSize(x);
  const bool chunked = ExtChunked(x);
  if (chunked && ExtRequestChunk(x)) return;

  if (!chunked || dataSize < 26) {
    // Never point past the bytes that arrived.
    if (dataSize != 0 && dataSize <= p.m_ByteCount - 4) {
      p.m_ExtSelf = true;
      p.m_ExtSize = p.m_ExtChunkLen = dataSize;
      p.m_ExtOffset = 0;
      p.m_OwnsExtBuf = 0;
    }
    Abandon(c);
    return;
  }

  const int chunkLen = HeaderObjectCount(p.Header()) * 4 - 2;
  if (dataSize > kMaxExtendedSize || dataSize < chunkLen) {
    Abandon(c);
    return;
  }
  const int chunk = ExtChunkNumber(x);
  if (c.reassembly && (c.expectedChunk != chunk || c.reassemblySize != dataSize)) Abandon(c);

  int carried;
  if (!c.reassembly) {
    if (chunk != 0) return;
    c.reassembly = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(dataSize), 0);
    c.reassemblySize = dataSize;
    c.reassemblyFilled = 0;
    c.expectedChunk = 0;
    c.chunksSeen = 0;
    p.m_OwnsExtBuf = 1;
    carried = chunkLen;
  } else {
    carried = std::min(dataSize - c.reassemblyFilled, chunkLen);
    if (carried <= 0) {
      Abandon(c);
      return;
    }
  }
  // A chunk shorter than its header claims carries only the bytes that arrived.
  carried = std::max(0, std::min(carried, p.m_ByteCount - 4));
  p.m_pExtBuf = c.reassembly;
  p.m_ExtSize = dataSize;
  p.m_ExtOffset = c.reassemblyFilled;
  p.m_ExtChunkLen = carried;
  std::memcpy(c.reassembly->data() + c.reassemblyFilled, p.m_Bytes + 4, static_cast<std::size_t>(carried));
  c.reassemblyFilled += carried;
  if (c.reassemblyFilled >= dataSize) {
    c.reassembly.reset();  // complete: the chunks keep the buffer
    c.expectedChunk = -1;
    return;
  }
  ++c.expectedChunk;
  if (++c.chunksSeen >= kMaxChunksWithoutCompletion) Abandon(c);
}

void TrackMessage(MessageContextState& context, CCCPacket& packet) {
  TrackSenderSide(context, packet);
  TrackReassembly(context, packet);
}

}  // namespace zk
