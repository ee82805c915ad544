// Runs the built zkr tool with arguments and collects its exit status and output.
#pragma once

#include <cstdio>
#include <string>

namespace zk::test {

struct RunResult {
  int status;
  std::string out;
};

// stderr is merged into the output, so error lines can be checked too.
inline RunResult RunZkr(const std::string& args) {
  const std::string cmd = std::string(ZK_ZKR_PATH) + " " + args + " 2>&1";
  RunResult r{-1, ""};
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return r;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
  r.status = pclose(pipe);
  return r;
}

}  // namespace zk::test
