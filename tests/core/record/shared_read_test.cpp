// The loader reads a record file while the capture keeps it open and appends to it. On
// Windows that only works when both sides open the file with matching share modes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "record/loader.h"
#include "sim/scenarios.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zk {
namespace {

// Keeps the file open for writing between appends, like the capture thread does.
class Appender {
 public:
  virtual ~Appender() = default;
  virtual void Append(const char* data, std::size_t size) = 0;
};

class StreamAppender : public Appender {
 public:
  explicit StreamAppender(const std::filesystem::path& path) : m_Out(path, std::ios::binary | std::ios::trunc) {}
  void Append(const char* data, std::size_t size) override {
    m_Out.write(data, static_cast<std::streamsize>(size));
    m_Out.flush();
  }

 private:
  std::ofstream m_Out;
};

#ifdef _WIN32
// The strictest writer a Windows capture would be: other programs may read, not write.
class DenyWriteAppender : public Appender {
 public:
  explicit DenyWriteAppender(const std::filesystem::path& path)
      : m_File(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr)) {}
  ~DenyWriteAppender() override {
    if (m_File != INVALID_HANDLE_VALUE) CloseHandle(m_File);
  }
  void Append(const char* data, std::size_t size) override {
    DWORD written = 0;
    ASSERT_NE(m_File, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(WriteFile(m_File, data, static_cast<DWORD>(size), &written, nullptr));
    ASSERT_EQ(written, size);
  }

 private:
  HANDLE m_File;
};
#endif

using AppenderFactory = std::unique_ptr<Appender> (*)(const std::filesystem::path&);

struct WriterCase {
  const char* name;
  AppenderFactory open;
};

const WriterCase kWriters[] = {
    {"Stream",
     [](const std::filesystem::path& p) -> std::unique_ptr<Appender> { return std::make_unique<StreamAppender>(p); }},
#ifdef _WIN32
    {"DenyWrite",
     [](const std::filesystem::path& p) -> std::unique_ptr<Appender> {
       return std::make_unique<DenyWriteAppender>(p);
     }},
#endif
};

class SharedRead : public ::testing::TestWithParam<WriterCase> {};

TEST_P(SharedRead, LoaderFollowsAFileThatIsOpenForWriting) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  const std::filesystem::path full = dir / (std::string("zk_shared_full_") + GetParam().name + ".zkr");
  const std::filesystem::path growing = dir / (std::string("zk_shared_grow_") + GetParam().name + ".zkr");
  sim::ScenarioOptions so;
  so.name = "mixed";
  so.seconds = 2.0;
  std::string error;
  ASSERT_TRUE(sim::WriteScenarioFile(so, full.string(), error)) << error;
  CaptureStore reference;
  LoadRecordFile(reference, full.string());
  FinishPendingPackets(reference);
  std::vector<char> bytes;
  {
    std::ifstream in(full, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  ASSERT_GT(reference.PacketCount(), 10);

  CaptureStore live;
  {
    const std::unique_ptr<Appender> writer = GetParam().open(growing);
    live.m_RecordPath = growing.string();
    live.m_Recording = true;
    // Steps off the record boundaries, so that reads also see half-written records.
    for (std::size_t done = 0; done < bytes.size();) {
      const std::size_t step = std::min<std::size_t>(64 * 300 + 17, bytes.size() - done);
      writer->Append(bytes.data() + done, step);
      done += step;
      DecodeAvailable(live);
      ASSERT_LE(live.m_DecodePosition, done);
    }
    EXPECT_EQ(live.m_DecodePosition, bytes.size());
  }
  FinishPendingPackets(live);
  ASSERT_EQ(live.PacketCount(), reference.PacketCount());
  ASSERT_EQ(live.SampleCount(), reference.SampleCount());
  for (int i = 0; i < live.PacketCount(); ++i) {
    EXPECT_EQ(live.PacketAt(i)->m_Time, reference.PacketAt(i)->m_Time) << i;
    EXPECT_EQ(live.PacketAt(i)->m_Channel, reference.PacketAt(i)->m_Channel) << i;
  }
  std::filesystem::remove(full);
  std::filesystem::remove(growing);
}

INSTANTIATE_TEST_SUITE_P(Writers, SharedRead, ::testing::ValuesIn(kWriters),
                         [](const ::testing::TestParamInfo<WriterCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zk
