#include "record/huge_block.h"

#include <atomic>
#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zk {

namespace {

std::atomic<std::size_t> g_Held{0};

#if defined(__linux__)
// Mapped twice the size, then trimmed to an aligned block: only an aligned block can be a
// huge page.
void* MapBlock() {
  void* area = mmap(nullptr, 2 * kHugeBlockBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(area);
  const std::uintptr_t aligned = (start + kHugeBlockBytes - 1) & ~(kHugeBlockBytes - 1);
  const std::uintptr_t end = aligned + kHugeBlockBytes;
  if (aligned > start) munmap(area, aligned - start);
  if (start + 2 * kHugeBlockBytes > end) munmap(reinterpret_cast<void*>(end), start + 2 * kHugeBlockBytes - end);
  madvise(reinterpret_cast<void*>(aligned), kHugeBlockBytes, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

void UnmapBlock(void* block) noexcept { munmap(block, kHugeBlockBytes); }
#else
void* MapBlock() { return ::operator new(kHugeBlockBytes, std::align_val_t(kHugeBlockBytes)); }

void UnmapBlock(void* block) noexcept { ::operator delete(block, std::align_val_t(kHugeBlockBytes)); }
#endif

}  // namespace

void* AllocateHugeBlock() {
  void* block = MapBlock();
  g_Held += kHugeBlockBytes;
  return block;
}

void FreeHugeBlock(void* block) noexcept {
  if (!block) return;
  UnmapBlock(block);
  g_Held -= kHugeBlockBytes;
}

std::size_t HugeBlockBytesHeld() { return g_Held; }

}  // namespace zk
