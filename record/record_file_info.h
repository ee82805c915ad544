// A pass over a record file that counts its records and collects what its meta records say.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "record/record_format.h"

namespace zk {

struct RecordFileInfo {
  std::uint64_t fileBytes = 0;
  std::uint64_t ccRecords = 0;
  std::uint64_t sampleRecords = 0;
  std::uint64_t metaRecords = 0;
  std::uint64_t samples = 0;
  std::uint64_t trailingBytes = 0;    // an incomplete last record, not read
  MetaState meta;                     // header items, ratios and markers as a loader would apply them
  std::vector<MetaItem> markerItems;  // every marker item in file order (values copied)
  std::vector<std::int64_t> markerValues;
};

// False with a message in `error` when the file cannot be opened or read.
bool ScanRecordFile(const std::string& path, RecordFileInfo& info, std::string& error);

// "1.03" from the binary-coded firmware word 0x0103.
std::string FirmwareText(std::uint16_t bcd);

}  // namespace zk
