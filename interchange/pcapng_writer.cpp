#include "interchange/pcapng_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "interchange/dissector_tables.h"
#include "pd/message_bytes.h"
#include "pd/message_layout.h"
#include "record/document.h"
#include "record/file_path.h"

namespace zk::interchange {

namespace {

constexpr std::uint32_t kSectionHeaderBlock = 0x0A0D0D0A;
constexpr std::uint32_t kInterfaceBlock = 1;
constexpr std::uint32_t kEnhancedPacketBlock = 6;
constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;

void Put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Put64(std::vector<std::uint8_t>& b, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutOption(std::vector<std::uint8_t>& b, std::uint16_t code, const void* value, std::size_t size) {
  Put16(b, code);
  Put16(b, static_cast<std::uint16_t>(size));
  const auto* p = static_cast<const std::uint8_t*>(value);
  b.insert(b.end(), p, p + size);
  b.resize((b.size() + 3) & ~std::size_t{3}, 0);
}
void PutOption(std::vector<std::uint8_t>& b, std::uint16_t code, const std::string& text) {
  PutOption(b, code, text.data(), text.size());
}
void EndOptions(std::vector<std::uint8_t>& b) { Put32(b, 0); }

// Wraps a block body: type, total length, body padded to 32 bits, total length again.
std::vector<std::uint8_t> Block(std::uint32_t type, std::vector<std::uint8_t> body) {
  body.resize((body.size() + 3) & ~std::size_t{3}, 0);
  const auto total = static_cast<std::uint32_t>(body.size() + 12);
  std::vector<std::uint8_t> b;
  b.reserve(total);
  Put32(b, type);
  Put32(b, total);
  b.insert(b.end(), body.begin(), body.end());
  Put32(b, total);
  return b;
}

}  // namespace

std::vector<std::uint8_t> PacketBytes(const CCCPacket& p, std::int64_t timeOrigin) {
  std::vector<std::uint8_t> b;
  const int size = MessageSize(p);
  const MessageLayout layout = BuildMessageLayout(p, FieldView::kMessage);
  b.reserve(kPacketFixedBytes + static_cast<std::size_t>(size) + kLayoutEntryBytes * layout.Entries().size());
  b.push_back(kPacketFormatVersion);
  b.push_back(static_cast<std::uint8_t>(p.m_Channel & 1));
  b.push_back(p.m_Kind);
  b.push_back(static_cast<std::uint8_t>((p.m_CrcOk ? kFlagCrcOk : 0) | (p.m_PreambleFound ? kFlagPreamble : 0) |
                                        (p.m_EopFound ? kFlagEop : 0)));
  Put64(b, static_cast<std::uint64_t>(p.m_Time - timeOrigin));
  Put32(b, p.m_Crc);
  Put16(b, static_cast<std::uint16_t>(size));
  b.push_back(static_cast<std::uint8_t>(layout.Entries().size()));
  b.push_back(0);
  b.insert(b.end(), p.m_Bytes, p.m_Bytes + size);
  for (const LayoutEntry& e : layout.Entries()) {
    Put16(b, static_cast<std::uint16_t>(std::max(0, e.m_Start)));
    b.push_back(FieldListNumber(e.m_pList));
    b.push_back(ValueTableNumber(e.m_pOverrideTable));
    Put16(b, static_cast<std::uint16_t>(e.m_OverrideOffset));
  }
  return b;
}

bool WritePcapng(const CaptureStore& store, const std::string& path, std::string& error, const PcapngOptions& options,
                 int* packetsWritten) {
  if (packetsWritten) *packetsWritten = 0;
  // The store reads its packets' records back from that file: never write over it.
  if (!store.m_RecordPath.empty() && SameFile(path, store.m_RecordPath)) {
    error = "'" + path + "' is the record file the packets come from";
    return false;
  }
  std::FILE* f = OpenFile(path, "wb");
  if (!f) {
    error = "cannot create '" + path + "'";
    return false;
  }
  bool ok = true;
  auto write = [&](const std::vector<std::uint8_t>& block) {
    if (ok && std::fwrite(block.data(), 1, block.size(), f) != block.size()) ok = false;
  };

  std::vector<std::uint8_t> shb;
  Put32(shb, kByteOrderMagic);
  Put16(shb, 1);
  Put16(shb, 0);
  Put64(shb, ~std::uint64_t{0});                    // section length not given
  PutOption(shb, 4, std::string("PD Zelkor zkr"));  // shb_userappl
  EndOptions(shb);
  write(Block(kSectionHeaderBlock, std::move(shb)));

  std::vector<std::uint8_t> idb;
  Put16(idb, kLinkTypeUser0);
  Put16(idb, 0);
  Put32(idb, 0);                            // no snapshot limit
  PutOption(idb, 2, std::string("usbpd"));  // if_name
  const std::uint8_t microseconds = 6;
  PutOption(idb, 9, &microseconds, 1);  // if_tsresol
  EndOptions(idb);
  write(Block(kInterfaceBlock, std::move(idb)));

  const int count = store.PacketCount();
  bool stopped = false;
  for (int i = 0; i < count && ok; ++i) {
    const CCCPacket& p = *store.PacketAt(i);
    if (options.progress && !options.progress(static_cast<std::uint64_t>(i), static_cast<std::uint64_t>(count))) {
      stopped = true;
      break;
    }
    if (options.span) {
      const std::int64_t shown = p.m_Time - store.m_TimeOrigin;
      if (shown < options.span->start || shown > options.span->end) continue;
    }
    const std::vector<std::uint8_t> data = PacketBytes(p, store.m_TimeOrigin);
    // Timestamps count from the first sample of the record file: the file holds no wall-clock time.
    const auto t = static_cast<std::uint64_t>(std::max<std::int64_t>(0, p.m_Time));
    std::vector<std::uint8_t> epb;
    Put32(epb, 0);
    Put32(epb, static_cast<std::uint32_t>(t >> 32));
    Put32(epb, static_cast<std::uint32_t>(t));
    Put32(epb, static_cast<std::uint32_t>(data.size()));
    Put32(epb, static_cast<std::uint32_t>(data.size()));
    epb.insert(epb.end(), data.begin(), data.end());
    epb.resize((epb.size() + 3) & ~std::size_t{3}, 0);
    EndOptions(epb);
    write(Block(kEnhancedPacketBlock, std::move(epb)));
    if (packetsWritten && ok) ++*packetsWritten;
  }
  if (std::fclose(f) != 0) ok = false;
  if (!ok) error = "cannot write '" + path + "'";
  if (stopped) error = "the export was stopped";
  if (!ok || stopped) {
    std::error_code ec;
    std::filesystem::remove(PathFromUtf8(path), ec);
  }
  return ok && !stopped;
}

}  // namespace zk::interchange
