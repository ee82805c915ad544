// zkr simulate: writes a synthetic record file of a named traffic scenario, and
// optionally the list of packets it put on the line.
#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>

#include "cli/commands.h"
#include "record/file_path.h"
#include "sim/scenarios.h"

namespace zk::cli {

namespace {

constexpr const char* kUsage =
    "usage: zkr simulate --scenario NAME --seconds N [--seed K] [--tick-div Q] [--sample-us US] [--cc 1|2]"
    " [--packets LIST.csv] -o OUT.zkr";

template <typename T>
bool ParseNumber(const std::string& text, T& out) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end && !text.empty();
}

bool ParseSeconds(const std::string& text, double& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtod(text.c_str(), &end);
  return errno == 0 && end == text.c_str() + text.size() && out > 0 && out <= 1e6;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "zkr simulate: %s\n", message.c_str());
  return 2;
}

std::string ScenarioList() {
  std::string names;
  for (const sim::ScenarioInfo& s : sim::Scenarios()) {
    if (!names.empty()) names += ", ";
    names += s.name;
  }
  return names;
}

struct Request {
  sim::ScenarioOptions options;
  std::string out, packets;
  bool haveScenario = false, haveSeconds = false;
};

// Fills the request from the arguments; returns an error text, empty when they are good.
std::string ParseArgs(const Args& args, Request& r) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (i + 1 >= args.size()) return "option '" + a + "' needs a value (" + kUsage + ")";
    const std::string& v = args[++i];
    if (a == "--scenario") {
      if (!sim::IsScenario(v)) return "unknown scenario '" + v + "' (one of " + ScenarioList() + ")";
      r.options.name = v;
      r.haveScenario = true;
    } else if (a == "--seconds") {
      if (!ParseSeconds(v, r.options.seconds)) return "--seconds takes a positive number of seconds, not '" + v + "'";
      r.haveSeconds = true;
    } else if (a == "--seed") {
      if (!ParseNumber(v, r.options.seed)) return "--seed takes a non-negative integer, not '" + v + "'";
    } else if (a == "--tick-div") {
      if (!ParseNumber(v, r.options.tickDiv) || r.options.tickDiv < 1 || r.options.tickDiv > 256) {
        return "--tick-div takes 1 to 256, not '" + v + "'";
      }
    } else if (a == "--sample-us") {
      if (!ParseNumber(v, r.options.sampleIntervalUs) || r.options.sampleIntervalUs < 10 ||
          r.options.sampleIntervalUs > 1000000) {
        return "--sample-us takes 10 to 1000000 microseconds, not '" + v + "'";
      }
    } else if (a == "--cc") {
      if (v != "1" && v != "2") return "--cc takes 1 or 2, not '" + v + "'";
      r.options.channel = v == "1" ? 0 : 1;
    } else if (a == "-o") {
      r.out = v;
    } else if (a == "--packets") {
      r.packets = v;
    } else {
      return "unknown option '" + a + "' (" + kUsage + ")";
    }
  }
  if (!r.haveScenario || !r.haveSeconds || r.out.empty()) return kUsage;
  return {};
}

}  // namespace

int RunSimulate(const Args& args) {
  Request r;
  if (const std::string problem = ParseArgs(args, r); !problem.empty()) return Fail(problem);

  std::FILE* list = nullptr;
  if (!r.packets.empty()) {
    list = OpenFile(r.packets, "wb");  // the same bytes on every platform: no CR LF on Windows
    if (!list) {
      std::fprintf(stderr, "zkr simulate: cannot write %s: %s\n", r.packets.c_str(), std::strerror(errno));
      return 1;
    }
    std::fprintf(list, "time_us,channel,kind,header,crc,crc_ok\n");
  }
  std::uint64_t count = 0;
  std::string error;
  const bool ok = sim::WriteScenarioFile(r.options, r.out, error, [&](const sim::SynthPacket& p) {
    ++count;
    if (list) {
      std::fprintf(list, "%" PRId64 ",CC%d,%d,0x%04X,0x%08X,%d\n", p.timeUs, p.channel + 1, p.kind, p.header, p.crc,
                   p.crcOk ? 1 : 0);
    }
  });
  const bool listOk = !list || std::fclose(list) == 0;
  if (!ok) {
    std::fprintf(stderr, "zkr simulate: %s\n", error.c_str());
    return 1;
  }
  if (!listOk) {
    std::fprintf(stderr, "zkr simulate: cannot write %s\n", r.packets.c_str());
    return 1;
  }
  std::printf("%s: scenario %s, %g s, seed %" PRIu64 ", %" PRIu64 " packets\n", r.out.c_str(), r.options.name.c_str(),
              r.options.seconds, r.options.seed, count);
  return 0;
}

}  // namespace zk::cli
