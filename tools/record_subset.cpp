#include "tools/record_subset.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "record/file_path.h"

namespace zk {

ByteSpan SubsetByteSpan(const CaptureStore& store, std::int64_t start, std::int64_t end) {
  ByteSpan span;
  const int s0 = store.FindSampleByTime(start);
  const int s1 = store.FindSampleByTime(end);
  const int p0 = store.FindPacketByTime(start);
  const int p1 = store.FindPacketByTime(end);
  span.begin = s0 >= 0 ? store.SampleAt(s0)->m_Offset : 0;
  if (p0 >= 0) span.begin = std::min(span.begin, store.PacketAt(p0)->m_StartOffset);
  span.end = s1 >= 0 ? store.SampleAt(s1)->m_Offset + 63 : 0;
  if (p1 >= 0) span.end = std::max(span.end, store.PacketAt(p1)->m_EndOffset);
  return span;
}

bool WriteRecordSubset(const std::string& recordPath, const std::string& outputPath, ByteSpan span,
                       JobProgress& progress) {
  if (span.end < span.begin) return false;
  std::ifstream in(PathFromUtf8(recordPath), std::ios::binary);
  if (!in) return false;
  // Creating the output would truncate the very file we are about to read.
  std::error_code ec;
  if (std::filesystem::equivalent(PathFromUtf8(recordPath), PathFromUtf8(outputPath), ec)) return false;
  std::ofstream out(PathFromUtf8(outputPath), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  in.seekg(static_cast<std::streamoff>(span.begin));
  if (!in) return false;
  const std::uint64_t total = span.end - span.begin + 1;
  const std::uint64_t copied = CopyRange(in, out, total, [&progress, total](std::uint64_t done) {
    progress.SetProgress(done, total);
    return !progress.AbortRequested();
  });
  out.close();
  return copied == total && out.good();
}

}  // namespace zk
