// zkr subset: the ZKR export of a span of shown time into a smaller record file.
#include <cinttypes>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/span_args.h"
#include "record/file_path.h"
#include "record/loader.h"
#include "tools/export_plan.h"
#include "tools/record_subset.h"

namespace zk::cli {

namespace {

constexpr const char* kUsage = "usage: zkr subset FILE.zkr -o OUT.zkr [--from-us T] [--to-us T]\n";

struct SubsetArgs {
  std::string input, output;
  std::optional<std::int64_t> from, to;
};

// One line of error text when the arguments do not make a request.
std::optional<std::string> ParseArgs(const Args& args, SubsetArgs& out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "-o" || a == "--from-us" || a == "--to-us") {
      if (!hasValue) return "option " + a + " needs a value";
      const std::string& v = args[++i];
      if (a == "-o") {
        out.output = v;
        continue;
      }
      const std::optional<std::int64_t> t = ParseMicroseconds(v);
      if (!t) return "'" + v + "' is not a time in microseconds";
      (a == "--from-us" ? out.from : out.to) = t;
    } else if (!a.empty() && a[0] == '-') {
      return "unknown option '" + a + "'";
    } else if (out.input.empty()) {
      out.input = a;
    } else {
      return "more than one input file";
    }
  }
  if (out.input.empty() || out.output.empty()) return "an input file and -o OUT.zkr are needed";
  return std::nullopt;
}

}  // namespace

int RunSubset(const Args& args) {
  SubsetArgs a;
  if (const std::optional<std::string> error = ParseArgs(args, a)) {
    std::fprintf(stderr, "zkr subset: %s\n%s", error->c_str(), kUsage);
    return 2;
  }
  std::FILE* probe = OpenFile(a.input, "rb");
  if (!probe) {
    std::fprintf(stderr, "zkr subset: cannot open '%s'\n", a.input.c_str());
    return 1;
  }
  std::fclose(probe);

  CaptureStore store;
  LoadRecordFile(store, a.input);
  FinishPendingPackets(store);

  ExportDialogState state;
  state.m_Type = ExportType::Zkr;
  std::string reason;
  if (!ComputeSpanFromTimes(state, store, a.from, a.to, reason)) {
    std::fprintf(stderr, "zkr subset: no valid span (%s)\n", reason.c_str());
    return 1;
  }
  const ByteSpan span = SubsetByteSpan(store, state.m_Start, state.m_End);
  JobProgress progress;
  if (!WriteRecordSubset(a.input, a.output, span, progress)) {
    std::fprintf(stderr, "zkr subset: cannot write '%s' from '%s'\n", a.output.c_str(), a.input.c_str());
    return 1;
  }
  std::printf("%s: bytes %" PRIu64 " to %" PRIu64 " of %s (%" PRId64 " us to %" PRId64 " us)\n", a.output.c_str(),
              span.begin, span.end, a.input.c_str(), state.m_Start, state.m_End);
  return 0;
}

}  // namespace zk::cli
