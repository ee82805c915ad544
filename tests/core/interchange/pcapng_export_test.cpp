// The pcapng export read back block by block, the dissector's tables against the
// dictionary, and the whole road through zkr and tshark.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../cli/run_zkr.h"
#include "interchange/dissector_tables.h"
#include "interchange/pcapng_writer.h"
#include "interchange/sigrok_session.h"
#include "pd/message_bytes.h"
#include "pd/message_header.h"
#include "pd/message_layout.h"
#include "record/loader.h"
#include "sim/encoder.h"

namespace zk::interchange {
namespace {

using zk::test::RunZkr;

std::filesystem::path TempPath(const std::string& name) {
  return std::filesystem::temp_directory_path() / ("zk_pcapng_" + std::to_string(getpid()) + "_" + name);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::uint32_t U32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + static_cast<std::size_t>(i)]);
  return v;
}
std::uint16_t U16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8));
}

struct Block {
  std::uint32_t type;
  std::string body;
};

// Splits a pcapng file into blocks, checking the framing of each.
std::vector<Block> Blocks(const std::string& file) {
  std::vector<Block> blocks;
  std::size_t at = 0;
  while (at < file.size()) {
    EXPECT_LE(at + 12, file.size());
    if (at + 12 > file.size()) break;
    const std::uint32_t length = U32(file, at + 4);
    EXPECT_EQ(length % 4, 0u);
    EXPECT_LE(at + length, file.size());
    if (length < 12 || at + length > file.size()) break;
    EXPECT_EQ(U32(file, at + length - 4), length) << "trailing length of block at " << at;
    blocks.push_back({U32(file, at), file.substr(at + 8, length - 12)});
    at += length;
  }
  return blocks;
}

class Simulated : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_Record = new std::filesystem::path(TempPath("spr.zkr"));
    const auto r = RunZkr("simulate --scenario spr --seconds 5 -o '" + s_Record->string() + "'");
    ASSERT_EQ(r.status, 0) << r.out;
  }
  static void TearDownTestSuite() {
    std::filesystem::remove(*s_Record);
    delete s_Record;
  }
  static std::filesystem::path* s_Record;
};
std::filesystem::path* Simulated::s_Record = nullptr;

TEST_F(Simulated, OnePacketPerStorePacketWithItsLayout) {
  CaptureStore store;
  LoadRecordFile(store, s_Record->string());
  FinishPendingPackets(store);
  store.m_TimeOrigin = 1000;  // shown times travel in the packet, the file's timestamps do not move
  ASSERT_GT(store.PacketCount(), 10);
  const auto out = TempPath("out.pcapng");
  std::string error;
  ASSERT_TRUE(WritePcapng(store, out.string(), error)) << error;
  const std::vector<Block> blocks = Blocks(ReadFile(out));
  std::filesystem::remove(out);

  ASSERT_EQ(blocks.size(), static_cast<std::size_t>(store.PacketCount()) + 2);
  EXPECT_EQ(blocks[0].type, 0x0A0D0D0Au);
  EXPECT_EQ(U32(blocks[0].body, 0), 0x1A2B3C4Du);
  EXPECT_EQ(U16(blocks[0].body, 4), 1);
  EXPECT_EQ(blocks[1].type, 1u);
  EXPECT_EQ(U16(blocks[1].body, 0), kLinkTypeUser0);

  bool sawLinkedRequest = false;
  for (int i = 0; i < store.PacketCount(); ++i) {
    const CCCPacket& p = *store.PacketAt(i);
    const Block& b = blocks[static_cast<std::size_t>(i) + 2];
    SCOPED_TRACE("packet " + std::to_string(i));
    ASSERT_EQ(b.type, 6u);
    const std::uint64_t stamp = (static_cast<std::uint64_t>(U32(b.body, 4)) << 32) | U32(b.body, 8);
    EXPECT_EQ(stamp, static_cast<std::uint64_t>(p.m_Time));
    const std::uint32_t captured = U32(b.body, 12);
    EXPECT_EQ(U32(b.body, 16), captured);
    const std::string d = b.body.substr(20, captured);
    ASSERT_GE(d.size(), kPacketFixedBytes);
    EXPECT_EQ(d[0], kPacketFormatVersion);
    EXPECT_EQ(d[1], p.m_Channel);
    EXPECT_EQ(static_cast<std::uint8_t>(d[2]), p.m_Kind);
    EXPECT_EQ((d[3] & kFlagCrcOk) != 0, p.m_CrcOk != 0);
    std::int64_t shown = 0;
    std::memcpy(&shown, d.data() + 4, 8);
    EXPECT_EQ(shown, p.m_Time - 1000);
    EXPECT_EQ(U32(d, 12), p.m_Crc);
    const int size = U16(d, 16);
    ASSERT_EQ(size, MessageSize(p));
    EXPECT_EQ(d.substr(kPacketFixedBytes, static_cast<std::size_t>(size)),
              std::string(reinterpret_cast<const char*>(p.m_Bytes), static_cast<std::size_t>(size)));
    const MessageLayout layout = BuildMessageLayout(p, FieldView::kMessage);
    ASSERT_EQ(static_cast<std::uint8_t>(d[18]), layout.Entries().size());
    ASSERT_EQ(d.size(),
              kPacketFixedBytes + static_cast<std::size_t>(size) + kLayoutEntryBytes * layout.Entries().size());
    for (std::size_t e = 0; e < layout.Entries().size(); ++e) {
      const std::size_t at = kPacketFixedBytes + static_cast<std::size_t>(size) + kLayoutEntryBytes * e;
      const LayoutEntry& entry = layout.Entries()[e];
      EXPECT_EQ(U16(d, at), entry.m_Start);
      const auto list = static_cast<std::uint8_t>(d[at + 2]);
      if (entry.m_pList == nullptr) {
        EXPECT_EQ(list, 255);
      } else {
        ASSERT_LT(list, FieldLists().size());
        EXPECT_EQ(FieldLists()[list].m_Entries.data(), entry.m_pList);
      }
      const auto table = static_cast<std::uint8_t>(d[at + 3]);
      EXPECT_EQ(table == 0 ? nullptr : ValueTable(table), entry.m_pOverrideTable);
      if (IsDataMessage(p) && MessageType(p) == kDataRequest && p.m_pSourceCaps && list != 255 &&
          std::string(FieldLists()[list].m_Title).rfind("Fixed or variable request", 0) == 0)
        sawLinkedRequest = true;
    }
  }
  EXPECT_TRUE(sawLinkedRequest) << "a Request carries the request list its Source_Capabilities selects";
}

