// Blocks of 2 MiB aligned to their size, backed by one huge page where the system allows:
// a long capture fills hundreds of megabytes, and taking them a 4 KiB page fault at a time
// costs more than decoding them.
#pragma once

#include <cstddef>

namespace zk {

constexpr std::size_t kHugeBlockBytes = std::size_t{2} << 20;

void* AllocateHugeBlock();  // throws std::bad_alloc
void FreeHugeBlock(void* block) noexcept;
// Bytes of all huge blocks held now, for measurements.
std::size_t HugeBlockBytesHeld();

}  // namespace zk
