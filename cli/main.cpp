// zkr: the record-file tool. Dispatches to one subcommand per verb.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>
#endif

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

#ifdef _WIN32
// The narrow argv of a Windows program is in the ANSI code page and loses every character
// outside it; the command line in UTF-16, converted to UTF-8, keeps any file name.
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv, argv + argc);
  for (int i = 0; i < count; ++i) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string a(bytes > 0 ? static_cast<std::size_t>(bytes) : 1, '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, a.data(), bytes, nullptr, nullptr);
    a.resize(a.size() - 1);
    args.push_back(std::move(a));
  }
  LocalFree(wide);
  return args;
}

// Printed paths are UTF-8 too; the console's own code page is restored on the way out.
class ConsoleUtf8 {
 public:
  ConsoleUtf8() : m_Saved(GetConsoleOutputCP()) { SetConsoleOutputCP(CP_UTF8); }
  ~ConsoleUtf8() {
    if (m_Saved != 0) SetConsoleOutputCP(m_Saved);
  }
  ConsoleUtf8(const ConsoleUtf8&) = delete;
  ConsoleUtf8& operator=(const ConsoleUtf8&) = delete;

 private:
  UINT m_Saved;
};
#else
std::vector<std::string> Utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }
#endif

int Run(const std::vector<std::string>& argv) {
  const int argc = static_cast<int>(argv.size());
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
    if (c.name == verb) return c.run(zk::cli::Args(argv.begin() + 2, argv.end()));
  }
  std::fprintf(stderr, "zkr: unknown command '%s' (try 'zkr --help')\n", argv[1].c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  const ConsoleUtf8 console;
#endif
  return Run(Utf8Arguments(argc, argv));
}