// A span keeps the packets whose shown time lies in it, ends included, and nothing else
// changes; zkr export takes the span from --from-us and --to-us. A stopped export leaves no
// file, and the record file itself is never the output.
TEST_F(Simulated, SpanKeepsItsPacketsAndStopRemovesTheFile) {
  CaptureStore store;
  LoadRecordFile(store, s_Record->string());
  FinishPendingPackets(store);
  ASSERT_GT(store.PacketCount(), 10);
  const std::int64_t from = store.PacketAt(3)->m_Time - store.m_TimeOrigin;
  const std::int64_t to = store.PacketAt(8)->m_Time - store.m_TimeOrigin;
  const auto whole = TempPath("whole.pcapng");
  const auto part = TempPath("part.pcapng");
  std::string error;
  ASSERT_TRUE(WritePcapng(store, whole.string(), error)) << error;
  PcapngOptions options;
  options.span = PcapngOptions::Span{from, to};
  int written = 0;
  ASSERT_TRUE(WritePcapng(store, part.string(), error, options, &written)) << error;

  const std::vector<Block> all = Blocks(ReadFile(whole));
  std::vector<Block> expected(all.begin(), all.begin() + 2);
  for (int i = 0; i < store.PacketCount(); ++i) {
    const std::int64_t shown = store.PacketAt(i)->m_Time - store.m_TimeOrigin;
    if (shown >= from && shown <= to) expected.push_back(all[static_cast<std::size_t>(i) + 2]);
  }
  const std::vector<Block> got = Blocks(ReadFile(part));
  ASSERT_GE(got.size(), 2u + 6u);
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_EQ(written, static_cast<int>(got.size()) - 2);
  for (std::size_t b = 0; b < got.size(); ++b) {
    EXPECT_EQ(got[b].type, expected[b].type) << b;
    EXPECT_EQ(got[b].body, expected[b].body) << b;
  }

  const auto cli = TempPath("cli.pcapng");
  const auto r = RunZkr("export '" + s_Record->string() + "' --pcapng '" + cli.string() + "' --from-us " +
                        std::to_string(from) + " --to-us " + std::to_string(to));
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("(" + std::to_string(written) + " packets)"), std::string::npos) << r.out;
  EXPECT_EQ(ReadFile(cli), ReadFile(part));
  const auto backwards = RunZkr("export '" + s_Record->string() + "' --pcapng '" + cli.string() + "' --from-us " +
                                std::to_string(to) + " --to-us " + std::to_string(from));
  EXPECT_EQ(backwards.status, 1 << 8) << backwards.out;
  EXPECT_NE(backwards.out.find("no valid span"), std::string::npos) << backwards.out;

  int calls = 0;
  options.span.reset();
  options.progress = [&calls, &store](std::uint64_t done, std::uint64_t total) {
    EXPECT_EQ(total, static_cast<std::uint64_t>(store.PacketCount()));
    EXPECT_EQ(done, static_cast<std::uint64_t>(calls));
    return ++calls < 5;
  };
  EXPECT_FALSE(WritePcapng(store, part.string(), error, options));
  EXPECT_EQ(calls, 5);
  EXPECT_EQ(error, "the export was stopped");
  EXPECT_FALSE(std::filesystem::exists(part));

  // Named like the record file it comes from, the export would empty it.
  const std::string record = ReadFile(*s_Record);
  EXPECT_FALSE(WritePcapng(store, (s_Record->parent_path() / "." / s_Record->filename()).string(), error));
  EXPECT_NE(error.find("is the record file the packets come from"), std::string::npos) << error;
  EXPECT_EQ(ReadFile(*s_Record), record);
  std::filesystem::remove(whole);
  std::filesystem::remove(cli);
}

