// Whole record files through the loader: once in full, once growing in pieces while
// "recording", and through the scan of zkr info.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_util.h"
#include "record/loader.h"
#include "record/record_file_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zk;
  if (size < 1) return 0;
  // The first byte picks the size of the pieces the growing file gets, off record bounds.
  const std::size_t step = 1 + static_cast<std::size_t>(data[0]) * 37;
  ++data;
  --size;

  fuzz::WriteScratch(data, size);
  {
    CaptureStore store;
    LoadRecordFile(store, fuzz::ScratchPath());
    FinishPendingPackets(store);
  }
  {
    RecordFileInfo info;
    std::string error;
    ScanRecordFile(fuzz::ScratchPath(), info, error);
  }
  {
    CaptureStore store;
    store.m_RecordPath = fuzz::ScratchPath();
    store.m_Recording = true;
    fuzz::WriteScratch(data, 0);
    for (std::size_t done = 0; done < size;) {
      const std::size_t n = step < size - done ? step : size - done;
      fuzz::WriteScratch(data + done, n, "ab");
      done += n;
      DecodeAvailable(store);
    }
    store.m_Recording = false;
    DecodeAvailable(store);
    FinishPendingPackets(store);
  }
  return 0;
}
