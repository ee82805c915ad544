#include "record/packet_pool.h"

#include "record/huge_block.h"
#include "record/packet.h"

#include <cstdint>
#include <mutex>
#include <new>

namespace zk::packet_pool {

namespace {

constexpr std::size_t kSlabBytes = kHugeBlockBytes;
constexpr std::size_t kHeaderBytes = 64;

// At the start of every slab, which is aligned to its size: an object finds its slab by
// rounding its address down.
struct Slab {
  std::size_t live = 0;  // objects handed out and not yet released
};

std::mutex g_Lock;
Slab* g_Current = nullptr;
std::size_t g_Used = kSlabBytes;  // bytes taken of the current slab

Slab* SlabOf(void* object) {
  return reinterpret_cast<Slab*>(reinterpret_cast<std::uintptr_t>(object) & ~(kSlabBytes - 1));
}

void FreeSlab(Slab* slab) {
  slab->~Slab();
  FreeHugeBlock(slab);
}

}  // namespace

void* Allocate(std::size_t bytes) {
  if (bytes > kMaxObject) throw std::bad_alloc();
  bytes = (bytes + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
  const std::lock_guard<std::mutex> lock(g_Lock);
  if (g_Used + bytes > kSlabBytes) {
    Slab* fresh = new (AllocateHugeBlock()) Slab;
    // The slab given up is freed by its last release, or here when that came already.
    if (g_Current && g_Current->live == 0) FreeSlab(g_Current);
    g_Current = fresh;
    g_Used = kHeaderBytes;
  }
  void* object = reinterpret_cast<char*>(g_Current) + g_Used;
  g_Used += bytes;
  ++g_Current->live;
  return object;
}

void Release(void* object) noexcept {
  if (!object) return;
  Slab* slab = SlabOf(object);
  const std::lock_guard<std::mutex> lock(g_Lock);
  if (--slab->live > 0) return;
  if (slab == g_Current) {
    g_Used = kHeaderBytes;  // empty again: start over in it
    return;
  }
  FreeSlab(slab);
}

}  // namespace zk::packet_pool

namespace zk {

void* CCCPacket::operator new(std::size_t bytes) { return packet_pool::Allocate(bytes); }
void CCCPacket::operator delete(void* p) noexcept { packet_pool::Release(p); }

}  // namespace zk
