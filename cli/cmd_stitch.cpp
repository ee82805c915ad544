// zkr stitch: joins a base record file and the following files of its numbered series.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "record/file_path.h"
#include "tools/stitch.h"

namespace zk::cli {

namespace {

constexpr const char* kUsage = "usage: zkr stitch BASE_0001.zkr [-o OUT.zkr] [--through N]\n";

struct StitchArgs {
  std::string base, output;
  std::optional<std::uint32_t> through;  // series number, as SeriesNumber reads it
};

// N as the four digits of a file name would give it ("3" and "0003" alike).
std::optional<std::uint32_t> ParseThrough(const std::string& text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(c - '0');
  }
  return value;
}

std::optional<std::string> ParseArgs(const Args& args, StitchArgs& out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-o" || a == "--through") {
      if (i + 1 >= args.size()) return "option " + a + " needs a value";
      const std::string& v = args[++i];
      if (a == "-o") {
        out.output = v;
      } else if (!(out.through = ParseThrough(v))) {
        return "'" + v + "' is not a series number from 0 to 9999";
      }
    } else if (!a.empty() && a[0] == '-') {
      return "unknown option '" + a + "'";
    } else if (out.base.empty()) {
      out.base = a;
    } else {
      return "more than one base file";
    }
  }
  if (out.base.empty()) return "a base file is needed";
  return std::nullopt;
}

}  // namespace

int RunStitch(const Args& args) {
  StitchArgs a;
  if (const std::optional<std::string> error = ParseArgs(args, a)) {
    std::fprintf(stderr, "zkr stitch: %s\n%s", error->c_str(), kUsage);
    return 2;
  }
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_regular_file(PathFromUtf8(a.base), ec)) {
    std::fprintf(stderr, "zkr stitch: cannot open '%s'\n", a.base.c_str());
    return 1;
  }
  const fs::path basePath = PathFromUtf8(a.base);
  if (!SeriesNumber(Utf8FromPath(basePath.filename()))) {
    std::fprintf(stderr, "zkr stitch: '%s' is not part of a series (NAME_dddd.zkr)\n", a.base.c_str());
    return 1;
  }

  StitchDialogState state;
  state.m_Folder = basePath.has_parent_path() ? Utf8FromPath(basePath.parent_path()) : std::string(".");
  state.m_CurrentFile = Utf8FromPath(PathFromUtf8(state.m_Folder) / basePath.filename());
  ListBaseFiles(state);
  // The dialog's rule: a click on the last wanted entry selects the run down to it.
  int last = -1;
  for (std::size_t i = 0; i < state.m_StitchList.size(); ++i) {
    if (!a.through || state.m_StitchList[i].m_Series <= *a.through) last = static_cast<int>(i);
  }
  if (last < 0) {
    std::fprintf(stderr, "zkr stitch: no later file of the series to join to '%s'\n", a.base.c_str());
    return 1;
  }
  for (StitchEntry& e : state.m_StitchList) e.m_Selected = false;
  state.m_StitchList[static_cast<std::size_t>(last)].m_Selected = true;
  ClickStitchEntry(state, last);

  std::string output = a.output.empty() ? state.m_OutputPath : a.output;
  if (output.empty()) {
    std::fprintf(stderr, "zkr stitch: no free output name; give one with -o\n");
    return 1;
  }
  const std::vector<std::string> inputs = StitchInputs(state);
  JobProgress progress;
  if (!StitchFiles(inputs, output, progress)) {
    std::fprintf(stderr, "zkr stitch: cannot write '%s' from %zu files\n", output.c_str(), inputs.size());
    return 1;
  }
  std::printf("%s: %zu files joined\n", output.c_str(), inputs.size());
  return 0;
}

}  // namespace zk::cli
