// zkr: the record-file tool. Dispatches to one subcommand per verb.
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/commands.h"

namespace {

struct Subcommand {
  std::string_view name;
  int (*run)(const zk::cli::Args&);
  std::string_view usage;
};

constexpr Subcommand kSubcommands[] = {
    {"info", zk::cli::RunInfo, "info FILE.zkr"},
    {"dump", zk::cli::RunDump, "dump FILE.zkr [--columns ID,ID,...] [--invert-current]"},
    {"export", zk::cli::RunExport,
     "export FILE.zkr -o OUT.csv [--items pd|samples|both] [--all-columns] [--from-us T] [--to-us T] "
     "[--invert-current] | export FILE.zkr --pcapng OUT.pcapng"},
    {"subset", zk::cli::RunSubset, "subset FILE.zkr -o OUT.zkr [--from-us T] [--to-us T]"},
    {"stitch", zk::cli::RunStitch, "stitch BASE_0001.zkr [-o OUT.zkr] [--through N]"},
    {"fields", zk::cli::RunFields, "fields FILE.zkr --packet N [--select CODE]"},
    {"simulate", zk::cli::RunSimulate, "simulate --scenario NAME --seconds N [--seed K] -o OUT.zkr"},
#ifndef ZK_NO_INTERCHANGE
    {"import", zk::cli::RunImport, "import CAPTURE.sr -o OUT.zkr [--cc1 NAME] [--cc2 NAME]"},
#endif
#ifndef ZK_CORE_ONLY
    {"capture", zk::cli::RunCapture, "capture (--sim SCENARIO | --usb) --seconds N --folder DIR [--multi --max-mb M]"},
    {"remote", zk::cli::RunRemote, "remote run|stop|export|name TEXT|folder PATH"},
#endif
};

void PrintUsage() {
  std::fprintf(stderr, "usage: zkr COMMAND [options]\ncommands:\n");
  for (const Subcommand& c : kSubcommands) {
    std::fprintf(stderr, "  zkr %.*s\n", static_cast<int>(c.usage.size()), c.usage.data());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage();
    return 2;
  }
  const std::string_view verb = argv[1];
  if (verb == "--help" || verb == "-h" || verb == "help") {
    PrintUsage();
    return 0;
  }
  for (const Subcommand& c : kSubcommands) {
    if (c.name == verb) return c.run(zk::cli::Args(argv + 2, argv + argc));
  }
  std::fprintf(stderr, "zkr: unknown command '%s' (try 'zkr --help')\n", argv[1]);
  return 2;
}
