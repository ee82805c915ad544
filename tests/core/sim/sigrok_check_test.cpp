// An outside opinion on the encoder: its BMC waveform, sampled like a logic analyzer
// would, must decode with sigrok's USB PD decoder to the same ordered sets, headers and CRCs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pd/message_header.h"
#include "sim/encoder.h"

namespace zk::sim {
namespace {

struct Row {
  std::string name;
  PdMessageSpec message;
  int bitRate;
  bool corruptCrc = false;
};

std::vector<Row> Rows() {
  const std::vector<std::uint32_t> pdos = {0x0A01912C, 0x0002D12C, 0x0004B12C, 0x0006412C,
                                           0xC8DC213C, 0xC9402128, 0xCB2C3C3C};
  return {
      {"control", ControlMessage(kKindSop, kCtrlAccept, kRev30, kSourceDfp, 2), 300000},
      {"data 1", DataMessage(kKindSop, kDataRequest, kRev30, kSinkUfp, 3, {0x1304B12C}), 270000},
      {"data 7", DataMessage(kKindSop, kDataSourceCapabilities, kRev30, kSourceDfp, 4, pdos), 330000},
      {"extended",
       ExtendedMessage(kKindSop, 17, kRev30, kSourceDfp, 5, MakeExtendedHeader(24, true, 0, false),
                       std::vector<std::uint8_t>(24, 0xA5)),
       300000},
      {"SOP'", DataMessage(kKindSopP, kDataVendorDefined, kRev30, kToCable, 0, {0xFF00A001}), 300000},
      {"SOP''", ControlMessage(kKindSopPP, kCtrlGoodCrc, kRev20, kCablePlug, 6), 290000},
      {"Hard Reset", BareOrderedSet(kKindHardReset), 300000},
      {"Cable Reset", BareOrderedSet(kKindCableReset), 310000},
      {"bad CRC", ControlMessage(kKindSop, kCtrlPsRdy, kRev30, kSourceDfp, 1), 300000, true},
  };
}

// One byte per sample, bit 0 the line: idle low, each waveform, and after the last edge
// the transmitter's release (a high line is held for a bit time, then let go low).
void AppendWaveform(std::vector<std::uint8_t>& samples, const BmcWaveform& w, std::int64_t rate, int bitRate) {
  const std::int64_t base = static_cast<std::int64_t>(samples.size());
  auto sampleAt = [&](std::uint64_t tick) {
    return base + static_cast<std::int64_t>((tick * w.tickDiv * rate + 24000000) / 48000000);
  };
  for (std::size_t k = 0; k + 1 < w.edges.size(); ++k) {
    samples.resize(static_cast<std::size_t>(sampleAt(w.edges[k + 1])), static_cast<std::uint8_t>(w.LevelAfterEdge(k)));
  }
  if (!w.edges.empty() && w.LevelAfterEdge(w.edges.size() - 1)) {
    samples.resize(samples.size() + static_cast<std::size_t>(rate / bitRate), 1);
  }
}

struct SigrokPacket {
  std::string orderedSet, header, crc, text;
  std::vector<std::string> warnings;
};

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// A message begins with its ordered-set line; a reset shows only as its "#n (time): HRST"
// summary. The summary of a message is left out: sigrok writes none for a bad CRC.
std::vector<SigrokPacket> ParseAnnotations(const std::string& out) {
  std::vector<SigrokPacket> packets;
  std::size_t pos = 0;
  const std::string prefix = "usb_power_delivery-1: ";
  while (pos < out.size()) {
    std::size_t end = out.find('\n', pos);
    if (end == std::string::npos) end = out.size();
    std::string line = out.substr(pos, end - pos);
    pos = end + 1;
    if (line.rfind(prefix, 0) != 0) continue;
    line = line.substr(prefix.size());
    if (line.rfind("SOP", 0) == 0) {
      packets.push_back(SigrokPacket{});
      packets.back().orderedSet = line;
    } else if (line.rfind("#", 0) == 0) {
      if (EndsWith(line, "HRST") || EndsWith(line, "CRST")) {
        packets.push_back(SigrokPacket{});
        packets.back().text = line;
      }
    } else if (packets.empty()) {
      continue;
    } else if (line.rfind("H:", 0) == 0) {
      packets.back().header = line.substr(2);
    } else if (line.rfind("CRC:", 0) == 0) {
      packets.back().crc = line.substr(4);
    } else {
      packets.back().warnings.push_back(line);
    }
  }
  return packets;
}

std::string RunSigrok(const std::string& file, std::int64_t rate) {
  const std::string cmd =
      "timeout 20 sigrok-cli -I binary:numchannels=1:samplerate=" + std::to_string(rate) + " -i '" + file +
      "' -P usb_power_delivery:cc1=0:fulltext=yes -A usb_power_delivery=sop:header:crc:warnings:text"
      " 2>&1";
  std::string out;
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  pclose(pipe);
  return out;
}

std::string Hex(std::uint32_t v, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*x", digits, v);
  return buf;
}

const char* SigrokOrderedSetName(int kind) {
  struct Name {
    int kind;
    const char* text;
  };
  static constexpr Name kNames[] = {{kKindSop, "SOP"}, {kKindSopP, "SOP'"}, {kKindSopPP, "SOP\""}};
  for (const Name& n : kNames) {
    if (n.kind == kind) return n.text;
  }
  return "";
}

class SigrokCheck : public ::testing::TestWithParam<std::int64_t> {};

TEST_P(SigrokCheck, AgreesOnOrderedSetHeaderAndCrc) {
  if (std::system("command -v sigrok-cli >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "sigrok-cli is not installed (scripts/install-deps installs it); independent check skipped";
  }
  const std::int64_t rate = GetParam();
  const std::vector<Row> rows = Rows();
  std::vector<std::uint8_t> samples(static_cast<std::size_t>(rate / 500), 0);  // 2 ms of idle line first
  for (const Row& r : rows) {
    BmcOptions o;
    o.tickDiv = 1;
    o.bitRate = r.bitRate;
    o.corruptCrc = r.corruptCrc;
    AppendWaveform(samples, EncodeMessage(r.message, o), rate, r.bitRate);
    samples.resize(samples.size() + static_cast<std::size_t>(rate / 1000), 0);
  }
  samples.resize(samples.size() + static_cast<std::size_t>(rate / 200), 0);  // sigrok wants a long idle tail

  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("zk_sigrok_" + std::to_string(getpid()) + "_" + std::to_string(rate) + ".bin");
  {
    std::ofstream f(file, std::ios::binary);
    f.write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(samples.size()));
  }
  const std::string out = RunSigrok(file.string(), rate);
  std::filesystem::remove(file);

  const std::vector<SigrokPacket> packets = ParseAnnotations(out);
  ASSERT_EQ(packets.size(), rows.size()) << out;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& r = rows[i];
    const SigrokPacket& p = packets[i];
    if (!CarriesMessage(r.message)) {
      EXPECT_TRUE(EndsWith(p.text, r.message.kind == kKindHardReset ? "HRST" : "CRST")) << r.name << ": " << p.text;
      continue;
    }
    EXPECT_EQ(p.orderedSet, SigrokOrderedSetName(r.message.kind)) << r.name;
    EXPECT_EQ(p.header, Hex(r.message.header, 4)) << r.name;
    const std::uint32_t crc = MessageCrc(r.message);
    const std::string badCrc = "Bad CRC " + Hex(crc ^ 1u, 8) + " != " + Hex(crc, 8);
    const bool flagged = std::find(p.warnings.begin(), p.warnings.end(), badCrc) != p.warnings.end();
    if (r.corruptCrc) {
      EXPECT_EQ(p.crc, Hex(crc ^ 1u, 8)) << r.name;
      EXPECT_TRUE(flagged) << r.name << ": sigrok must find our CRC wrong and compute the right one";
    } else {
      EXPECT_EQ(p.crc, Hex(crc, 8)) << r.name;
      for (const std::string& w : p.warnings)
        EXPECT_EQ(w.rfind("Bad CRC", 0), std::string::npos) << r.name << ": " << w;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SampleRates, SigrokCheck, ::testing::Values(12000000, 2400000));

}  // namespace
}  // namespace zk::sim
