// Builds and frames, on a second thread, the packets the reader completes, while the reader
// goes on through the event bytes; hands them back in the order they were completed.
// Framing is the larger half of loading and needs nothing but the packet itself.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "record/capture_store.h"
#include "record/huge_block.h"
#include "record/packet.h"

namespace zk {

class FramingPipeline {
 public:
  // Makes the framed packet from its start and edge intervals.
  using BuildFunction = std::unique_ptr<CCCPacket> (*)(const PacketStart& start, const EdgeRecord* edges,
                                                       std::size_t count, bool keepEdges);

  // The worker starts at once. Throws std::system_error when no thread can be started, and
  // std::bad_alloc when there is no memory for the edge ring.
  explicit FramingPipeline(BuildFunction build);
  ~FramingPipeline();  // stops and joins the worker; packets nobody took are destroyed
  FramingPipeline(const FramingPipeline&) = delete;
  FramingPipeline& operator=(const FramingPipeline&) = delete;

  // Copies the packet's start and edges in; false when there is no room until older packets
  // are taken.
  bool Submit(const PacketStart& start, const EdgeRecord* edges, std::size_t count, bool keepEdges);
  // One job beside the packets (a block's samples): the worker takes it before any packet;
  // one at a time, and `context` must outlive it.
  void PostJob(void (*job)(void*), void* context);
  bool JobDone() const { return m_JobState.load(std::memory_order_acquire) == kNoJob; }
  // Runs the job here if no thread has taken it, else waits for it (framing packets
  // meanwhile); rethrows what it failed with.
  void FinishJob();
  // Waits for a job already taken, without rethrowing: for unwinding.
  void AbandonJob() noexcept;

  // The next packet in submission order if it is framed already, else null.
  std::unique_ptr<CCCPacket> TakeReady();
  // The next packet in submission order, built here if no thread has started on it yet;
  // null when every submitted packet was taken. Rethrows what the worker failed with.
  std::unique_ptr<CCCPacket> TakeNext();

 private:
  enum : std::uint8_t { kUnframed = 0, kFramed = 1, kFailed = 2 };
  enum : int { kNoJob = 0, kJobWaiting = 1, kJobRunning = 2 };
  struct Slot {
    PacketStart start;
    std::uint64_t edgeBegin;  // position in the edge ring, counted from its creation
    std::uint32_t edgeCount;
    bool keepEdges;
    CCCPacket* packet;
    std::uint8_t state;  // read and written through atomic_ref: the two threads meet here
  };

  void Work();
  bool RunJob();  // the waiting job, if this thread gets it
  bool JobRunning() const { return m_JobState.load(std::memory_order_acquire) == kJobRunning; }
  void Wake();
  bool HasWork() const;
  // Claims the oldest packet no thread has started on and builds it; false when none.
  bool BuildOne();
  std::uint8_t StateOf(std::uint64_t i) const;
  Slot& SlotAt(std::uint64_t i) const { return m_Slots[i & (kSlots - 1)]; }

  static constexpr std::uint64_t kSlots = 8192;                                  // packets in flight
  static constexpr std::uint64_t kEdges = kHugeBlockBytes / sizeof(EdgeRecord);  // their edges
  struct FreeRing {
    void operator()(EdgeRecord* ring) const noexcept { FreeHugeBlock(ring); }
  };

  BuildFunction m_Build;
  std::unique_ptr<Slot[]> m_Slots;
  std::unique_ptr<EdgeRecord, FreeRing> m_Edges;  // raw memory: edges are copied in
  // What one thread writes for every packet sits on a cache line of its own.
  alignas(64) std::uint64_t m_Submitted = 0;  // these three: the reader's thread only
  std::uint64_t m_Taken = 0;
  std::uint64_t m_EdgeEnd = 0;
  alignas(64) std::atomic<std::uint64_t> m_Published{0};
  alignas(64) std::atomic<std::uint64_t> m_Claimed{0};
  alignas(64) std::atomic<bool> m_Sleeping{false};  // the worker waits for m_Wakeup
  std::mutex m_SleepLock;
  std::condition_variable m_Wakeup;
  std::atomic<bool> m_Closed{false};
  std::atomic<int> m_JobState{kNoJob};
  void (*m_Job)(void*) = nullptr;
  void* m_JobContext = nullptr;
  std::exception_ptr m_JobFailure;
  std::mutex m_FailureLock;
  std::exception_ptr m_Failure;  // the first build that threw
  std::thread m_Worker;
};

}  // namespace zk
