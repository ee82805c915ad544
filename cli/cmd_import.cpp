// zkr import: a logic-analyzer session file of the CC lines as a record file.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "interchange/logic_import.h"

namespace zk::cli {

namespace {

constexpr const char* kUsage = "usage: zkr import CAPTURE.sr -o OUT.zkr [--cc1 NAME] [--cc2 NAME]\n";

int Usage(const std::string& why) {
  std::fprintf(stderr, "zkr import: %s\n%s", why.c_str(), kUsage);
  return 2;
}

}  // namespace

int RunImport(const Args& args) {
  std::string input, output;
  interchange::ImportOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-o" || a == "--cc1" || a == "--cc2") {
      if (i + 1 >= args.size()) return Usage("option " + a + " needs a value");
      const std::string& v = args[++i];
      if (a == "-o") {
        output = v;
      } else if (a == "--cc1") {
        options.cc1Name = v;
        options.cc1Given = true;
      } else {
        options.cc2Name = v;
        options.cc2Given = true;
      }
    } else if (!a.empty() && a[0] == '-') {
      return Usage("unknown option '" + a + "'");
    } else if (input.empty()) {
      input = a;
    } else {
      return Usage("more than one capture file");
    }
  }
  if (input.empty() || output.empty()) return Usage("a capture file and -o OUT.zkr are needed");

  interchange::ImportSummary summary;
  std::string error;
  if (!interchange::ImportLogicSession(input, output, options, summary, error)) {
    std::fprintf(stderr, "zkr import: %s\n", error.c_str());
    return 1;
  }
  const std::string text = interchange::ImportReportText(summary, output);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

}  // namespace zk::cli
