// zkr export: the CSV export of a record file, exactly as the Export dialog writes it.
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include <unistd.h>

#include "cli/commands.h"
#include "cli/span_args.h"
#include "record/file_path.h"
#include "record/loader.h"
#include "tools/csv_export.h"
#include "tools/export_plan.h"
#include "tools/tool_job.h"

namespace zk::cli {

namespace {

constexpr const char* kUsage =
    "usage: zkr export FILE.zkr -o OUT.csv [--items pd|samples|both] [--all-columns] [--from-us T] [--to-us T] "
    "[--invert-current]\n"
    "       zkr export FILE.zkr --pcapng OUT.pcapng [--from-us T] [--to-us T]\n";

struct ExportArgs {
  std::string input, output, pcapng;
  ExportItems items = ExportItems::PdMessages;
  bool allColumns = false;
  bool invertCurrent = false;
  std::optional<std::int64_t> from, to;
};

std::optional<ExportItems> ParseItems(const std::string& text) {
  if (text == "pd") return ExportItems::PdMessages;
  if (text == "samples") return ExportItems::VoltageCurrent;
  if (text == "both") return ExportItems::Both;
  return std::nullopt;
}

// One line of error text when the arguments do not make a request.
std::optional<std::string> ParseArgs(const Args& args, ExportArgs& out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--all-columns") {
      out.allColumns = true;
    } else if (a == "--invert-current") {
      out.invertCurrent = true;
    } else if (a == "-o" || a == "--items" || a == "--from-us" || a == "--to-us" || a == "--pcapng") {
      if (i + 1 >= args.size()) return "option " + a + " needs a value";
      const std::string& v = args[++i];
      if (a == "-o") {
        out.output = v;
      } else if (a == "--pcapng") {
        out.pcapng = v;
      } else if (a == "--items") {
        const std::optional<ExportItems> items = ParseItems(v);
        if (!items) return "--items takes pd, samples or both, not '" + v + "'";
        out.items = *items;
      } else {
        const std::optional<std::int64_t> t = ParseMicroseconds(v);
        if (!t) return "'" + v + "' is not a time in microseconds";
        (a == "--from-us" ? out.from : out.to) = t;
      }
    } else if (!a.empty() && a[0] == '-') {
      return "unknown option '" + a + "'";
    } else if (out.input.empty()) {
      out.input = a;
    } else {
      return "more than one input file";
    }
  }
  if (out.input.empty()) return "an input file is needed";
  if (!out.pcapng.empty() && !out.output.empty()) return "--pcapng and -o write different files: give one";
  if (out.pcapng.empty() && out.output.empty()) return "-o OUT.csv or --pcapng OUT.pcapng is needed";
  return std::nullopt;
}

// Runs the export on a worker and shows its progress on a terminal once a second.
bool RunWithProgress(const CaptureStore& store, const CsvExportRequest& request) {
  ToolJob job;
  job.Start([&](JobProgress& progress) { return WriteCsvExport(store, request, progress); });
  const bool tty = isatty(fileno(stderr));
  for (int ticks = 1; job.Running(); ++ticks) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (tty && ticks % 10 == 0) std::fprintf(stderr, "\rexporting %d%%", job.Progress());
  }
  job.Wait();
  if (tty) std::fprintf(stderr, "\r              \r");
  return job.TakeResult().value_or(false);
}

}  // namespace

int RunExport(const Args& args) {
  ExportArgs a;
  if (const std::optional<std::string> error = ParseArgs(args, a)) {
    std::fprintf(stderr, "zkr export: %s\n%s", error->c_str(), kUsage);
    return 2;
  }
#ifndef ZK_NO_INTERCHANGE
  if (!a.pcapng.empty()) return RunExportPcapng(a.input, a.pcapng, a.from, a.to);
#else
  if (!a.pcapng.empty()) {
    std::fprintf(stderr, "zkr export: this build has no pcapng export\n");
    return 2;
  }
#endif
  if (std::FILE* probe = OpenFile(a.input, "rb")) {
    std::fclose(probe);
  } else {
    std::fprintf(stderr, "zkr export: cannot open '%s'\n", a.input.c_str());
    return 1;
  }

  CaptureStore store;
  LoadRecordFile(store, a.input);
  FinishPendingPackets(store);

  ExportDialogState state;
  state.m_Type = ExportType::Csv;
  state.m_Items = a.items;
  std::string reason;
  if (!ComputeSpanFromTimes(state, store, a.from, a.to, reason)) {
    std::fprintf(stderr, "zkr export: no valid span (%s)\n", reason.c_str());
    return 1;
  }
  CsvExportRequest request;
  request.m_FileName = a.output;
  request.m_Items = a.items;
  request.m_VisibleColumnsOnly = !a.allColumns;
  request.m_Start = state.m_Start;
  request.m_End = state.m_End;
  request.m_ReverseCurrent = a.invertCurrent;
  if (!RunWithProgress(store, request)) {
    std::fprintf(stderr, "zkr export: cannot write '%s'\n", a.output.c_str());
    return 1;
  }
  std::printf("%s: %lld us to %lld us of %s\n", a.output.c_str(), static_cast<long long>(request.m_Start),
              static_cast<long long>(request.m_End), a.input.c_str());
  return 0;
}

}  // namespace zk::cli
