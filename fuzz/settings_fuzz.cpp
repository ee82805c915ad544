// Stored settings (window layout, column and font records, numbers, texts) through the
// store's load, then saved and loaded again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/memory_storage.h"
#include "app/settings.h"
#include "fuzz/settings_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zk;
  fuzz::Reader in(data, size);
  fuzz::StreamStorage stream(in);
  AppSettings loaded;
  // Never the real Documents folder: an empty stored folder falls back to this one.
  loaded.m_DocumentsFolder = [] { return std::string("/tmp"); };
  loaded.LoadSettings(stream);

  MemoryStorage saved;
  loaded.SaveSettings(saved);
  AppSettings again;
  again.m_DocumentsFolder = loaded.m_DocumentsFolder;
  again.LoadSettings(saved);
  return 0;
}
