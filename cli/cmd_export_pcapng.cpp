// The pcapng export: the packets of a record file, or of a span of it, for packet analyzers,
// dissected by contrib/wireshark/usbpd.lua.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/span_args.h"
#include "interchange/pcapng_writer.h"
#include "record/file_path.h"
#include "record/loader.h"

namespace zk::cli {

int RunExportPcapng(const std::string& input, const std::string& output, std::optional<std::int64_t> from,
                    std::optional<std::int64_t> to) {
  if (std::FILE* f = OpenFile(input, "rb")) {
    std::fclose(f);
  } else {
    std::fprintf(stderr, "zkr export: cannot open '%s'\n", input.c_str());
    return 1;
  }
  CaptureStore store;
  LoadRecordFile(store, input);
  FinishPendingPackets(store);
  interchange::PcapngOptions options;
  if (from || to) {
    ExportDialogState state;
    std::string reason;
    if (!ComputeSpanFromTimes(state, store, from, to, reason)) {
      std::fprintf(stderr, "zkr export: no valid span (%s)\n", reason.c_str());
      return 1;
    }
    options.span = interchange::PcapngOptions::Span{state.m_Start, state.m_End};
  }
  std::string error;
  int written = 0;
  if (!interchange::WritePcapng(store, output, error, options, &written)) {
    std::fprintf(stderr, "zkr export: %s\n", error.c_str());
    return 1;
  }
  std::printf("wrote %s (%d packets)\n", output.c_str(), written);
  return 0;
}

}  // namespace zk::cli
