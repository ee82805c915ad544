// Writes the seed corpora of the fuzz targets from the simulated scenarios:
// make_seeds OUT_DIR makes OUT_DIR/{record_file,framing,message,settings,remote}.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/memory_storage.h"
#include "app/settings.h"
#include "capture/remote_protocol.h"
#include "fuzz/settings_stream.h"
#include "record/loader.h"
#include "record/record_format.h"
#include "sim/scenarios.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

void Write(const fs::path& dir, const std::string& name, const Bytes& bytes) {
  fs::create_directories(dir);
  std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Scenario(const std::string& name, double seconds) {
  const fs::path tmp = fs::temp_directory_path() / ("zk_seed_" + name + ".zkr");
  zk::sim::ScenarioOptions so;
  so.name = name;
  so.seconds = seconds;
  std::string error;
  if (!zk::sim::WriteScenarioFile(so, tmp.string(), error)) {
    std::fprintf(stderr, "make_seeds: %s\n", error.c_str());
    std::exit(1);
  }
  std::ifstream in(tmp, std::ios::binary);
  Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  fs::remove(tmp);
  return bytes;
}

int KindByte(int kind) { return kind < 8 ? kind : (kind == zk::kKindTooShort ? 8 : 9); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds OUT_DIR\n");
    return 2;
  }
  const fs::path out = argv[1];
  for (const char* name : {"mixed", "errors", "epr"}) {
    const Bytes whole = Scenario(name, 1.0);
    // Bounded seeds: the head records and the first records of the stream.
    Bytes file(whole.begin(), whole.begin() + std::min<std::size_t>(whole.size(), 400 * zk::kRecordSize));
    for (const zk::Record& r : zk::MarkerRecords(1000, {{zk::kTagBookmark, 2000},
                                                        {zk::kTagMarkerA, 3000},
                                                        {zk::kTagMarkerB, 9000},
                                                        {zk::kTagGraphMarkerO, 4000},
                                                        {zk::kTagGraphMarkerX, 5000}})) {
      file.insert(file.end(), r.begin(), r.end());
    }
    Bytes seed{7};
    seed.insert(seed.end(), file.begin(), file.end());
    Write(out / "record_file", name, seed);

    const fs::path tmp = fs::temp_directory_path() / "zk_seed_edges.zkr";
    Write(tmp.parent_path(), tmp.filename().string(), whole);
    zk::CaptureStore store;
    store.m_KeepEdges = true;
    zk::LoadRecordFile(store, tmp.string());
    zk::FinishPendingPackets(store);
    fs::remove(tmp);
    Bytes messages;
    for (int i = 0; i < store.PacketCount() && i < 32; ++i) {
      const zk::CCCPacket& p = *store.PacketAt(i);
      if (i < 6 && !p.m_pEdges.empty()) {
        Bytes edges{static_cast<std::uint8_t>(p.m_TickDiv)};
        for (const zk::EdgeRecord& e : p.m_pEdges) edges.push_back(e.duration);
        Write(out / "framing", std::string(name) + "_" + std::to_string(i), edges);
      }
      messages.push_back(static_cast<std::uint8_t>(KindByte(p.m_Kind)));
      messages.push_back(
          static_cast<std::uint8_t>(p.m_Channel | (p.m_CrcOk << 1) | (p.m_EopFound << 2) | (p.m_Recovery << 3)));
      const int n = std::min(p.m_ByteCount, 255);
      messages.push_back(static_cast<std::uint8_t>(n));
      messages.insert(messages.end(), p.m_Bytes, p.m_Bytes + n);
    }
    Write(out / "message", name, messages);
  }

  {
    zk::AppSettings settings;
    settings.m_RecordFileFolder = "/tmp/captures";
    settings.m_ColumnInfo[3].m_Show = 0;
    settings.m_ColumnInfo[5].m_Width = 240;
    settings.m_GraphFont.lfHeight = -14;
    zk::MemoryStorage saved;
    settings.SaveSettings(saved);
    Bytes stream;
    zk::fuzz::RecordingStorage recorder(saved, stream);
    zk::AppSettings loaded;
    loaded.LoadSettings(recorder);
    Write(out / "settings", "saved", stream);
  }

  {
    Bytes stream{5};
    for (const Bytes& m : {zk::EncodeRemoteMessage(zk::kRemoteSetFileName, "capture_a"),
                           zk::EncodeRemoteMessage(zk::kRemoteSetFolder, "/tmp/records"),
                           zk::EncodeRemoteMessage(zk::kRemoteRun), zk::EncodeRemoteMessage(zk::kRemoteStop),
                           zk::EncodeRemoteMessage(zk::kRemoteExport), zk::EncodeConnStateChanged(5000, 0x06A40000)}) {
      stream.insert(stream.end(), m.begin(), m.end());
    }
    Write(out / "remote", "session", stream);
  }
  return 0;
}
