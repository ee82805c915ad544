// Stitching a numbered series of record files: series numbers, the base and stitch lists
// of the dialog, its selection rule and output name, and the concatenating worker.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/tool_job.h"

namespace zk {

// The four digits of a name ending in "_dddd.zkr" (extension in any case), read as hex so that
// the order is that of the decimal numbers and "%04X" prints the digits back; else nothing.
std::optional<std::uint32_t> SeriesNumber(std::string_view fileName);

struct StitchEntry {
  std::string m_Name;  // file name, as listed
  std::string m_Path;  // full path
  std::uint32_t m_Series = 0;
  bool m_Selected = false;

  bool operator==(const StitchEntry&) const = default;
};

struct StitchDialogState {
  std::string m_Folder;
  std::string m_CurrentFile;  // the open document's record file, preselected as base
  std::string m_BasePath;
  std::string m_OutputPath;
  std::vector<StitchEntry> m_BaseList;  // one selection at most
  int m_BaseSelection = -1;
  std::vector<StitchEntry> m_StitchList;  // a run of selected entries from the top
};

// The series files of the folder, sorted by name; the current file or the first is selected,
// then the stitch list follows.
void ListBaseFiles(StitchDialogState& state);
// A new base selection (index into the base list, -1 for none).
void SelectBase(StitchDialogState& state, int index);
// The user toggled stitch-list entry caret: the selection is kept a run from the top,
// and the output name follows its last entry.
void ClickStitchEntry(StitchDialogState& state, int caret);

// "Stitched_" + base name without ".zkr" + "-%04X" of lastSeries + ".zkr" in folder, with
// " (n)" while the file exists; nothing when lastSeries is below 2 or 1 to 9999 all exist.
std::optional<std::string> StitchOutputPath(const std::string& folder, const std::string& baseName,
                                            std::uint32_t lastSeries);

// The base, then the selected stitch entries in list order.
std::vector<std::string> StitchInputs(const StitchDialogState& state);

// Concatenates inputs into outputPath (replaced) in 1 MiB blocks. Fails when an input cannot
// be opened or is shorter than it was when the total was measured, when the output is one of
// the inputs or cannot be created, and on abort. Progress reaches 100 on success.
bool StitchFiles(const std::vector<std::string>& inputs, const std::string& outputPath, JobProgress& progress);

enum class StitchTickOutcome {
  Idle,
  Running,    // status "Stitching... %d%%", wait cursor
  Completed,  // message "Stitch Files Completed.", close as with OK
  Aborted,    // message "Stitch Files Aborted.", status cleared, dialog stays open
};
inline constexpr std::string_view kStitchCompleted = "Stitch Files Completed.";
inline constexpr std::string_view kStitchAborted = "Stitch Files Aborted.";

StitchTickOutcome StitchTick(ToolJob& job, std::string& statusText);

}  // namespace zk
