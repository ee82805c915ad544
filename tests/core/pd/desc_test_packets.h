// Small builders of decoded packets for the description and summary-field tests.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "pd/framing.h"
#include "record/packet.h"

namespace zk::test {

struct HeaderFields {
  int type = 0;
  int objects = 0;
  int revision = 2;  // 3.0
  bool extended = false;
  int messageId = 0;
  int powerRole = 0;  // or cable plug
  int dataRole = 0;
};

inline std::uint16_t MakeHeader(const HeaderFields& f) {
  return static_cast<std::uint16_t>((f.type & 0x1F) | (f.dataRole << 5) | (f.revision << 6) | (f.powerRole << 8) |
                                    (f.messageId << 9) | (f.objects << 12) | (f.extended ? 0x8000 : 0));
}

inline std::uint16_t MakeExtendedHeader(int dataSize, bool chunked = false, int chunk = 0, bool requestChunk = false) {
  return static_cast<std::uint16_t>((dataSize & 0x1FF) | (requestChunk ? 0x400 : 0) | (chunk << 11) |
                                    (chunked ? 0x8000 : 0));
}

// Gives the packet exactly these 4b5b symbols from bit 0, as framing would have left them;
// each symbol is written as the first line code that decodes to it.
inline void SetSymbols(CCCPacket& p, const std::vector<std::uint8_t>& symbols) {
  p.m_pBits.Clear();
  for (std::uint8_t symbol : symbols) {
    int code = 0;
    while (code < 32 && Decode4b5b(code) != symbol) ++code;
    for (int k = 0; k < 5; ++k) p.m_pBits.PushBack((code >> k) & 1);
  }
  p.m_BitCount = p.m_pBits.Size();
  p.m_SopStart = 0;
  p.m_SymbolCount = static_cast<std::int16_t>(symbols.size());
}

// A framed packet with a good CRC carrying header and data objects.
inline std::unique_ptr<CCCPacket> MakeMessage(std::uint16_t header, const std::vector<std::uint32_t>& objects = {},
                                              int kind = kKindSop) {
  auto p = std::make_unique<CCCPacket>();
  p->m_Kind = kind;
  p->m_PreambleFound = 1;
  p->m_CrcOk = 1;
  p->m_HasPayload = 1;
  p->m_Bytes[0] = static_cast<std::uint8_t>(header);
  p->m_Bytes[1] = static_cast<std::uint8_t>(header >> 8);
  int at = 2;
  for (std::uint32_t o : objects) {
    for (int b = 0; b < 4; ++b) p->m_Bytes[at++] = static_cast<std::uint8_t>(o >> (8 * b));
  }
  p->m_ByteCount = at;
  return p;
}

inline std::unique_ptr<CCCPacket> MakeDataMessage(int type, const std::vector<std::uint32_t>& objects,
                                                  int revision = 2) {
  return MakeMessage(MakeHeader({.type = type, .objects = static_cast<int>(objects.size()), .revision = revision}),
                     objects);
}

// An unchunked extended message that carries (and describes) its own data.
inline std::unique_ptr<CCCPacket> MakeExtendedMessage(int type, const std::vector<std::uint8_t>& data) {
  const int objects = static_cast<int>((2 + data.size() + 3) / 4);
  auto p = MakeMessage(MakeHeader({.type = type, .objects = objects & 7, .extended = true}));
  const std::uint16_t x = MakeExtendedHeader(static_cast<int>(data.size()));
  p->m_Bytes[2] = static_cast<std::uint8_t>(x);
  p->m_Bytes[3] = static_cast<std::uint8_t>(x >> 8);
  for (std::size_t i = 0; i < data.size(); ++i) p->m_Bytes[4 + i] = data[i];
  p->m_ByteCount = static_cast<int>(4 + data.size());
  if (!data.empty()) {
    p->m_ExtSelf = true;
    p->m_ExtSize = static_cast<int>(data.size());
    p->m_ExtChunkLen = p->m_ExtSize;
  }
  return p;
}

inline std::vector<std::uint8_t> WordBytes(const std::vector<std::uint32_t>& words) {
  std::vector<std::uint8_t> out;
  for (std::uint32_t w : words) {
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<std::uint8_t>(w >> (8 * b)));
  }
  return out;
}

}  // namespace zk::test
