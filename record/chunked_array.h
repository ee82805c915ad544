// An append-only array in large fixed blocks: elements never move once stored, the oldest
// can be dropped from the front, and a capture of hours costs no per-block overhead worth
// counting (a deque's small blocks cost about 1.5 bytes per 32-byte sample). Blocks of
// exactly a huge block's size come from huge pages.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "record/huge_block.h"

namespace zk {

template <typename T, std::size_t kBlock = 4096>
class ChunkedArray {
  // Elements are written into raw block memory and never destroyed one by one.
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
  static constexpr bool kHuge = kBlock * sizeof(T) == kHugeBlockBytes;

  struct FreeBlock {
    void operator()(T* block) const noexcept {
      if constexpr (kHuge) {
        FreeHugeBlock(block);
      } else {
        ::operator delete(static_cast<void*>(block));
      }
    }
  };
  using Block = std::unique_ptr<T, FreeBlock>;

 public:
  std::size_t size() const { return m_Size; }
  bool empty() const { return m_Size == 0; }

  const T& operator[](std::size_t i) const { return Slot(i); }
  T& operator[](std::size_t i) { return Slot(i); }
  const T& front() const { return Slot(0); }
  const T& back() const { return Slot(m_Size - 1); }

  void push_back(const T& value) {
    const std::size_t at = m_Head + m_Size;
    if (at / kBlock == m_Blocks.size()) m_Blocks.push_back(NewBlock());
    new (m_Blocks[at / kBlock].get() + at % kBlock) T(value);
    ++m_Size;
  }

  // Drops the n oldest elements; whole blocks are given back as soon as they are empty.
  void pop_front(std::size_t n) {
    if (n >= m_Size) {
      clear();
      return;
    }
    m_Head += n;
    m_Size -= n;
    const std::size_t emptyBlocks = m_Head / kBlock;
    if (emptyBlocks > 0) {
      m_Blocks.erase(m_Blocks.begin(), m_Blocks.begin() + static_cast<std::ptrdiff_t>(emptyBlocks));
      m_Head -= emptyBlocks * kBlock;
    }
  }

  void clear() {
    std::vector<Block>().swap(m_Blocks);
    m_Head = m_Size = 0;
  }

 private:
  static Block NewBlock() {
    if constexpr (kHuge) {
      return Block(static_cast<T*>(AllocateHugeBlock()));
    } else {
      return Block(static_cast<T*>(::operator new(kBlock * sizeof(T))));
    }
  }

  T& Slot(std::size_t i) const {
    const std::size_t at = m_Head + i;
    return m_Blocks[at / kBlock].get()[at % kBlock];
  }

  std::vector<Block> m_Blocks;
  std::size_t m_Head = 0;  // index of the first element within the first block
  std::size_t m_Size = 0;
};

}  // namespace zk
