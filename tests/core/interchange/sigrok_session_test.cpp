// Session files: rates and metadata as the analyzer software writes them, chunked sample
// data, and archives that are damaged or describe no usable logic capture.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "interchange/logic_import.h"
#include "interchange/sigrok_session.h"

namespace zk::interchange {
namespace {

std::filesystem::path TempPath(const std::string& name) {
  return std::filesystem::temp_directory_path() / ("zk_session_" + std::to_string(getpid()) + "_" + name);
}

constexpr const char* kMetadata2 =
    "[global]\nsigrok version=0.5.2\n\n[device 1]\ncapturefile=logic-1\ntotal probes=16\n"
    "samplerate=4 MHz\ntotal analog=0\nprobe1=CC1\nprobe10=CC2\nunitsize=2\n";

// An archive with exactly these members, in this order.
void MakeArchive(const std::filesystem::path& path, const std::vector<std::pair<std::string, std::string>>& members) {
  int code = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  ASSERT_NE(za, nullptr);
  for (const auto& [name, data] : members) {
    zip_source_t* src = zip_source_buffer(za, data.data(), data.size(), 0);
    ASSERT_GE(zip_file_add(za, name.c_str(), src, ZIP_FL_OVERWRITE), 0);
  }
  ASSERT_EQ(zip_close(za), 0);
}

std::vector<std::uint16_t> ReadWords(const std::filesystem::path& path, std::string& error) {
  LogicSessionReader reader;
  std::vector<std::uint16_t> words;
  if (!reader.Open(path.string(), error)) return words;
  const auto unit = static_cast<std::size_t>(reader.Session().unitSize);
  reader.ReadSamples(
      [&](const std::uint8_t* d, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
          words.push_back(static_cast<std::uint16_t>(d[i * unit] | (unit > 1 ? d[i * unit + 1] << 8 : 0)));
        return true;
      },
      error);
  return words;
}

TEST(SampleRate, TextsBothWays) {
  const std::pair<const char*, std::uint64_t> good[] = {
      {"2.4 MHz", 2400000}, {"500 kHz", 500000},     {"1 GHz", 1000000000}, {"24000000", 24000000},
      {"12MHz", 12000000},  {"3.3333 MHz", 3333300}, {" 200 Hz ", 200},     {"1.5 kHz", 1500},
  };
  for (const auto& [text, hz] : good) {
    std::uint64_t got = 0;
    EXPECT_TRUE(ParseSampleRate(text, got)) << text;
    EXPECT_EQ(got, hz) << text;
  }
  for (const char* bad : {"", "MHz", "0 Hz", "0.5 Hz", "fast", "2.4 mHz", "1.2.3 MHz", "99999999999999999999 GHz"}) {
    std::uint64_t got = 0;
    EXPECT_FALSE(ParseSampleRate(bad, got)) << bad;
  }
  for (std::uint64_t hz : {2400000ull, 4000000ull, 500000ull, 1000000000ull, 3333300ull, 200ull, 1500ull}) {
    std::uint64_t back = 0;
    ASSERT_TRUE(ParseSampleRate(SampleRateText(hz), back)) << SampleRateText(hz);
    EXPECT_EQ(back, hz);
  }
  EXPECT_EQ(SampleRateText(2400000), "2.4 MHz");
}

// Chunks are read in their numeric order (10 after 2), and a sample may straddle two chunks.
TEST(LogicSessionReader, ChunksInOrderAcrossSampleBoundaries) {
  const auto path = TempPath("chunks.sr");
  MakeArchive(path, {{"version", "2"},
                     {"metadata", kMetadata2},
                     {"logic-1-10", std::string("\x07\x00", 2)},
                     {"logic-1-1", std::string("\x01\x00\x02", 3)},
                     {"logic-1-2", std::string("\x00\x03\x00\x04\x00", 5)},
                     {"logic-1-x", "ignored"}});
  std::string error;
  LogicSessionReader reader;
  ASSERT_TRUE(reader.Open(path.string(), error)) << error;
  EXPECT_EQ(reader.Session().sampleRate, 4000000u);
  ASSERT_NE(reader.Session().FindChannel("cc2"), nullptr);
  EXPECT_EQ(reader.Session().FindChannel("cc2")->bit, 9);
  EXPECT_EQ(ReadWords(path, error), (std::vector<std::uint16_t>{1, 2, 3, 4, 7}));
  std::filesystem::remove(path);
}

TEST(LogicSessionReader, RefusesArchivesWithoutUsableLogic) {
  struct Case {
    const char* name;
    std::string metadata;  // empty: no metadata member
    bool chunk;
    const char* error;
  };
  auto meta = [](const std::string& device) { return "[global]\nsigrok version=0.5.2\n\n" + device; };
  const Case cases[] = {
      {"no metadata", "", true, "no metadata"},
      {"no device", meta(""), true, "[device 1]"},
      {"no rate", meta("[device 1]\ncapturefile=logic-1\nprobe1=CC1\nunitsize=1\n"), true, "no sample rate"},
      {"bad rate", meta("[device 1]\ncapturefile=logic-1\nsamplerate=fast\nprobe1=CC1\n"), true, "'fast'"},
      {"unit size", meta("[device 1]\ncapturefile=logic-1\nsamplerate=1 MHz\nprobe1=CC1\nunitsize=9\n"), true,
       "unit size"},
      {"probe beyond", meta("[device 1]\ncapturefile=logic-1\nsamplerate=1 MHz\nprobe9=CC1\nunitsize=1\n"), true,
       "beyond"},
      {"analog only", meta("[device 1]\nsamplerate=1 MHz\ntotal analog=1\nanalog1=A0\n"), true, "no logic channels"},
      {"no chunks", meta("[device 1]\ncapturefile=logic-1\nsamplerate=1 MHz\nprobe1=CC1\n"), false, "no logic data"},
  };
  for (const Case& c : cases) {
    const auto path = TempPath("bad.sr");
    std::vector<std::pair<std::string, std::string>> members = {{"version", "2"}};
    if (!c.metadata.empty()) members.emplace_back("metadata", c.metadata);
    if (c.chunk) members.emplace_back("logic-1-1", "\x01\x00");
    MakeArchive(path, members);
    LogicSessionReader reader;
    std::string error;
    EXPECT_FALSE(reader.Open(path.string(), error)) << c.name;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
    std::filesystem::remove(path);
  }
}

// Not an archive, or an archive cut short: a clear error, never a crash or a partial record file.
TEST(LogicSessionReader, DamagedFilesFailCleanly) {
  LogicSession session;
  session.sampleRate = 2400000;
  session.channels = {{0, "CC1"}, {1, "CC2"}};
  std::vector<std::uint8_t> samples(300000);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 29);
  const auto good = TempPath("good.sr");
  std::string error;
  ASSERT_TRUE(WriteLogicSession(good.string(), session, samples, error)) << error;
  std::string bytes;
  {
    std::ifstream in(good, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  const auto damaged = TempPath("damaged.sr");
  const auto out = TempPath("damaged.zkr");
  const std::string variants[] = {
      "not a zip archive at all",
      bytes.substr(0, bytes.size() / 2),
      bytes.substr(0, 40) + std::string(bytes.size() - 80, '\x5A') + bytes.substr(bytes.size() - 40),
      std::string(),
  };
  for (std::size_t v = 0; v < std::size(variants); ++v) {
    {
      std::ofstream f(damaged, std::ios::binary | std::ios::trunc);
      f << variants[v];
    }
    ImportSummary summary;
    error.clear();
    EXPECT_FALSE(ImportLogicSession(damaged.string(), out.string(), {}, summary, error)) << v;
    EXPECT_FALSE(error.empty()) << v;
    EXPECT_FALSE(std::filesystem::exists(out)) << v;
  }
  // Corrupt compressed data inside an intact directory: the read fails, the output is removed.
  std::string corrupt = bytes;
  const std::size_t data = corrupt.find("logic-1-1");
  ASSERT_NE(data, std::string::npos);
  for (std::size_t i = data + 40; i < data + 400 && i < corrupt.size(); ++i)
    corrupt[i] = static_cast<char>(~corrupt[i]);
  {
    std::ofstream f(damaged, std::ios::binary | std::ios::trunc);
    f << corrupt;
  }
  ImportSummary summary;
  EXPECT_FALSE(ImportLogicSession(damaged.string(), out.string(), {}, summary, error));
  EXPECT_FALSE(std::filesystem::exists(out));
  std::filesystem::remove(good);
  std::filesystem::remove(damaged);
}

TEST(ImportLogicSession, ChannelChoice) {
  LogicSession session;
  session.sampleRate = 2400000;
  session.channels = {{0, "D0"}, {1, "CC2"}, {2, "cc1"}};
  const auto path = TempPath("names.sr");
  const auto out = TempPath("names.zkr");
  std::string error;
  ASSERT_TRUE(WriteLogicSession(path.string(), session, std::vector<std::uint8_t>(1000, 0), error));
  struct Case {
    ImportOptions options;
    bool ok;
    const char* cc1;
    const char* cc2;
    const char* error;
  };
  ImportOptions cc1IsD0;
  cc1IsD0.cc1Name = "D0";
  cc1IsD0.cc1Given = true;
  ImportOptions missing;
  missing.cc2Name = "D7";
  missing.cc2Given = true;
  ImportOptions neither;
  neither.cc1Name = "X";
  neither.cc2Name = "Y";
  ImportOptions same;
  same.cc2Name = "CC1";
  same.cc2Given = true;
  const Case cases[] = {
      {{}, true, "cc1", "CC2", ""},  // default names, letter case aside
      {cc1IsD0, true, "D0", "CC2", ""},
      {missing, false, "", "", "no channel 'D7' (it has D0, CC2, cc1)"},
      {neither, false, "", "", "--cc1 and --cc2"},
      {same, false, "", "", "same channel"},
  };
  for (const Case& c : cases) {
    ImportSummary summary;
    error.clear();
    EXPECT_EQ(ImportLogicSession(path.string(), out.string(), c.options, summary, error), c.ok) << error;
    if (c.ok) {
      EXPECT_EQ(summary.cc1Channel, c.cc1);
      EXPECT_EQ(summary.cc2Channel, c.cc2);
    } else {
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
    std::filesystem::remove(out);
  }
  // One line alone is enough when the other's default name is absent.
  session.channels = {{3, "CC2"}};
  ASSERT_TRUE(WriteLogicSession(path.string(), session, std::vector<std::uint8_t>(1000, 0), error));
  ImportSummary summary;
  EXPECT_TRUE(ImportLogicSession(path.string(), out.string(), {}, summary, error)) << error;
  EXPECT_EQ(summary.cc1Channel, "");
  EXPECT_NE(ImportSummaryText(summary).find("CC1: not in the capture"), std::string::npos);
  std::filesystem::remove(out);
  std::filesystem::remove(path);
}

std::string Shell(const std::string& cmd) {
  std::string out;
  FILE* pipe = popen((cmd + " 2>/dev/null").c_str(), "r");
  if (!pipe) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  pclose(pipe);
  return out;
}

// One CSV row per sample, "a,b" for the two channels.
std::vector<std::string> CsvRows(const std::string& csv) {
  std::vector<std::string> rows;
  std::size_t pos = 0;
  while (pos < csv.size()) {
    std::size_t end = csv.find('\n', pos);
    if (end == std::string::npos) end = csv.size();
    const std::string line = csv.substr(pos, end - pos);
    if (!line.empty() && line[0] != ';' && line.find("logic") == std::string::npos) rows.push_back(line);
    pos = end + 1;
  }
  return rows;
}

// The analyzer software's own tool writes the files we read and reads the files we write.
TEST(LogicSessionReader, AgreesWithTheAnalyzerSoftware) {
  if (std::system("command -v sigrok-cli >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "sigrok-cli is not installed (scripts/install-deps installs it); check skipped";
  }
  const auto theirs = TempPath("theirs.sr");
  Shell("timeout 30 sigrok-cli -d demo --channels D0=CC1,D3=CC2 --config samplerate=4000000 --samples 20000 -o '" +
        theirs.string() + "'");
  LogicSessionReader reader;
  std::string error;
  ASSERT_TRUE(reader.Open(theirs.string(), error)) << error;
  EXPECT_EQ(reader.Session().sampleRate, 4000000u);
  ASSERT_NE(reader.Session().FindChannel("CC2"), nullptr);
  EXPECT_EQ(reader.Session().FindChannel("CC2")->bit, 3);
  std::vector<std::string> ours;
  reader.ReadSamples(
      [&](const std::uint8_t* d, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
          ours.push_back(std::string(1, '0' + (d[i] & 1)) + "," + std::string(1, '0' + ((d[i] >> 3) & 1)));
        return true;
      },
      error);
  EXPECT_EQ(ours.size(), 20000u);
  EXPECT_EQ(ours, CsvRows(Shell("timeout 30 sigrok-cli -i '" + theirs.string() + "' -O csv")));

  LogicSession session;
  session.sampleRate = 2400000;
  session.channels = {{0, "CC1"}, {1, "CC2"}};
  std::vector<std::uint8_t> samples(50000);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint8_t>((i / 3 + i / 7) & 3);
  const auto mine = TempPath("mine.sr");
  ASSERT_TRUE(WriteLogicSession(mine.string(), session, samples, error, 4096)) << error;
  const std::string csv = Shell("timeout 30 sigrok-cli -i '" + mine.string() + "' -O csv");
  EXPECT_NE(csv.find("Samplerate: 2.4 MHz"), std::string::npos) << csv.substr(0, 300);
  const std::vector<std::string> rows = CsvRows(csv);
  ASSERT_EQ(rows.size(), samples.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i], std::string(1, '0' + (samples[i] & 1)) + "," + std::string(1, '0' + (samples[i] >> 1))) << i;
  }
  std::filesystem::remove(theirs);
  std::filesystem::remove(mine);
}

}  // namespace
}  // namespace zk::interchange