TEST(DissectorScript, GeneratedTablesMatchTheDictionary) {
  const std::string script = ReadFile(ZK_DISSECTOR_SCRIPT);
  ASSERT_FALSE(DissectorTablesOf(script).empty()) << ZK_DISSECTOR_SCRIPT << " has no generated section";
  EXPECT_TRUE(DissectorTablesOf(script) == DissectorTablesLua())
      << "the dissector's tables are out of date: run zk_dissector_tables contrib/wireshark/usbpd.lua";
  std::string replaced = "head\n" + DissectorTablesLua() + "tail\n";
  EXPECT_TRUE(ReplaceDissectorTables(replaced, "X\n"));
  EXPECT_EQ(replaced, "head\nX\ntail\n");
}

bool HaveTshark() { return std::system("command -v tshark >/dev/null 2>&1") == 0; }

std::string Shell(const std::string& cmd) {
  std::string out;
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  pclose(pipe);
  return out;
}

std::vector<std::string> Split(const std::string& text, const std::string& sep) {
  std::vector<std::string> parts;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t end = text.find(sep, pos);
    parts.push_back(text.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
    if (end == std::string::npos) return parts;
    pos = end + sep.size();
  }
}

std::string Trim(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.pop_back();
  while (!s.empty() && s.front() == ' ') s.erase(0, 1);
  return s;
}

std::string Tshark(const std::string& file, const std::string& args) {
  return Shell("timeout 120 tshark -X lua_script:'" + std::string(ZK_DISSECTOR_SCRIPT) + "' -r '" + file + "' " + args +
               " 2>/dev/null");
}

// Simulated traffic, exported and read by tshark with the dissector, names the same messages
// as zkr dump, and the display filter of the documentation finds the Requests.
TEST_F(Simulated, TsharkNamesWhatDumpNames) {
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed (scripts/install-deps installs it); check skipped";
  const auto pcap = TempPath("spr.pcapng");
  const auto exported = RunZkr("export '" + s_Record->string() + "' --pcapng '" + pcap.string() + "'");
  ASSERT_EQ(exported.status, 0) << exported.out;

  const auto dump = RunZkr("dump '" + s_Record->string() + "' --columns 0,6,11");
  ASSERT_EQ(dump.status, 0) << dump.out;
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : Split(dump.out, "\n")) {
    if (line.empty()) continue;
    std::vector<std::string> cells = Split(line, " | ");
    for (std::string& c : cells) c = Trim(c);
    rows.push_back(cells);
  }
  ASSERT_GT(rows.size(), 1u);
  rows.erase(rows.begin());  // titles

  const std::string fields = Tshark(pcap.string(), "-T fields -E separator=/t -e usbpd.channel -e usbpd.type");
  std::vector<std::string> lines;
  for (const std::string& l : Split(fields, "\n")) {
    if (!l.empty()) lines.push_back(l);
  }
  ASSERT_EQ(lines.size(), rows.size()) << "tshark did not dissect every packet (is Lua disabled for this user?)\n"
                                       << fields.substr(0, 500);
  int named = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 3u) << i;
    const std::vector<std::string> t = Split(lines[i], "\t");
    ASSERT_EQ(t.size(), 2u) << lines[i];
    EXPECT_EQ("CC" + std::to_string(std::stoi(t[0]) + 1), rows[i][1]) << "packet " << i;
    // The list leaves the type empty for a packet whose preamble or CRC failed; tshark names it anyway.
    if (rows[i][2].empty()) continue;
    EXPECT_EQ(t[1], rows[i][2]) << "packet " << i;
    ++named;
  }
  EXPECT_GT(named, 10);

  int requests = 0;
  for (const auto& r : rows) requests += r[2] == "Request";
  ASSERT_GT(requests, 0);
  const std::string filtered = Tshark(pcap.string(), "-Y 'usbpd.type == \"Request\"' -T fields -e usbpd.type");
  EXPECT_EQ(filtered, [&] {
    std::string s;
    for (int i = 0; i < requests; ++i) s += "Request\n";
    return s;
  }());
  // Dictionary fields are there to filter on too: the Request's object position, by name.
  const std::string positions =
      Tshark(pcap.string(), "-Y 'usbpd.field.name == \"Object position\"' -T fields -e frame.number");
  EXPECT_EQ(static_cast<int>(Split(positions, "\n").size()) - 1, requests) << positions;
  std::filesystem::remove(pcap);
}

