// Logic-analyzer session files: a zip archive with a "version" file, an INI-style
// "metadata" file and the raw logic samples in numbered chunks ("logic-1-1", "logic-1-2", ...).
// Each sample is `unitSize` bytes, little-endian; channel "probeN" is bit N - 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zk::interchange {

struct LogicChannel {
  int bit = 0;  // bit of the sample word (probe number - 1)
  std::string name;
};

struct LogicSession {
  std::uint64_t sampleRate = 0;  // Hz
  int unitSize = 1;              // bytes per sample, 1 to 8
  std::string captureFile = "logic-1";
  std::vector<LogicChannel> channels;

  // The channel of that name (exact match first, then ignoring letter case), or null.
  const LogicChannel* FindChannel(std::string_view name) const;
};

// "2.4 MHz", "500 kHz", "24000000", "1.5 GHz" and the like, exactly; false when not a rate.
bool ParseSampleRate(std::string_view text, std::uint64_t& hz);
// The text a session file holds for a rate ("2.4 MHz").
std::string SampleRateText(std::uint64_t hz);

// Reads the [device 1] section of a metadata file; false with a message when it does not
// describe logic channels.
bool ParseLogicMetadata(std::string_view text, LogicSession& session, std::string& error);

// Streams the logic samples of one session file without holding them all in memory.
class LogicSessionReader {
 public:
  LogicSessionReader();
  ~LogicSessionReader();
  LogicSessionReader(const LogicSessionReader&) = delete;
  LogicSessionReader& operator=(const LogicSessionReader&) = delete;

  bool Open(const std::string& path, std::string& error);
  const LogicSession& Session() const { return m_Session; }
  // Bytes of logic data the archive lists for its chunks (0 where it does not say).
  std::uint64_t SampleBytes() const { return m_SampleBytes; }

  // Calls sink with whole samples in capture order (count = bytes / unitSize); a chunk
  // that ends inside a sample continues in the next one. Stops when sink returns false.
  using SampleSink = std::function<bool(const std::uint8_t* data, std::size_t count)>;
  bool ReadSamples(const SampleSink& sink, std::string& error);

 private:
  struct Archive;
  std::unique_ptr<Archive> m_Archive;
  LogicSession m_Session;
  std::vector<std::uint64_t> m_Chunks;  // archive indices in chunk order
  std::uint64_t m_SampleBytes = 0;
};

// Writes a session file holding `samples` (unitSize bytes each) in chunks of chunkBytes.
bool WriteLogicSession(const std::string& path, const LogicSession& session, const std::vector<std::uint8_t>& samples,
                       std::string& error, std::size_t chunkBytes = 4u << 20);

}  // namespace zk::interchange
