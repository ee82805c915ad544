// The ZKR export: the byte range of the open record file that holds a span of shown time,
// and its copy, unchanged, into a new record file.
#pragma once

#include <cstdint>
#include <string>

#include "record/capture_store.h"
#include "tools/tool_job.h"

namespace zk {

// First and last byte (both included) of the records to copy.
struct ByteSpan {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;

  bool operator==(const ByteSpan&) const = default;
};

// From the record of the sample at or before start (or from the file's top without one),
// lowered to the packet at or before start; to the end of the record of the sample at or
// before end, raised to the end of the packet at or before end.
ByteSpan SubsetByteSpan(const CaptureStore& store, std::int64_t start, std::int64_t end);

// Copies span of recordPath into outputPath (replaced) in 1 MiB blocks, with progress and
// abort. Fails when a file cannot be opened, both paths name the same file, the record
// file ends before the span does, or the copy was aborted.
bool WriteRecordSubset(const std::string& recordPath, const std::string& outputPath, ByteSpan span,
                       JobProgress& progress);

}  // namespace zk
