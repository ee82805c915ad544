// Incremental record loading: records of a (possibly growing) record file become
// samples and framed, attributed, time-ordered packets in a CaptureStore.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "record/capture_store.h"

namespace zk {

// Full load: clears the store, then decodes block after block to the end, and restores
// the time origin, markers and bookmarks the file's meta records hold.
void LoadRecordFile(CaptureStore& store, const std::string& path);

// Decodes at most one 1 MiB block beyond the decode position. False when nothing could be
// done (no path, file unreadable or empty, nothing new); atEnd when the data there is now is consumed.
bool DecodeNextBlock(CaptureStore& store, bool& atEnd);

// Decodes everything available now (the capture session calls this every tick).
void DecodeAvailable(CaptureStore& store);

// Finishes the packet under assembly on each channel.
void FinishPendingPackets(CaptureStore& store);

// Destroys every sample and packet and resets the decode state, with progress texts.
void ClearStore(CaptureStore& store);

// Decoding of single records at a given file offset (the loader's passes; exposed for tests and tools).
void DecodeSampleRecord(CaptureStore& store, const std::uint8_t* rec, std::uint64_t offset);
void DecodeCCRecord(CaptureStore& store, const std::uint8_t* rec, std::uint64_t offset);
void DecodeMetaRecord(CaptureStore& store, const std::uint8_t* rec);

}  // namespace zk
