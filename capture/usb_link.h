// The one door to the analyzer box: open it, read its string descriptors, check that it
// is still attached, read the record stream from bulk IN 0x81 and write 64-byte commands
// to OUT 0x01. The libusb box, the simulated box and the tests' fake sit behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "record/record_format.h"

namespace zk {

constexpr std::size_t kBulkReadSize = 16384;
constexpr int kBulkReadTimeoutMs = 100;  // stop and close requests are seen within this

enum class ReadStatus { Data, Timeout, NoDevice, Error };

struct ReadResult {
  ReadStatus status = ReadStatus::Error;
  std::size_t bytes = 0;
};

// Open, Close, IsPresent, StringDescriptor and WriteCommand run on the main thread; Read
// runs on the capture thread at the same time. An implementation must let Close end a
// Read in progress safely (Read then returns NoDevice or Error, never touches freed state).
class UsbLink {
 public:
  virtual ~UsbLink() = default;

  // 0 on success, a negative error code otherwise.
  virtual int Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // The 18-byte device descriptor could be read: the box is still attached.
  virtual bool IsPresent() = 0;
  // String descriptor `index`, language 0, up to 64 bytes as the box sent them; empty on failure.
  virtual std::vector<std::uint8_t> StringDescriptor(int index) = 0;
  // One bulk IN read of up to `capacity` bytes, waiting at most timeoutMs for data.
  virtual ReadResult Read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) = 0;
  // One 64-byte write to the OUT pipe; true when the whole record was accepted.
  virtual bool WriteCommand(const Record& command) = 0;
};

}  // namespace zk
