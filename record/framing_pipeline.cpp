#include "record/framing_pipeline.h"

#include <algorithm>
#include <utility>

namespace zk {

FramingPipeline::FramingPipeline(BuildFunction build)
    : m_Build(build),
      m_Slots(std::make_unique_for_overwrite<Slot[]>(kSlots)),
      m_Edges(static_cast<EdgeRecord*>(AllocateHugeBlock())) {
  m_Worker = std::thread([this] { Work(); });
}

FramingPipeline::~FramingPipeline() {
  m_Closed.store(true);
  Wake();
  if (m_Worker.joinable()) m_Worker.join();
  for (std::uint64_t i = m_Taken; i < m_Submitted; ++i) delete SlotAt(i).packet;
}

void FramingPipeline::Wake() {
  const std::lock_guard<std::mutex> lock(m_SleepLock);
  m_Wakeup.notify_one();
}

bool FramingPipeline::HasWork() const {
  return m_JobState.load() == kJobWaiting || m_Claimed.load() < m_Published.load() || m_Closed.load();
}

void FramingPipeline::PostJob(void (*job)(void*), void* context) {
  m_Job = job;
  m_JobContext = context;
  m_JobFailure = nullptr;
  m_JobState.store(kJobWaiting);
  if (m_Sleeping.load()) Wake();
}

bool FramingPipeline::RunJob() {
  int expected = kJobWaiting;
  if (m_JobState.load(std::memory_order_relaxed) != kJobWaiting ||
      !m_JobState.compare_exchange_strong(expected, kJobRunning))
    return false;
  try {
    m_Job(m_JobContext);
  } catch (...) {
    m_JobFailure = std::current_exception();
  }
  m_JobState.store(kNoJob, std::memory_order_release);
  return true;
}

void FramingPipeline::FinishJob() {
  AbandonJob();
  if (m_JobFailure) std::rethrow_exception(std::exchange(m_JobFailure, nullptr));
}

void FramingPipeline::AbandonJob() noexcept {
  if (RunJob()) return;
  while (JobRunning()) {
    if (!BuildOne()) std::this_thread::yield();
  }
}

bool FramingPipeline::Submit(const PacketStart& start, const EdgeRecord* edges, std::size_t count, bool keepEdges) {
  const std::uint64_t n = count;
  if (m_Submitted - m_Taken == kSlots || n > kEdges) return false;
  // A packet's edges are one run: one that would wrap starts the next lap instead.
  std::uint64_t begin = m_EdgeEnd;
  if ((begin & (kEdges - 1)) + n > kEdges) begin = (begin + kEdges) & ~(kEdges - 1);
  const std::uint64_t oldest = m_Taken < m_Submitted ? SlotAt(m_Taken).edgeBegin : begin;
  if (begin + n - oldest > kEdges) return false;

  std::copy(edges, edges + count, m_Edges.get() + (begin & (kEdges - 1)));
  Slot& slot = SlotAt(m_Submitted);
  slot.start = start;
  slot.edgeBegin = begin;
  slot.edgeCount = static_cast<std::uint32_t>(n);
  slot.keepEdges = keepEdges;
  slot.packet = nullptr;
  std::atomic_ref<std::uint8_t>(slot.state).store(kUnframed, std::memory_order_relaxed);
  m_EdgeEnd = begin + n;
  m_Published.store(++m_Submitted);
  // Sequentially consistent with the worker's going to sleep: it sees this packet or is woken.
  if (m_Sleeping.load()) Wake();
  return true;
}

std::uint8_t FramingPipeline::StateOf(std::uint64_t i) const {
  return std::atomic_ref<std::uint8_t>(SlotAt(i).state).load(std::memory_order_acquire);
}

bool FramingPipeline::BuildOne() {
  std::uint64_t i = m_Claimed.load(std::memory_order_relaxed);
  do {
    if (i >= m_Published.load(std::memory_order_acquire)) return false;
  } while (!m_Claimed.compare_exchange_weak(i, i + 1, std::memory_order_acq_rel));
  Slot& slot = SlotAt(i);
  std::uint8_t state = kFramed;
  try {
    const EdgeRecord* edges = m_Edges.get() + (slot.edgeBegin & (kEdges - 1));
    slot.packet = m_Build(slot.start, edges, slot.edgeCount, slot.keepEdges).release();
  } catch (...) {
    const std::lock_guard<std::mutex> lock(m_FailureLock);
    if (!m_Failure) m_Failure = std::current_exception();
    state = kFailed;
  }
  std::atomic_ref<std::uint8_t>(slot.state).store(state, std::memory_order_release);
  return true;
}

void FramingPipeline::Work() {
  // The reader completes a packet every few microseconds: a short spin saves wake-up calls.
  constexpr int kSpinsBeforeSleep = 200;
  int idle = 0;
  for (;;) {
    if (RunJob() || BuildOne()) {
      idle = 0;
      continue;
    }
    if (m_Closed.load()) return;
    if (++idle < kSpinsBeforeSleep) {
      std::this_thread::yield();
      continue;
    }
    // The flag goes up under the lock before the last look for work: a submission either
    // shows in that look or sees the flag and waits for the lock to wake this thread.
    std::unique_lock<std::mutex> lock(m_SleepLock);
    m_Sleeping.store(true);
    m_Wakeup.wait(lock, [this] { return HasWork(); });
    m_Sleeping.store(false);
    idle = 0;
  }
}

std::unique_ptr<CCCPacket> FramingPipeline::TakeReady() {
  if (m_Taken == m_Submitted || StateOf(m_Taken) == kUnframed) return nullptr;
  return TakeNext();
}

std::unique_ptr<CCCPacket> FramingPipeline::TakeNext() {
  if (m_Taken == m_Submitted) return nullptr;
  while (StateOf(m_Taken) == kUnframed) {
    // Help with the backlog; when the worker is on this very packet, it is done in microseconds.
    if (!BuildOne()) std::this_thread::yield();
  }
  Slot& slot = SlotAt(m_Taken++);
  std::unique_ptr<CCCPacket> packet(slot.packet);
  if (StateOf(m_Taken - 1) == kFailed) {
    const std::lock_guard<std::mutex> lock(m_FailureLock);
    std::rethrow_exception(m_Failure);
  }
  return packet;
}

}  // namespace zk
