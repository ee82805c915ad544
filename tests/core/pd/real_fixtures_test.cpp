// Real captures: every packet another decoder found must come out of loading and framing with
// the same ordered set, header and received CRC, and a good CRC.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pd/framing.h"
#include "record/capture_store.h"
#include "record/loader.h"

namespace zk {
namespace {

struct ExpectedPacket {
  std::int64_t timeUs = 0;
  int channel = 0;
  std::string orderedSet;
  std::uint16_t header = 0;
  std::uint32_t crc = 0;
};

// The value after "key": in one packet object of the listing, as written (quotes dropped).
std::string Field(const std::string& object, const std::string& key) {
  const std::size_t at = object.find("\"" + key + "\"");
  if (at == std::string::npos) return {};
  std::size_t from = object.find(':', at) + 1;
  while (from < object.size() && (object[from] == ' ' || object[from] == '"')) ++from;
  std::size_t to = from;
  while (to < object.size() && object[to] != '"' && object[to] != ',' && object[to] != '\n') ++to;
  return object.substr(from, to - from);
}

std::vector<ExpectedPacket> ReadExpected(const std::string& path) {
  std::ifstream f(path);
  std::stringstream text;
  text << f.rdbuf();
  const std::string all = text.str();
  std::vector<ExpectedPacket> out;
  for (std::size_t open = all.find('{', all.find("\"packets\"")); open != std::string::npos;
       open = all.find('{', open + 1)) {
    const std::string object = all.substr(open, all.find('}', open) - open);
    ExpectedPacket e;
    e.timeUs = std::stoll(Field(object, "t_us"));
    e.channel = std::stoi(Field(object, "ch"));
    e.orderedSet = Field(object, "os");
    e.header = static_cast<std::uint16_t>(std::stoul(Field(object, "header"), nullptr, 16));
    e.crc = static_cast<std::uint32_t>(std::stoul(Field(object, "crc"), nullptr, 16));
    out.push_back(e);
  }
  return out;
}

const char* KindName(int kind) {
  static const char* const kNames[] = {"",           "SOP",         "SOP'",       "SOP''",
                                       "Hard Reset", "Cable Reset", "SOP'_Debug", "SOP''_Debug"};
  return kind >= 1 && kind <= 7 ? kNames[kind] : "";
}

// Some transmitters start driving the line microseconds before the preamble proper: the other
// decoder dates such a packet from the edge that ends this lead-in, we from the first edge.
const CCCPacket* FindAt(const CaptureStore& store, const ExpectedPacket& e) {
  for (int i = 0; i < store.PacketCount(); ++i) {
    const CCCPacket* p = store.PacketAt(i);
    if (p->m_Channel != e.channel || p->m_pEdges.empty()) continue;
    const std::int64_t leadIn = p->m_pEdges[0].duration * p->m_TickDiv / 48;
    if (e.timeUs >= p->m_Time - 1 && e.timeUs <= p->m_Time + leadIn + 1) return p;
  }
  return nullptr;
}

class RealFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(RealFixture, EveryExpectedPacketDecodes) {
  const std::string base = std::string(ZK_FIXTURE_DIR) + "/" + GetParam();
  const std::vector<ExpectedPacket> expected = ReadExpected(base + ".expected.json");
  ASSERT_FALSE(expected.empty());
  CaptureStore store;
  store.m_KeepEdges = true;
  LoadRecordFile(store, base + ".zkr");
  int recovered = 0;
  for (const ExpectedPacket& e : expected) {
    SCOPED_TRACE(testing::Message() << "packet at " << e.timeUs << " us");
    const CCCPacket* p = FindAt(store, e);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(KindName(p->m_Kind), e.orderedSet);
    EXPECT_TRUE(p->m_CrcOk);
    EXPECT_EQ(p->Header(), e.header);
    EXPECT_EQ(p->m_Crc, e.crc);
    recovered += p->m_Recovery != kRecoveryNone;
  }
  // Whatever else the loader found is noise, never a message the other decoder missed.
  int good = 0;
  for (int i = 0; i < store.PacketCount(); ++i) good += store.PacketAt(i)->m_CrcOk;
  EXPECT_EQ(good, static_cast<int>(expected.size()));
  RecordProperty("recovered", recovered);
}

INSTANTIATE_TEST_SUITE_P(Captures, RealFixture,
                         ::testing::Values("apple_power_brick", "thinkpad_yoga_370-aukey_45w",
                                           "zy12pds_sink_module-65w_noname_supply"),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace zk
