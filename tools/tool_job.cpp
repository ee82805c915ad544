#include "tools/tool_job.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <vector>

namespace zk {

ToolJob::~ToolJob() {
  RequestAbort();
  Wait();
}

bool ToolJob::Start(Work work) {
  if (Running()) return false;
  Wait();
  auto shared = std::make_shared<Shared>();
  shared->running = true;
  std::thread worker([shared, work = std::move(work)] {
    bool ok = false;
    try {
      ok = work(shared->progress);
    } catch (...) {
      ok = false;  // out of memory and the like: the job fails, the program goes on
    }
    shared->failed = !ok;
    shared->running = false;
    shared->finished = true;
  });
  m_Shared = shared;
  m_Thread = std::move(worker);
  m_Started = true;
  return true;
}

void ToolJob::RequestAbort() { m_Shared->progress.m_Abort = true; }

void ToolJob::Wait() {
  if (m_Thread.joinable()) m_Thread.join();
}

bool ToolJob::Running() const { return m_Shared->running.load(); }

int ToolJob::Progress() const { return m_Shared->progress.m_Progress.load(); }

std::optional<bool> ToolJob::TakeResult() {
  if (!m_Started || !m_Shared->finished.load()) return std::nullopt;
  Wait();
  m_Started = false;
  m_Shared->finished = false;
  return !m_Shared->failed.load();
}

std::uint64_t CopyRange(std::istream& in, std::ostream& out, std::uint64_t count,
                        const std::function<bool(std::uint64_t)>& afterBlock) {
  std::vector<char> block(static_cast<std::size_t>(std::min(count, kCopyBlockSize)));
  std::uint64_t copied = 0;
  while (copied < count) {
    const std::uint64_t want = std::min(count - copied, kCopyBlockSize);
    in.read(block.data(), static_cast<std::streamsize>(want));
    const auto got = static_cast<std::uint64_t>(in.gcount());
    if (got > 0) out.write(block.data(), static_cast<std::streamsize>(got));
    if (!out) break;
    copied += got;
    // The file ended before its expected length: give up instead of waiting for more.
    if (got < want) break;
    if (afterBlock && !afterBlock(copied)) break;
  }
  return copied;
}

}  // namespace zk