// A logic capture through zkr import, then the usual tools: the summary says what was made,
// and the dump shows the messages the capture holds.
TEST(ZkrImport, CaptureToDump) {
  using namespace zk::sim;
  const std::uint64_t rate = 6000000;  // 8 box ticks of 20.8 ns per sample
  BmcOptions o;
  o.tickDiv = 8;
  std::vector<std::uint8_t> samples(6000, 0);
  for (const PdMessageSpec& m : {DataMessage(kKindSop, kDataRequest, kRev30, kSinkUfp, 1, {0x1304B12C}),
                                 ControlMessage(kKindSop, kCtrlAccept, kRev30, kSourceDfp, 1)}) {
    const BmcWaveform w = EncodeMessage(m, o);
    const std::size_t at = samples.size();
    samples.resize(at + w.edges.back() + 1, 0);
    for (std::size_t k = 0; k + 1 < w.edges.size(); ++k) {
      for (std::uint64_t s = w.edges[k]; s < w.edges[k + 1]; ++s)
        samples[at + s] = static_cast<std::uint8_t>(w.LevelAfterEdge(k) << 1);
    }
    samples.back() = static_cast<std::uint8_t>(w.LevelAfterEdge(w.edges.size() - 1) << 1);
    // A line left high is let go well after the packet: a lone edge, which loading drops.
    if (w.LevelAfterEdge(w.edges.size() - 1)) samples.resize(samples.size() + 150, 2);
    samples.resize(samples.size() + 6000, 0);
  }
  LogicSession session;
  session.sampleRate = rate;
  session.channels = {{0, "VBUS_SENSE"}, {1, "Line B"}};
  const auto sr = TempPath("cli.sr");
  const auto zkr = TempPath("cli.zkr");
  std::string error;
  ASSERT_TRUE(WriteLogicSession(sr.string(), session, samples, error)) << error;

  const auto missing = RunZkr("import '" + sr.string() + "' -o '" + zkr.string() + "'");
  EXPECT_EQ(missing.status, 1 << 8) << missing.out;
  EXPECT_NE(missing.out.find("VBUS_SENSE, Line B"), std::string::npos) << missing.out;
  EXPECT_EQ(RunZkr("import '" + sr.string() + "'").status, 2 << 8);
  EXPECT_EQ(RunZkr("import '" + sr.string() + "' -o x.zkr --cc3 A").status, 2 << 8);

  const auto r = RunZkr("import '" + sr.string() + "' -o '" + zkr.string() + "' --cc2 'Line B'");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("CC2: channel 'Line B'"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("every sample falls on a tick"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("no measured values"), std::string::npos) << r.out;
  const auto dump = RunZkr("dump '" + zkr.string() + "' --columns 6,11");
  EXPECT_EQ(dump.status, 0);
  EXPECT_NE(dump.out.find("CC2 | Request"), std::string::npos) << dump.out;
  EXPECT_NE(dump.out.find("CC2 | Accept"), std::string::npos) << dump.out;
  std::filesystem::remove(sr);
  std::filesystem::remove(zkr);
}

}  // namespace
}  // namespace zk::interchange
