// One background job of a file tool (export, stitching): the worker thread, the progress
// and abort flag it shares with its dialog, and the block copy both tools are made of.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <thread>

namespace zk {

constexpr std::uint64_t kCopyBlockSize = 1048576;

// What the worker and the dialog share: written by the worker, polled by the dialog's timer.
struct JobProgress {
  std::atomic<int> m_Progress{0};  // 0 to 100
  std::atomic<bool> m_Abort{false};

  bool AbortRequested() const { return m_Abort.load(std::memory_order_relaxed); }
  void SetProgress(std::uint64_t done, std::uint64_t total) {
    m_Progress.store(total ? static_cast<int>(done * 100 / total) : 0, std::memory_order_relaxed);
  }
};

// The dialog's handle on its worker. The state lives in a shared block so that neither side
// can outlive the other's data; destroying the handle requests the abort and waits.
class ToolJob {
 public:
  using Work = std::function<bool(JobProgress&)>;

  ToolJob() = default;
  ToolJob(const ToolJob&) = delete;
  ToolJob& operator=(const ToolJob&) = delete;
  ~ToolJob();

  // Clears the abort flag and the progress and runs work on a new thread; false while one runs.
  bool Start(Work work);
  void RequestAbort();
  // Blocks until the worker has returned (at once when none was started).
  void Wait();

  bool Running() const;
  bool Started() const { return m_Started; }
  int Progress() const;
  // Once the worker has ended: forgets the job (started and finished cleared) and tells
  // whether it succeeded. Nothing while it runs or when none was started.
  std::optional<bool> TakeResult();

 private:
  struct Shared {
    JobProgress progress;
    std::atomic<bool> running{false};
    std::atomic<bool> finished{false};
    std::atomic<bool> failed{false};
  };
  std::shared_ptr<Shared> m_Shared = std::make_shared<Shared>();
  std::thread m_Thread;
  bool m_Started = false;
};

// Copies count bytes in blocks of kCopyBlockSize, calling afterBlock(copied so far) after
// each. Stops when afterBlock returns false or the input ends early; returns the bytes copied.
std::uint64_t CopyRange(std::istream& in, std::ostream& out, std::uint64_t count,
                        const std::function<bool(std::uint64_t)>& afterBlock);

}  // namespace zk
