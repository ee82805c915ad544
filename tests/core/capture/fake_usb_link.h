// A scripted box for tests: descriptors, presence and write results as the test sets
// them, every command written kept, and reads served from queued chunks.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "capture/usb_link.h"

namespace zk::test {

inline std::vector<std::uint8_t> StringDescriptorBytes(const std::u16string& text) {
  std::vector<std::uint8_t> d{static_cast<std::uint8_t>(2 + 2 * text.size()), 3};
  for (char16_t c : text) {
    d.push_back(static_cast<std::uint8_t>(c & 0xFF));
    d.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return d;
}

class FakeUsbLink final : public UsbLink {
 public:
  bool attached = true;
  bool acceptWrites = true;
  std::vector<std::uint8_t> firmware = StringDescriptorBytes(u"1.03");
  std::vector<std::uint8_t> serial = StringDescriptorBytes(u"0123456789ABCDEF01234567");
  std::vector<Record> written;
  int opens = 0;
  int closes = 0;

  int Open() override {
    std::lock_guard lock(m_Mutex);
    if (!attached) return -4;
    ++opens;
    m_Open = true;
    return 0;
  }
  void Close() override {
    std::lock_guard lock(m_Mutex);
    ++closes;
    m_Open = false;
    m_Wake.notify_all();
  }
  bool IsOpen() const override {
    std::lock_guard lock(m_Mutex);
    return m_Open;
  }
  bool IsPresent() override {
    std::lock_guard lock(m_Mutex);
    return m_Open && attached;
  }
  std::vector<std::uint8_t> StringDescriptor(int index) override {
    std::lock_guard lock(m_Mutex);
    if (!m_Open) return {};
    return index == 3 ? firmware : index == 6 ? serial : std::vector<std::uint8_t>{};
  }
  ReadResult Read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override {
    std::unique_lock lock(m_Mutex);
    const bool ready =
        m_Wake.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !m_Open || !m_Chunks.empty(); });
    if (!m_Open) return {ReadStatus::NoDevice, 0};
    if (!ready) return {ReadStatus::Timeout, 0};
    std::vector<std::uint8_t>& chunk = m_Chunks.front();
    const std::size_t n = std::min(capacity, chunk.size());
    std::copy(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n), buffer);
    chunk.erase(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
    if (chunk.empty()) m_Chunks.pop_front();
    return {ReadStatus::Data, n};
  }
  bool WriteCommand(const Record& command) override {
    std::lock_guard lock(m_Mutex);
    if (!m_Open || !acceptWrites) return false;
    written.push_back(command);
    return true;
  }

  void Queue(std::vector<std::uint8_t> chunk) {
    std::lock_guard lock(m_Mutex);
    m_Chunks.push_back(std::move(chunk));
    m_Wake.notify_all();
  }
  bool Drained() const {
    std::lock_guard lock(m_Mutex);
    return m_Chunks.empty();
  }

 private:
  mutable std::mutex m_Mutex;
  std::condition_variable m_Wake;
  bool m_Open = false;
  std::deque<std::vector<std::uint8_t>> m_Chunks;
};

}  // namespace zk::test
