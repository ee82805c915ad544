// The subcommands of the zkr command-line tool; each takes its own arguments
// (without the subcommand name) and returns the process exit code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zk::cli {

using Args = std::vector<std::string>;

int RunInfo(const Args& args);
int RunDump(const Args& args);
int RunExport(const Args& args);
int RunSubset(const Args& args);
int RunStitch(const Args& args);
int RunFields(const Args& args);
int RunSimulate(const Args& args);
int RunCapture(const Args& args);
int RunRemote(const Args& args);
int RunImport(const Args& args);
// Writes the packets of a record file as pcapng: zkr export --pcapng. Every packet, or with
// a time given those of the span the Export dialog computes for it.
int RunExportPcapng(const std::string& input, const std::string& output, std::optional<std::int64_t> from,
                    std::optional<std::int64_t> to);

}  // namespace zk::cli
