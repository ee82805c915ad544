// File > Import Logic Capture: a capture of encoded messages opens as a document holding
// exactly those messages; a capture that cannot be imported leaves the open document as it was.
#include <gtest/gtest.h>

#include <QAction>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "interchange/sigrok_session.h"
#include "pd/message_bytes.h"
#include "pd/message_header.h"
#include "sim/encoder.h"
#include "tests/ui/ui_fixture.h"
#include "ui/log/zk_log_view.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using namespace zk::sim;

struct Sent {
  int channel;
  PdMessageSpec message;
};

std::vector<Sent> Traffic() {
  return {
      {0, DataMessage(kKindSop, kDataSourceCapabilities, kRev30, kSourceDfp, 0, {0x0A01912C, 0x0002D12C})},
      {0, ControlMessage(kKindSop, kCtrlGoodCrc, kRev30, kSinkUfp, 0)},
      {1, DataMessage(kKindSop, kDataRequest, kRev30, kSinkUfp, 1, {0x1304B12C})},
      {1, ControlMessage(kKindSop, kCtrlAccept, kRev30, kSourceDfp, 1)},
  };
}

// 6 MHz samples, 8 box ticks each: CC1 on bit 0, CC2 on bit 1, a millisecond of idle line
// around every message.
std::vector<std::uint8_t> Samples(const std::vector<Sent>& traffic) {
  BmcOptions o;
  o.tickDiv = 8;
  std::vector<std::uint8_t> samples(6000, 0);
  for (const Sent& s : traffic) {
    const BmcWaveform w = EncodeMessage(s.message, o);
    const std::size_t at = samples.size();
    const auto level = [&](std::size_t k) { return static_cast<std::uint8_t>(w.LevelAfterEdge(k) << s.channel); };
    samples.resize(at + w.edges.back() + 1, 0);
    for (std::size_t k = 0; k + 1 < w.edges.size(); ++k) {
      for (std::uint64_t i = w.edges[k]; i < w.edges[k + 1]; ++i) samples[at + i] = level(k);
    }
    samples.back() = level(w.edges.size() - 1);
    // A line left high is let go well after the packet: a lone edge, which loading drops.
    if (w.LevelAfterEdge(w.edges.size() - 1)) samples.resize(samples.size() + 150, level(w.edges.size() - 1));
    samples.resize(samples.size() + 6000, 0);
  }
  return samples;
}

std::string WriteCapture(const fs::path& path, std::vector<interchange::LogicChannel> channels) {
  interchange::LogicSession session;
  session.sampleRate = 6000000;
  session.channels = std::move(channels);
  std::string error;
  EXPECT_TRUE(interchange::WriteLogicSession(path.string(), session, Samples(Traffic()), error)) << error;
  return path.string();
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ImportLogicCapture, OpensADocumentOfTheEncodedPacketsAndSaysWhatItDid) {
  const fs::path dir = test::ScratchDir("import");
  const std::string sr = WriteCapture(dir / "cc.sr", {{0, "CC1"}, {1, "CC2"}});
  const std::string zkr = (dir / "cc.zkr").string();
  fs::remove(zkr);
  test::FrameHarness h;
  CMainFrame& f = *h.frame;
  EXPECT_EQ(f.Action(kCmdImportLogic)->text(), QStringLiteral("&Import Logic Capture..."));
  ASSERT_TRUE(f.CommandEnabled(kCmdImportLogic));

  ASSERT_TRUE(f.ImportLogicCapture(sr, zkr));
  EXPECT_EQ(h.doc.RecordPath(), zkr);
  EXPECT_TRUE(f.windowTitle().startsWith(QStringLiteral("cc.zkr")));
  const std::vector<Sent> traffic = Traffic();
  const CaptureStore& store = h.doc.Store();
  ASSERT_EQ(store.PacketCount(), static_cast<int>(traffic.size()));
  EXPECT_EQ(f.LogView()->Model()->rowCount(), store.PacketCount());
  for (std::size_t i = 0; i < traffic.size(); ++i) {
    const CCCPacket& p = *store.PacketAt(static_cast<int>(i));
    SCOPED_TRACE("packet " + std::to_string(i));
    EXPECT_EQ(p.m_Channel, traffic[i].channel);
    EXPECT_EQ(p.m_Kind, traffic[i].message.kind);
    EXPECT_TRUE(p.m_CrcOk);
    const std::vector<std::uint8_t> bytes = MessageBytes(traffic[i].message);
    ASSERT_EQ(MessageSize(p), static_cast<int>(bytes.size()));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), p.m_Bytes));
  }

  ASSERT_EQ(h.messages.size(), 1);
  const QString& summary = h.messages.front();
  for (const char* part :
       {"CC1: channel 'CC1'", "tick divider 8", "every sample falls on a tick", "no measured values"}) {
    EXPECT_TRUE(summary.contains(QString::fromLatin1(part))) << part << "\n" << summary.toStdString();
  }
  EXPECT_TRUE(summary.contains(QString::fromStdString("wrote " + zkr))) << summary.toStdString();
  EXPECT_TRUE(f.CommandEnabled(kCmdImportLogic));
}

TEST(ImportLogicCapture, FailuresSayWhyAndKeepTheOpenDocument) {
  const fs::path dir = test::ScratchDir("import_fail");
  const fs::path opened = dir / "opened.zkr";
  fs::copy_file(test::SimulatedRecordFile(), opened, fs::copy_options::overwrite_existing);
  const std::string good = WriteCapture(dir / "good.sr", {{0, "CC1"}, {1, "CC2"}});
  const std::string unnamed = WriteCapture(dir / "unnamed.sr", {{0, "D0"}, {1, "D1"}});
  const fs::path garbage = dir / "garbage.sr";
  std::ofstream(garbage, std::ios::binary) << "this is no zip archive";

  struct Case {
    const char* what;
    std::string capture;
    std::string record;
    const char* reason;
  };
  const Case cases[] = {
      {"not a zip", garbage.string(), (dir / "out.zkr").string(), "as a session archive"},
      {"no CC channels", unnamed, (dir / "out.zkr").string(), "neither 'CC1' nor 'CC2'"},
      {"unwritable output", good, (dir / "no" / "such" / "folder" / "out.zkr").string(), "cannot create"},
      {"the open document's file", good, opened.string(), "record file of the open document"},
  };
  test::FrameHarness h;
  ASSERT_TRUE(h.frame->OpenRecordFile(opened.string()));
  const int packets = h.doc.Store().PacketCount();
  const int rows = h.frame->LogView()->Model()->rowCount();
  const std::string openedBytes = ReadBytes(opened);
  ASSERT_GT(packets, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    h.messages.clear();
    EXPECT_FALSE(h.frame->ImportLogicCapture(c.capture, c.record));
    ASSERT_EQ(h.messages.size(), 1);
    EXPECT_TRUE(h.messages.front().startsWith(QStringLiteral("Cannot import "))) << h.messages.front().toStdString();
    EXPECT_TRUE(h.messages.front().contains(QString::fromLatin1(c.reason))) << h.messages.front().toStdString();
    EXPECT_EQ(h.doc.RecordPath(), opened.string());
    EXPECT_EQ(h.doc.Store().PacketCount(), packets);
    EXPECT_EQ(h.frame->LogView()->Model()->rowCount(), rows);
    EXPECT_TRUE(h.frame->CommandEnabled(kCmdImportLogic));
  }
  EXPECT_FALSE(fs::exists(dir / "out.zkr"));
  EXPECT_EQ(ReadBytes(opened), openedBytes);
}

}  // namespace
}  // namespace zk
