// The pcapng export: every packet of a record file for packet analyzers, dissected by
// contrib/wireshark/usbpd.lua.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "interchange/pcapng_writer.h"
#include "record/file_path.h"
#include "record/loader.h"

namespace zk::cli {

int RunExportPcapng(const std::string& input, const std::string& output) {
  if (std::FILE* f = OpenFile(input, "rb")) {
    std::fclose(f);
  } else {
    std::fprintf(stderr, "zkr export: cannot open '%s'\n", input.c_str());
    return 1;
  }
  CaptureStore store;
  LoadRecordFile(store, input);
  FinishPendingPackets(store);
  std::string error;
  if (!interchange::WritePcapng(store, output, error)) {
    std::fprintf(stderr, "zkr export: %s\n", error.c_str());
    return 1;
  }
  std::printf("wrote %s (%d packets)\n", output.c_str(), store.PacketCount());
  return 0;
}

}  // namespace zk::cli
