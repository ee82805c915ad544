#include "record/record_file_info.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "record/file_path.h"

namespace zk {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

bool IsMarkerTag(std::uint8_t tag) {
  return tag == kTagTimeOrigin || tag == kTagClearMarkers || tag == kTagBookmark || tag == kTagMarkerA ||
         tag == kTagMarkerB || tag == kTagGraphMarkerO || tag == kTagGraphMarkerX;
}

}  // namespace

bool ScanRecordFile(const std::string& path, RecordFileInfo& info, std::string& error) {
  info = RecordFileInfo();
  std::unique_ptr<std::FILE, FileCloser> file(OpenFile(path, "rb"));
  if (!file) {
    error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  std::vector<std::uint8_t> block(kRecordSize * 16384);
  for (;;) {
    const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
    info.fileBytes += got;
    const std::size_t whole = got / kRecordSize * kRecordSize;
    for (std::size_t off = 0; off < whole; off += kRecordSize) {
      const std::uint8_t* rec = block.data() + off;
      switch (KindOfRecord(rec)) {
        case RecordKind::Meta:
          ++info.metaRecords;
          ApplyMetaRecord(rec, info.meta);
          ForEachMetaItem(rec, [&info](const MetaItem& item) {
            if (!IsMarkerTag(item.tag)) return;
            info.markerItems.push_back(MetaItem{item.tag, item.length, nullptr});
            info.markerValues.push_back(item.Number());
          });
          break;
        case RecordKind::Sample:
          ++info.sampleRecords;
          info.samples += static_cast<std::uint64_t>(SampleCountOfRecord(rec));
          break;
        case RecordKind::CC: ++info.ccRecords; break;
      }
    }
    if (got < block.size()) {
      if (std::ferror(file.get())) {
        error = "cannot read '" + path + "': " + std::strerror(errno);
        return false;
      }
      info.trailingBytes = got - whole;
      break;
    }
  }
  return true;
}

std::string FirmwareText(std::uint16_t bcd) {
  char text[16];
  std::snprintf(text, sizeof text, "%X.%02X", (bcd >> 8) & 0xFF, bcd & 0xFF);
  return text;
}

}  // namespace zk
