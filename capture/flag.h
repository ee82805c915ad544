// A one-byte flag shared between the main thread and the capture thread: one side sets
// it, the other clears it, so a plain atomic store is all either side ever needs.
#pragma once

#include <atomic>

namespace zk {

class Flag {
 public:
  void Set() { m_Value.store(true, std::memory_order_release); }
  void Clear() { m_Value.store(false, std::memory_order_release); }
  bool IsSet() const { return m_Value.load(std::memory_order_acquire); }

 private:
  std::atomic<bool> m_Value{false};
};

}  // namespace zk
