// Packets live in slabs of huge blocks: a capture of hours holds millions of them, and the
// general allocator would pay a header for each, a page fault for every 4 KiB, and on the
// framing thread a system call for every page its arena grows.
#pragma once

#include <cstddef>

namespace zk::packet_pool {

// Memory for one object of at most kMaxObject bytes; thread-safe.
void* Allocate(std::size_t bytes);
void Release(void* object) noexcept;

constexpr std::size_t kMaxObject = 4096;

}  // namespace zk::packet_pool
